#!/usr/bin/env bash
# Runs a command against a sound server of its own: PulseAudio with a null sink "quorzel_speaker" as the
# default output, and as the default input "quorzel_playback", what that sink plays (its monitor remapped
# into an ordinary source, as Qt lists no monitors); no real device.
# Usage: with-null-sink.sh COMMAND [ARGS...]
set -euo pipefail
command -v pulseaudio >/dev/null || { echo "with-null-sink: pulseaudio is missing (scripts/install-deps installs it)"; exit 1; }
work=$(mktemp -d /tmp/quorzel-sink.XXXXXX)
cleanup() {
  [[ -n "${pulse:-}" ]] && kill "$pulse" 2>/dev/null
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
cat > "$work/pulse.pa" <<PA
load-module module-native-protocol-unix socket=$work/pulse.socket auth-anonymous=1
load-module module-null-sink sink_name=quorzel_speaker
set-default-sink quorzel_speaker
load-module module-remap-source master=quorzel_speaker.monitor source_name=quorzel_playback source_properties=device.description=Playback
set-default-source quorzel_playback
PA
HOME="$work" XDG_RUNTIME_DIR="$work" pulseaudio -n -F "$work/pulse.pa" --daemonize=no --exit-idle-time=-1 \
  --disallow-exit --use-pid-file=no >"$work/pulse.log" 2>&1 &
pulse=$!
export PULSE_SERVER="unix:$work/pulse.socket"
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl info >/dev/null 2>&1 || { echo "with-null-sink: PulseAudio did not start"; cat "$work/pulse.log"; exit 1; }
"$@"
