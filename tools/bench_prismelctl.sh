#!/usr/bin/env bash
# prismelctl's latency under Wine: from starting "prismelctl mode meteor" to the first select command in the SMBus
# stand-in's journal, with Prismel.exe running, and in the same runs the same for "prismelctl profile load" of a
# profile holding Meteor; median of N runs (11 by default). Usage: tools/bench_prismelctl.sh [runs]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
tools/setup.sh
# shellcheck source=wine/common.sh
. tools/wine/common.sh
prismel_bench prismelctl_bench "${1:-11}"
