# Sourced by the test and run scripts: a throwaway Wine prefix inside the
# build tree and, when asked, an Xvfb display of our own, both stopped on exit.
#   wine_session_start [need_display]   sets WINEPREFIX, DISPLAY
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${TESSARIN_WINEPREFIX:-$here/build/win64/wineprefix}
export TESSARIN_WINEPREFIX=$WINEPREFIX
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win64
export WINELOADER=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver64

_xvfb_pid=""
_free_display() {
  local n
  for n in $(seq 91 140); do
    if [ ! -e "/tmp/.X${n}-lock" ] && [ ! -e "/tmp/.X11-unix/X${n}" ]; then
      echo "$n"; return 0
    fi
  done
  return 1
}

wine_session_stop() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  if [ -n "$_xvfb_pid" ]; then
    kill "$_xvfb_pid" >/dev/null 2>&1 || true
    wait "$_xvfb_pid" 2>/dev/null || true
    _xvfb_pid=""
  fi
}

# Starts Xvfb on a free display (always our own, so tests never draw on a
# user's screen), at the given dots per inch (96 by default).
wine_start_display() {
  local n dpi=${1:-96}
  n=$(_free_display) || { echo "no free X display" >&2; return 1; }
  Xvfb ":$n" -screen 0 1280x1024x24 -dpi "$dpi" -nolisten tcp >/dev/null 2>&1 &
  _xvfb_pid=$!
  export DISPLAY=":$n"
  for _ in $(seq 1 50); do
    [ -e "/tmp/.X11-unix/X$n" ] && return 0
    sleep 0.1
  done
  echo "Xvfb did not start on :$n" >&2
  return 1
}

# Makes the prefix once; later runs reuse it (our tests reset only our key).
wine_ensure_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    "$WINELOADER" wineboot -i >/dev/null 2>&1
    "$WINESERVER" -w
  fi
}
