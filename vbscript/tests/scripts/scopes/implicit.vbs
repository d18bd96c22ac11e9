' Without Option Explicit a name that nothing declares becomes a variable where it is first given a
' value: the procedure's own inside a procedure, the call's own inside Execute there, else a global.
counter = 0
Sub Count
    counter = counter + 1
    ReDim list(counter)
    For Each piece In list : Next
    local = "x"
End Sub
Count
Count
WScript.Echo "globals assigned in a procedure:", counter
' expect: globals assigned in a procedure: 2
WScript.Echo "names of the procedure stay there:", IsEmpty(list), IsEmpty(piece), IsEmpty(local)
' expect: names of the procedure stay there: True True True
Sub Run
    Execute "made = 3 : ReDim madeArray(1)"
    WScript.Echo "assigned in Execute:", made, UBound(madeArray)
End Sub
Run
' expect: assigned in Execute: 3 1
WScript.Echo "and not global:", IsEmpty(made), IsEmpty(madeArray)
' expect: and not global: True True
Execute "atTop = 4"
WScript.Echo "Execute at the top level is global:", atTop
' expect: Execute at the top level is global: 4
