#!/usr/bin/env bash
# The program against a demo register on a private MariaDB server.
#   scripts/demo.sh        installs what is missing, builds into build/, starts a fresh server in
#                          build/demo-mariadb with database "orvanth" (schema.sql + demo.sql),
#                          writes build/demo-config/OrvantH/OrvantH.ini with its profile, and runs
#                          the program when a display is there; the server keeps running
#   scripts/demo.sh stop   stops the demo server
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
mkdir -p "$build"
build=$(cd "$build" && pwd) # XDG_CONFIG_HOME must be an absolute path
server=$build/demo-mariadb
config=$build/demo-config
database=orvanth

if [ "${1:-}" = stop ]; then
  exec bash "$root/scripts/mariadb.sh" stop "$server"
elif [ $# -gt 0 ]; then
  echo "usage: $0 [stop]" >&2
  exit 2
fi

bash "$root/scripts/deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j"$(nproc)" --target orvanth orvanth-profile

bash "$root/scripts/mariadb.sh" start "$server"
port=$(cat "$server/port")
client=(mariadb --no-defaults --socket="$server/mysqld.sock" -uroot)
"${client[@]}" -e "CREATE DATABASE $database DEFAULT CHARACTER SET latin2 COLLATE latin2_hungarian_ci;"
# The SQL files are UTF-8; the server stores their texts in latin2.
"${client[@]}" --default-character-set=utf8mb4 "$database" <"$root/sql/schema.sql"
"${client[@]}" --default-character-set=utf8mb4 "$database" <"$root/sql/demo.sql"
records=$("${client[@]}" --batch --skip-column-names "$database" -e "SELECT COUNT(*) FROM iktato;")
echo "Database $database on 127.0.0.1:$port: $records records"

# A document store, so that attaching files works in the demo (the demo's own attachments are
# named in the register, but their files do not exist).
store=$config/OrvantH/Dokumentumok
mkdir -p "$store"
"${client[@]}" --default-character-set=utf8mb4 "$database" \
  -e "UPDATE beallit SET mentesutvonal = '${store//\'/\'\'}' ORDER BY beallit LIMIT 1;"

rm -f "$config/OrvantH/OrvantH.ini"
"$build/tools/orvanth-profile" "$config/OrvantH/OrvantH.ini" "$database;127.0.0.1;$port;root;;Demó adatbázis"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  XDG_CONFIG_HOME="$config" "$build/src/orvanth" || echo "The program ended with status $?"
  echo "The demo server keeps running; stop it with: $0 stop"
else
  cat <<MSG
No display (neither DISPLAY nor WAYLAND_DISPLAY is set). Run the program under a virtual one:
  XDG_CONFIG_HOME="$config" xvfb-run -a -s "-screen 0 1280x1024x24" "$build/src/orvanth"
The demo server keeps running on 127.0.0.1:$port; stop it with: $0 stop
MSG
fi
