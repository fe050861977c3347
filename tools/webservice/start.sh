#!/usr/bin/env bash
# Starts the local web-service emulator in the background over STATE_DIR and waits until it listens.
#
#   start.sh STATE_DIR [PORT]      (PORT defaults to 8443; 0 picks a free one)
#
# Leaves in STATE_DIR: emulator.pid, port, emulator.log, the database and the local CA (ca.pem).
# Prints the service root URL and the CA file to trust (TALKVANE_CA_FILE).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
state="${1:?usage: start.sh STATE_DIR [PORT]}"
# shellcheck source=SCRIPTDIR/../common/emulator.sh
. "$here/../common/emulator.sh"
start_emulator "$here/emulator.py" "$state" "${2:-8443}" "web service" "webservice-5.0/" ""
