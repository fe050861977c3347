#!/usr/bin/env bash
# Builds the libFuzzer target for the JSON parser with clang (address and undefined-behaviour
# sanitizers) and runs it for SECONDS seconds (default 60) on one core.
#
#   scripts/fuzz-json.sh [SECONDS]
#
# The seed corpus in fuzz/corpus/json/ is only read; new inputs go to build-fuzz/corpus/json/ and any
# crash, leak or timeout is written to build-fuzz/artifacts/. Exits non-zero when the fuzzer finds one.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
out="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
cxx="${CXX_FUZZ:-clang++}"

mkdir -p "$out/corpus/json" "$out/artifacts"

# Qt is built with reduced relocations, so everything using it must be position independent.
# shellcheck disable=SC2046
"$cxx" -std=c++17 -g -O1 -fPIC -fno-omit-frame-pointer \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -DQT_NO_CAST_FROM_BYTEARRAY -DQT_USE_QSTRINGBUILDER \
    -I"$root/src" $(pkg-config --cflags Qt5Core) \
    "$root/fuzz/json_fuzzer.cpp" "$root/src/rest/jsoncodec.cpp" \
    $(pkg-config --libs Qt5Core) \
    -o "$out/json_fuzzer"

echo "fuzz-json: running for ${seconds}s"
# -rss_limit_mb: deep or long inputs must not make the parser balloon.
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
ASAN_OPTIONS=detect_leaks=1 \
"$out/json_fuzzer" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -print_final_stats=1 -artifact_prefix="$out/artifacts/" \
    "$out/corpus/json" "$root/fuzz/corpus/json"
