#!/usr/bin/env bash
# session.sh start|stop BUILD_DIR: starts or stops the harness's Xvfb and wineserver for a build tree.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=common.sh
. "$here/common.sh"
action=${1:?usage: session.sh start|stop BUILD_DIR}
prismel_wine_env "${2:?usage: session.sh start|stop BUILD_DIR}" || exit 1
case "$action" in
  start) prismel_with_lock prismel_session_start && . "$PRISMEL_SESSION_FILE" && echo "$SESSION_DISPLAY" ;;
  stop) prismel_with_lock prismel_session_stop ;;
  *) prismel_log "unknown action '$action'"; exit 2 ;;
esac
