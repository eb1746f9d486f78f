#!/usr/bin/env bash
# Runs the Windows benchmarks of the 64-bit twin under wine64 on a virtual
# display of our own: the program against its floor programs (win_bench)
# and the language file load (load_bench). Builds nothing: run
# `cmake --build --preset win64` first. Arguments go to win_bench
# (e.g. --runs 21, --only startup|keys|check); TESSARIN_LOAD_BENCH_ARGS to
# load_bench (e.g. "--mb 8 --rounds 5"); TESSARIN_WIN64_DIR names another
# build folder, TESSARIN_BENCH_BINARIES a folder holding a saved copy of
# product/ and bench/ to measure instead (an earlier build, say).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESSARIN_WIN64_DIR:-$root/build/win64}
bin=${TESSARIN_BENCH_BINARIES:-$build}
for f in "$bin/bench/win_bench.exe" "$bin/bench/floor.exe" "$bin/bench/load_bench.exe" \
         "$bin/product/Tessarin.exe"; do
  [ -f "$f" ] || { echo "missing $f: build the win64 preset first" >&2; exit 1; }
done
export TESSARIN_WINEPREFIX=${TESSARIN_WINEPREFIX:-$build/wineprefix}
source "$root/scripts/wine-session.sh"
trap wine_session_stop EXIT
wine_start_display 96
wine_ensure_prefix

winpath() { echo "Z:${1//\//\\}"; }
echo "== $(date -u '+%F %T') UTC, $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "== binaries in $bin; tree at $(git -C "$root" log -1 --format='%h %s')"
if [ "${TESSARIN_SKIP_WIN_BENCH:-}" != 1 ]; then
  "$WINELOADER" "$bin/bench/win_bench.exe" --product "$(winpath "$bin/product")" \
    --floor "$(winpath "$bin/bench/floor.exe")" "$@"
fi
if [ "${TESSARIN_SKIP_LOAD_BENCH:-}" != 1 ]; then
  # shellcheck disable=SC2086  # the arguments are words
  "$WINELOADER" "$bin/bench/load_bench.exe" ${TESSARIN_LOAD_BENCH_ARGS:-}
fi
echo "== load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
