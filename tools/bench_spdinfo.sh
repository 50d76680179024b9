#!/usr/bin/env bash
# spdinfo's speed against decode-dimms: "spdinfo --json --full" (the release build) and "decode-dimms -x" on the
# 32 DDR4 images of testdata/spd and on 320 (the same 32 ten times), N runs of each (15 by default), the two tools
# taking turns in the same hyperfine run, which prints each one's median and how many times faster spdinfo is. Not
# part of the test command. Usage: tools/bench_spdinfo.sh [runs]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
runs=${1:-15}

# hyperfine runs the commands; decode-dimms comes with i2c-tools.
missing=()
for p in hyperfine i2c-tools; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "bench_spdinfo: installing ${missing[*]}"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

cmake --preset release >/dev/null
cmake --build --preset release -j"${PRISMEL_JOBS:-1}" >/dev/null
spdinfo=$root/build/release/spdinfo

# decode-dimms reads hex dumps: one beside each image, under the build tree.
work=$root/build/release/bench-spdinfo
rm -rf "$work"
mkdir -p "$work"
images=()
for image in testdata/spd/*.bin; do
  name=$(basename "$image" .bin)
  cp "$image" "$work/$name.bin"
  od -A x -t x1 -v -w16 "$image" >"$work/$name.hex"
  images+=("$name")
done
[ ${#images[@]} -eq 32 ] || { echo "bench_spdinfo: expected 32 images in testdata/spd, found ${#images[@]}" >&2; exit 1; }

list() { # list EXTENSION TIMES: every image's file, TIMES times over
  local i n
  for ((i = 0; i < $2; i++)); do
    for n in "${images[@]}"; do printf '%s ' "$work/$n.$1"; done
  done
}

# Each run must decode every image: a tool that fails is no measurement.
"$spdinfo" --json --full $(list bin 1) >/dev/null
decode-dimms -x $(list hex 1) >/dev/null 2>&1

for times in 1 10; do
  count=$((32 * times))
  json=$work/$count.json
  hyperfine -N --warmup 2 --runs "$runs" --style none --export-json "$json" \
    -n "spdinfo --json --full ($count images)" "$spdinfo --json --full $(list bin "$times")" \
    -n "decode-dimms -x ($count images)" "decode-dimms -x $(list hex "$times")" >/dev/null 2>&1
  python3 - "$json" "$count" <<'EOF'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
ours, theirs = (r["median"] * 1000 for r in results)
print(f"{sys.argv[2]} images, median of {len(results[0]['times'])}: spdinfo {ours:.1f} ms, "
      f"decode-dimms {theirs:.1f} ms, {theirs / ours:.1f} times faster")
EOF
done
