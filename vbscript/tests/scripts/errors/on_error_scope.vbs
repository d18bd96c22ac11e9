' On Error Resume Next belongs to one procedure; Err keeps the caller informed.
Sub Inner()
    Dim x
    x = 1 / 0
    WScript.Echo "not reached"
End Sub
Sub Outer()
    On Error Resume Next
    Inner
    WScript.Echo "outer saw", Err.Number, Err.Description
    Err.Clear
    WScript.Echo Err.Number
End Sub
Outer
' expect: outer saw 11 Division by zero
' expect: 0
On Error Resume Next
Err.Raise vbObjectError + 1, "mine", "custom text"
WScript.Echo Err.Number - vbObjectError, Err.Source, Err.Description
' expect: 1 mine custom text
On Error GoTo 0
WScript.Echo Err.Number
' expect: 0
Dim arr(1)
On Error Resume Next
arr(5) = 1
WScript.Echo Err.Number
' expect: 9
If CInt("x") Then WScript.Echo "condition error runs the branch"
' expect: condition error runs the branch
