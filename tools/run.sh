#!/usr/bin/env bash
# The run command: builds the program and starts it under Wine with the SMBus stand-in beside it (two virtual
# modules by default), and beside it the LED view, which draws what the stand-in's journal says the modules' LEDs
# were told. With $DISPLAY set they run there until the program ends. Without one they run on a private Xvfb; a
# screenshot of both windows is saved after PRISMEL_RUN_SECONDS (default 8) seconds, its path printed and both
# stopped. Arguments are passed to the program (for example: tools/run.sh SysTray). For the screenshot,
# PRISMEL_RUN_MODE=7 clicks mode 7, speed 5 and Apply, and PRISMEL_RUN_PAGE=modules (jedec, xmp, about) opens a
# page, as a user would with the mouse. PRISMEL_RUN_DPI=144 (120, 168, 192, ...) runs them at that screen scale:
# the prefix's LogPixels is set to it for the run and back to 96 afterwards.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

tools/setup.sh || exit 1
# shellcheck source=wine/common.sh
. tools/wine/common.sh
preset=$(prismel_windows_preset)
prismel_build "$preset" Prismel MsIo32 LedView || exit 1
prismel_wine_env "build/$preset" || exit 1
build="$root/build/$preset"
bin="$build/bin"

# The LED view sits at the bottom-left of the screen, clear of the program's window; it ends with the program.
ledview=
start_ledview() {
  (cd "$bin" && exec env -u LANG LC_ALL="${LC_ALL:-en_US.UTF-8}" wine LedView.exe </dev/null >"$build/ledview.log" 2>&1) &
  ledview=$!
}
stop_ledview() {
  [ -n "$ledview" ] || return 0
  kill "$ledview" 2>/dev/null
  wait "$ledview" 2>/dev/null
  ledview=
}
trap stop_ledview EXIT

# Clicks, in the program's window: a mode button (1-10), speed button 5 and Apply (PRISMEL_RUN_MODE), then a tab
# (PRISMEL_RUN_PAGE = modules, jedec, xmp or about; jedec and xmp step to the module page's sub-pages 2 and 3).
# The points are those of the 96 DPI layout, scaled as the program scales it.
dpi=${PRISMEL_RUN_DPI:-96}
px() { echo $((($1 * dpi + 48) / 96)); }
run_clicks() {
  local page=$1 mode=$2 window X Y
  window=$(xdotool search --onlyvisible --name '^$' 2>/dev/null | while read -r w; do
    [ "$(xdotool getwindowgeometry "$w" 2>/dev/null | awk '/Geometry/ {print $2}')" = "$(px 990)x$(px 675)" ] && echo "$w"
  done | head -n 1)
  [ -n "$window" ] || return 1
  eval "$(xdotool getwindowgeometry --shell "$window")"
  click() { xdotool mousemove $((X + $(px "$1"))) $((Y + $(px "$2"))) click 1; sleep 0.5; }
  if [ -n "$mode" ]; then
    local col=$(((mode - 1) % 3)) row=$(((mode - 1) / 3))
    click $((150 + 183 * col + 90)) $((49 + 138 * row + 68))
    click 922 520 # speed 5, the fastest
    click 796 591 # Apply
  fi
  case "$page" in
  modules) click 75 105 ;;
  jedec) click 75 105; click 259 536 ;;
  xmp) click 75 105; click 259 536; click 259 536 ;;
  about) click 75 331 ;;
  esac
  xdotool mousemove $((X + $(px 600))) $((Y + $(px 660)))
}

# Keys, in the program's window, as a keyboard user presses them (PRISMEL_RUN_KEYS, xdotool's key names separated
# by blanks, e.g. "Tab Tab Right space"), after the clicks.
run_keys() {
  local window
  window=$(xdotool search --onlyvisible --name '^$' 2>/dev/null | while read -r w; do
    [ "$(xdotool getwindowgeometry "$w" 2>/dev/null | awk '/Geometry/ {print $2}')" = "$(px 990)x$(px 675)" ] && echo "$w"
  done | head -n 1)
  [ -n "$window" ] || return 1
  xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
  for key in $1; do
    xdotool key --clearmodifiers "$key"
    sleep 0.3
  done
}

if [ -n "${DISPLAY:-}" ]; then
  prismel_prefix_ensure || exit 1
  if [ "$dpi" != 96 ]; then
    prismel_prefix_dpi "$dpi" || echo "run: could not set LogPixels to $dpi"
    trap 'stop_ledview; prismel_prefix_dpi 96' EXIT
  fi
  echo "run: Prismel.exe and LedView.exe on $DISPLAY (journal: $bin/smbus-sim.journal)"
  start_ledview
  (cd "$bin" && wine Prismel.exe "$@")
  exit $?
fi

prismel_with_lock prismel_session_start || exit 1
. "$PRISMEL_SESSION_FILE"
export DISPLAY="$SESSION_DISPLAY"
if [ "$dpi" != 96 ]; then
  prismel_prefix_dpi "$dpi" || echo "run: could not set LogPixels to $dpi"
  trap 'stop_ledview; prismel_prefix_dpi 96' EXIT
fi
echo "run: Prismel.exe and LedView.exe on private display $DISPLAY (journal: $bin/smbus-sim.journal)"
start_ledview
(cd "$bin" && exec env -u LANG LC_ALL="${LC_ALL:-en_US.UTF-8}" wine Prismel.exe "$@" </dev/null >"$build/run.log" 2>&1) &
program=$!
seconds=${PRISMEL_RUN_SECONDS:-8}
if [ -n "${PRISMEL_RUN_PAGE:-}${PRISMEL_RUN_MODE:-}${PRISMEL_RUN_KEYS:-}" ]; then
  # Works the window as a user would, with the mouse and then the keyboard, before the screenshot.
  sleep 4
  seconds=$((seconds > 4 ? seconds - 4 : 1))
  if [ -n "${PRISMEL_RUN_PAGE:-}${PRISMEL_RUN_MODE:-}" ]; then
    run_clicks "${PRISMEL_RUN_PAGE:-}" "${PRISMEL_RUN_MODE:-}" || echo "run: could not click the window"
  fi
  if [ -n "${PRISMEL_RUN_KEYS:-}" ]; then
    run_keys "$PRISMEL_RUN_KEYS" || echo "run: could not press keys in the window"
  fi
fi
sleep "$seconds"
shot="$build/screenshot.png"
if import -display "$DISPLAY" -window root "$shot" 2>/dev/null; then
  echo "run: screenshot saved to $shot"
else
  echo "run: could not take a screenshot"
fi
kill "$program" 2>/dev/null
stop_ledview
prismel_with_lock prismel_session_stop
wait "$program" 2>/dev/null
exit 0
