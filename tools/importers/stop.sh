#!/usr/bin/env bash
# Stops the emulator that start.sh started over STATE_DIR (its pid file); the state is kept.
#
#   stop.sh STATE_DIR
set -euo pipefail
state="${1:?usage: stop.sh STATE_DIR}"
# shellcheck source=SCRIPTDIR/../common/emulator.sh
. "$(dirname "$0")/../common/emulator.sh"
stop_emulator "$state"
