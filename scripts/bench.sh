#!/usr/bin/env bash
# The register benchmark: a private MariaDB with a generated register of COUNT records
# (100,000 by default), then bench-register, bench-output, bench-sqlconsole, bench-backup and
# bench-history.
# Prints times as ratios to their yardsticks (the mariadb client, the register, QTextDocument,
# mariadb-dump, zip -9) and memory as a ratio to the rows or to the largest table.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
mkdir -p "$build"
build=$(cd "$build" && pwd) # a relative BUILD_DIR means the same folder after the cd below
count=${1:-100000}
bash "$root/scripts/deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j"$(nproc)" --target orvanth-gen bench-register bench-output bench-sqlconsole bench-backup bench-history
server=$build/bench-mariadb
trap 'bash "$root/scripts/mariadb.sh" stop "$server" >/dev/null' EXIT
bash "$root/scripts/mariadb.sh" start "$server"
port=$(cat "$server/port")
client=(mariadb --no-defaults --socket="$server/mysqld.sock" -uroot)
"${client[@]}" -e "CREATE DATABASE bench DEFAULT CHARACTER SET latin2 COLLATE latin2_hungarian_ci;"
"${client[@]}" --default-character-set=utf8mb4 bench <"$root/sql/schema.sql"
"$build/bench/orvanth-gen" --count "$count" --seed 1 --host 127.0.0.1 --port "$port" --user root --database bench
"$build/bench/bench-register" --port "$port" --socket "$server/mysqld.sock" --database bench
"$build/bench/bench-output" --port "$port" --socket "$server/mysqld.sock" --database bench
"$build/bench/bench-sqlconsole" --port "$port" --socket "$server/mysqld.sock" --database bench
"$build/bench/bench-backup" --port "$port" --socket "$server/mysqld.sock" --database bench --schema "$root/sql/schema.sql"
# Last: it extends the database with the change history.
"$build/bench/bench-history" --port "$port" --socket "$server/mysqld.sock" --database bench
