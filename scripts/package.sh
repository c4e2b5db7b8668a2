#!/usr/bin/env bash
# Builds the Debian package with CPack and checks it on this machine: lintian must report no
# error and no warning; then installs it with apt (so its dependencies are resolved as on a
# user's machine), runs the installed program with --version, looks at the installed desktop
# files, the user guide and the manual page, and removes it again. The user guide's pictures are
# taken from the tests first (scripts/help-pictures.sh).
# Usage: scripts/package.sh [--no-check]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
mkdir -p "$build"
build=$(cd "$build" && pwd)
bash "$root/scripts/deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j2 --target orvanth orvanth-icons orvanth-manpage orvanth-debian-docs help-pictures
(cd "$build" && cpack -G DEB -B "$build/package" >/dev/null)
deb=$(ls -t "$build"/package/orvanth_*.deb | head -1)
echo "Built $deb"
dpkg-deb --field "$deb" Package Version Depends
[ "${1:-}" = "--no-check" ] && exit 0

fail() { echo "package check: $*" >&2; exit 1; }
# Informational notes (I:) and pedantic ones (P:) are shown but do not fail the check.
lintian --display-info --fail-on error,warning "$deb" || fail "lintian reports errors or warnings"
echo "lintian: no errors, no warnings"

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
if dpkg-query -W -f='${Status}' orvanth 2>/dev/null | grep -q 'install ok installed'; then
  echo "orvanth is installed already; not touching it" >&2
  exit 1
fi
cleanup() { DEBIAN_FRONTEND=noninteractive $SUDO apt-get remove -y -qq orvanth >/dev/null 2>&1 || true; }
trap cleanup EXIT
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "$deb" >/dev/null

version=$(QT_QPA_PLATFORM=offscreen /usr/bin/orvanth --version) || fail "orvanth --version failed"
echo "orvanth --version: $version"
expected=$(sed -n 's/^project(orvanth VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[[ "$version" == *"$expected"* ]] || fail "version '$version' does not name $expected"
desktop-file-validate /usr/share/applications/hu.orvanth.iktatas.desktop || fail "desktop entry"
appstreamcli validate --no-net /usr/share/metainfo/hu.orvanth.iktatas.metainfo.xml >/dev/null || fail "metainfo"
for size in 16 32 48 64 128 256; do
  [ -s "/usr/share/icons/hicolor/${size}x${size}/apps/hu.orvanth.iktatas.png" ] || fail "no ${size}px icon"
done
[ -s /usr/share/orvanth/help/index.html ] || fail "no user guide"
for picture in $(grep -o 'src="images/[^"]*"' /usr/share/orvanth/help/index.html | sed 's/^src="//; s/"$//'); do
  [ -s "/usr/share/orvanth/help/$picture" ] || fail "the user guide lacks $picture"
done
man -w orvanth >/dev/null || fail "no manual page"
ldd /usr/bin/orvanth | grep -q "not found" && fail "unresolved libraries: $(ldd /usr/bin/orvanth | grep 'not found')"

DEBIAN_FRONTEND=noninteractive $SUDO apt-get remove -y -qq orvanth >/dev/null
trap - EXIT
[ ! -e /usr/bin/orvanth ] || fail "/usr/bin/orvanth left after removal"
echo "Package installed, started with --version and removed cleanly"
