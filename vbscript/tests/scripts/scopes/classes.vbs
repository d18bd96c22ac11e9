Option Explicit
' Statements in class methods reach the fields of their class, declared before or after the method,
' and the globals beyond them.
Dim log()
Class Stack
    Private items()
    Public Sub Push(v)
        ReDim Preserve items(count)
        items(count) = v
        count = count + 1
        ReDim Preserve log(count - 1)
        log(count - 1) = "push " & v
    End Sub
    Public Function Joined
        Dim one
        Joined = ""
        For Each one In items : Joined = Joined & one : Next
    End Function
    Public Sub Reset
        Erase items
        count = 0
    End Sub
    Public Sub Grow
        ReDim later(2)
        Set holder = Me
        For index = 0 To 2 : later(index) = index : Next
    End Sub
    Public Function Report
        Report = UBound(later) & " " & later(2) & " " & (holder Is Me) & " " & index
    End Function
    Public Function Scratch
        ReDim notAField(1)
        Scratch = UBound(notAField)
    End Function
    Public Sub ResizeByExecute
        Execute "ReDim later(6)"
    End Sub
    Private count, later(), holder, index
End Class

Dim s : Set s = New Stack
s.Push "a" : s.Push "b" : s.Push "c"
WScript.Echo "fields and a global resized in a method:", s.Joined(), UBound(log), log(2)
' expect: fields and a global resized in a method: abc 2 push c
s.Reset : s.Push "z"
WScript.Echo "after Erase of a field:", s.Joined()
' expect: after Erase of a field: z
s.Grow
WScript.Echo "ReDim, Set and For on fields declared after the method:", s.Report()
' expect: ReDim, Set and For on fields declared after the method: 2 2 True 3
s.ResizeByExecute
WScript.Echo "Execute in a method resizes the field:", s.Report()
' expect: Execute in a method resizes the field: 6  True 3
WScript.Echo "ReDim of an unknown name in a method:", s.Scratch()
' expect: ReDim of an unknown name in a method: 1
On Error Resume Next
Dim probe
probe = notAField
WScript.Echo "nothing of the method became global:", Err.Number
' expect: nothing of the method became global: 500
Err.Clear
probe = later
WScript.Echo "nor did the field:", Err.Number
' expect: nor did the field: 500
