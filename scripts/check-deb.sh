#!/usr/bin/env bash
# Checks the Debian package that `make deb` left in DEB_DIR as a user meets
# it: lintian finds no error, apt installs it beside what `make deps`
# installed, the installed program and mc's helper list a file's streams
# with no help from the environment, `man morvex` renders, bash-completion's
# loader finds the completion; then purging it leaves none of its files and
# the same packages as before. The package is purged also when a check fails.
# Usage: scripts/check-deb.sh [DEB_DIR]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
debs=${1:-build/deb}
[[ $debs == /* ]] || debs=$PWD/$debs
deb=$(ls "$debs"/morvex_*_i386.deb 2> /dev/null | head -n 1) || true
changes=$(ls "$debs"/morvex_*_i386.changes 2> /dev/null | head -n 1) || true
[ -n "$deb" ] && [ -n "$changes" ] ||
  { echo "check-deb: no package in $debs; make deb builds it" >&2; exit 1; }

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
apt_get() { $sudo env DEBIAN_FRONTEND=noninteractive apt-get "$@"; }
installed() { dpkg-query -W -f='${db:Status-Abbrev}' morvex 2> /dev/null | grep -q '^.[ic]'; }
packages() { dpkg-query -W -f='${binary:Package} ${Version} ${db:Status-Abbrev}\n' | LC_ALL=C sort; }

work=$(mktemp -d "${TMPDIR:-/tmp}/morvex-deb-XXXXXX")
# man reads the page as an unprivileged user when it runs as root.
chmod 755 "$work"
purge() { if installed; then apt_get purge -y -qq morvex > "$work/purge.log" 2>&1; fi; }
trap 'purge || cat "$work/purge.log" >&2; rm -rf "$work"' EXIT

failures=0
fail() {
  echo "check-deb: $*" >&2
  failures=$((failures + 1))
}
# shellcheck source=list-installed.sh
. "$root/scripts/list-installed.sh"

# Lintian reads the package, its debug symbols and the .changes; its
# warnings are printed for a reader to weigh, an error fails the check.
if ! lintian --display-info --pedantic "$changes" > "$work/lintian.log" 2>&1; then
  cat "$work/lintian.log" >&2
  echo "check-deb: lintian reports errors" >&2
  exit 1
fi
grep -v 'running with root privileges' "$work/lintian.log" || true

# A run stopped midway may have left the package installed.
purge
packages > "$work/before"

apt_get install -y -qq "$deb" > "$work/install.log" 2>&1 ||
  { cat "$work/install.log" >&2; echo "check-deb: apt cannot install $deb" >&2; exit 1; }
dpkg-query -L morvex | LC_ALL=C sort > "$work/files"

expected="/usr/bin/morvex
/usr/lib/mc/extfs.d/morvex
/usr/lib/morvex/morvex.so
/usr/share/bash-completion/completions/morvex
/usr/share/doc/morvex/changelog.Debian.gz
/usr/share/doc/morvex/copyright
/usr/share/lintian/overrides/morvex
/usr/share/man/man1/morvex.1.gz
/usr/share/morvex/lang/en.msg"
shipped=$(while read -r f; do [ -d "$f" ] || echo "$f"; done < "$work/files")
[ "$shipped" = "$expected" ] ||
  fail "the package's files are not the layout (< missing, > not expected):
$(diff <(echo "$expected") <(echo "$shipped"))"

mkdir -p "$work/home" "$work/sample"
printf 'data' > "$work/sample/report.txt"
chmod 644 "$work/sample/report.txt"
setfattr -n user.notes -v hello "$work/sample/report.txt"

list_installed /usr/bin/morvex '^ *2 +5 +notes( |$)' "$work/sample" "$work/home"
list_installed /usr/lib/mc/extfs.d/morvex '^-rw-r--r-- 1 [^ ]+ [^ ]+ 5 [0-9-]+ [0-9:]+ notes$' \
  "$work/sample" "$work/home"

if ! page=$(env -i PATH=/usr/bin:/bin HOME="$work/home" MANPAGER=cat MANWIDTH=80 \
              man morvex 2> "$work/man.err"); then
  fail "man morvex failed: $(cat "$work/man.err")"
elif ! grep -qx 'NAME' <<< "$page" || ! grep -q 'morvex' <<< "$page"; then
  fail "man morvex rendered no manual page: $page"
fi

# bash-completion loads a command's script on first use, from the name alone.
completion=$(env -i PATH=/usr/bin:/bin HOME="$work/home" bash --norc -c \
  '. /usr/share/bash-completion/bash_completion; _completion_loader morvex; complete -p morvex' 2>&1) ||
  true
[ "$completion" = "complete -F _morvex morvex" ] ||
  fail "bash-completion's loader does not find the completion: $completion"

# Purged, the package leaves no file, and no folder that no other package
# owns; apt has installed and removed nothing else.
purge
while read -r f; do
  [ "$f" != /. ] || continue
  [ -e "$f" ] || [ -L "$f" ] || continue
  if [ ! -d "$f" ] || ! dpkg-query -S "$f" > /dev/null 2>&1; then
    fail "$f is left after purging the package"
  fi
done < "$work/files"
packages > "$work/after"
diff "$work/before" "$work/after" > "$work/packages.diff" ||
  fail "the installed packages differ from before (< before, > after):
$(cat "$work/packages.diff")"

if [ "$failures" -ne 0 ]; then
  echo "check-deb: $failures check(s) failed" >&2
  exit 1
fi
echo "check-deb: $(basename "$deb") installs, works without environment and purges cleanly"
