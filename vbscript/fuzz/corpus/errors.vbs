Function Recurse(n)
    Recurse = Recurse(n + 1)
End Function
Sub main
    Dim a(2), x
    On Error Resume Next
    x = a(5)
    x = 1 / 0
    x = CInt(40000)
    x = "abc" + 1
    Set x = Nothing : x.Foo
    x = host(1) + host.Item(2)
    On Error GoTo 0
    Select Case x
        Case 1, 2 : x = Recurse(0)
        Case Else : Do While True : Loop
    End Select
End Sub
