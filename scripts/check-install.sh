#!/usr/bin/env bash
# Stages `make install PREFIX=/usr` in a temporary directory and checks it as
# a user would meet it: every file in its place and nothing else, the program
# and mc's helper listing a file's streams with no help from the environment
# (also after the whole tree has moved), the manual page rendering without a
# warning, and the bash completion loading.
# Usage: scripts/check-install.sh [BUILD_DIR]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
[[ $build == /* ]] || build=$PWD/$build

stage=$(mktemp -d "${TMPDIR:-/tmp}/morvex-install-XXXXXX")
trap 'rm -rf "$stage"' EXIT
# man reads the page as an unprivileged user when it runs as root.
chmod 755 "$stage"

failures=0
fail() {
  echo "check-install: $*" >&2
  failures=$((failures + 1))
}
# shellcheck source=list-installed.sh
. "$root/scripts/list-installed.sh"

make -C "$root" install BUILD="$build" DESTDIR="$stage/root" PREFIX=/usr > "$stage/install.log" ||
  { cat "$stage/install.log" >&2; echo "check-install: make install failed" >&2; exit 1; }
usr=$stage/root/usr

expected="bin/morvex
lib/mc/extfs.d/morvex
lib/morvex/morvex.so
share/bash-completion/completions/morvex
share/man/man1/morvex.1
share/morvex/lang/en.msg"
installed=$(cd "$usr" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort)
[ "$installed" = "$expected" ] ||
  fail "the installed files are not the layout (< missing, > not expected):
$(diff <(echo "$expected") <(echo "$installed"))"

# The program carries the layer under the layer's name, so the module binds to
# the program's copy: the program exports every function of the layer, and
# no image but the build tree's module has a search path.
dynamic() { readelf -d "$1" | sed -n "s/.*($2).*\[\(.*\)\]/\1/p"; }
exports() { nm -D --defined-only "$1" | awk '$2 == "T" { print $3 }' | LC_ALL=C sort; }
layer=$build/platform/posix/libmorvex_win32.so
[ "$(dynamic "$usr/bin/morvex" SONAME)" = "$(dynamic "$layer" SONAME)" ] ||
  fail "bin/morvex is not named as the layer: '$(dynamic "$usr/bin/morvex" SONAME)'"
missing=$(LC_ALL=C comm -23 <(exports "$layer") <(exports "$usr/bin/morvex"))
[ -z "$missing" ] || fail "bin/morvex does not export the layer's $(echo $missing)"
for binary in "$usr/bin/morvex" "$usr/lib/morvex/morvex.so" "$build/morvex"; do
  [ -z "$(dynamic "$binary" RUNPATH)" ] ||
    fail "$binary has RUNPATH '$(dynamic "$binary" RUNPATH)'"
done
# An empty entry in the build tree's search path is the current folder: the
# loader would look there for libc first.
[[ ":$(dynamic "$build/morvex.so" RUNPATH):" != *::* ]] ||
  fail "$build/morvex.so has an empty entry in RUNPATH '$(dynamic "$build/morvex.so" RUNPATH)'"

work=$stage/work
mkdir -p "$work" "$stage/home"
printf 'data' > "$work/report.txt"
setfattr -n user.notes -v 0x68656c6c6f "$work/report.txt"

# `list` loads the module and the message texts; mc's helper runs
# the program installed beside it.
chmod 644 "$work/report.txt"
morvex_line='^ *2 +5 +notes( |$)'
mc_line='^-rw-r--r-- 1 [^ ]+ [^ ]+ 5 [0-9-]+ [0-9:]+ notes$'
for tree in usr moved; do
  [ "$tree" = usr ] || mv "$stage/root/usr" "$stage/root/$tree"
  list_installed "$stage/root/$tree/bin/morvex" "$morvex_line" "$work" "$stage/home"
  list_installed "$stage/root/$tree/lib/mc/extfs.d/morvex" "$mc_line" "$work" "$stage/home"
done
mv "$stage/root/moved" "$stage/root/usr"

page=$usr/share/man/man1/morvex.1
warnings=$(groff -man -Tutf8 -ww -z "$page" 2>&1)
[ -z "$warnings" ] || fail "groff warns about morvex.1: $warnings"
if ! rendered=$(MANPAGER=cat MANWIDTH=80 man -l "$page" 2> "$stage/man.err"); then
  fail "man -l morvex.1 failed: $(cat "$stage/man.err")"
else
  for section in NAME SYNOPSIS DESCRIPTION COMMANDS OPTIONS 'ITEM NAMES' FILES ENVIRONMENT \
                 'NTFS DISKS' 'EXIT STATUS' EXAMPLES; do
    grep -qx "$section" <<< "$rendered" || fail "morvex.1 has no section $section"
  done
fi

completion=$(bash --norc -c "source '$usr/share/bash-completion/completions/morvex' &&
                             complete -p morvex" 2>&1) || true
[ "$completion" = "complete -F _morvex morvex" ] ||
  fail "the completion does not load: $completion"

if [ "$failures" -ne 0 ]; then
  echo "check-install: $failures check(s) failed" >&2
  exit 1
fi
echo "check-install: the staged installation under PREFIX=/usr is complete and works"
