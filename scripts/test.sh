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
ctest --output-on-failure -j"$(nproc)" --timeout 600 "$@"
