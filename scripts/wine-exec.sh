#!/usr/bin/env bash
# Runs one Windows program under Wine in the build tree's throwaway prefix.
# CTest calls it as the cross-compiling emulator; it never touches a user's
# own prefix. The 64-bit loader is called directly: this machine's kernel runs
# 64-bit user code only (see docs/DESIGN.md), so the 32-bit loader cannot run. The display is the one the test script started (DISPLAY).
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${TESSARIN_WINEPREFIX:-$here/build/win64/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win64
export WINELOADER=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver64
exec "$WINELOADER" "$@"
