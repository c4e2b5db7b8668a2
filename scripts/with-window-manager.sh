#!/usr/bin/env bash
# Runs a command on a private virtual X display managed by openbox, for tests of what only a
# window manager does: window frames and where windows end up.
#   scripts/with-window-manager.sh COMMAND [ARGS...]
set -euo pipefail
if [ -z "${ORVANTH_WM_DISPLAY:-}" ]; then
  exec env ORVANTH_WM_DISPLAY=1 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
ready=$(mktemp -u)
openbox --sm-disable --startup "touch $ready" >/dev/null 2>&1 &
wm=$!
trap 'kill $wm 2>/dev/null || true; rm -f "$ready"' EXIT
for _ in $(seq 100); do
  [ -e "$ready" ] && break
  sleep 0.1
done
[ -e "$ready" ] || { echo "openbox did not start" >&2; exit 1; }
QT_QPA_PLATFORM=xcb "$@"
