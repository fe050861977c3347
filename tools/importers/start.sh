#!/usr/bin/env bash
# Starts the local address-book emulator (Google and Yahoo) in the background over STATE_DIR and waits
# until it listens.
#
#   [CA_DIR=DIR] start.sh STATE_DIR [PORT]      (PORT defaults to 8444, the Local brand's port; 0 picks a free one)
#
# Leaves in STATE_DIR: emulator.pid, port, emulator.log and the local CA (ca.pem), unless CA_DIR names
# the folder of a CA shared with the other local services.
# Prints the service root URL and the CA file to trust (TALKVANE_CA_FILE).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
state="${1:?usage: start.sh STATE_DIR [PORT]}"
port="${2:-8444}"
mkdir -p "$state"
state="$(cd "$state" && pwd)"
pidfile="$state/emulator.pid"
portfile="$state/port"
ca_dir="${CA_DIR:-$state}"
ca_args=()
if [ -n "${CA_DIR:-}" ]; then
    ca_args=(--ca-dir "$CA_DIR")
fi

if [ -s "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null && [ -s "$portfile" ]; then
    echo "already running (pid $(cat "$pidfile")) on https://127.0.0.1:$(cat "$portfile")/"
    echo "CA file: $ca_dir/ca.pem"
    exit 0
fi
rm -f "$portfile" "$pidfile"
nohup python3 "$here/emulator.py" --state "$state" --port "$port" --port-file "$portfile" \
    "${ca_args[@]}" >>"$state/emulator.log" 2>&1 </dev/null &
pid=$!
echo "$pid" >"$pidfile"

# Creating the CA on the first start takes a moment.
for _ in $(seq 1 300); do
    if [ -s "$portfile" ]; then
        echo "address-book services on https://127.0.0.1:$(cat "$portfile")/ (pid $pid)"
        echo "CA file: $ca_dir/ca.pem"
        exit 0
    fi
    if ! kill -0 "$pid" 2>/dev/null; then
        rm -f "$pidfile"
        echo "the emulator did not start; see $state/emulator.log" >&2
        tail -n 20 "$state/emulator.log" >&2 || true
        exit 1
    fi
    sleep 0.1
done
echo "the emulator did not listen within 30 s; see $state/emulator.log" >&2
kill "$pid" 2>/dev/null || true
rm -f "$pidfile"
exit 1
