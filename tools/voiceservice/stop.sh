#!/usr/bin/env bash
# Stops the local voice service started by start.sh over the same STATE_DIR.
#
#   stop.sh STATE_DIR
set -euo pipefail
state="${1:?usage: stop.sh STATE_DIR}"

stop_pidfile() {
    local pidfile="$1" pid
    [ -s "$pidfile" ] || return 0
    pid="$(cat "$pidfile")"
    if kill -0 "$pid" 2>/dev/null; then
        kill -TERM "$pid" 2>/dev/null || true
        for _ in $(seq 1 100); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        if kill -0 "$pid" 2>/dev/null; then
            kill -KILL "$pid" 2>/dev/null || true
        fi
    fi
    rm -f "$pidfile"
}

# The gateway first, so that it does not report its lost connection as a failure.
stop_pidfile "$state/gateway.pid"
stop_pidfile "$state/prosody.pid"
