#!/usr/bin/env bash
# `make install` and `make uninstall` for one user, in a home of the test's own: the program folder and the
# desktop entry land where the application menu finds them, a second install keeps the user's commands,
# and uninstalling leaves them too.
set -eu
root="$1"
build="$2"
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
export XDG_DATA_HOME="$home/share"
fail() { echo "FAIL: $*" >&2; exit 1; }

"$root/scripts/install-user" install "$build" >/dev/null
folder="$XDG_DATA_HOME/quorzel"
entry="$XDG_DATA_HOME/applications/quorzel.desktop"
[[ -x "$folder/quorzel" ]] || fail "no executable in $folder"
cmp -s "$folder/data/brain.qzb" "$root/content/data/brain.qzb" || fail "the shipped commands were not copied"
[[ -f "$folder/character/Robot.qzc" && -f "$folder/data/say.qzp" ]] || fail "the content was not copied"
[[ -f "$XDG_DATA_HOME/icons/hicolor/64x64/apps/quorzel.png" ]] || fail "no icon"
grep -qx "Exec=\"$folder/quorzel\"" "$entry" || fail "the entry does not start the installed program: $(grep Exec "$entry")"
grep -qx "Type=Application" "$entry" && grep -qx "Name=Quorzel" "$entry" && grep -qx "Icon=quorzel" "$entry" ||
  fail "the entry lacks its keys"
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$entry" || fail "invalid entry"; fi

# The user's own commands and head survive a new install; a file the user deleted comes back.
printf 'my phrase|plugin|say|mine\r\n' >> "$folder/data/brain.qzb"
printf 'Cat\r\n' > "$folder/character/currenthead.qzs"
mine="$(md5sum < "$folder/data/brain.qzb")"
rm "$folder/data/time.qzp"
"$root/scripts/install-user" install "$build" >/dev/null
[[ "$(md5sum < "$folder/data/brain.qzb")" == "$mine" ]] || fail "a new install changed the user's commands"
[[ "$(cat "$folder/character/currenthead.qzs")" == $'Cat\r' ]] || fail "a new install changed the current head"
[[ -f "$folder/data/time.qzp" ]] || fail "a missing shipped file was not copied again"

"$root/scripts/install-user" uninstall >/dev/null
[[ ! -e "$entry" && ! -e "$folder/quorzel" ]] || fail "uninstall left the program or its entry"
[[ "$(md5sum < "$folder/data/brain.qzb")" == "$mine" ]] || fail "uninstall removed the user's commands"
echo "install and uninstall: ok"
