#!/usr/bin/env bash
# prismelctl's latency under Wine: from starting "prismelctl mode meteor" to the first select command in the SMBus
# stand-in's journal, with Prismel.exe running; median of N runs. Usage: tools/bench_prismelctl.sh [runs]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
tools/setup.sh
# shellcheck source=wine/common.sh
. tools/wine/common.sh
prismel_bench prismelctl_bench "${1:-10}"
