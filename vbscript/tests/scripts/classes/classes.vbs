' Properties, default members, Me, and Initialize/Terminate when the last reference goes.
Class Counter
    Private count_
    Public Name
    Private Sub Class_Initialize() : count_ = 0 : WScript.Echo "init" : End Sub
    Private Sub Class_Terminate() : WScript.Echo "bye " & Name : End Sub
    Public Property Get Count() : Count = count_ : End Property
    Public Property Let Count(v)
        If v < 0 Then Err.Raise 5
        count_ = v
    End Property
    Public Default Function Add(n) : count_ = count_ + n : Set Add = Me : End Function
End Class
Set c = New Counter
' expect: init
c.Name = "c1"
c(2)(3)
c.Count = c.Count + 10
WScript.Echo c.Count, TypeName(c)
' expect: 15 Counter
Set other = c
Set c = Nothing
WScript.Echo "still alive"
' expect: still alive
Set other = Nothing
' expect: bye c1
On Error Resume Next
Set c = New Counter
' expect: init
c.Count = -1
WScript.Echo Err.Number
' expect: 5
x = c.Missing
WScript.Echo Err.Number
' expect: 438
' A variable of a class cannot be called with empty parentheses; a property can, and a write can.
Err.Clear : x = c.Name() : a = Err.Number
Err.Clear : x = c.Count() : b = Err.Number
Err.Clear : c.Name() = "named" : d = Err.Number
WScript.Echo a, b, d, c.Name
' expect: 5 0 0 named
