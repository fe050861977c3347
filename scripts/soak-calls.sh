#!/usr/bin/env bash
# Soak run of the talk engine: N call cycles to the local gateway's echo number, printing open
# file descriptors and resident memory of the engine and of the gateway before the first call
# and after every 20. Starts (and stops) its own voice service. Not part of the test suite.
#
#   scripts/soak-calls.sh N [mediaMs]      (build directory: $BUILD_DIR, default ./build)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
calls="${1:?usage: soak-calls.sh N [mediaMs]}"
cmake --build "$build" --target soak_calls
export TALKVANE_SOURCE_DIR="$root" TALKVANE_BINARY_DIR="$build"
exec "$build/bin/soak_calls" "$calls" "${2:-500}"
