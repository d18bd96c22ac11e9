' ByRef is the default; ByVal copies; parentheses and expressions pass values.
Sub Bump(x) : x = x + 1 : End Sub
Sub BumpVal(ByVal x) : x = x + 1 : End Sub
a = 1
Bump a : WScript.Echo a
' expect: 2
BumpVal a : WScript.Echo a
' expect: 2
Bump (a) : WScript.Echo a
' expect: 2
Call Bump(a) : WScript.Echo a
' expect: 3
Dim arr(2)
arr(1) = 10
Bump arr(1) : WScript.Echo arr(1)
' expect: 11
Function Twice(ByVal s) : s = s & s : Twice = s : End Function
t = "ab"
WScript.Echo Twice(t), t
' expect: abab ab
' Arrays are values: assigning copies them.
b = arr : b(1) = 0
WScript.Echo arr(1), b(1)
' expect: 11 0
Function Fact(n)
    If n <= 1 Then Fact = 1 Else Fact = n * Fact(n - 1)
End Function
WScript.Echo Fact(12)
' expect: 479001600
ReDim dyn(1) : dyn(0) = "keep"
ReDim Preserve dyn(3)
WScript.Echo dyn(0), UBound(dyn)
' expect: keep 3
Set r = GetRef("Fact")
WScript.Echo r(5)
' expect: 120
