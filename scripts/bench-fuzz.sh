#!/usr/bin/env bash
# How many inputs a second the fuzz targets for the stream walk and for item
# names run, against the 20,000 a second that lets ten million inputs finish
# in minutes. The walk has two: stream_headers is the walk below the host (the
# stream reader over the layer), backup_walk the whole host path (the program
# opening its panel through the loaded module). Builds the fuzz targets in DIR
# (default build/fuzz) when needed; each target runs BENCH_FUZZ_RUNS inputs
# (default 200,000) three times, and the median rate is printed. Each run
# starts from the committed corpus alone: inputs grown by earlier runs are
# longer, and would make the figure depend on the tree's history. The rate is
# the inputs over the run's whole time, start-up included, timed here:
# libFuzzer's own figure divides by whole seconds, 10% apart at these rates.
set -euo pipefail
build=${1:-build/fuzz}
runs=${BENCH_FUZZ_RUNS:-200000}
root=$(cd "$(dirname "$0")/.." && pwd)
targets="backup_walk stream_headers item_name"
FUZZ_TARGETS=$targets "$root/scripts/fuzz.sh" "$build" --runs 1 >"$build.bench.log" 2>&1 ||
  { cat "$build.bench.log" >&2; exit 1; }
for target in $targets; do
  rates=()
  for attempt in 1 2 3; do
    grown=$(mktemp -d "${TMPDIR:-/tmp}/morvex-bench-fuzz-XXXXXX")
    start=$(date +%s%N)
    FUZZ_BUILT=1 FUZZ_TARGETS=$target FUZZ_CORPUS=$grown "$root/scripts/fuzz.sh" "$build" \
      --runs "$runs" >"$build.bench.log" 2>&1 || { rm -rf "$grown"; cat "$build.bench.log" >&2; exit 1; }
    end=$(date +%s%N)
    rm -rf "$grown"
    rates+=("$(( runs * 1000000000 / (end - start) ))")
  done
  median=$(printf '%s\n' "${rates[@]}" | sort -n | sed -n 2p)
  printf 'fuzz_%-14s %8s inputs/s  (median of 3 runs of %s; bar 20000)\n' \
    "$target" "$median" "$runs"
done
