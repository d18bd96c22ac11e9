' Strings against numbers follow VBScript's literal rules; text is compared by code unit.
Dim s, n
s = "10" : n = 9
WScript.Echo "10" > 9, s > n, s = 10, "abc" < "abd", "B" < "a"
' expect: True True True True True
WScript.Echo Empty = 0, Empty = "", IsNull(Null = Null), 1 = 1.0
' expect: True True True True
WScript.Echo "True" = True, StrComp("a", "A"), StrComp("a", "A", vbTextCompare)
' expect: True 1 0
Set a = New RegExp : Set b = a
WScript.Echo a Is b, a Is Nothing
' expect: True False
On Error Resume Next
x = ("abc" = 5)
WScript.Echo Err.Number
' expect: 13
