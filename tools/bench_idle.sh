#!/usr/bin/env bash
# The program's idle CPU under Wine: Prismel.exe started in the tray with every dark rule on (or, with "off", every
# rule off), left alone for SECONDS (600 by default), its user and system time read from /proc before and after.
# Usage: tools/bench_idle.sh [seconds] [on|off]
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
seconds=${1:-600}
rules=$([ "${2:-on}" = off ] && echo 0 || echo 1)
tools/setup.sh || exit 1
# shellcheck source=wine/common.sh
. tools/wine/common.sh
preset=$(prismel_windows_preset)
prismel_build "$preset" Prismel MsIo32 prismel_font || exit 1
cd "build/$preset/bin" || exit 1
wine_run() { PRISMEL_TEST_TIMEOUT=$((seconds + 120)) "$root/tools/wine/emulator.sh" "$@"; }
key='HKLM\Software\Tessaro HD'
wine_run reg delete "$key" /f >/dev/null 2>&1
for value in LightsOffWithDisplay LightsOffWhileLocked LightsOffAtNight LightsOffWhileAsleep; do
  wine_run reg add "$key" /v "$value" /t REG_DWORD /d "$rules" /f >/dev/null 2>&1
done
wine_run reg add "$key" /v LightsOffAfterIdleMinutes /t REG_DWORD /d $((rules * 10)) /f >/dev/null 2>&1
(wine_run Prismel.exe SysTray >/dev/null 2>&1 &)
sleep 20
pid=$(pgrep -f "^Prismel.exe SysTray" | head -1)
[ -n "$pid" ] || { echo "bench_idle: Prismel.exe did not start"; exit 1; }
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
before=$(ticks)
sleep "$seconds"
after=$(ticks)
kill "$pid" 2>/dev/null
wine_run reg delete "$key" /f >/dev/null 2>&1
hz=$(getconf CLK_TCK)
awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" -v r="${2:-on}" \
  'BEGIN { printf "idle CPU, dark rules %s: %d ticks (%.2f s) in %d s = %.3f %%\n", r, t, t / hz, s, 100 * t / hz / s }'
