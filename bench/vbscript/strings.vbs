' String building in a loop: concatenation, conversions and the string functions plugins use most.
Option Explicit
Dim rounds, i, line, total, word, found
rounds = 750000
total = 0
found = 0
line = ""
For i = 1 To rounds
    word = "item" & i
    line = line & word & ";"
    If i Mod 7 = 0 Then line = line & UCase(Left(word, 2)) & LCase("XY")
    If InStr(word, "99") > 0 Then found = found + 1
    If Len(line) > 1000 Then
        line = Replace(line, ";", ",")
        total = total + Len(line) + Len(Trim("  " & Mid(line, 10, 20) & "  "))
        line = ""
    End If
Next
WScript.Echo "strings " & total & " " & found & " " & Len(line)
