#!/usr/bin/env bash
# Builds Tessarin and starts it under Wine, with the product folder as the
# current directory. Without a display it starts a virtual one (Xvfb) and
# Wine's virtual desktop, saves a screenshot of the window to
# build/screenshots/ and prints its path, then closes everything.
#
#   bash scripts/run.sh            # build both presets and run
#   bash scripts/run.sh --no-build # run what is built
#
# Build folders: TESSARIN_WIN32_DIR and TESSARIN_WIN64_DIR (default
# build/win32 and build/win64).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
win32_dir=${TESSARIN_WIN32_DIR:-build/win32}
win64_dir=${TESSARIN_WIN64_DIR:-build/win64}
wait_seconds=${TESSARIN_RUN_WAIT:-8}

# What ships: the program, its memory manager, the check library, the
# language files and the help file (tests are scripts/test.sh's).
product_targets=(Tessarin sharemem Vrifax lang_files help_chm)
build_product() {
  local dir=$1 preset=$2 jobs targets=()
  jobs=$(nproc)
  [ "$jobs" -gt 2 ] && jobs=2
  cmake --preset "$preset" -B "$dir" >/dev/null
  for t in "${product_targets[@]}"; do
    if ninja -C "$dir" -t query "$t" >/dev/null 2>&1; then targets+=("$t"); fi
  done
  cmake --build "$dir" -j "$jobs" --target "${targets[@]}"
}
if [ "${1:-}" != "--no-build" ]; then
  bash scripts/install-deps.sh
  build_product "$win32_dir" win32
  build_product "$win64_dir" win64
fi

product="$root/$win64_dir/product"
echo "The shipped program is the 32-bit $win32_dir/product/Tessarin.exe; this"
echo "machine cannot execute 32-bit code, so its 64-bit twin from the same"
echo "sources runs: $product/Tessarin.exe"
[ -x "$product/Tessarin.exe" ] || { echo "not built: $product/Tessarin.exe" >&2; exit 1; }

export TESSARIN_WINEPREFIX=${TESSARIN_WINEPREFIX:-$root/$win64_dir/wineprefix}
# shellcheck source=scripts/wine-session.sh
source scripts/wine-session.sh

if [ -n "${DISPLAY:-}" ]; then
  trap wine_session_stop EXIT
  wine_ensure_prefix
  cd "$product"
  "$WINELOADER" Tessarin.exe
  exit 0
fi

trap wine_session_stop EXIT
wine_start_display 96
wine_ensure_prefix
mkdir -p "$root/build/screenshots"
shot="$root/build/screenshots/tessarin-$(date +%Y%m%d-%H%M%S).png"
(cd "$product" && timeout 120 "$WINELOADER" explorer /desktop=Tessarin,800x700 Tessarin.exe) &
wine_pid=$!
sleep "$wait_seconds"
import -window root -crop 800x700+0+0 +repage "$shot"
echo "screenshot: $shot"
"$WINESERVER" -k >/dev/null 2>&1 || true
wait "$wine_pid" 2>/dev/null || true
