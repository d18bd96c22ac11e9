' Building a long string in a loop and slicing it stay exact.
s = ""
For i = 1 To 100000
    s = s & "x"
Next
WScript.Echo Len(s), Len(Replace(s, "x", "ab")), Len(Space(1000000))
' expect: 100000 200000 1000000
a = Split(String(50000, ","), ",")
WScript.Echo UBound(a)
' expect: 50000
