#!/usr/bin/env bash
# The character head as a user meets it (see e2e-lib.sh): the program starts with the head the current-head
# file names, shaped and at the screen's centre; saying the "activate" phrase makes its mouth move while the
# reply plays and brings back the rest frame when it ends; the next start shows the same head.
# Usage: run-e2e-head.sh PROGRAM_FOLDER SOURCE_FOLDER
set -euo pipefail

program_folder=$1
source_folder=$2
source "$(dirname "$0")/e2e-lib.sh"

e2e_start_session
cp "$source_folder"/content/character/*.qzc "$app/character/"
printf 'Cat\r\n' > "$app/character/currenthead.qzs"
printf 'computer start listening|activate|I am listening and I am ready for your commands\r\ncomputer stop listening|deactivate|Stopped\r\ncomputer go to sleep|sleep|Sleeping\r\n' \
  > "$app/data/brain.qzb"
speech activate "computer start listening"

# The head window: its id, size and place ("120x140+512+384" on the 1024 x 768 screen).
head_geometry() { xwininfo -root -tree | awk '/"Character Head"/ { print $NF; exit }'; }
check_head_shown() {
  local geometry="" id
  for _ in $(seq 20); do geometry=$(head_geometry); [[ -n "$geometry" ]] && break; silence 0.2; done
  [[ "$geometry" == "+512+384" ]] || fail "the head is not at the screen's centre: '$geometry'"
  id=$(xwininfo -root -tree | awk '/"Character Head"/ { print $1; exit }')
  xwininfo -id "$id" | grep -q "Map State: IsViewable" || fail "the head is not shown"
  xwininfo -id "$id" | grep -q -- "-geometry 120x140" || fail "the head is not one frame in size"
  xwininfo -shape -id "$id" | grep -q "Window shape extents" || fail "the head window is not shaped"
}

e2e_start_program
wait_for_log 'quorzel.head: head "Cat" shown' 5 || fail "the current head was not loaded at start-up"
check_head_shown

for attempt in 1 2 3; do
  say activate
  wait_for_log 'quorzel.head: mouth frame' 6 && break
  echo "e2e: attempt $attempt did not make the mouth move yet"
done
wait_for_log 'quorzel.head: mouth frame 1[123]' 1 || fail "the mouth did not move while the reply played"
wait_for_log 'quorzel.head: rest frame' 8 || fail "the head did not come back to rest when the reply ended"
mouth_frames=$(grep -c 'quorzel.head: mouth frame' "$work/quorzel.log")
[[ $mouth_frames -ge 5 ]] || fail "only $mouth_frames mouth frames for a reply of several seconds"
[[ "$(tr -d '\r\n' < "$app/character/currenthead.qzs")" == Cat ]] || fail "the current-head file changed"

kill "$quorzel"
wait "$quorzel" 2>/dev/null || true
: > "$work/quorzel.log"
e2e_start_program
wait_for_log 'quorzel.head: head "Cat" shown' 5 || fail "the next start did not show the same head"
check_head_shown
echo "e2e: the head showed, talked with the reply and came back at the next start"
