#!/usr/bin/env bash
# The test command: installs what is missing, builds the native, win32 and fuzz builds, and runs every test with
# CTest (the native unit tests under ASan + UBSan, the Win32 and end-to-end tests under Wine, the bounded fuzz run).
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

tools/setup.sh || exit 1

jobs=${PRISMEL_JOBS:-2}
status=0
summary=()

build() {
  local preset=$1
  if [ ! -f "build/$preset/CMakeCache.txt" ]; then
    cmake --preset "$preset" >"build-$preset.configure.log" 2>&1 || { cat "build-$preset.configure.log"; return 1; }
    rm -f "build-$preset.configure.log"
  fi
  cmake --build --preset "$preset" -j "$jobs"
}

run_ctest() {
  local preset=$1
  echo "== ctest: $preset"
  local out
  out=$(mktemp)
  ctest --test-dir "build/$preset" -j "$jobs" --output-on-failure --timeout 300 2>&1 | tee "$out"
  local rc=${PIPESTATUS[0]}
  summary+=("$preset: $(grep -E 'tests passed' "$out" | tail -1)")
  rm -f "$out"
  return "$rc"
}

for preset in native win32 fuzz; do
  if ! build "$preset"; then
    echo "build of $preset failed"
    status=1
    summary+=("$preset: BUILD FAILED")
    continue
  fi
  run_ctest "$preset" || status=1
done

# The Wine session the win32 tests started (Xvfb and wineserver, by their PIDs).
tools/wine/session.sh stop build/win32 >/dev/null 2>&1 || true

echo
echo "== summary"
printf '%s\n' "${summary[@]}"
exit "$status"
