#!/usr/bin/env bash
# Checks what the host and Windows see of a built plug-in DLL: the export table
# holds exactly the thirteen entry points under their plain names (a decorated
# `Name@N` is invisible to the host's GetProcAddress), and every DLL it imports
# ships with Windows (the C++ runtime must be linked in, or the plug-in does
# not load on a machine without a compiler).
# Usage: scripts/check-dll.sh DLL
# Prints each fault and exits 1 when there is one; exits 0 otherwise.
set -euo pipefail

dll=${1:?usage: scripts/check-dll.sh DLL}

entry_points=(ClosePlugin Configure DeleteFiles FreeFindData GetFiles GetFindData
              GetOpenPluginInfo GetPluginInfo OpenFilePlugin OpenPlugin ProcessKey
              PutFiles SetStartupInfo)
# What the build needs today, compared without regard to case as Windows does.
system_dlls=(kernel32.dll advapi32.dll user32.dll msvcrt.dll)

objdump=i686-w64-mingw32-objdump
command -v "$objdump" > /dev/null || objdump=objdump
if [ ! -r "$dll" ]; then
  echo "check-dll: cannot read $dll" >&2
  exit 1
fi
if ! dump=$("$objdump" -p "$dll" 2>&1); then
  echo "check-dll: $objdump cannot read $dll: $dump" >&2
  exit 1
fi

# The names of the export table, one a line.
exports=$(awk '/^\[Ordinal\/Name Pointer\] Table/ { names = 1; next }
               names && /^[ \t]*$/ { names = 0 }
               names && /^\t\[ *[0-9]+\] / { print $NF }' <<< "$dump")
imports=$(awk '/^\tDLL Name: / { print $NF }' <<< "$dump")

faults=()
for name in $exports; do
  case "$name" in
    *@*) faults+=("decorated export: $name") ;;
    *) [[ " ${entry_points[*]} " == *" $name "* ]] || faults+=("unexpected export: $name") ;;
  esac
done
for name in "${entry_points[@]}"; do
  grep -qx -- "$name" <<< "$exports" || faults+=("missing export: $name")
done
for name in $imports; do
  [[ " ${system_dlls[*]} " == *" ${name,,} "* ]] ||
    faults+=("imports $name, which is not a Windows system DLL")
done

if [ ${#faults[@]} -gt 0 ]; then
  for fault in "${faults[@]}"; do
    echo "check-dll: $dll: $fault" >&2
  done
  exit 1
fi
echo "check-dll: $dll: exports the ${#entry_points[@]} entry points," \
     "imports only" $imports
