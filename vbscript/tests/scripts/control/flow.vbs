' If (both forms), Select Case, loops with Step and Exit, With, single-line procedures.
For i = 10 To 1 Step -3 : s = s & i & " " : Next
WScript.Echo Trim(s)
' expect: 10 7 4 1
If s = "" Then WScript.Echo "empty" Else WScript.Echo "full"
' expect: full
Function Kind(v)
    Select Case v
        Case 1, 2 : Kind = "small"
        Case "x" : Kind = "letter"
        Case Else : Kind = "other"
    End Select
End Function
WScript.Echo Kind(2), Kind("x"), Kind(99)
' expect: small letter other
n = 0
Do
    n = n + 1
    If n = 5 Then Exit Do
Loop While True
Do Until n >= 8 : n = n + 1 : Loop
While n < 10 : n = n + 1 : Wend
WScript.Echo n
' expect: 10
For Each v In Array(1, "two", 3.5)
    t = t & TypeName(v) & ","
Next
WScript.Echo t, IsEmpty(v)
' expect: Integer,String,Double, True
Set d = CreateObject("Scripting.Dictionary")
With d
    .Add "k", 1
    .Item("k") = .Item("k") + 41
    WScript.Echo .Count, d("k")
End With
' expect: 1 42
Sub OneLine() WScript.Echo "one line" End Sub
OneLine
' expect: one line
