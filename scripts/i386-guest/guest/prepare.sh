#!/bin/sh
# First boot of the guest image (inside it): makes the 32-bit Wine prefix
# once, on its own display, so each test run starts from a made prefix.
# Before it, the packages' configure steps the image build left for here.
set -e
for script in /usr/lib/tessarin-guest/postinst/*; do
  [ -e "$script" ] || continue
  echo "tessarin-guest: configuring ${script##*/}"
  sh -e "$script" configure
done
. /usr/lib/tessarin-guest/wine-env.sh
wine_display_start
mkdir -p "$WINEPREFIX"
"$WINELOADER" wineboot -i
"$WINESERVER" -w
wine_display_stop
echo "tessarin-guest: prepared"
