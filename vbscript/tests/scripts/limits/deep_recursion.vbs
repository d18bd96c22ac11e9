' Runaway recursion is error 28, which On Error can catch; the interpreter does not crash.
Function Down(n) : Down = Down(n + 1) : End Function
On Error Resume Next
x = Down(0)
WScript.Echo Err.Number, Err.Description
' expect: 28 Out of stack space
On Error GoTo 0
x = Down(0)
' expect error: 28
