#!/usr/bin/env bash
# Plays a WAV file, or a generated sine tone, into the private PulseAudio's microphone feed:
# whatever reads the "mic" source hears it.
#   usage: feed-mic.sh STATE_DIR FILE.wav
#          feed-mic.sh STATE_DIR --tone FREQ_HZ SECONDS
set -euo pipefail
state="${1:?usage: feed-mic.sh STATE_DIR FILE.wav | --tone FREQ SECONDS}"
shift
set -a
# shellcheck disable=SC1091
. "$state/pulse.env"
set +a
if [ "${1:-}" = "--tone" ]; then
    freq="${2:?frequency}"
    seconds="${3:?seconds}"
    file="$(mktemp --suffix=.wav)"
    trap 'rm -f "$file"' EXIT
    python3 - "$file" "$freq" "$seconds" <<'PY'
import math, struct, sys, wave
path, freq, seconds = sys.argv[1], float(sys.argv[2]), float(sys.argv[3])
rate = 48000
with wave.open(path, "wb") as w:
    w.setnchannels(1)
    w.setsampwidth(2)
    w.setframerate(rate)
    w.writeframes(b"".join(struct.pack("<h", int(16000 * math.sin(2 * math.pi * freq * i / rate)))
                           for i in range(int(rate * seconds))))
PY
else
    file="${1:?WAV file}"
fi
paplay --device=micfeed "$file"
