#!/usr/bin/env bash
# Checks the Windows build (make windows builds it; this script builds
# nothing): the DLL's export and import tables, the checker itself on DLLs
# with known faults, and the smoke host driving the DLL under Wine, headless,
# in a Wine prefix of its own that is removed afterwards. The Wine part is
# skipped, with the reason, only when Wine cannot run at all.
# Usage: scripts/check-windows.sh [BUILD_DIR]   (default: build/windows)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build=${1:-$root/build/windows}
if [ ! -f "$build/morvex.dll" ] || [ ! -f "$build/morvex_smoke.exe" ]; then
  echo "check-windows: $build holds no Windows build (run make windows)" >&2
  exit 1
fi

"$root/scripts/check-dll.sh" "$build/morvex.dll"
"$root/tests/windows/check-dll-test.sh" "$build"

if ! command -v wine > /dev/null || ! command -v wineboot > /dev/null; then
  echo "check-windows: skipping the Wine smoke test: wine is not installed" \
       "(make deps installs it)"
  exit 0
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/morvex-wine-XXXXXX")
export WINEPREFIX="$work/prefix"
# No debug chatter; no offer to fetch Mono or Gecko, which nothing here needs.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
cleanup() {
  wineserver -k 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A Wine that hangs must not hold up the whole check.
started=$SECONDS
if ! timeout 300 wineboot -i > "$work/wineboot.log" 2>&1; then
  echo "check-windows: skipping the Wine smoke test: wine cannot run here:"
  sed 's/^/    /' "$work/wineboot.log" | tail -5
  exit 0
fi
echo "check-windows: Wine prefix made in $((SECONDS - started)) s"
timeout 300 wine "$build/morvex_smoke.exe"
