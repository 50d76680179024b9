#!/usr/bin/env bash
# The package command: builds the program for Windows and makes what a Windows user downloads, in
# build/win32/dist/:
#   Prismel-<version>-win32.zip        the folder "Zorva Prismel": the program, its font, the command-line tools
#   Prismel-<version>-demo-win32.zip   the same plus demo\: a copy of the program beside the SMBus SIMULATOR and
#                                      two virtual modules, started by Prismel-demo.cmd
#   Prismel-<version>-setup.exe        the installer (package/Prismel.nsi)
# The vendor's SMBus library is in none of them; the simulator never sits beside the packaged Prismel.exe.
# Then, unless --no-build, tools/package-linux.sh makes spdinfo for Linux users (a tar.gz and a .deb, in
# build/release/dist/; see the block at the end).
#
# Usage: tools/package.sh [--no-build] [--out DIR] [--build-dir DIR]
#   --no-build       package what the build tree already holds (its tests do this right after the build)
#   --out DIR        write the packages to DIR instead of the build tree's dist/
#   --build-dir DIR  package another Windows build tree: the win64 test build's tests package build/win64 this
#                    way (files named -win64, a 64-bit installer); those are for the tests only, never a release
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build/win32"
out=""
do_build=1
while [ $# -gt 0 ]; do
  case "$1" in
    --no-build) do_build=0 ;;
    --out) out=${2:?--out needs a folder}; shift ;;
    --build-dir) build=$(cd "${2:?--build-dir needs a folder}" && pwd); shift ;;
    *) echo "usage: tools/package.sh [--no-build] [--out DIR] [--build-dir DIR]" >&2; exit 2 ;;
  esac
  shift
done
out=${out:-$build/dist}
preset=$(basename "$build")

# shellcheck source=wine/common.sh
. "$root/tools/wine/common.sh"
if [ "$do_build" = 1 ]; then
  "$root/tools/setup.sh"
  # Configure (again) so that package-info.txt names the targets this tree has today.
  if [ -f "$build/CMakeCache.txt" ]; then cmake "$build" >/dev/null; else (cd "$root" && cmake --preset "$preset" >/dev/null); fi
fi
info="$build/package-info.txt"
[ -f "$info" ] || { echo "package: $info is missing; configure the $preset build first" >&2; exit 1; }
version=$(sed -n 's/^version=//p' "$info")
arch=$(sed -n 's/^arch=//p' "$info")
triplet=$(sed -n 's/^triplet=//p' "$info")
read -r -a targets <<<"$(sed -n 's/^targets=//p' "$info")"
[[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || { echo "package: bad version '$version' in $info" >&2; exit 1; }
case "$arch" in
  win32) nsis_target=x86-unicode ;;
  win64) nsis_target=amd64-unicode ;;
  *) echo "package: bad arch '$arch' in $info" >&2; exit 1 ;;
esac
if [ "$do_build" = 1 ]; then
  (cd "$root" && prismel_build "$preset" "${targets[@]}")
fi

bin="$build/bin"
for f in Prismel.exe DS-DIGI.ttf DS-DIGI-LICENSE.txt MsIo32.dll smbus-sim.conf; do
  [ -f "$bin/$f" ] || { echo "package: $bin/$f is missing; build the $preset targets ${targets[*]}" >&2; exit 1; }
done

# Text for Windows: CRLF line ends, the version and the optional parts filled in.
windows_text() { # SOURCE DEST [LEDVIEW-LINE]
  sed -e "s/@VERSION@/$version/g" -e "s|@LEDVIEW@|${3:-}|" -e 's/\r$//' -e 's/$/\r/' "$1" >"$2"
}

