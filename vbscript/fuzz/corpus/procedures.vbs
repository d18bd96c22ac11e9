Option Explicit
Dim total
Function Square(ByVal n)
    Square = n * n
End Function
Sub Accumulate(ByRef acc, n)
    acc = acc + Square(n)
End Sub
Sub main
    Dim i
    total = 0
    For i = 1 To 10 Step 2
        Accumulate total, i
    Next
    If total > 100 Then total = total Mod 7 Else total = -total
End Sub
