s = "Hello, World"
WScript.Echo Len(s), Left(s, 5), Right(s, 5), Mid(s, 8, 3), UCase(s), LCase("ÀB")
' expect: 12 Hello World Wor HELLO, WORLD àb
WScript.Echo InStr(s, "o"), InStr(6, s, "o"), InStrRev(s, "o"), InStr(1, s, "WORLD", 1)
' expect: 5 9 9 8
WScript.Echo Replace("a-b-c", "-", "+"), Replace("aXbxc", "x", "_", 1, -1, vbTextCompare)
' expect: a+b+c a_b_c
parts = Split("a,b,,c", ",")
WScript.Echo UBound(parts), Join(parts, "|"), UBound(Split(""))
' expect: 3 a|b||c -1
WScript.Echo "[" & Trim("  x  ") & "]", Space(3) & "|", String(3, "*"), StrReverse("abc")
' expect: [x]    | *** cba
WScript.Echo Asc("A"), Chr(66), AscW(ChrW(8364)), Hex(255), Oct(8), Hex(-1)
' expect: 65 B 8364 FF 10 FFFF
WScript.Echo CStr(1.5), CStr(1E+20), CDbl("1,000.5"), IsNumeric("12e3"), IsNumeric("abc")
' expect: 1.5 1E+20 1000.5 True False
WScript.Echo Join(Filter(Array("apple", "pear", "plum"), "um", False), ","), Join(Filter(Array("apple", "pear"), "pe"), ",")
' expect: apple,pear pear
WScript.Echo TypeName(Array()), VarType("x"), VarType(Array(1)), TypeName(Nothing), TypeName(Null)
' expect: Variant() 8 8204 Nothing Null
WScript.Echo FormatNumber(1234.5), FormatPercent(0.25, 0), Escape("a b")
' expect: 1,234.50 25% a%20b
WScript.Echo Year(DateSerial(2003, 1, 2)), Month(#1/2/2003#), Weekday(#1/5/2003#), DateAdd("d", 30, #1/2/2003#)
' expect: 2003 1 1 2/1/2003
WScript.Echo Eval("1 + 2 * 3")
' expect: 7
Execute "WScript.Echo ""executed"""
' expect: executed
