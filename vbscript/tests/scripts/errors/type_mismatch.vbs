' An unhandled runtime error stops the script with its number.
WScript.Echo "before"
' expect: before
x = "abc" * 2
WScript.Echo "after"
' expect error: 13
