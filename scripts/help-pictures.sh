#!/usr/bin/env bash
# Takes the pictures of the user guide (doc/help/index.html) from the tests' own windows, so they
# show the program as it is built: runs the given test functions on a private MariaDB with
# ORVANTH_SHOTS set, and copies the pictures the guide names into
# BUILD/share/orvanth/help/images. Fails when the guide names a picture no test made.
# Run it as `cmake --build build --target help-pictures`: that target builds the tests first and
# passes the list of test functions (doc/CMakeLists.txt).
# Usage: scripts/help-pictures.sh BUILD_DIR FOLDER/TEST:FUNCTIONS...
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:?build folder}")
shift
guide="$root/doc/help/index.html"
images="$build/share/orvanth/help/images"

shots=$(mktemp -d)
db="$build/help-mariadb"
cleanup() {
  bash "$root/scripts/mariadb.sh" stop "$db" >/dev/null 2>&1 || true
  rm -rf "$shots"
}
trap cleanup EXIT
bash "$root/scripts/mariadb.sh" start "$db" >/dev/null

export ORVANTH_SHOTS="$shots" ORVANTH_TEST_MARIADB_DIR="$db" ORVANTH_SOURCE_DIR="$root" QT_QPA_PLATFORM=offscreen
for run in "$@"; do
  exe=${run%%:*}
  functions=${run#*:}
  "$build/tests/$exe" "$functions" -silent >/dev/null || { echo "help pictures: $exe $functions failed" >&2; exit 1; }
done

mkdir -p "$images"
missing=0
for name in $(grep -o 'src="images/[^"]*"' "$guide" | sed 's/^src="images\///; s/"$//'); do
  if [ -f "$shots/$name" ]; then
    cp "$shots/$name" "$images/$name"
  else
    echo "help pictures: no test made $name" >&2
    missing=1
  fi
done
[ "$missing" -eq 0 ]
echo "Pictures of the user guide in $images"
