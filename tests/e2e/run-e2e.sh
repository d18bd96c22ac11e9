#!/usr/bin/env bash
# Drives the built program as a user would: a virtual display (Xvfb), a sound server (PulseAudio) whose
# microphone is a pipe we write speech into and whose speaker is a null sink, speech made with espeak-ng.
# Says the "activate" phrase, then a runprogram command, and checks that the command's program ran.
# Usage: run-e2e.sh PROGRAM_FOLDER SOURCE_FOLDER
set -euo pipefail

program_folder=$1
source_folder=$2
for tool in Xvfb pulseaudio pactl espeak-ng sox; do
  command -v "$tool" >/dev/null || { echo "e2e: $tool is missing (scripts/install-deps installs it)"; exit 1; }
done

work=$(mktemp -d /tmp/quorzel-e2e.XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  if [[ "${keep:-}" != 1 ]]; then rm -rf "$work"; fi
}
trap cleanup EXIT
fail() {
  echo "e2e: FAILED: $*"
  echo "---- program output"; cat "$work/quorzel.log" 2>/dev/null || true
  keep=1
  exit 1
}

# A program folder of our own, with the executable, the runprogram plugin and two commands.
app="$work/Quorzel"
mkdir -p "$app/data" "$app/character"
cp "$program_folder/quorzel" "$app/"
cp "$source_folder/content/data/runprogram.qzp" "$app/data/"
printf 'computer start listening|activate|Ready\r\ncomputer stop listening|deactivate|Stopped\r\ncomputer go to sleep|sleep|Sleeping\r\nopen the test file|plugin|runprogram|touch %s/ran\r\n' \
  "$work" > "$app/data/brain.qzb"
printf 'none\r\n' > "$app/character/currenthead.qzs"

# Speech for the two phrases, as 16 kHz mono 16-bit samples.
speech() {
  espeak-ng -v en-us -s 150 -w "$work/$1.wav" "$2"
  sox -q "$work/$1.wav" -r 16000 -c 1 -b 16 -e signed-integer -t raw "$work/$1.raw"
}
speech activate "computer start listening"
speech command "open the test file"

# The display.
display_number=$((90 + RANDOM % 100))
Xvfb ":$display_number" -nolisten tcp -screen 0 1024x768x24 >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [[ -S /tmp/.X11-unix/X$display_number ]] && break; sleep 0.1; done
[[ -S /tmp/.X11-unix/X$display_number ]] || fail "Xvfb did not start"

# The sound server: a pipe as the microphone, a null sink as the speaker.
cat > "$work/pulse.pa" <<PA
load-module module-native-protocol-unix socket=$work/pulse.socket auth-anonymous=1
load-module module-null-sink sink_name=quorzel_speaker
load-module module-pipe-source source_name=quorzel_microphone file=$work/microphone format=s16le rate=16000 channels=1
set-default-sink quorzel_speaker
set-default-source quorzel_microphone
PA
HOME="$work" XDG_RUNTIME_DIR="$work" pulseaudio -n -F "$work/pulse.pa" --daemonize=no --exit-idle-time=-1 \
  --disallow-exit --use-pid-file=no >"$work/pulse.log" 2>&1 &
pids+=($!)
export PULSE_SERVER="unix:$work/pulse.socket"
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl info >/dev/null 2>&1 || fail "PulseAudio did not start"

# Feed the microphone from here on: silence in real time, speech when asked.
exec 3>"$work/microphone"
silence() { # seconds, written in 100 ms steps so the stream runs at about real time
  local steps; steps=$(awk "BEGIN { print int($1 * 10) }")
  for _ in $(seq "$steps"); do head -c 3200 /dev/zero >&3; sleep 0.1; done
}
say() { cat "$work/$1.raw" >&3; silence 1.5; }

HOME="$work" DISPLAY=":$display_number" QT_QPA_PLATFORM=xcb QT_LOGGING_RULES="quorzel.*=true" "$app/quorzel" >"$work/quorzel.log" 2>&1 &
quorzel=$!
pids+=($quorzel)
silence 4 # start-up: model loading
kill -0 "$quorzel" 2>/dev/null || fail "the program ended at start-up"

for attempt in 1 2 3; do
  say activate
  silence 3 # the reply is spoken; commands are ignored until it ends
  say command
  for _ in $(seq 40); do [[ -f "$work/ran" ]] && break; silence 0.2; done
  [[ -f "$work/ran" ]] && break
  echo "e2e: attempt $attempt did not run the command yet"
done
[[ -f "$work/ran" ]] || fail "the runprogram command did not run its program"
kill -0 "$quorzel" 2>/dev/null || fail "the program ended"
echo "e2e: the spoken command ran its program"
