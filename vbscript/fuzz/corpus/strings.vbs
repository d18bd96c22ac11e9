Sub main
    On Error Resume Next
    Dim s, parts, re, m
    s = "alpha,beta,,gamma"
    parts = Split(s, ",")
    ReDim Preserve parts(UBound(parts) + 1)
    parts(UBound(parts)) = UCase(Mid(s, 2, 3)) & Replace(s, "a", "A", 1, -1, vbTextCompare)
    s = Join(parts, "|") & FormatNumber(1234.5, 1) & CStr(1.5E-07) & Hex(-1)
    Set re = New RegExp
    re.Pattern = "(\w+)\|(\w*)"
    re.Global = True
    For Each m In re.Execute(s) : s = s & m.SubMatches(0) : Next
    s = re.Replace(s, "$2-$1")
    host.twice s
    Err.Raise 5
    If Err.Number <> 0 Then host.fail
    s = DateAdd("m", 1, CDate("January 31, 2000")) & DatePart("ww", Now, vbMonday, vbFirstFourDays)
    Execute "s = s & Eval(""1 + 2 * 3"")"
End Sub
