#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, ASan and UBSan) in their own build folder and runs
# each for SECONDS (default 60) over its seed corpus in fuzz/corpus/<target>. Inputs that reach
# new code are kept in the build folder, so the seeds in the repository stay small; a crash or a
# failed property leaves its input in <build>/fuzz/crashes/<target>/ and makes the script fail.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
bash "$root/scripts/deps.sh"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORVANTH_FUZZ=ON -DORVANTH_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target fuzz_all

targets=("$@")
((${#targets[@]})) || mapfile -t targets <"$build/fuzz/targets.txt"
# Leak checks stay on: the targets make no windows, so Qt's and fontconfig's one-time
# allocations do not arise here.
# Allocation stacks are kept two frames deep. Qt is built without frame pointers, so the fast
# unwinder reads anything past an allocation made inside Qt, and every such stack was stored as a
# new one: millions within minutes of fuzzing, a store that only grows, slower each time it is
# looked up. A fault is still reported where it happens with its whole stack; to see whole
# allocation stacks too, run the target on the saved input with malloc_context_size=30.
export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1:abort_on_error=1:detect_leaks=1:malloc_context_size=2}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:abort_on_error=1:print_stacktrace=1}
# Flags of their own for some targets.
target_flags() {
  case "$1" in
  # The texts split into fields are short (a connection string, a version number, a reply line,
  # a script's delimiter line), and the check that every field and separator makes up the text
  # asks for each field in turn, so the time per input grows with the square of its length.
  fuzz_splitfield) echo -max_len=512 ;;
  # The check asks the document for every entry it read, and each lookup reads the file from its
  # first line, so the time per input grows with the square of its length as well. The reader
  # itself goes line by line; 1 KB holds dozens of lines, sections and profiles, and takes every
  # path a longer file would.
  fuzz_inifile) echo -max_len=1024 ;;
  # An input is a whole result: 1 KB holds dozens of rows and cells of every kind, each line built
  # on its own, and reaches all the code 4 KB does at twice the executions a second.
  fuzz_exportlines) echo -max_len=1024 ;;
  esac
}
failed=()
for target in "${targets[@]}"; do
  [ -n "$target" ] || continue
  work="$build/fuzz/found/$target"
  crashes="$build/fuzz/crashes/$target"
  log="$build/fuzz/$target.log"
  mkdir -p "$work" "$crashes"
  # shellcheck disable=SC2046 # the flags are single words
  if "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$crashes/" $(target_flags "$target") "$work" "$root/fuzz/corpus/$target" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "$target: ${runs:-?} executions in ${seconds} s, no failure"
  else
    echo "$target: FAILED (log $log, input in $crashes/)"
    tail -n 40 "$log"
    failed+=("$target")
  fi
done
if ((${#failed[@]})); then
  echo "Failed: ${failed[*]}"
  exit 1
fi
