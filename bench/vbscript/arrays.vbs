' Array work: building, Split and Join, ReDim Preserve, For Each and an in-place sort.
Option Explicit
Dim values, count, i, j, round, csv, parts, item, sum, tmp, words

count = 700
ReDim values(count - 1)
For i = 0 To count - 1
    values(i) = (i * 7919) Mod 1000
Next

sum = 0
For round = 1 To 900
    csv = Join(values, ",")
    parts = Split(csv, ",")
    For Each item In parts
        sum = sum + CLng(item)
    Next
    ReDim Preserve values(UBound(values) + 1)
    values(UBound(values)) = round
Next

' Insertion sort of the grown array
For i = 1 To UBound(values)
    tmp = values(i)
    j = i - 1
    Do While j >= 0
        If values(j) <= tmp Then Exit Do
        values(j + 1) = values(j)
        j = j - 1
    Loop
    values(j + 1) = tmp
Next

words = Split("the quick brown fox jumps over the lazy dog", " ")
For i = 1 To 60000
    words(i Mod 9) = StrReverse(words((i + 3) Mod 9))
    csv = Join(words, " ")
Next
WScript.Echo "arrays " & sum & " " & values(0) & " " & values(UBound(values)) & " " & Len(csv)
