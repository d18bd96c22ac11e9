' A syntax error anywhere means nothing runs.
WScript.Echo "never"
If x Then
' expect error: 1014
