#!/usr/bin/env bash
# The test command: installs what is missing, builds the native, Windows and fuzz builds, and runs every test with
# CTest (the native unit tests under ASan + UBSan, the Windows and end-to-end tests under Wine, the bounded fuzz
# run). The Wine tests run on win32, the program users get, where this machine can run 32-bit programs; where it
# cannot, win32 is still built and its checks that need no Wine run, and the Wine tests run on the x86-64 test
# build win64 under 64-bit Wine. PRISMEL_WINE_ARCH=win32|win64 overrides the machine probe.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

tools/setup.sh || exit 1
# shellcheck source=wine/common.sh
. tools/wine/common.sh

jobs=${PRISMEL_JOBS:-2}
status=0
summary=()

if prismel_can_run_32bit; then
  wine_preset=win32
  wine_reason="this machine runs 32-bit programs"
else
  wine_preset=win64
  wine_reason="this machine cannot run 32-bit programs (the 32-bit Wine loader does not start)"
fi
[ -n "${PRISMEL_WINE_ARCH:-}" ] && wine_reason="PRISMEL_WINE_ARCH=$PRISMEL_WINE_ARCH"
echo "== Wine tests on $wine_preset: $wine_reason"

run_ctest() { # PRESET [CTEST-ARGS...]
  local preset=$1
  shift
  echo "== ctest: $preset $*"
  local out
  out=$(mktemp)
  ctest --test-dir "build/$preset" -j "$jobs" --output-on-failure --timeout 300 "$@" 2>&1 | tee "$out"
  local rc=${PIPESTATUS[0]}
  summary+=("$preset${*:+ ($*)}: $(grep -E 'tests passed|No tests were found' "$out" | tail -1)")
  grep -q 'No tests were found' "$out" && rc=1
  rm -f "$out"
  return "$rc"
}

presets=(native win32)
[ "$wine_preset" = win64 ] && presets+=(win64)
presets+=(fuzz)
for preset in "${presets[@]}"; do
  targets=()
  # A Windows build whose programs cannot run here: only what the packages hold, for its checks without Wine.
  [[ "$preset" == win* && "$preset" != "$wine_preset" ]] && targets=(release_files)
  if ! PRISMEL_JOBS=$jobs prismel_build "$preset" "${targets[@]}"; then
    echo "build of $preset failed"
    status=1
    summary+=("$preset: BUILD FAILED")
    continue
  fi
  case "$preset" in
  win32 | win64)
    if [ "$preset" = "$wine_preset" ]; then
      run_ctest "$preset" || status=1
    else
      # The program users get, checked without running it: its imports and its packages.
      run_ctest "$preset" -L '^nowine$' || status=1
    fi
    ;;
  *) run_ctest "$preset" || status=1 ;;
  esac
done

# The Wine session the Windows tests started (Xvfb and wineserver, by their PIDs).
tools/wine/session.sh stop "build/$wine_preset" >/dev/null 2>&1 || true

echo
echo "== summary"
echo "Wine tests ran on $wine_preset: $wine_reason"
printf '%s\n' "${summary[@]}"
exit "$status"
