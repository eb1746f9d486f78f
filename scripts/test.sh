#!/usr/bin/env bash
# Runs every test: installs what is missing, builds both presets, runs the
# host tests (ASan + UBSan), the Windows tests of the 64-bit twin under Wine
# on a virtual display, and the shipped 32-bit build's tests under 32-bit
# Wine in an emulated i386 machine. Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

jobs=$(nproc)
cmake --preset host >/dev/null
cmake --build --preset host -j "$jobs"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$jobs"
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j "$jobs"

status=0
echo "== host tests (ASan + UBSan)"
ctest --preset host -j "$jobs" || status=1

echo "== the shipped 32-bit product folder"
bash scripts/check-product.sh build/win32/product || status=1

echo "== Windows tests under Wine (64-bit twin)"
source scripts/wine-session.sh
trap wine_session_stop EXIT
wine_start_display 96
wine_ensure_prefix
ctest --preset win64 || status=1
wine_session_stop

echo "== the shipped 32-bit build under 32-bit Wine (emulated i386 machine)"
bash scripts/i386-guest/run.sh build/win32 || status=1
exit $status
