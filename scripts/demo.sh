#!/usr/bin/env bash
# Shows the morvex program on a sample file: a report with a few named streams,
# such as a browser and a user would leave on it, listed for people and as
# JSON, copied out (the security descriptor as a text report), one of them
# deleted, and a file written back in as a stream.
# Usage: scripts/demo.sh BUILD_DIR
set -euo pipefail

build=${1:?usage: scripts/demo.sh BUILD_DIR}
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
trap 'rm -rf "$work"' EXIT
# The demo's settings stay in its own directory, away from the user's.
export MORVEX_REGISTRY="$work/registry.reg"

# setfattr takes values with line ends and tabs safely in hexadecimal.
hex() { printf '%s' "$1" | od -An -tx1 -v | tr -d ' \n'; }
add_stream() {
  if ! setfattr -n "user.$1" -v "0x$(hex "$2")" "$sample" 2> "$work/setfattr.err"; then
    echo "demo: cannot add the stream '$1' ($(cat "$work/setfattr.err"));" \
         "the file system under $work needs user extended attributes" >&2
    exit 1
  fi
}

sample="$work/report.txt"
printf 'Quarterly figures\r\n' > "$sample"
add_stream Zone.Identifier $'[ZoneTransfer]\r\nZoneId=3\r\n'
add_stream notes 'Checked twice.'
add_stream $'tab\tname' 'a name with a tab in it'

echo "\$ morvex list $sample"
"$morvex" list "$sample"
echo
echo "\$ morvex list $sample --json"
"$morvex" list "$sample" --json

# Each step shows the command and what it printed; the work stays in $work.
show() {
  echo
  echo "\$ morvex $*"
  "$morvex" "$@"
}
out="$work/out"
show get "$sample" --to "$out" --yes
echo "(files in $out: $(cd "$out" && ls | tr '\n' ' '))"
echo
echo "\$ cat '$out/{Security_Data}'"
cat "$out/{Security_Data}"
show rm "$sample" Zone.Identifier --yes
printf 'Reviewed.' > "$work/review"
show put "$sample" "$work/review" --yes
show list "$sample"
