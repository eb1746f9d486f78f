#!/usr/bin/env bash
# Checks the shipped product folder statically: every file is there, the
# binaries are 32-bit PE files, and they import only what they may (the
# program and the console tool vrifax-run.exe also borlndmm.dll).
# Prints one line per check and "N passed, N failed" at the end.
set -u
dir=${1:-build/win32/product}
pass=0; fail=0
ok()  { echo "ok   $*"; pass=$((pass+1)); }
bad() { echo "FAIL $*"; fail=$((fail+1)); }
system_dll='^(KERNEL32|USER32|GDI32|COMCTL32|SHELL32|ADVAPI32|OLE32|UXTHEME|msvcrt|SHLWAPI|COMDLG32|IMM32|VERSION)\.dll$'

pe_kind() { objdump -f "$1" 2>/dev/null | sed -n 's/.*file format //p' | head -n1; }
imports() { objdump -p "$1" 2>/dev/null | sed -n 's/^\s*DLL Name: //p'; }

check_binary() {
  local f=$dir/$1 allowed=$2 kind dll
  [ -f "$f" ] || { bad "$1 is missing"; return; }
  kind=$(pe_kind "$f")
  [ "$kind" = "pei-i386" ] && ok "$1 is PE32 (i386)" || bad "$1 is '$kind', not pei-i386"
  for dll in $(imports "$f"); do
    if echo "$dll" | grep -Eqi "$system_dll" || { [ -n "$allowed" ] && echo "$dll" | grep -Eqi "^$allowed$"; }; then
      ok "$1 imports $dll"
    else
      bad "$1 imports $dll"
    fi
  done
}

for f in Tessarin.exe vrifax-run.exe borlndmm.dll Vrifax.dll; do
  case $f in
    Tessarin.exe|vrifax-run.exe) check_binary "$f" 'borlndmm\.dll' ;;
    *) check_binary "$f" '' ;;
  esac
done
if [ -f "$dir/Tessarin.exe" ]; then
  objdump -p "$dir/Tessarin.exe" | grep -q 'Subsystem.*0002' && ok "Tessarin.exe is a GUI program" \
    || bad "Tessarin.exe is not a GUI program"
  imports "$dir/Tessarin.exe" | grep -qi '^borlndmm\.dll$' && ok "Tessarin.exe imports borlndmm.dll at load time" \
    || bad "Tessarin.exe does not import borlndmm.dll"
fi
if [ -f "$dir/vrifax-run.exe" ]; then
  objdump -p "$dir/vrifax-run.exe" | grep -q 'Subsystem.*0003' && ok "vrifax-run.exe is a console program" \
    || bad "vrifax-run.exe is not a console program"
  imports "$dir/vrifax-run.exe" | grep -qi '^borlndmm\.dll$' && ok "vrifax-run.exe imports borlndmm.dll at load time" \
    || bad "vrifax-run.exe does not import borlndmm.dll"
fi
for lng in English Russian French Bulgarian Ukrainian; do
  f=$dir/lang/$lng.lng
  if [ -f "$f" ] && [ "$(head -c2 "$f" | od -An -tx1 | tr -d ' ')" = "fffe" ]; then
    ok "lang/$lng.lng is UTF-16LE with BOM"
  else
    bad "lang/$lng.lng missing or without BOM"
  fi
done
[ -f "$dir/HelpTessarin.chm" ] && ok "HelpTessarin.chm is there" || bad "HelpTessarin.chm is missing"
echo "$pass passed, $fail failed"
[ "$fail" -eq 0 ]
