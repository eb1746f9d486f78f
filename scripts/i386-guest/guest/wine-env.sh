# Sourced inside the guest: the 32-bit Wine, its prefix, and a display of
# its own (there is no window manager, as on the host).
export WINEPREFIX=/root/wineprefix
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINELOADER=/usr/lib/wine/wine
export WINESERVER=/usr/lib/wine/wineserver32
export DISPLAY=:1
_xvfb_pid=
wine_display_start() {
  Xvfb :1 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp >/tmp/xvfb.log 2>&1 &
  _xvfb_pid=$!
  i=0
  while [ ! -e /tmp/.X11-unix/X1 ]; do
    i=$((i + 1))
    [ $i -lt 600 ] || { echo "Xvfb did not start"; cat /tmp/xvfb.log; return 1; }
    sleep 0.1
  done
}
wine_display_stop() {
  "$WINESERVER" -k 2>/dev/null || true
  [ -z "$_xvfb_pid" ] || kill "$_xvfb_pid" 2>/dev/null || true
}
