#!/usr/bin/env bash
# The soak command: a user's hours with Prismel.exe in a quarter to half an hour, under Wine, with the program's memory,
# handles, GDI objects and USER objects sampled before, between and after the phases; prints the table and one
# PASS or FAIL line, and exits 0 only on PASS.
#
#   tools/soak.sh [--scale F] [--phases NAME,...]   the soak (see tools/soak/soak_driver.cpp for the phases)
#   tools/soak.sh --prove-leak                      shows that the soak catches a leak of one GDI object per
#                                                   repaint: builds a copy of the sources with such a leak in
#                                                   build/soak-leak and requires a FAIL from a short soak of it
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

prove_leak=0
args=()
while [ $# -gt 0 ]; do
  case "$1" in
  --prove-leak) prove_leak=1 ;;
  --scale | --phases)
    [ $# -ge 2 ] || { echo "soak: $1 needs a value" >&2; exit 2; }
    args+=("$1" "$2")
    shift
    ;;
  *) echo "usage: tools/soak.sh [--prove-leak] [--scale F] [--phases NAME,...]" >&2; exit 2 ;;
  esac
  shift
done
jobs=${PRISMEL_JOBS:-1}

tools/setup.sh
# shellcheck source=wine/common.sh
. tools/wine/common.sh
preset=$(prismel_windows_preset)
PRISMEL_JOBS=$jobs prismel_build "$preset" soak_driver >/dev/null

trap 'tools/wine/session.sh stop "build/$preset" >/dev/null 2>&1 || true' EXIT
# The driver runs under the harness of the Windows build tree; a full soak takes longer than a test may.
driver() {
  PRISMEL_TEST_TIMEOUT=3600 tools/wine/emulator.sh "build/$preset/bin/soak_driver.exe" "$@"
}

if [ "$prove_leak" = 0 ]; then
  driver "${args[@]}"
  exit $?
fi

# A throwaway copy of the sources in which the lighting page's swatch brush is given away instead of deleted:
# one GDI object lost per paint of the lighting page. The real tree is never touched.
leak="$root/build/soak-leak"
rm -rf "$leak/src"
mkdir -p "$leak/src"
tar -C "$root" --exclude=./build --exclude=./.git -cf - . | tar -C "$leak/src" -xf -
target="$leak/src/lighting/LightingPage_win32.cpp"
sed -i 's/FillRect(dc, &kSwatch, brush\.Get());/FillRect(dc, \&kSwatch, brush.Release());/' "$target"
grep -q 'brush\.Release()' "$target" || { echo "soak: the leak could not be put into $target" >&2; exit 2; }
echo "soak: building Prismel.exe with a deliberate leak in $leak/src/build/$preset"
(cd "$leak/src" && PRISMEL_JOBS=$jobs prismel_build "$preset" Prismel MsIo32 prismel_font >/dev/null)

bin="Z:$(printf '%s' "$leak/src/build/$preset/bin" | tr / '\\')"
set +e
driver --bin "$bin" --phases repaint --scale "${PRISMEL_SOAK_LEAK_SCALE:-0.1}" | tee "$leak/soak.log"
status=${PIPESTATUS[0]}
set -e
# Only the leak's own measure counts: a FAIL for any other reason (the program stopping, say) proves nothing.
if [ "$status" = 1 ] && grep -q '^soak: FAIL:.*GDI objects grew' "$leak/soak.log"; then
  echo "soak: prove-leak: the soak caught the deliberate leak"
  exit 0
fi
echo "soak: prove-leak: the soak did NOT catch the deliberate leak (driver status $status)" >&2
exit 1
