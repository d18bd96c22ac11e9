' Arrays declared without a size, and declarations repeated by code added later.
Dim noSize()
Sub LocalLoop()
    Dim none()
    For Each v In none : WScript.Echo "local element" : Next
End Sub
For Each v In noSize : WScript.Echo "global element" : Next
LocalLoop
WScript.Echo "no elements", IsArray(noSize)
' expect: no elements True
On Error Resume Next
Err.Clear : ExecuteGlobal "Dim once(2)" : a = Err.Number
Err.Clear : ExecuteGlobal "Dim once(2)" : b = Err.Number
Err.Clear : ExecuteGlobal "Dim noSize()" : c = Err.Number
Err.Clear : ExecuteGlobal "Dim plain" : ExecuteGlobal "Dim plain" : ExecuteGlobal "Dim plain()" : d = Err.Number
WScript.Echo a, b, c, d, UBound(once), IsArray(plain)
' expect: 0 13 13 0 2 True
