#!/usr/bin/env bash
# Start-up benchmark under Wine: Prismel.exe against an empty dialog program, both from process start until the
# window has painted. Usage: tools/bench_startup.sh [runs]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
tools/setup.sh
[ -f build/win32/CMakeCache.txt ] || cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "${PRISMEL_JOBS:-2}" --target startup_bench >/dev/null
tools/wine/emulator.sh build/win32/bin/startup_bench.exe "${1:-9}"
tools/wine/session.sh stop build/win32 >/dev/null
