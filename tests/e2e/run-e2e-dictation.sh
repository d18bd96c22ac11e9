#!/usr/bin/env bash
# Dictation by voice, end to end (see e2e-lib.sh): the activate phrase, the dictation command, a sentence
# that must be typed into a window, the stop phrase, and then a plugin command that must still run: the
# program hears commands again once dictation has stopped.
# Usage: run-e2e-dictation.sh PROGRAM_FOLDER SOURCE_FOLDER KEY_TARGET
set -euo pipefail

program_folder=$1
source_folder=$2
key_target=$3
source "$(dirname "$0")/e2e-lib.sh"

e2e_start_session
cp "$source_folder/content/data/runprogram.qzp" "$source_folder/content/data/dictation.qzp" "$app/data/"
printf '%s\r\n' \
  'computer are you there|activate|Ready' \
  'thank you computer|deactivate|Stopped' \
  'computer go to sleep|sleep|Sleeping' \
  'take a note|plugin|dictation|stop dictation|Dictation stopped.' \
  "open the test file|plugin|runprogram|touch $work/ran" > "$app/data/brain.qzb"
speech activate "computer are you there"
speech note "take a note"
speech sentence "the weather is nice today"
speech stop "stop dictation"
speech command "open the test file"

# The window that has the keyboard focus: it prints "ready", then "text:" and its text after each change.
QT_QPA_PLATFORM=xcb "$key_target" >"$work/target.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do grep -q '^ready' "$work/target.log" && break; sleep 0.1; done
grep -q '^ready' "$work/target.log" || fail "the key target window never got the focus"

e2e_start_program

listening=0
for attempt in 1 2 3; do
  say activate
  if wait_for_log 'status: "Listening\.\.\."|stat.*Listening' 6; then listening=1; break; fi
  echo "e2e: attempt $attempt did not start listening yet"
done
[[ $listening == 1 ]] || fail "the activate phrase was not recognised"
silence 3 # the reply

say note
wait_for_log 'dictation mode "capturesentence"' 6 || fail "the dictation command did not start dictation"
say sentence
for _ in $(seq 30); do grep -q '^text:.\+' "$work/target.log" && break; silence 0.2; done
grep -q '^text:.\+' "$work/target.log" || fail "nothing was typed while dictating"
echo "e2e: typed while dictating: $(grep '^text:' "$work/target.log" | tail -n 1)"

stopped=0
for attempt in 1 2 3; do
  say stop
  if wait_for_log 'dictation mode ""' 6; then stopped=1; break; fi
  echo "e2e: attempt $attempt: the stop phrase did not end dictation yet"
done
[[ $stopped == 1 ]] || fail "the stop phrase did not end dictation"
typed_before=$(grep -c '^text:' "$work/target.log" || true)
silence 4 # "Dictation stopped." is spoken

for attempt in 1 2 3; do
  say command
  wait_for_file "$work/ran" 8 && break
  echo "e2e: attempt $attempt did not run the command yet"
done
[[ -f "$work/ran" ]] || fail "after dictation the program no longer ran a spoken command"
typed_after=$(grep -c '^text:' "$work/target.log" || true)
[[ $typed_after == "$typed_before" ]] || fail "the command after dictation was typed into the window"
kill -0 "$quorzel" 2>/dev/null || fail "the program ended"
echo "e2e: dictation started and stopped by voice; the next command ran"
