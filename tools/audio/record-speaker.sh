#!/usr/bin/env bash
# Records what is played on the private PulseAudio's speaker ("spk") into a WAV file.
#   usage: record-speaker.sh STATE_DIR OUT.wav SECONDS
set -uo pipefail
state="${1:?usage: record-speaker.sh STATE_DIR OUT.wav SECONDS}"
out="${2:?OUT.wav}"
seconds="${3:?SECONDS}"
set -a
# shellcheck disable=SC1091
. "$state/pulse.env"
set +a
timeout "$seconds" parec --device=spk.monitor --file-format=wav --rate=48000 --channels=1 "$out"
status=$?
# timeout ends parec on purpose: that is success.
[ "$status" -eq 124 ] && exit 0
exit "$status"
