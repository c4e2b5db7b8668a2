#!/usr/bin/env bash
# A private MariaDB server for the tests and the demo: its own data folder, a free port on
# 127.0.0.1, a socket inside the folder.
#   mariadb.sh start DIR   wipes DIR, creates a fresh server there and starts it;
#                          writes DIR/port and DIR/mysqld.sock
#   mariadb.sh restart DIR starts the server of DIR again on its data and port, after a stop or
#                          a crash (the tests kill it to see what a save comes through)
#   mariadb.sh stop DIR    shuts it down
# DIR is wiped only when it is missing, empty, or a folder this script made (it holds the
# marker file below), so a mistyped path never removes somebody's files.
set -euo pipefail
cmd=${1:?start or stop}
dir=$(realpath -m "${2:?data folder}")
sock="$dir/mysqld.sock"
marker="$dir/.orvanth-mariadb"
userarg=()
[ "$(id -u)" -eq 0 ] && userarg=(--user=root)

stop() {
  if [ -S "$sock" ]; then
    mariadb-admin --no-defaults --socket="$sock" -uroot shutdown 2>/dev/null || true
  fi
  if [ -f "$dir/mysqld.pid" ]; then
    pid=$(cat "$dir/mysqld.pid" 2>/dev/null || true)
    for _ in $(seq 50); do
      [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null || true
    rm -f "$dir/mysqld.pid"
  fi
}

# Starts mariadbd on the data folder and port of DIR and waits until it answers.
launch() {
  local port=$1
  mariadbd --no-defaults --datadir="$dir/data" --socket="$sock" --port="$port" \
    --bind-address=127.0.0.1 "${userarg[@]}" --pid-file="$dir/mysqld.pid" \
    --log-error="$dir/error.log" --skip-name-resolve --innodb-buffer-pool-size=64M \
    --max-connections=300 --innodb-flush-log-at-trx-commit=2 >/dev/null 2>&1 &
  for _ in $(seq 300); do
    if mariadb-admin --no-defaults --socket="$sock" -uroot ping >/dev/null 2>&1; then
      echo "$port" >"$dir/port"
      echo "MariaDB started on 127.0.0.1:$port ($dir)"
      return 0
    fi
    sleep 0.1
  done
  echo "MariaDB did not start; see $dir/error.log" >&2
  cat "$dir/error.log" >&2 || true
  return 1
}

case "$cmd" in
start)
  # (install.log and data/ mark the folders made before the marker existed)
  if [ -e "$dir" ] && [ ! -f "$marker" ] && [ -n "$(ls -A "$dir" 2>/dev/null)" ] &&
    ! { [ -f "$dir/install.log" ] && [ -d "$dir/data" ]; }; then
    echo "$dir is not empty and was not made by $0; refusing to wipe it" >&2
    exit 2
  fi
  stop
  rm -rf "$dir"
  mkdir -p "$dir"
  touch "$marker"
  port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
  mariadb-install-db --no-defaults --datadir="$dir/data" "${userarg[@]}" \
    --auth-root-authentication-method=normal --skip-test-db >"$dir/install.log" 2>&1
  launch "$port" || exit 1
  ;;
restart)
  [ -f "$marker" ] && [ -f "$dir/port" ] || { echo "$dir holds no server made by $0" >&2; exit 2; }
  stop
  launch "$(cat "$dir/port")" || exit 1
  ;;
stop)
  stop
  echo "MariaDB stopped ($dir)"
  ;;
*)
  echo "usage: $0 start|restart|stop DIR" >&2
  exit 2
  ;;
esac
