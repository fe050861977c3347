#!/usr/bin/env bash
# Stops the private PulseAudio that start-pulse.sh started in STATE_DIR.
#   usage: stop-pulse.sh STATE_DIR
set -uo pipefail
state="${1:?usage: stop-pulse.sh STATE_DIR}"
[ -d "$state" ] || exit 0
state="$(cd "$state" && pwd)"
export XDG_RUNTIME_DIR="$state/runtime"
export PULSE_RUNTIME_PATH="$XDG_RUNTIME_DIR/pulse"
export PULSE_SERVER="unix:$PULSE_RUNTIME_PATH/native"
pidfile="$PULSE_RUNTIME_PATH/pid"
pid=""
[ -f "$pidfile" ] && pid="$(cat "$pidfile")"
if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null
    for _ in $(seq 1 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && kill -KILL "$pid" 2>/dev/null
else
    pactl exit >/dev/null 2>&1 || true
fi
rm -f "$state/pulse.env"
exit 0
