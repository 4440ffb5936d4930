#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, i386) and runs each on its committed corpus.
#   scripts/fuzz.sh DIR                 each target for FUZZ_SECONDS (default 60)
#   scripts/fuzz.sh DIR --runs N        each target for N inputs (the bounded check)
#   FUZZ_TARGETS="item_name ..."        only those targets
#   FUZZ_CORPUS=FOLDER                  new inputs go to FOLDER/<target>
#   FUZZ_BUILT=1                        the targets are built already
# New inputs go to DIR/fuzz/corpus/<target>, never into the committed corpus;
# a finding is saved as fuzz/findings/<target>-crash-... and fails the run.
set -euo pipefail

build=${1:?usage: scripts/fuzz.sh BUILD_DIR [--runs N]}
mode=time
runs=0
if [ "${2:-}" = "--runs" ]; then
  mode=runs
  runs=${3:?--runs needs a count}
fi
seconds=${FUZZ_SECONDS:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
all_targets="backup_walk stream_headers item_name security_descriptor samba_descriptor"
all_targets+=" registry_file command_line"
targets=${FUZZ_TARGETS:-$all_targets}

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i386-linux-fuzz.cmake" \
    -DMORVEX_SANITIZE=ON -DMORVEX_FUZZ=ON
fi
if [ -z "${FUZZ_BUILT:-}" ]; then
  build_targets=()
  for t in $targets; do build_targets+=("fuzz_$t"); done
  cmake --build "$build" -j "${JOBS:-$(nproc)}" --target morvex "${build_targets[@]}"
fi

# The shared sanitizer runtime is loaded after the layer; leaks are findings.
export ASAN_OPTIONS=${ASAN_OPTIONS:-verify_asan_link_order=0:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export MORVEX_BUILD=$(cd "$build" && pwd)
findings="$root/fuzz/findings"
mkdir -p "$findings"

failed=()
for t in $targets; do
  work="${FUZZ_CORPUS:-$build/fuzz/corpus}/$t"
  mkdir -p "$work"
  if [ "$mode" = runs ]; then
    limit=(-runs="$runs")
  else
    limit=(-max_total_time="$seconds")
  fi
  # Item names longer than a path can be are refused long before they are
  # parsed; longer inputs would only slow the search down. The stream reader
  # reads a name in pieces of 4096 bytes: only inputs past the default limit
  # reach a second piece.
  case $t in
    item_name) limit+=(-max_len=1024) ;;
    stream_headers) limit+=(-max_len=10240) ;;
  esac
  echo "== fuzz_$t (${limit[*]})"
  if ! "$build/fuzz/fuzz_$t" "${limit[@]}" -artifact_prefix="$findings/$t-" \
       -print_final_stats=1 "$work" "$root/fuzz/corpus/$t" 2>"$build/fuzz/$t.log"; then
    failed+=("$t")
    tail -n 40 "$build/fuzz/$t.log"
  fi
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec):' "$build/fuzz/$t.log" || true
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: findings in: ${failed[*]} (inputs saved in fuzz/findings/)"
  exit 1
fi
