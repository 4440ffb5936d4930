#!/usr/bin/env bash
# Runs scripts/check-dll.sh on the plug-in and on stand-in DLLs that the
# Windows build makes from FakePlugin.cpp, each with one fault: every fault
# must fail the check under its own name, and a sound DLL must pass.
# Usage: tests/windows/check-dll-test.sh BUILD_DIR
set -uo pipefail

build=${1:?usage: tests/windows/check-dll-test.sh BUILD_DIR}
check="$(dirname "$0")/../../scripts/check-dll.sh"

# DLL below BUILD_DIR | exit status | a line the check must print
cases=(
  "morvex.dll|0|exports the 13 entry points"
  "stand-ins/exact.dll|0|exports the 13 entry points"
  "stand-ins/missing_export.dll|1|missing export: Configure"
  "stand-ins/extra_export.dll|1|unexpected export: Extra"
  "stand-ins/decorated.dll|1|decorated export: SetStartupInfo@4"
  "stand-ins/shared_runtime.dll|1|imports libstdc++-6.dll, which is not a Windows system DLL"
  "morvex_smoke.exe|1|missing export: SetStartupInfo"
  "stand-ins/absent.dll|1|cannot read"
)

passed=0
failed=0
for entry in "${cases[@]}"; do
  IFS='|' read -r dll expected_status expected_line <<< "$entry"
  output=$("$check" "$build/$dll" 2>&1)
  status=$?
  if [ "$status" -eq "$expected_status" ] && grep -qF -- "$expected_line" <<< "$output"; then
    passed=$((passed + 1))
    echo "ok   check-dll: $dll"
  else
    failed=$((failed + 1))
    echo "FAIL check-dll: $dll: exit $status (expected $expected_status)," \
         "expected the line '$expected_line' in:"
    sed 's/^/    /' <<< "$output"
  fi
done
echo "check-dll-test: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
