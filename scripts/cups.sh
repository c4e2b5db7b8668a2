#!/usr/bin/env bash
# A private CUPS server for the printing tests: its own configuration, spool and socket in DIR,
# and one queue, a virtual PDF printer (cups-pdf), that writes each job as a PDF file.
#   cups.sh start DIR   starts cupsd and adds the queue; writes DIR/queue (its name) and
#                       DIR/outdir (where cups-pdf puts the files). When cupsd cannot run here,
#                       writes the reason into DIR/unavailable and exits 0: the tests skip with it.
#   cups.sh stop DIR    stops that cupsd
# Clients reach it with CUPS_SERVER=DIR/cups.sock. Jobs are sent as a user that does not exist
# (CUPS_USER), so cups-pdf files them in its folder for anonymous jobs, not in a home folder.
set -euo pipefail
cmd=${1:?start or stop}
dir=$(realpath -m "${2:?folder}")
queue=OrvanthPDF
# DIR is wiped only when it is missing, empty, or a folder this script made.
marker="$dir/.orvanth-cups"

stop() {
  if [ -f "$dir/state/cupsd.pid" ]; then
    pid=$(cat "$dir/state/cupsd.pid" 2>/dev/null || true)
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do
      [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    rm -f "$dir/state/cupsd.pid"
  fi
}

unavailable() {
  echo "$*" >"$dir/unavailable"
  echo "cups.sh: $*" >&2
  exit 0
}

start() {
  stop
  if [ -d "$dir" ] && [ -n "$(ls -A "$dir")" ] && [ ! -f "$marker" ]; then
    echo "cups.sh: $dir holds files this script did not make; not wiping it" >&2
    exit 1
  fi
  rm -rf "$dir"
  mkdir -p "$dir"/{conf,spool,state,cache,log}
  touch "$marker"
  # The filters run as the unprivileged user lp and write their temporary files here.
  mkdir -m 1777 "$dir/tmp"
  [ -x /usr/sbin/cupsd ] || unavailable "cupsd is not installed (Debian package cups)"
  [ -x /usr/lib/cups/backend/cups-pdf ] || unavailable "cups-pdf is not installed (printer-driver-cups-pdf)"
  # CUPS runs a backend that only root may execute (cups-pdf) only when it runs as root itself.
  [ "$(id -u)" -eq 0 ] || unavailable "cupsd runs the cups-pdf backend only as root; the tests run as $(id -un)"
  cat >"$dir/conf/cups-files.conf" <<CONF
ServerRoot $dir/conf
RequestRoot $dir/spool
TempDir $dir/tmp
StateDir $dir/state
CacheDir $dir/cache
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
Sandboxing Relaxed
CONF
  cat >"$dir/conf/cupsd.conf" <<CONF
Listen $dir/cups.sock
Browsing No
WebInterface No
DefaultAuthType None
LogLevel warn
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
CONF
  /usr/sbin/cupsd -c "$dir/conf/cupsd.conf" -s "$dir/conf/cups-files.conf" 2>"$dir/log/start" ||
    unavailable "cupsd did not start: $(tail -3 "$dir/log/start" "$dir/log/error_log" 2>/dev/null | tr '\n' ' ')"
  for _ in $(seq 100); do
    [ -S "$dir/cups.sock" ] && break
    sleep 0.1
  done
  [ -S "$dir/cups.sock" ] ||
    unavailable "cupsd made no socket in 10 s: $(tail -3 "$dir/log/error_log" 2>/dev/null | tr '\n' ' ')"
  export CUPS_SERVER="$dir/cups.sock"
  # The queue takes PostScript: with Ghostscript turning the PDF into it, the text of the PDF
  # that cups-pdf makes would not read back; with pdftocairo it does.
  lpadmin -p "$queue" -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd \
    -o pdftops-renderer-default=pdftocairo 2>/dev/null
  lpstat -p "$queue" >/dev/null
  echo "$queue" >"$dir/queue"
  outdir=$(sed -n 's/^[[:space:]]*AnonDirName[[:space:]]\+//p' /etc/cups/cups-pdf.conf 2>/dev/null | tail -1)
  echo "${outdir:-/var/spool/cups-pdf/ANONYMOUS}" >"$dir/outdir"
}

case "$cmd" in
  start) start ;;
  stop) stop ;;
  *) echo "usage: $0 start|stop DIR" >&2; exit 2 ;;
esac
