#!/usr/bin/env bash
# Makes the packages with the package command, checks what the zips hold, unpacks them into the folders the
# Wine tests start them from, and builds an installer of an older version for the upgrade test.
# Usage: package_test.sh BUILD_DIR PORTABLE_FOLDER DEMO_FOLDER
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$1 portable=$2 demo=$3
"$root/tools/package.sh" --no-build --build-dir "$build"
version=$(sed -n 's/^version=//p' "$build/package-info.txt")
arch=$(sed -n 's/^arch=//p' "$build/package-info.txt")
zip="$build/dist/Prismel-$version-$arch.zip" demo_zip="$build/dist/Prismel-$version-demo-$arch.zip"
nsis_target=$([ "$arch" = win64 ] && echo amd64-unicode || echo x86-unicode)
fail() { echo "FAILED: $*" >&2; exit 1; }

# (Whole listings and texts before grep: a grep -q that stops early would fail the pipe.)
expected=$(printf 'Zorva Prismel/%s\n' "" DS-DIGI-LICENSE.txt DS-DIGI.ttf Prismel.exe README.txt \
  $([ -f "$build/bin/spdinfo.exe" ] && echo spdinfo.exe) $([ -f "$build/bin/prismelctl.exe" ] && echo prismelctl.exe) |
  sort)
listing=$(unzip -Z1 "$zip" | sort) demo_listing=$(unzip -Z1 "$demo_zip")
[ "$listing" = "$expected" ] || fail "the portable zip holds: $listing"
# The demo is the portable folder plus demo\, the only place the simulator's library may sit.
[ "$(grep -v '^Zorva Prismel/demo/' <<<"$demo_listing" | sort)" = "$expected" ] || fail "demo zip outside demo/"
for f in Prismel.exe DS-DIGI.ttf MsIo32.dll smbus-sim.conf Prismel-demo.cmd README.txt \
  $(sed -n 's/^module.*= *\(spd\/[^ ]*\) *$/\1/p' "$build/bin/smbus-sim.conf"); do
  grep -qxF "Zorva Prismel/demo/$f" <<<"$demo_listing" || fail "demo zip lacks demo/$f"
done
grep -q $'MsIo32.dll.*\r$' <<<"$(unzip -p "$zip" "Zorva Prismel/README.txt")" || fail "README.txt: no CRLF or no MsIo32.dll"
grep -q SIMULATOR <<<"$(unzip -p "$demo_zip" "Zorva Prismel/demo/README.txt")" || fail "demo README hides the simulator"
# The one version number reached the program's version resource.
resource=$(strings -el "$build/package-stage/portable/Zorva Prismel/Prismel.exe")
grep -qx "$version" <<<"$resource" && grep -qx Zorva <<<"$resource" || fail "Prismel.exe's version resource"

rm -rf "$portable" "$demo" "$build/package-test/older"
mkdir -p "$portable" "$demo" "$build/package-test/older"
unzip -q "$zip" -d "$portable"
unzip -q "$demo_zip" -d "$demo"
makensis -V1 -DVERSION=0.9.0 "-DTARGET=$nsis_target" "-DSTAGE_DIR=$build/package-stage/portable/Zorva Prismel" \
  "-DOUT_FILE=$build/package-test/older/Prismel-0.9.0-setup.exe" "-DICON_FILE=$build/skin/prismel.ico" \
  "$root/package/Prismel.nsi"
