#!/usr/bin/env bash
# A command made in the program as a user makes it (see e2e-lib.sh): "Add command" > "runprogram" chosen
# on a real display, the dialog filled from the keyboard, Enter pressed; the new line must be in brain.qzb
# as written, and saying its phrase at once must run its program; then its row's pencil changes it and its
# cross deletes it, each step checked byte for byte in brain.qzb.
# Usage: run-e2e-editor.sh PROGRAM_FOLDER SOURCE_FOLDER
set -euo pipefail

program_folder=$1
source_folder=$2
source "$(dirname "$0")/e2e-lib.sh"
command -v xdotool >/dev/null || { echo "e2e: xdotool is missing (scripts/install-deps installs it)"; exit 1; }

# The first shown window whose name matches `pattern`, waiting up to 10 s (feeding silence); "" if none.
find_window() {
  local found=""
  for _ in $(seq 50); do
    found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
    [[ -n "$found" ]] && break
    silence 0.2
  done
  echo "$found"
}

e2e_start_session
cp "$source_folder/content/data/"*.qzp "$app/data/"
printf 'computer are you there|activate|Ready\r\nthank you computer|deactivate|Stopped\r\ncomputer go to sleep|sleep|Sleeping\r\n' \
  > "$app/data/brain.qzb"
speech activate "computer are you there"
speech command "open the new file"
e2e_start_program

# Without a tray the main window shows at start-up; its menu bar starts with "Add command".
window=$(find_window '^Quorzel')
[[ -n "$window" ]] || fail "the main window is not shown"
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove $((X + 30)) $((Y + 9)) click 1
silence 1
# The plugins in name order: dictation, keys, readselection, repeat, runprogram, ...
xdotool key --delay 80 Down Down Down Down Down Return
dialog=$(find_window '^Add$')
[[ -n "$dialog" ]] || fail "choosing runprogram did not open its dialog"
silence 1
# The phrase box has the focus; Tab goes to the command line; Enter presses "Create".
xdotool type --delay 20 "open the new file"
xdotool key Tab
xdotool type --delay 20 "touch $work/ran"
xdotool key Return
silence 1

expected=$(printf 'open the new file|plugin|runprogram|touch %s/ran\r\n' "$work" | od -An -c)
actual=$(tail -n 1 "$app/data/brain.qzb" | od -An -c)
[[ "$actual" == "$expected" ]] || fail "brain.qzb's last line is not the new command: $(tail -n 1 "$app/data/brain.qzb" | od -c)"
[[ -z "$(xdotool search --onlyvisible --name '^Add$' 2>/dev/null)" ]] || fail "the dialog stayed open after Create"

activate_then_say_until_file command "$work/ran" || fail "the command made in the dialog did not run when its phrase was said"
kill -0 "$quorzel" 2>/dev/null || fail "the program ended"
echo "e2e: the command made through Add command ran when said"

# Change it with its row's pencil, then delete it with the cross. At 96 DPI a row is 33 pixels high under
# the 18-pixel menu bar; the pencil and the cross sit 29 and 12 pixels from the list's right edge, in the
# row's upper half. Row 3 is the new command.
row_y=$((Y + 18 + 3 * 33 + 12))
xdotool mousemove $((X + 150)) "$row_y" click 1
silence 0.5
xdotool mousemove $((X + 340 - 29)) "$row_y" click 1
dialog=$(find_window '^Add$')
[[ -n "$dialog" ]] || fail "the row's change button did not open the dialog"
silence 1
xdotool key Tab ctrl+a
xdotool type --delay 20 "touch $work/changed"
xdotool key Return
silence 1
expected=$(printf 'open the new file|plugin|runprogram|touch %s/changed\r\n' "$work" | od -An -c)
actual=$(tail -n 1 "$app/data/brain.qzb" | od -An -c)
[[ "$actual" == "$expected" ]] || fail "the changed command is not brain.qzb's last line: $(od -c "$app/data/brain.qzb")"
[[ $(wc -l < "$app/data/brain.qzb") -eq 4 ]] || fail "Change left the old record: $(od -c "$app/data/brain.qzb")"

xdotool mousemove $((X + 150)) "$row_y" click 1
silence 0.5
xdotool mousemove $((X + 340 - 12)) "$row_y" click 1
silence 1
expected=$(printf 'computer are you there|activate|Ready\r\nthank you computer|deactivate|Stopped\r\ncomputer go to sleep|sleep|Sleeping\r\n' | od -An -c)
[[ "$(od -An -c "$app/data/brain.qzb")" == "$expected" ]] || fail "the row's delete button did not remove the command: $(od -c "$app/data/brain.qzb")"
kill -0 "$quorzel" 2>/dev/null || fail "the program ended"
echo "e2e: changed with the row's pencil and deleted with its cross"
