Class Counter
    Private count_
    Private Sub Class_Initialize() : count_ = 0 : End Sub
    Public Default Property Get Value() : Value = count_ : End Property
    Public Property Let Value(v) : count_ = v : End Property
    Public Function Add(n) : count_ = count_ + n : Set Add = Me : End Function
End Class
Sub main
    Dim c, d
    Set c = New Counter
    c.Add(1).Add(2)
    c.Value = c + 3
    Set d = CreateObject("Scripting.Dictionary")
    d("a") = c.Value
    With d
        .Add "b", Array(1, "two", #1/2/2003#)
    End With
    Dim k : For Each k In d.Keys : host.text = host.text & k : Next
End Sub
