#!/usr/bin/env bash
# Takes the pictures of the user guide (doc/help/index.html) from the tests' own windows, so they
# show the program as it is built: runs the test functions below on a private MariaDB with
# ORVANTH_SHOTS set, and copies the pictures the guide names into
# BUILD/share/orvanth/help/images. Fails when the guide names a picture no test made.
# Usage: scripts/help-pictures.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build}")
guide="$root/doc/help/index.html"
images="$build/share/orvanth/help/images"

# test executable (under BUILD/tests) and the test functions that take the guide's pictures
runs=(
  "output/tst_reportprint listFollowsSearchAndOrder"
  "register/tst_perioddialogs screenshots"
  "register/tst_editorwindow screenshots"
  "output/tst_printchoice itemShowsItsPictureAndEnablesPrinterBox:printer"
  "output/tst_reportpreview firstPageAtOnceOthersWhenSeen"
  "output/tst_exportwindow aExcelExportsTheRegisterRows"
  "profiles/tst_profilemanager screenshots"
)
targets=()
for run in "${runs[@]}"; do
  exe=${run%% *}
  targets+=("${exe##*/}")
done
cmake --build "$build" -j2 --target "${targets[@]}"

shots=$(mktemp -d)
db="$build/help-mariadb"
cleanup() {
  bash "$root/scripts/mariadb.sh" stop "$db" >/dev/null 2>&1 || true
  rm -rf "$shots"
}
trap cleanup EXIT
bash "$root/scripts/mariadb.sh" start "$db" >/dev/null

export ORVANTH_SHOTS="$shots" ORVANTH_TEST_MARIADB_DIR="$db" ORVANTH_SOURCE_DIR="$root" QT_QPA_PLATFORM=offscreen
for run in "${runs[@]}"; do
  read -r exe functions <<<"$run"
  # shellcheck disable=SC2086 # several test functions
  "$build/tests/$exe" $functions -silent >/dev/null || { echo "help pictures: $exe $functions failed" >&2; exit 1; }
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
