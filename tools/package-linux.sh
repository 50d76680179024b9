#!/usr/bin/env bash
# spdinfo for Linux users: builds the release preset (-O2, no sanitizers) and makes, in build/release/dist/,
#   spdinfo-<version>-linux-x86_64.tar.gz   the folder spdinfo-<version>-linux-x86_64: bin/spdinfo and
#                                           share/man/man1/spdinfo.1, as `cmake --install` lays them out
#   spdinfo_<version>_amd64.deb             /usr/bin/spdinfo and its manual page, for dpkg -i / apt install
# Needs no Wine. tools/package.sh runs it after the Windows packages.
#
# Usage: tools/package-linux.sh [--no-build] [--out DIR]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build/release"
out="$build/dist"
do_build=1
while [ $# -gt 0 ]; do
  case "$1" in
    --no-build) do_build=0 ;;
    --out) out=${2:?--out needs a folder}; shift ;;
    *) echo "usage: tools/package-linux.sh [--no-build] [--out DIR]" >&2; exit 2 ;;
  esac
  shift
done

if [ "$do_build" = 1 ]; then
  "$root/tools/setup.sh"
  # shellcheck source=wine/common.sh
  (cd "$root" && . tools/wine/common.sh && prismel_build release)
fi
version=$(sed -n 's/^PRISMEL_VERSION:INTERNAL=//p' "$build/CMakeCache.txt")
[[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || { echo "package-linux: bad version '$version'" >&2; exit 1; }
[ -x "$build/spdinfo" ] || { echo "package-linux: $build/spdinfo is missing; build the release preset" >&2; exit 1; }

stage="$build/package-stage"
rm -rf "$stage"
mkdir -p "$out"
out=$(cd "$out" && pwd)

# The tarball: the install tree under a relative prefix, the program stripped of its symbols.
folder="spdinfo-$version-linux-x86_64"
cmake --install "$build" --prefix "$stage/$folder" --strip >/dev/null
tarball="$out/$folder.tar.gz"
tar -C "$stage" --sort=name --owner=0 --group=0 --numeric-owner -czf "$tarball" "$folder"

# The Debian package: the same files under /usr, the manual page compressed as Debian keeps them.
deb_root="$stage/deb"
cmake --install "$build" --prefix "$deb_root/usr" --strip >/dev/null
gzip -9n "$deb_root/usr/share/man/man1/spdinfo.1"
arch=$(dpkg --print-architecture)
# The newest C library symbol version the program uses; the C++ library is linked in.
glibc=$(objdump -T "$deb_root/usr/bin/spdinfo" | grep -o 'GLIBC_[0-9.]*' | sed 's/GLIBC_//' | sort -V | tail -1)
mkdir -p "$deb_root/DEBIAN"
cat >"$deb_root/DEBIAN/control" <<CONTROL
Package: spdinfo
Version: $version
Architecture: $arch
Maintainer: Zorva Prismel developers <prismel@localhost>
Depends: libc6 (>= $glibc)
Section: utils
Priority: optional
Installed-Size: $(du -sk --exclude=DEBIAN "$deb_root" | cut -f1)
Description: decode the SPD data of DDR4 and DDR5 memory modules
 spdinfo prints what a DDR4 or DDR5 module's SPD says: a module table (for DDR4 that of Zorva Prismel's module
 information page), with --full every field (timings at the standard speeds, timing parameters, package,
 physical and maker data, DDR5's on-module devices) and the XMP 2.0, XMP 3.0 and EXPO profiles' own timings
 with their CRC verdicts, as text or JSON. It reads SPD dump files and, with --sys, the modules the kernel's
 ee1004 (DDR4) and spd5118 (DDR5) drivers serve.
CONTROL
deb="$out/spdinfo_${version}_$arch.deb"
dpkg-deb --root-owner-group -Zxz -b "$deb_root" "$deb" >/dev/null

for f in "$tarball" "$deb"; do
  echo "package: $f ($(stat -c %s "$f") bytes)"
done
