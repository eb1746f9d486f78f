#!/usr/bin/env bash
# Runs one Windows program under Wine in the build tree's throwaway prefix.
# CTest calls it as the cross-compiling emulator; it never touches a user's
# own prefix. The display is the one the test script started (DISPLAY).
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${TESSARIN_WINEPREFIX:-$here/build/win32/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win32
exec wine "$@"
