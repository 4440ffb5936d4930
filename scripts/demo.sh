#!/usr/bin/env bash
# The tour of the morvex program, on samples it makes in a temporary folder:
# a report with a few named streams, such as a browser and a user would leave
# on it, listed, copied out (the security descriptor as a text report),
# written to and deleted from, and its folder scanned; then the same on a
# small NTFS volume mounted by ntfs-3g, where FUSE can be used.
# Usage: scripts/demo.sh BUILD_DIR
set -euo pipefail

build=$(cd "${1:?usage: scripts/demo.sh BUILD_DIR}" && pwd)
morvex="$build/morvex"
if [ ! -x "$morvex" ]; then
  echo "demo: $morvex is not built (run make first)" >&2
  exit 1
fi
if ! command -v setfattr > /dev/null; then
  echo "demo: setfattr is missing (make deps installs the attr package)" >&2
  exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/morvex-demo-XXXXXX")
volume="$work/ntfs"
cleanup() {
  if mountpoint -q "$volume" 2> /dev/null; then umount "$volume" || umount -l "$volume"; fi
  rm -rf "$work"
}
trap cleanup EXIT
# The demo's settings stay in its own folder, away from the user's, and every
# name is shown relative to the sample folder.
export MORVEX_REGISTRY="$work/registry.reg"
mkdir "$work/samples"
cd "$work/samples"

# setfattr takes values with line ends and tabs safely in hexadecimal.
hex() { printf '%s' "$1" | od -An -tx1 -v | tr -d ' \n'; }
add_stream() {
  if ! setfattr -n "user.$2" -v "0x$(hex "$3")" "$1" 2> "$work/setfattr.err"; then
    echo "demo: cannot add the stream '$2' ($(cat "$work/setfattr.err"));" \
         "the file system under $work needs user extended attributes" >&2
    exit 1
  fi
}

# Each step shows the command and what it printed.
show() {
  echo
  echo "\$ morvex $*"
  "$morvex" "$@"
}
show_shell() {
  echo
  echo "\$ $*"
  "$@"
}

printf 'Quarterly figures\r\n' > report.txt
add_stream report.txt Zone.Identifier $'[ZoneTransfer]\r\nZoneId=3\r\n'
add_stream report.txt notes 'Checked twice.'
add_stream report.txt $'tab\tname' 'a name with a tab in it'
mkdir -p archive/2025
printf 'old\n' > archive/2025/summary.txt
add_stream archive/2025/summary.txt author 'J. Doe'
printf 'plain\n' > archive/plain.txt
printf 'Reviewed.' > review.txt

echo "# A file with three named streams"
show list report.txt
show get report.txt --to out --yes
show_shell ls out
# cat -A shows the report's line ends: CRLF (^M$), as the Windows tools that
# read it expect, with the blank lines that close each part.
show_shell cat -A 'out/{Security_Data}'
show put report.txt review.txt --yes
show rm report.txt Zone.Identifier --yes
show list report.txt
show scan .

echo
if [ "$(id -u)" -ne 0 ] || [ ! -w /dev/fuse ] || ! command -v ntfs-3g > /dev/null ||
   ! command -v mkntfs > /dev/null; then
  echo "# (the NTFS part needs root, /dev/fuse, ntfs-3g and mkntfs: skipped)"
  exit 0
fi
echo "# The same on an NTFS volume mounted with ntfs-3g -o streams_interface=windows"
truncate -s 16M "$work/ntfs.img"
mkntfs -F -q -f "$work/ntfs.img" > /dev/null 2>&1
mkdir "$volume"
ntfs-3g -o streams_interface=windows "$work/ntfs.img" "$volume"
cd "$work"
printf 'Quarterly figures\r\n' > ntfs/report.txt
head -c 200000 /dev/zero | tr '\0' 'x' > 'ntfs/report.txt:large'
printf 'Checked twice.' > 'ntfs/report.txt:notes'
show list ntfs/report.txt
show get ntfs/report.txt large --to from-ntfs --yes
show_shell wc -c from-ntfs/large
show put ntfs/report.txt samples/review.txt --yes
show rm ntfs/report.txt notes --yes
show list -h ntfs/report.txt
