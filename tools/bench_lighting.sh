#!/usr/bin/env bash
# Lighting benchmark under Wine. Usage: tools/bench_lighting.sh [runs] [seconds]
#  1. With no bus delay (delay_ms = 0, so the stand-in's busy wait does not count): the CPU time Prismel.exe and the
#     wineserver use per minute while mode 7 (Meteor) animates at its fastest period (50 ms), against the same
#     program idle on the lighting page. Each run measures `seconds` (default 20) and is scaled to a minute.
#  2. With a real bus's delay (delay_ms = 0.4 per transaction): the lighting timer's period (median and 99th
#     percentile) and how long each tick holds the window's thread (first to last LED command of a frame), from the
#     stand-in's journal timestamps.
# Prints the median of `runs` (default 5) runs of each.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
runs=${1:-5}
seconds=${2:-20}

tools/setup.sh
# shellcheck source=wine/common.sh
. tools/wine/common.sh
preset=$(prismel_windows_preset)
prismel_build "$preset" Prismel MsIo32 >/dev/null
prismel_wine_env "build/$preset"
prismel_with_lock prismel_session_start
# shellcheck disable=SC1090
. "$PRISMEL_SESSION_FILE"
export DISPLAY="$SESSION_DISPLAY"
trap 'prismel_with_lock prismel_session_stop' EXIT

bin="$root/build/$preset/bin"
work="$root/build/$preset/bench-lighting"
mkdir -p "$work"
hz=$(getconf CLK_TCK)

# CPU ticks (user + system) of a process.
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# start DELAY: starts the program against its own configuration; sets program, pid and window.
start() {
  cat >"$work/smbus-sim.conf" <<CONF
module 0 0 = $bin/spd/gskill-f4-3200c14d-32gtzr.bin
module 0 2 = $bin/spd/samsung-m378a2k43eb1-cwe.bin
checkspd = 2
delay_ms = $1
journal = $work/smbus-sim.journal
CONF
  (cd "$bin" && exec env -u LANG LC_ALL=en_US.UTF-8 PRISMEL_SMBUS_CONFIG="$work/smbus-sim.conf" wine Prismel.exe \
    </dev/null >/dev/null 2>&1) &
  program=$!
  window=
  for _ in $(seq 1 100); do
    window=$(xdotool search --onlyvisible --name '^$' 2>/dev/null | while read -r w; do
      [ "$(xdotool getwindowgeometry "$w" 2>/dev/null | awk '/Geometry/ {print $2}')" = 990x675 ] && echo "$w"
    done | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { echo "bench: the program's window did not appear" >&2; exit 1; }
  # This benchmark's own copy: the Wine process whose environment names this benchmark's configuration.
  pid=$(grep -lzx "PRISMEL_SMBUS_CONFIG=$work/smbus-sim.conf" /proc/[0-9]*/environ 2>/dev/null |
    sed 's|/proc/\([0-9]*\)/environ|\1|' | while read -r p; do
      tr '\0' ' ' <"/proc/$p/cmdline" 2>/dev/null | grep -q 'Prismel.exe' && echo "$p"
    done | head -n 1 || true)
  [ -n "$pid" ] || { echo "bench: cannot find the program's process" >&2; exit 1; }
  sleep 2
}
stop() {
  kill "$pid" "$program" 2>/dev/null || true
  wait "$program" 2>/dev/null || true
  sleep 0.5
}
# Meteor, speed 5 (the fastest), Apply: with the mouse, as a user.
meteor() {
  eval "$(xdotool getwindowgeometry --shell "$window")"
  for point in "240 393" "922 520" "796 591"; do
    set -- $point
    xdotool mousemove $((X + $1)) $((Y + $2)) click 1
    sleep 0.3
  done
  xdotool mousemove $((X + 600)) $((Y + 660))
}
# CPU ms per minute of the program and of the wineserver over `seconds`.
measure() {
  local server p0 s0 p1 s1
  server=$WINESERVER_PID
  p0=$(ticks "$pid"); s0=$(ticks "$server")
  sleep "$seconds"
  p1=$(ticks "$pid"); s1=$(ticks "$server")
  echo "$(( (p1 - p0) * 1000 * 60 / hz / seconds )) $(( (s1 - s0) * 1000 * 60 / hz / seconds ))"
}
median() { sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }

: >"$work/idle.txt"
: >"$work/meteor.txt"
: >"$work/ticks.txt"
for run in $(seq 1 "$runs"); do
  start 0
  measure >>"$work/idle.txt"
  meteor
  sleep 1
  measure >>"$work/meteor.txt"
  stop

  start 0.4
  meteor
  sleep 10
  stop
  python3 - "$work/smbus-sim.journal" >>"$work/ticks.txt" <<'PY'
import re, statistics, sys
frames, cur = [], []
for line in open(sys.argv[1]):
    m = re.match(r"([\d.]+) RGBI2CMode\(0x1([0-4])", line)
    if not m:
        continue
    t, k = float(m.group(1)), int(m.group(2))
    if k == 0:
        cur = [t]
    elif cur:
        cur.append(t)
        if k == 4 and len(cur) == 5:
            frames.append((cur[0], cur[-1]))
            cur = []
starts = [f[0] for f in frames]
gaps = sorted(b - a for a, b in zip(starts, starts[1:]))
holds = sorted(f[1] - f[0] for f in frames)
p99 = gaps[min(len(gaps) - 1, int(0.99 * len(gaps)))]
print(f"{statistics.median(gaps):.2f} {p99:.2f} {statistics.median(holds):.3f} {len(frames)}")
PY
  echo "run $run: idle $(tail -n 1 "$work/idle.txt"), meteor $(tail -n 1 "$work/meteor.txt"), ticks $(tail -n 1 "$work/ticks.txt")" >&2
done

echo "lighting benchmark: $runs runs, CPU over ${seconds} s scaled to a minute, ticks over 10 s at 0.4 ms per transaction"
echo "  idle on the lighting page:   Prismel.exe $(cut -d' ' -f1 "$work/idle.txt" | median) ms/min, wineserver $(cut -d' ' -f2 "$work/idle.txt" | median) ms/min"
echo "  mode 7 at 50 ms, no delay:   Prismel.exe $(cut -d' ' -f1 "$work/meteor.txt" | median) ms/min, wineserver $(cut -d' ' -f2 "$work/meteor.txt" | median) ms/min"
echo "  tick period: median $(cut -d' ' -f1 "$work/ticks.txt" | median) ms, 99th percentile $(cut -d' ' -f2 "$work/ticks.txt" | median) ms (medians over runs)"
echo "  a tick holds the window's thread (first to last LED command): median $(cut -d' ' -f3 "$work/ticks.txt" | median) ms"
