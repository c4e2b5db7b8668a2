#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test against a private MariaDB server
# (CTest starts it before the first test that needs it and stops it at the end, also when a
# test fails).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
mkdir -p "$build"
build=$(cd "$build" && pwd) # a relative BUILD_DIR means the same folder after the cd below
bash "$root/scripts/deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j"$(nproc)"
cd "$build"
# In a sanitizer build (-DORVANTH_SANITIZE=ON) any report ends the program with an error, so it
# fails the test even when every check passed. Elsewhere these settings do nothing.
export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1:abort_on_error=1:detect_leaks=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/scripts/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:abort_on_error=1:print_stacktrace=1}
ctest --output-on-failure -j"$(nproc)" --timeout 600 "$@"
