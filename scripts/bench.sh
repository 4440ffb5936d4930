#!/usr/bin/env bash
# Runs every benchmark program of a build and prints its figures, then the
# rates of the fuzz targets that must keep pace.
set -euo pipefail
build=${1:-build}
"$build/bench/bench_commands" "${BENCH_DIR:-/dev/shm}"
"$build/bench/bench_open_panel" "${BENCH_DIR:-/dev/shm}"
"$build/bench/bench_extract" "${BENCH_FILE_DIR:-/dev/shm}" "${BENCH_DIR:-/dev/shm}"
TMPDIR="${BENCH_FILE_DIR:-/tmp}" "$build/bench/bench_ntfs_stream"
"$build/bench/bench_scan" "${BENCH_DIR:-/dev/shm}"
"$build/bench/bench_registry" "${BENCH_DIR:-/dev/shm}"
# The fuzz targets' rates; the first run builds the clang fuzzing tree.
"$(dirname "$0")/bench-fuzz.sh" "$build/fuzz"
