Set d = CreateObject("Scripting.Dictionary")
d.CompareMode = vbBinaryCompare
d.Add "one", 1
d("two") = 2
WScript.Echo d.Count, d.Exists("one"), d.Exists("ONE"), Join(d.Keys, ","), Join(d.Items, ",")
' expect: 2 True False one,two 1,2
d.Remove "one"
WScript.Echo d.Count, IsEmpty(d("missing")), d.Count
' expect: 1 True 2
On Error Resume Next
d.Add "two", 3
WScript.Echo Err.Number
' expect: 457
Err.Clear
d.CompareMode = vbTextCompare
WScript.Echo Err.Number
' expect: 5
Err.Clear
On Error GoTo 0
Set re = New RegExp
re.Pattern = "(\w+)@(\w+)\.com"
re.Global = True
re.IgnoreCase = True
Set ms = re.Execute("Mail ann@example.com or BOB@test.COM")
WScript.Echo ms.Count, ms(0).Value, ms(0).FirstIndex, ms(1).SubMatches(0), ms(1).SubMatches.Count
' expect: 2 ann@example.com 5 BOB 2
WScript.Echo re.Test("none here"), re.Replace("x@y.com", "$2 at $1")
' expect: False y at x
Set re2 = CreateObject("VBScript.RegExp")
re2.Pattern = "a+"
WScript.Echo re2.Replace("caaat baa", "-")
' expect: c-t baa
