#!/usr/bin/env bash
# Stops the local voice service started by start.sh over the same STATE_DIR.
#
#   stop.sh STATE_DIR
set -euo pipefail
state="${1:?usage: stop.sh STATE_DIR}"

# shellcheck source=SCRIPTDIR/../common/stopprocess.sh
. "$(dirname "$0")/../common/stopprocess.sh"

stop_pidfile() {
    local pidfile="$1"
    [ -s "$pidfile" ] || return 0
    stop_process "$(cat "$pidfile")" 100
    rm -f "$pidfile"
}

# The gateway first, so that it does not report its lost connection as a failure.
stop_pidfile "$state/gateway.pid"
stop_pidfile "$state/prosody.pid"
