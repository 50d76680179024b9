#!/usr/bin/env bash
# Start-up benchmark under Wine: Prismel.exe against two baselines, an empty dialog program and a dialog with
# Prismel.exe's structure (tests/bench/StructuralDialog.cpp), each from process start until its window has
# painted, in the same runs. Usage: tools/bench_startup.sh [runs] (11 by default)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
tools/setup.sh
# shellcheck source=wine/common.sh
. tools/wine/common.sh
prismel_bench startup_bench "${1:-11}"
