#!/usr/bin/env bash
# Builds everything and runs the whole test suite. The tests start the local services they need
# (web-service emulator, Prosody, the gateway peer, a private PulseAudio) and stop them again.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
bash "$root/scripts/build.sh"
cd "$build"
ctest --output-on-failure --parallel "$(nproc)" "$@"
