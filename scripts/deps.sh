#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need. Quick when all are
# there: apt runs only for the missing ones.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config ccache clang-format
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libqt6opengl6-dev
  libmariadb-dev libqscintilla2-qt6-dev libzip-dev libgsf-1-dev zlib1g-dev
  mariadb-server mariadb-client
  fonts-liberation2 fonts-dejavu-core
  libxlsxwriter-dev python3-xlrd python3-openpyxl libfreexl-dev unzip zip poppler-utils
  xvfb xauth openbox xdotool x11-utils e2fsprogs
  openssl desktop-file-utils appstream dpkg-dev lintian man-db
  cups printer-driver-cups-pdf
  clang
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
