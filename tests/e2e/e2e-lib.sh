# Shared by the end-to-end scenarios (sourced, not run): a virtual display (Xvfb), a sound server
# (PulseAudio) whose microphone is a pipe we write speech into and whose speaker is a null sink, speech made
# with espeak-ng, and the program started in a program folder of its own.
# A scenario sets `program_folder` and `source_folder`, sources this file, calls e2e_start_session, writes
# "$app/data/brain.qzb" and the plugins it needs, then e2e_start_program.

for tool in Xvfb pulseaudio pactl espeak-ng sox; do
  command -v "$tool" >/dev/null || { echo "e2e: $tool is missing (scripts/install-deps installs it)"; exit 1; }
done

work=$(mktemp -d /tmp/quorzel-e2e.XXXXXX)
app="$work/Quorzel"
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
  echo "---- kept in $work"
  keep=1
  exit 1
}

# Speech for a phrase, as 16 kHz mono 16-bit samples in $work/NAME.raw. Extra espeak-ng options may follow.
speech() {
  local name=$1 text=$2
  shift 2
  espeak-ng -v en-us -s 150 "$@" -w "$work/$name.wav" "$text"
  sox -q "$work/$name.wav" -r 16000 -c 1 -b 16 -e signed-integer -t raw "$work/$name.raw"
}

e2e_start_session() {
  mkdir -p "$app/data" "$app/character"
  cp "$program_folder/quorzel" "$app/"
  printf 'none\r\n' > "$app/character/currenthead.qzs"

  display_number=$((90 + RANDOM % 100))
  Xvfb ":$display_number" -nolisten tcp -screen 0 1024x768x24 >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 50); do [[ -S /tmp/.X11-unix/X$display_number ]] && break; sleep 0.1; done
  [[ -S /tmp/.X11-unix/X$display_number ]] || fail "Xvfb did not start"
  export DISPLAY=":$display_number"

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
  # From here on the microphone is fed: silence in real time, speech when asked.
  exec 3>"$work/microphone"
}

silence() { # seconds, written in 100 ms steps so the stream runs at about real time
  local steps; steps=$(awk "BEGIN { print int($1 * 10) }")
  for _ in $(seq "$steps"); do head -c 3200 /dev/zero >&3; sleep 0.1; done
}
say() { cat "$work/$1.raw" >&3; silence 1.5; }

e2e_start_program() {
  HOME="$work" QT_QPA_PLATFORM=xcb QT_LOGGING_RULES="quorzel.*=true" "$app/quorzel" >"$work/quorzel.log" 2>&1 &
  quorzel=$!
  pids+=($quorzel)
  silence 4 # start-up: model loading
  kill -0 "$quorzel" 2>/dev/null || fail "the program ended at start-up"
}

# Waits up to `seconds` (feeding silence) for a file to appear; returns whether it did.
wait_for_file() {
  local file=$1 seconds=$2 steps
  steps=$(awk "BEGIN { print int($seconds * 5) }")
  for _ in $(seq "$steps"); do [[ -e "$file" ]] && return 0; silence 0.2; done
  [[ -e "$file" ]]
}

# Waits up to `seconds` (feeding silence) for the program's log to hold a line matching `pattern`.
wait_for_log() {
  local pattern=$1 seconds=$2 steps
  steps=$(awk "BEGIN { print int($seconds * 5) }")
  for _ in $(seq "$steps"); do grep -q -E "$pattern" "$work/quorzel.log" && return 0; silence 0.2; done
  grep -q -E "$pattern" "$work/quorzel.log"
}

# Says the "activate" speech, waits out its reply, then says `command`, until `file` appears (three tries,
# since a first utterance after start-up can be missed); returns whether it did.
activate_then_say_until_file() {
  local command=$1 file=$2
  for attempt in 1 2 3; do
    say activate
    silence 3 # the reply is spoken; commands are ignored until it ends
    say "$command"
    wait_for_file "$file" 8 && return 0
    echo "e2e: attempt $attempt did not run the command yet"
  done
  return 1
}
