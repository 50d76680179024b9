#!/usr/bin/env bash
# CTest emulator for the Win32 build: runs a test program under Wine on the harness's private display.
# The system language comes from LC_ALL (default en_US.UTF-8; zh_CN.UTF-8 gives 0x0804, zh_TW.UTF-8 0x0404).
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=common.sh
. "$here/common.sh"

exe=${1:?usage: emulator.sh PROGRAM [ARGS...]}
build=${PRISMEL_BUILD_DIR:-}
if [ -z "$build" ]; then
  build=$(dirname "$(readlink -f "$exe")")
  while [ "$build" != / ] && [ ! -f "$build/CMakeCache.txt" ]; do build=$(dirname "$build"); done
  [ -f "$build/CMakeCache.txt" ] || { prismel_log "no build tree above $exe"; exit 1; }
fi
prismel_wine_env "$build" || exit 1
if [ "$PRISMEL_WINE_BUILD_ARCH" = win32 ] && ! prismel_can_run_32bit; then
  # A 32-bit build on a machine that cannot run 32-bit programs: its test programs list no tests (so that CTest
  # can still run this tree's tests that need no Wine), and nothing else of it runs here.
  for arg in "$@"; do
    [ "$arg" = --gtest_list_tests ] && exit 0
  done
  prismel_log "this machine cannot run 32-bit programs; $(basename "$exe") needs the win64 build here"
  exit 1
fi
prismel_with_lock prismel_session_start || exit 1
# shellcheck disable=SC1090
. "$PRISMEL_SESSION_FILE"
export DISPLAY="$SESSION_DISPLAY"
exec timeout -k 5 "${PRISMEL_TEST_TIMEOUT:-600}" env -u LANG LC_ALL="${LC_ALL:-en_US.UTF-8}" wine "$@"
