Option Explicit
' Declaring and resolving statements inside procedures reach the global of the name, wherever the
' global is declared; a name that nothing declares becomes the procedure's own.
Dim early()
Sub GrowEarly
    ReDim Preserve early(2)
    early(2) = "kept"
End Sub
GrowEarly
GrowEarly
WScript.Echo "ReDim Preserve of a global:", UBound(early), early(2)
' expect: ReDim Preserve of a global: 2 kept

Sub GrowLate : ReDim late(3) : End Sub
GrowLate
WScript.Echo "ReDim of a global declared further down:", UBound(late)
' expect: ReDim of a global declared further down: 3
Dim late

Function OwnArray
    ReDim own(4)
    own(4) = "mine"
    OwnArray = UBound(own) & " " & own(4)
End Function
WScript.Echo "ReDim of an unknown name:", OwnArray(), OwnArray()
' expect: ReDim of an unknown name: 4 mine 4 mine

Dim counter, item, total, box
Sub CountUp
    For counter = 1 To 3 : Next
End Sub
Sub SumAll
    total = 0
    For Each item In Array(1, 2, 3) : total = total + item : Next
End Sub
CountUp
SumAll
WScript.Echo "For and For Each use the globals:", counter, total, IsEmpty(item)
' expect: For and For Each use the globals: 4 6 True

Class Holder : Public Value : End Class
Sub Fill
    Set box = New Holder
    box.Value = "filled"
End Sub
Fill
WScript.Echo "Set assigns the global:", box.Value
' expect: Set assigns the global: filled

Dim fixed(1), grown()
Sub Clear
    fixed(0) = "x"
    Erase fixed
    ReDim grown(5)
    Erase grown
End Sub
Clear
WScript.Echo "Erase empties a fixed global:", UBound(fixed), IsEmpty(fixed(0))
' expect: Erase empties a fixed global: 1 True

Const shared = "global"
Function Shadow
    Const shared = "local"
    Dim early
    early = "local too"
    Shadow = shared & ", " & early
End Function
WScript.Echo "Dim and Const in a procedure are its own:", Shadow(), shared, UBound(early)
' expect: Dim and Const in a procedure are its own: local, local too global 2

' Errors: the procedure's own Const is read-only; unknown names fail under Option Explicit; and what
' a procedure declared never becomes global.
Sub Failures
    Const limit = 1
    On Error Resume Next
    limit = 2
    WScript.Echo "assign to a local Const:", Err.Number, limit
    Err.Clear
    Erase nothingHere
    WScript.Echo "Erase of an unknown name:", Err.Number
    Err.Clear
    For nothingEither = 1 To 2 : Next
    WScript.Echo "For with an unknown name:", Err.Number
    Err.Clear
    WScript.Echo UBound(grown)
    WScript.Echo "a global dynamic array after Erase:", Err.Number
End Sub
Failures
' expect: assign to a local Const: 501 1
' expect: Erase of an unknown name: 500
' expect: For with an unknown name: 500
' expect: a global dynamic array after Erase: 9
On Error Resume Next
Dim probe
probe = own
WScript.Echo "a procedure's ReDim is not global:", Err.Number
' expect: a procedure's ReDim is not global: 500
