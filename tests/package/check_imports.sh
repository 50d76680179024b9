#!/usr/bin/env bash
# The shipped programs need no MinGW runtime DLL: each imports only DLLs that every Windows has.
# Usage: check_imports.sh OBJDUMP FILE...
set -euo pipefail
objdump=$1
shift
system='^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|shlwapi|ole32|oleaut32|advapi32|msvcrt|version|ws2_32|psapi|ntdll|winmm|uxtheme)\.dll$'
failed=0
for file in "$@"; do
  imports=$("$objdump" -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
  [ -n "$imports" ] || { echo "FAILED: $file: no imports found" >&2; failed=1; continue; }
  while read -r dll; do
    [[ "$dll" =~ $system ]] || { echo "FAILED: $file imports $dll" >&2; failed=1; }
  done <<<"$imports"
  echo "$(basename "$file"): $(tr '\n' ' ' <<<"$imports")"
done
exit "$failed"
