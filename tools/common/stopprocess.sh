# shellcheck shell=bash
# stop_process PID TENTHS
#   Asks PID to end (TERM), waits up to TENTHS tenths of a second, then kills it.
stop_process() {
    local pid="$1" tenths="$2"
    kill -0 "$pid" 2>/dev/null || return 0
    kill -TERM "$pid" 2>/dev/null || true
    for _ in $(seq 1 "$tenths"); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
}
