# Shared pieces of the Wine harness: the private prefix, the private X display and the persistent wineserver.
# Sourced by the emulator, the run command and the session script. Everything started here is recorded by PID
# in the session file and stopped by those PIDs only.

prismel_log() { echo "wine-harness: $*" >&2; }

PRISMEL_WINE32_LOADER=/usr/lib/wine/wine
PRISMEL_WINE64_LOADER=/usr/lib/wine/wine64

# prismel_can_run_32bit: whether this machine executes 32-bit programs, found by starting the 32-bit Wine loader
# (on a kernel without 32-bit support it fails with "Exec format error"). PRISMEL_WINE_ARCH=win32 or win64
# overrides the answer.
prismel_can_run_32bit() {
  case "${PRISMEL_WINE_ARCH:-}" in
  win32) return 0 ;;
  win64) return 1 ;;
  esac
  [ -x "$PRISMEL_WINE32_LOADER" ] && timeout 60 "$PRISMEL_WINE32_LOADER" --version </dev/null >/dev/null 2>&1
}

# prismel_windows_preset: prints the Windows build whose programs run under Wine here: win32, the program users
# get, where 32-bit programs run; win64 otherwise, saying so once on stderr.
prismel_windows_preset() {
  if prismel_can_run_32bit; then
    echo win32
  else
    if [ "${PRISMEL_WINE_ARCH:-}" = win64 ]; then
      echo "wine-harness: PRISMEL_WINE_ARCH=win64: using the x86-64 test build win64" >&2
    else
      echo "wine-harness: this machine cannot run 32-bit programs; using the x86-64 test build win64" >&2
    fi
    echo win64
  fi
}

# prismel_bench TARGET [ARGS...]: builds one benchmark program of the Windows build this machine can run, runs it
# under the harness's Wine session with ARGS and stops the session. The body of the tools/bench_*.sh commands.
prismel_bench() {
  local target=$1 preset
  shift
  preset=$(prismel_windows_preset)
  prismel_build "$preset" "$target" >/dev/null
  tools/wine/emulator.sh "build/$preset/bin/$target.exe" "$@"
  tools/wine/session.sh stop "build/$preset" >/dev/null
}

# prismel_build PRESET [TARGET...]: configures the preset's build tree once (printing CMake's output only when that
# fails) and builds the targets, or everything. The one set-up-and-build step of the tools/*.sh commands.
prismel_build() {
  local preset=$1
  shift
  if [ ! -f "build/$preset/CMakeCache.txt" ]; then
    local log
    log=$(mktemp)
    cmake --preset "$preset" >"$log" 2>&1 || { cat "$log"; rm -f "$log"; return 1; }
    rm -f "$log"
  fi
  cmake --build --preset "$preset" -j "${PRISMEL_JOBS:-2}" ${1:+--target "$@"}
}

# prismel_wine_env BUILD_DIR: the environment every Wine call of the harness uses. The build tree's wine-arch.txt
# (written when it is configured) says whether its programs are 32-bit or 64-bit; the harness then runs the Wine
# loader of that kind by its path, with WINELOADER set so that Wine's own helpers start the same way, and never
# whichever `wine` the system's alternatives pick. Each build tree has its own prefix.
prismel_wine_env() {
  PRISMEL_BUILD_DIR=$(cd "$1" && pwd)
  local arch loader
  arch=$(cat "$PRISMEL_BUILD_DIR/wine-arch.txt" 2>/dev/null || echo win32)
  case "$arch" in
  win64) loader=$PRISMEL_WINE64_LOADER ;;
  *) loader=$PRISMEL_WINE32_LOADER ;;
  esac
  [ -x "$loader" ] || { prismel_log "missing Wine loader $loader (run tools/setup.sh)"; return 1; }
  export PRISMEL_WINE_BUILD_ARCH=$arch
  export WINELOADER=$loader
  export WINEPREFIX="$PRISMEL_BUILD_DIR/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  PRISMEL_SESSION_FILE="$PRISMEL_BUILD_DIR/wine-session.env"
  PRISMEL_LOCK_FILE="$PRISMEL_BUILD_DIR/wine-session.lock"
  # `wine` and `wineserver` on PATH are the build's own, for the harness, the tests' scripts and the tools.
  local bin="$PRISMEL_BUILD_DIR/wine-bin"
  mkdir -p "$bin"
  printf '#!/bin/sh\nexec %s "$@"\n' "$loader" >"$bin/wine.new"
  printf '#!/bin/sh\nexec /usr/lib/wine/wineserver "$@"\n' >"$bin/wineserver.new"
  chmod +x "$bin/wine.new" "$bin/wineserver.new"
  mv -f "$bin/wine.new" "$bin/wine"
  mv -f "$bin/wineserver.new" "$bin/wineserver"
  case ":$PATH:" in
  *":$bin:"*) ;;
  *) export PATH="$bin:$PATH" ;;
  esac
  command -v Xvfb >/dev/null || { prismel_log "missing tool 'Xvfb' (run tools/setup.sh)"; return 1; }
}

