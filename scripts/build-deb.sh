#!/usr/bin/env bash
# Builds the Debian package from a copy of the source tree in OUT_DIR/source,
# so that dpkg-buildpackage writes its results and its own build folder
# there and the tree stays clean; the package and its .changes land in
# OUT_DIR. Prints the package's path.
# Usage: scripts/build-deb.sh OUT_DIR [JOBS]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:?usage: scripts/build-deb.sh OUT_DIR [JOBS]}
jobs=${2:-2}
mkdir -p "$out"
out=$(cd "$out" && pwd)

# The files git knows or would add, as they are in the work tree: build
# folders and whatever else .gitignore names stay out.
copy=$out/source
rm -rf "$copy"
mkdir -p "$copy"
(cd "$root" && git ls-files -z --cached --others --exclude-standard |
   while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
   tar --null -T - -cf -) | tar -C "$copy" -xf -
rm -f "$out"/morvex[_-]*

# --host-arch i386: the binaries are i386 ones (debian/rules). The tests run
# in `make check`, not here.
(cd "$copy" && DEB_BUILD_OPTIONS="nocheck parallel=$jobs" \
   dpkg-buildpackage -b -us -uc --host-arch i386 -Pnocheck) > "$out/build.log" 2>&1 ||
  { tail -n 40 "$out/build.log" >&2; echo "build-deb: dpkg-buildpackage failed, see $out/build.log" >&2; exit 1; }
ls "$out"/morvex_*.deb
