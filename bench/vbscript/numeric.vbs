' A numeric loop with function calls: recursion, integer and floating arithmetic, Mod and \.
Option Explicit

Function Fib(n)
    If n < 2 Then
        Fib = n
    Else
        Fib = Fib(n - 1) + Fib(n - 2)
    End If
End Function

Function CollatzSteps(ByVal n)
    Dim steps
    steps = 0
    Do While n <> 1
        If n Mod 2 = 0 Then
            n = n \ 2
        Else
            n = 3 * n + 1
        End If
        steps = steps + 1
    Loop
    CollatzSteps = steps
End Function

Function Hypot(x, y)
    Hypot = Sqr(x * x + y * y)
End Function

Dim i, longest, sum
longest = 0
For i = 1 To 22000
    sum = CollatzSteps(i)
    If sum > longest Then longest = sum
Next
sum = 0
For i = 1 To 200000
    sum = sum + Hypot(i, i / 2)
Next
WScript.Echo "numeric " & Fib(20) & " " & longest & " " & Round(sum)
