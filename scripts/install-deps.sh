#!/usr/bin/env bash
# Installs the Debian packages the project builds and tests with; does nothing
# when they are all present.
set -euo pipefail

packages=(
  cmake make g++ g++-multilib lib32asan8 lib32ubsan1
  libgtest-dev:i386 libgmock-dev:i386 libbenchmark-dev:i386
  g++-mingw-w64-i686 wine wine32
  attr ntfs-3g e2fsprogs python3
  man-db groff-base
  clang-14 libclang-rt-14-dev
  mc tmux
  # the Samba checks: a private smbd with streams_xattr and acl_xattr, the
  # client that writes and reads through it, and python3-samba to decode
  # the descriptors it keeps
  samba samba-vfs-modules smbclient python3-samba
  # make deb: debhelper, and the i686-linux-gnu- strip and objdump it runs
  # for an i386 package; make deb-check: lintian, bash-completion's loader,
  # and the i386 libraries the package depends on, so that installing it
  # brings in nothing else.
  debhelper binutils-i686-linux-gnu
  lintian bash-completion libstdc++6:i386
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
