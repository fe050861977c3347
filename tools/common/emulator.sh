# shellcheck shell=bash
# Starting and stopping a local emulator (an emulator.py) in the background over a state folder, for the
# emulators' start.sh and stop.sh, which source this file. The state folder holds emulator.pid, port
# (written by the emulator once it listens) and emulator.log.

# shellcheck source=SCRIPTDIR/stopprocess.sh
. "$(dirname "${BASH_SOURCE[0]}")/stopprocess.sh"

# start_emulator SCRIPT STATE_DIR PORT NAME PATH CA_DIR [EMULATOR_ARGS...]
#   Starts SCRIPT unless it already runs over STATE_DIR and waits until it listens; prints
#   "NAME on https://127.0.0.1:<port>/PATH" and the CA file to trust (CA_DIR/ca.pem, the state folder's
#   when CA_DIR is empty).
start_emulator() {
    local script="$1" state="$2" port="$3" name="$4" path="$5" ca_dir="$6"
    shift 6
    mkdir -p "$state"
    state="$(cd "$state" && pwd)"
    ca_dir="${ca_dir:-$state}"
    local pidfile="$state/emulator.pid"
    local portfile="$state/port"

    if [ -s "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null && [ -s "$portfile" ]; then
        echo "already running (pid $(cat "$pidfile")) on https://127.0.0.1:$(cat "$portfile")/$path"
        echo "CA file: $ca_dir/ca.pem"
        return 0
    fi
    rm -f "$portfile" "$pidfile"
    nohup python3 "$script" --state "$state" --port "$port" --port-file "$portfile" \
        "$@" >>"$state/emulator.log" 2>&1 </dev/null &
    local pid=$!
    echo "$pid" >"$pidfile"

    # Creating the CA on the first start takes a moment.
    for _ in $(seq 1 300); do
        if [ -s "$portfile" ]; then
            echo "$name on https://127.0.0.1:$(cat "$portfile")/$path (pid $pid)"
            echo "CA file: $ca_dir/ca.pem"
            return 0
        fi
        if ! kill -0 "$pid" 2>/dev/null; then
            rm -f "$pidfile"
            echo "the emulator did not start; see $state/emulator.log" >&2
            tail -n 20 "$state/emulator.log" >&2 || true
            return 1
        fi
        sleep 0.1
    done
    echo "the emulator did not listen within 30 s; see $state/emulator.log" >&2
    kill "$pid" 2>/dev/null || true
    rm -f "$pidfile"
    return 1
}

# stop_emulator STATE_DIR
#   Stops the emulator start_emulator started over STATE_DIR (its pid file); the state is kept.
stop_emulator() {
    local state="$1"
    local pidfile="$state/emulator.pid"
    if [ ! -s "$pidfile" ]; then
        echo "not running (no $pidfile)"
        return 0
    fi
    local pid
    pid="$(cat "$pidfile")"
    stop_process "$pid" 50
    rm -f "$pidfile" "$state/port"
    echo "stopped (pid $pid)"
}