stage="$build/package-stage"
rm -rf "$stage"
app="$stage/portable/Zorva Prismel"
mkdir -p "$app"
# Programs go out without their symbols (a quarter of Prismel.exe's size); the build tree keeps them.
strip_to() { "$triplet-strip" -o "$2" "$1"; }
strip_to "$bin/Prismel.exe" "$app/Prismel.exe"
cp "$bin/DS-DIGI.ttf" "$app/"
windows_text "$bin/DS-DIGI-LICENSE.txt" "$app/DS-DIGI-LICENSE.txt"
windows_text "$root/package/README.txt" "$app/README.txt"
if [ -f "$bin/spdinfo.exe" ]; then strip_to "$bin/spdinfo.exe" "$app/spdinfo.exe"; fi
if [ -f "$bin/prismelctl.exe" ]; then strip_to "$bin/prismelctl.exe" "$app/prismelctl.exe"; fi

# The demo: the portable folder plus demo\, a program folder of its own in which the simulator's MsIo32.dll is
# the one the program loads (it loads the library from its own folder only).
demo_app="$stage/demo/Zorva Prismel"
demo="$demo_app/demo"
mkdir -p "$stage/demo" && cp -r "$app" "$stage/demo/"
mkdir -p "$demo/spd"
cp "$app/Prismel.exe" "$app/DS-DIGI.ttf" "$app/DS-DIGI-LICENSE.txt" "$demo/"
strip_to "$bin/MsIo32.dll" "$demo/MsIo32.dll"
{
  printf '# Configuration of the SMBus SIMULATOR of the Zorva Prismel demo: virtual modules, no hardware access.\n'
  cat "$bin/smbus-sim.conf"
} | sed -e 's/\r$//' -e 's/$/\r/' >"$demo/smbus-sim.conf"
# The SPD images that the configuration names, and only those.
sed -n 's/^module[[:space:]].*=[[:space:]]*\(spd\/[^[:space:]]*\)[[:space:]]*$/\1/p' "$bin/smbus-sim.conf" |
  while read -r image; do cp "$bin/$image" "$demo/spd/"; done
[ -n "$(ls "$demo/spd")" ] || { echo "package: $bin/smbus-sim.conf names no spd/ module images" >&2; exit 1; }
ledview=""
if [ -f "$bin/LedView.exe" ]; then
  strip_to "$bin/LedView.exe" "$demo/LedView.exe"
  ledview="Prismel-demo.cmd also starts LedView.exe, which shows the virtual modules' LEDs as the simulator sets them."
fi
windows_text "$root/package/demo/README.txt" "$demo/README.txt" "$ledview"
windows_text "$root/package/demo/Prismel-demo.cmd" "$demo/Prismel-demo.cmd"

mkdir -p "$out"
out=$(cd "$out" && pwd)
zip_name="$out/Prismel-$version-$arch.zip"
demo_name="$out/Prismel-$version-demo-$arch.zip"
setup_name="$out/Prismel-$version-setup.exe"
rm -f "$zip_name" "$demo_name" "$setup_name"
(cd "$stage/portable" && zip -q -r -X "$zip_name" "Zorva Prismel")
(cd "$stage/demo" && zip -q -r -X "$demo_name" "Zorva Prismel")
makensis -V2 -NOCD "-DVERSION=$version" "-DTARGET=$nsis_target" "-DSTAGE_DIR=$app" "-DOUT_FILE=$setup_name" \
  "-DICON_FILE=$build/skin/prismel.ico" "$root/package/Prismel.nsi" >"$stage/makensis.log" 2>&1 ||
  { cat "$stage/makensis.log" >&2; echo "package: makensis failed" >&2; exit 1; }

for f in "$zip_name" "$demo_name" "$setup_name"; do
  echo "package: $f ($(stat -c %s "$f") bytes)"
done

# ---- Linux: spdinfo as spdinfo-<version>-linux-x86_64.tar.gz and a Debian package, in build/release/dist/ ----
# Its own script and its own build (the release preset), needing no Wine; --out names the Windows packages' folder
# only.
if [ "$do_build" = 1 ]; then
  "$root/tools/package-linux.sh"
fi
