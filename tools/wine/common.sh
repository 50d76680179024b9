# Shared pieces of the Wine harness: the private prefix, the private X display and the persistent wineserver.
# Sourced by the emulator, the run command and the session script. Everything started here is recorded by PID
# in the session file and stopped by those PIDs only.

prismel_log() { echo "wine-harness: $*" >&2; }

# prismel_wine_env BUILD_DIR: the environment every Wine call of the harness uses.
prismel_wine_env() {
  PRISMEL_BUILD_DIR=$(cd "$1" && pwd)
  export WINEPREFIX="$PRISMEL_BUILD_DIR/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  PRISMEL_SESSION_FILE="$PRISMEL_BUILD_DIR/wine-session.env"
  PRISMEL_LOCK_FILE="$PRISMEL_BUILD_DIR/wine-session.lock"
  local tool
  for tool in wine wineserver Xvfb; do
    command -v "$tool" >/dev/null || { prismel_log "missing tool '$tool' (run tools/setup.sh)"; return 1; }
  done
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

# Creates and configures the prefix once; later calls find the marker and return at once.
prismel_prefix_ensure() {
  if [ -f "$WINEPREFIX/.prismel-ready" ]; then
    prismel_prefix_fontlink
    return 0
  fi
  prismel_log "creating Wine prefix $WINEPREFIX (once)"
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  timeout 180 wineboot -i </dev/null >/dev/null 2>&1 || { prismel_log "wineboot failed or timed out"; return 1; }
  # Without a window manager, hiding a managed window blocks for about two seconds each time.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
  # Windows always has Arial; a fresh prefix does not.
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d 'Liberation Sans' /f </dev/null >/dev/null 2>&1
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  mkdir -p "$fonts"
  cp -f /usr/share/wine/fonts/*.ttf "$fonts/" 2>/dev/null || true
  local cjk
  for cjk in /usr/share/fonts/truetype/wqy/wqy-microhei.ttc; do
    [ -f "$cjk" ] && cp -f "$cjk" "$fonts/"
  done
  prismel_prefix_fontlink
  timeout 60 wineserver -w
  touch "$WINEPREFIX/.prismel-ready"
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
      return 0
    fi
    prismel_session_stop
  fi
  prismel_prefix_ensure || return 1
  local n
  n=$(prismel_free_display) || { prismel_log "no free X display number"; return 1; }
  setsid Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 9>&- &
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
}

prismel_session_stop() {
  [ -f "$PRISMEL_SESSION_FILE" ] || return 0
  # shellcheck disable=SC1090
  . "$PRISMEL_SESSION_FILE"
  if prismel_pid_alive "${WINESERVER_PID:-}"; then
    timeout 20 wineserver -k </dev/null >/dev/null 2>&1 || true
    kill "$WINESERVER_PID" 2>/dev/null || true
  fi
  prismel_pid_alive "${XVFB_PID:-}" && kill "$XVFB_PID" 2>/dev/null
  rm -f "$PRISMEL_SESSION_FILE"
}

# prismel_with_lock CMD...: runs CMD holding the session lock, so parallel tests start one session only.
prismel_with_lock() {
  (
    flock -w 300 9 || { prismel_log "timed out waiting for $PRISMEL_LOCK_FILE"; exit 1; }
    "$@"
  ) 9>"$PRISMEL_LOCK_FILE"
}
