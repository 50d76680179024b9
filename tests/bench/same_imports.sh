#!/usr/bin/env bash
# Whether two programs import the same DLLs (case aside): the structural start-up baseline must load what
# Prismel.exe loads before its entry point, or the benchmark's ratio against it measures the difference.
# Usage: same_imports.sh OBJDUMP PROGRAM BASELINE
set -euo pipefail
objdump=$1
dlls() { "$objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u; }
program=$(dlls "$2")
baseline=$(dlls "$3")
[ -n "$program" ] || { echo "FAILED: $2: no imports found" >&2; exit 1; }
if [ "$program" != "$baseline" ]; then
  echo "FAILED: $(basename "$3") imports other DLLs than $(basename "$2"):" >&2
  diff <(echo "$program") <(echo "$baseline") >&2 || true
  exit 1
fi
echo "$(basename "$2") and $(basename "$3") import: $(tr '\n' ' ' <<<"$program")"