prismel_pid_alive() { [ -n "${1:-}" ] && kill -0 "$1" 2>/dev/null; }

# Windows links its Latin faces to a Chinese font for the glyphs they lack; a Wine prefix does not, so the
# program's Chinese texts in Arial (Liberation Sans here) would show as boxes. Applied once per prefix.
prismel_prefix_fontlink() {
  [ -f "$WINEPREFIX/.prismel-fontlink" ] && return 0
  local face
  for face in Arial 'Liberation Sans' Tahoma; do
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$face" \
      /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f </dev/null >/dev/null 2>&1
  done
  touch "$WINEPREFIX/.prismel-fontlink"
}

# No sound driver: a message box's beep would otherwise start Wine's audio stack, whose COM thread adds a hidden
# window to the program at a moment of its own, which the tests that count a program's windows would see.
prismel_prefix_silent() {
  [ -f "$WINEPREFIX/.prismel-silent" ] && return 0
  wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d '' /f </dev/null >/dev/null 2>&1 &&
    touch "$WINEPREFIX/.prismel-silent"
}

# Creates and configures the prefix once; later calls find the marker and return at once. The marker is written
# only when wineboot and everything it started have ended (the set-up's wineserver has exited): a session started
# on a prefix that is still being set up would share it with a second wineserver. No Wine process started here keeps
# the session lock (descriptor 9), which would otherwise stay held for as long as Wine's services run.
prismel_prefix_ensure() {
  if [ -f "$WINEPREFIX/.prismel-ready" ]; then
    prismel_prefix_fontlink 9>&-
    prismel_prefix_silent 9>&-
    return 0
  fi
  prismel_log "creating Wine prefix $WINEPREFIX (once)"
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  timeout 300 wine wineboot -i </dev/null >/dev/null 2>&1 9>&- || { prismel_log "wineboot failed or timed out"; return 1; }
  # Without a window manager, hiding a managed window blocks for about two seconds each time.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 9>&-
  # Windows always has Arial; a fresh prefix does not.
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d 'Liberation Sans' /f </dev/null >/dev/null 2>&1 9>&-
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  mkdir -p "$fonts"
  cp -f /usr/share/wine/fonts/*.ttf "$fonts/" 2>/dev/null || true
  local cjk
  for cjk in /usr/share/fonts/truetype/wqy/wqy-microhei.ttc; do
    [ -f "$cjk" ] && cp -f "$cjk" "$fonts/"
  done
  prismel_prefix_fontlink 9>&-
  prismel_prefix_silent 9>&-
  timeout 300 wineserver -w 9>&- || { prismel_log "the prefix's set-up did not end (wineserver -w)"; return 1; }
  touch "$WINEPREFIX/.prismel-ready"
}

# prismel_prefix_dpi DPI: the screen scale Wine gives the programs started from now on (LogPixels: 96 is 100 %,
# 144 is 150 %). A prefix left at another DPI (a run that was stopped) is set back to 96 when a session starts.
prismel_prefix_dpi() {
  local dpi=$1 key
  for key in 'HKCU\Control Panel\Desktop' 'HKCU\Software\Wine\Fonts' \
    'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f </dev/null >/dev/null 2>&1 9>&- || return 1
  done
  if [ "$dpi" = 96 ]; then rm -f "$WINEPREFIX/.prismel-dpi"; else echo "$dpi" >"$WINEPREFIX/.prismel-dpi"; fi
}

prismel_free_display() {
  local n
  for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      echo "$n"
      return 0
    fi
  done
  return 1
}

# Starts Xvfb and a persistent wineserver unless the session file names live ones. Sets DISPLAY.
prismel_session_start() {
  if [ -f "$PRISMEL_SESSION_FILE" ]; then
    # shellcheck disable=SC1090
    . "$PRISMEL_SESSION_FILE"
    if prismel_pid_alive "${XVFB_PID:-}" && prismel_pid_alive "${WINESERVER_PID:-}"; then
      export DISPLAY="$SESSION_DISPLAY"
      if [ -f "$(prismel_desktop_keeper)" ] && ! prismel_pid_alive "${KEEPER_PID:-}"; then
        sed -i '/^KEEPER_PID=/d' "$PRISMEL_SESSION_FILE"
        prismel_desktop_start
        return
      fi
      return 0
    fi
    prismel_session_stop
  fi
  prismel_prefix_ensure || return 1
  local n
  n=$(prismel_free_display) || { prismel_log "no free X display number"; return 1; }
  setsid Xvfb ":$n" -screen 0 2560x1600x24 -nolisten tcp </dev/null >/dev/null 2>&1 9>&- &
  local xvfb=$!
  local i
  for i in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    prismel_pid_alive "$xvfb" || break
    sleep 0.1
  done
  if [ ! -e "/tmp/.X11-unix/X$n" ]; then
    kill "$xvfb" 2>/dev/null
    prismel_log "Xvfb on :$n did not start"
    return 1
  fi
  export DISPLAY=":$n"
  setsid wineserver -f -p </dev/null >/dev/null 2>&1 9>&- &
  local server=$!
  printf 'SESSION_DISPLAY=%s\nXVFB_PID=%s\nWINESERVER_PID=%s\n' "$DISPLAY" "$xvfb" "$server" >"$PRISMEL_SESSION_FILE"
  # The first Wine process starts Wine's services; they must not inherit anybody's pipes.
  timeout 120 wine cmd /c exit </dev/null >/dev/null 2>&1 9>&- || { prismel_log "first Wine process failed"; return 1; }
  if [ -f "$WINEPREFIX/.prismel-dpi" ]; then prismel_prefix_dpi 96 || prismel_log "could not set LogPixels back to 96"; fi
  prismel_desktop_start
}

# The build's desktop keeper (tools/support/DesktopKeeper.cpp): Wine closes a desktop a second after its last
# program ends, so without it each test would start the desktop and its tray anew, racing its own programs.
prismel_desktop_keeper() { echo "$PRISMEL_BUILD_DIR/bin/desktop_keeper.exe"; }

# Starts the desktop keeper and waits until it says the desktop and its tray window are up (it gives up after two
# minutes on its own). Its PID goes into the session file. A tree that has not built it yet runs without one.
prismel_desktop_start() {
  local keeper ready="$PRISMEL_BUILD_DIR/wine-desktop.ready"
  keeper=$(prismel_desktop_keeper)
  if [ ! -f "$keeper" ]; then
    prismel_log "no $keeper yet: each program starts the desktop itself"
    return 0
  fi
  rm -f "$ready"
  setsid wine "$keeper" "Z:${ready//\//\\}" </dev/null >/dev/null 2>&1 9>&- &
  local pid=$! i
  for i in $(seq 1 3000); do
    [ -e "$ready" ] && break
    prismel_pid_alive "$pid" || break
    sleep 0.05
  done
  [ -e "$ready" ] || { prismel_log "the desktop did not come up (desktop_keeper)"; kill "$pid" 2>/dev/null; return 1; }
  echo "KEEPER_PID=$pid" >>"$PRISMEL_SESSION_FILE"
}

prismel_session_stop() {
  [ -f "$PRISMEL_SESSION_FILE" ] || return 0
  # shellcheck disable=SC1090
  . "$PRISMEL_SESSION_FILE"
  if prismel_pid_alive "${WINESERVER_PID:-}"; then
    timeout 20 wineserver -k </dev/null >/dev/null 2>&1 || true
    kill "$WINESERVER_PID" 2>/dev/null || true
  fi
  prismel_pid_alive "${KEEPER_PID:-}" && kill "$KEEPER_PID" 2>/dev/null
  prismel_pid_alive "${XVFB_PID:-}" && kill "$XVFB_PID" 2>/dev/null
  rm -f "$PRISMEL_SESSION_FILE" "$PRISMEL_BUILD_DIR/wine-desktop.ready"
  unset KEEPER_PID
}

# prismel_with_lock CMD...: runs CMD holding the session lock, so parallel tests start one session only.
prismel_with_lock() {
  (
    flock -w 300 9 || { prismel_log "timed out waiting for $PRISMEL_LOCK_FILE"; exit 1; }
    "$@"
  ) 9>"$PRISMEL_LOCK_FILE"
}
