#!/usr/bin/env bash
# The run command: builds the program and starts it under Wine with the SMBus stand-in beside it (two virtual
# modules by default). With $DISPLAY set it runs there until the program ends. Without one it runs on a private
# Xvfb, saves a screenshot after PRISMEL_RUN_SECONDS (default 8) seconds, prints its path and stops the program.
# Arguments are passed to the program (for example: tools/run.sh SysTray).
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

tools/setup.sh || exit 1
if [ ! -f build/win32/CMakeCache.txt ]; then
  cmake --preset win32 >/dev/null || exit 1
fi
cmake --build --preset win32 -j "${PRISMEL_JOBS:-2}" --target Prismel MsIo32 || exit 1

# shellcheck source=wine/common.sh
. tools/wine/common.sh
prismel_wine_env build/win32 || exit 1
bin="$root/build/win32/bin"

if [ -n "${DISPLAY:-}" ]; then
  prismel_prefix_ensure || exit 1
  echo "run: Prismel.exe on $DISPLAY (journal: $bin/smbus-sim.journal)"
  cd "$bin" && exec wine Prismel.exe "$@"
fi

prismel_with_lock prismel_session_start || exit 1
. "$PRISMEL_SESSION_FILE"
export DISPLAY="$SESSION_DISPLAY"
echo "run: Prismel.exe on private display $DISPLAY (journal: $bin/smbus-sim.journal)"
(cd "$bin" && exec env -u LANG LC_ALL="${LC_ALL:-en_US.UTF-8}" wine Prismel.exe "$@" </dev/null >"$root/build/win32/run.log" 2>&1) &
program=$!
sleep "${PRISMEL_RUN_SECONDS:-8}"
shot="$root/build/win32/screenshot.png"
if import -display "$DISPLAY" -window root "$shot" 2>/dev/null; then
  echo "run: screenshot saved to $shot"
else
  echo "run: could not take a screenshot"
fi
kill "$program" 2>/dev/null
prismel_with_lock prismel_session_stop
wait "$program" 2>/dev/null
exit 0
