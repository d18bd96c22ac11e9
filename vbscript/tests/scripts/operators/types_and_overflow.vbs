' Result subtypes of arithmetic, overflow promotion and Null propagation.
WScript.Echo TypeName(1 + 2), TypeName(32767 + 1), TypeName(2147483647 + 1)
' expect: Integer Long Double
WScript.Echo TypeName(CByte(200) + CByte(55)), TypeName(CByte(200) + CByte(56))
' expect: Byte Integer
WScript.Echo TypeName(1 / 2), 7 \ 2, -7 \ 2, 7 Mod -3, -7 Mod 3
' expect: Double 3 -3 1 -1
WScript.Echo TypeName("3" + 4), "3" + 4, "3" & 4, TypeName(Empty + Empty)
' expect: Double 7 34 Integer
WScript.Echo IsNull(Null + 1), IsNull(Null & Null), "a" & Null
' expect: True True a
WScript.Echo True + True, -True, TypeName(True + True)
' expect: -2 1 Integer
WScript.Echo 2 ^ 10, -3 ^ 2, 2 * 3 ^ 2
' expect: 1024 9 18
WScript.Echo CInt(2.5), CInt(3.5), CInt(-2.5), CLng(1.5), Round(2.5), Round(2.675, 2)
' expect: 2 4 -2 2 2 2.68
WScript.Echo &HFF, &HFFFF, &H8000&, TypeName(&HFFFF), 1e3, .5
' expect: 255 -1 32768 Integer 1000 0.5
WScript.Echo 5 And 3, 5 Or 3, 5 Xor 3, Not 0, True And Null, IsNull(True Or Null) = False
' expect: 1 7 6 -1 Null True
