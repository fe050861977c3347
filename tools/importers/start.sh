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
# shellcheck source=SCRIPTDIR/../common/emulator.sh
. "$here/../common/emulator.sh"
ca_args=()
if [ -n "${CA_DIR:-}" ]; then
    ca_args=(--ca-dir "$CA_DIR")
fi
start_emulator "$here/emulator.py" "$state" "${2:-8444}" "address-book services" "" "${CA_DIR:-}" "${ca_args[@]}"
