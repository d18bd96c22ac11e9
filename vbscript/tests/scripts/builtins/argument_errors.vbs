' Error numbers of built-ins given Null, out-of-range or unsuitable arguments.
On Error Resume Next
Function E()
    E = Err.Number
    Err.Clear
End Function
Class NoDefault : End Class
x = InStrRev(Null, "a") : a = E()
x = Replace("xx", Null, "y") : b = E()
x = Split(Null) : c = E()
x = Split("a-b", "-", -1, 2) : d = E()
WScript.Echo a, b, c, d
' expect: 94 94 94 5
x = Join(New NoDefault) : a = E()
x = Join(Array(1, Null)) : b = E()
Dim grid(1, 1)
x = Join(grid) : c = E()
x = Join(Array(1, Empty), "-") : d = E()
WScript.Echo a, b, c, d, x
' expect: 438 13 13 0 1-
Call Sgn(Null) : a = E()
x = RGB(-1, 0, 0) : b = E()
x = RGB(1, 256, 0) : c = E()
d = x
x = FormatDateTime(Null) : e1 = E()
Err.Raise &H10000& : f = E()
x = ChrB(256) : g = E()
WScript.Echo a, b, c, d, e1, f, g
' expect: 94 5 0 65281 13 5 6
