#!/usr/bin/env bash
# Runs every benchmark program of a build and prints its figures.
set -euo pipefail
build=${1:-build}
"$build/bench/bench_commands" "${BENCH_DIR:-/dev/shm}"
"$build/bench/bench_open_panel" "${BENCH_DIR:-/dev/shm}"
"$build/bench/bench_extract" "${BENCH_FILE_DIR:-/tmp}" "${BENCH_DIR:-/dev/shm}"
TMPDIR="${BENCH_FILE_DIR:-/tmp}" "$build/bench/bench_ntfs_stream"
"$build/bench/bench_scan" "${BENCH_DIR:-/dev/shm}"
"$build/bench/bench_registry" "${BENCH_DIR:-/dev/shm}"
