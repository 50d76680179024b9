#!/usr/bin/env bash
# Start-up benchmark under Wine: Prismel.exe against an empty dialog program, both from process start until the
# window has painted. Usage: tools/bench_startup.sh [runs]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
tools/setup.sh
# shellcheck source=wine/common.sh
. tools/wine/common.sh
prismel_bench startup_bench "${1:-9}"
