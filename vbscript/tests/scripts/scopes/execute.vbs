Option Explicit
' Code that Execute runs inside a procedure declares into that call; ExecuteGlobal declares globals.
Dim shared()
Sub Work(pass)
    Dim mine
    Execute "Dim temp : temp = 5 * pass : mine = temp + 1"
    WScript.Echo "Dim in Execute belongs to the call:", temp, mine
    Execute "ReDim Preserve shared(pass) : shared(pass) = ""s"" & pass"
    Execute "ReDim own(pass + 1)"
    Execute "Dim list(2) : list(2) = ""two"""
    WScript.Echo "ReDim in Execute:", UBound(shared), shared(pass), UBound(own), list(2)
    Execute "Const limit = 7"
    On Error Resume Next
    Execute "limit = 8"
    WScript.Echo "Const in Execute:", limit, Err.Number
    Err.Clear
    Execute "For Each unknownItem In Array(1) : Next"
    WScript.Echo "unknown names still fail:", Err.Number
    On Error GoTo 0
    ExecuteGlobal "Dim madeGlobal : madeGlobal = ""global"""
End Sub
Work 1
' expect: Dim in Execute belongs to the call: 5 6
' expect: ReDim in Execute: 1 s1 2 two
' expect: Const in Execute: 7 501
' expect: unknown names still fail: 500
Work 2
' expect: Dim in Execute belongs to the call: 10 11
' expect: ReDim in Execute: 2 s2 3 two
' expect: Const in Execute: 7 501
' expect: unknown names still fail: 500
WScript.Echo "ExecuteGlobal from a procedure:", madeGlobal, shared(1)
' expect: ExecuteGlobal from a procedure: global s1
Dim probe, failures
On Error Resume Next
probe = temp : failures = Err.Number : Err.Clear
probe = own : failures = failures & " " & Err.Number : Err.Clear
probe = list : failures = failures & " " & Err.Number : Err.Clear
probe = limit : failures = failures & " " & Err.Number
WScript.Echo "nothing leaked into the globals:", failures
' expect: nothing leaked into the globals: 500 500 500 500
