#!/usr/bin/env bash
# Checks the tables of the built Vrifax.dll: it exports exactly ordinals
# 1, 4-10, none of them by name, and imports only KERNEL32.dll and msvcrt.dll.
#   check-dll-tables.sh OBJDUMP Vrifax.dll
set -u
objdump=${1:-objdump}
dll=$2
fail=0
dump=$("$objdump" -p "$dll") || { echo "FAIL cannot read $dll"; exit 1; }

names=$(echo "$dump" | sed -n 's/^\s*\[Name Pointer\/Ordinal\] Table\s\+\([0-9a-fA-F]\+\)$/\1/p' | head -n1)
if [ -n "$names" ] && [ $((16#$names)) -eq 0 ]; then
  echo "ok   no entry point is exported by name"
else
  echo "FAIL names exported: '${names:-table not found}'"; fail=1
fi

ordinals=$(echo "$dump" | sed -n 's/^\s*\[\s*[0-9]\+\] +base\[\s*\([0-9]\+\)\].*Export RVA.*/\1/p' | tr '\n' ' ')
if [ "$ordinals" = "1 4 5 6 7 8 9 10 " ]; then
  echo "ok   ordinals: $ordinals"
else
  echo "FAIL ordinals: '$ordinals', expected 1 4 5 6 7 8 9 10"; fail=1
fi

imports=$(echo "$dump" | sed -n 's/^\s*DLL Name: //p')
for dll_name in $imports; do
  case "${dll_name,,}" in
    kernel32.dll|msvcrt.dll) echo "ok   imports $dll_name" ;;
    *) echo "FAIL imports $dll_name"; fail=1 ;;
  esac
done
[ -n "$imports" ] || { echo "FAIL no import table found"; fail=1; }
exit $fail
