Option Explicit
Dim known
known = 1
unknown = 2
' expect error: 500
