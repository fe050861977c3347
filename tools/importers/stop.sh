#!/usr/bin/env bash
# Stops the emulator that start.sh started over STATE_DIR (its pid file); the state is kept.
#
#   stop.sh STATE_DIR
set -euo pipefail
state="${1:?usage: stop.sh STATE_DIR}"
pidfile="$state/emulator.pid"
if [ ! -s "$pidfile" ]; then
    echo "not running (no $pidfile)"
    exit 0
fi
pid="$(cat "$pidfile")"
if kill -0 "$pid" 2>/dev/null; then
    kill -TERM "$pid"
    for _ in $(seq 1 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill -KILL "$pid" 2>/dev/null || true
    fi
fi
rm -f "$pidfile" "$state/port"
echo "stopped (pid $pid)"
