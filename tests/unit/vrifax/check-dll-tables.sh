#!/usr/bin/env bash
# Checks the tables of the built Vrifax.dll: it exports exactly ordinals
# 1, 4-10, none of them by name, and imports only KERNEL32.dll and msvcrt.dll.
# For the 32-bit library (which cannot run here) it also reads each entry
# point's code: __stdcall returns with `ret N`, N the size of its arguments.
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

if echo "$dump" | grep -q 'file format pei-i386'; then
  base=$(echo "$dump" | awk '/^ImageBase/ {print $2}')
  declare -A arg_bytes=([1]=0x4 [4]=0x4 [5]=0x8 [6]=0x8 [7]=0x4 [8]=0x4 [9]=0x8 [10]=0x4)
  while read -r ordinal rva; do
    start=$((0x$base + 0x$rva))
    ret=$("$objdump" -d --start-address=$start --stop-address=$((start + 0x100)) "$dll" |
          grep -m1 -E '\sret' | sed 's/.*ret\s*//')
    if [ "$ret" = "\$${arg_bytes[$ordinal]}" ]; then
      echo "ok   ordinal $ordinal returns with ret $ret (__stdcall)"
    else
      echo "FAIL ordinal $ordinal returns with '${ret}', expected ret \$${arg_bytes[$ordinal]}"; fail=1
    fi
  done < <(echo "$dump" | sed -n 's/^\s*\[\s*[0-9]\+\] +base\[\s*\([0-9]\+\)\]\s\+\([0-9a-f]\+\) Export RVA.*/\1 \2/p')
fi
exit $fail
