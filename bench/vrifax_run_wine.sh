#!/usr/bin/env bash
# Times vrifax-run.exe of a Windows build under wine64 through the shipped
# Vrifax.dll: a large corpus (the agreeing lines of the test corpus repeated)
# and --against-rules on generated inputs. Wine's own start is timed apart
# (a one-check run of the rules) so that it is not counted as the tool's cost.
#   bash bench/vrifax_run_wine.sh [BUILD_DIR] [RECORDS] [COUNT]
# Defaults: build/win64, 1000000 records, --count 1000. Prints the seconds of
# each run, three times each.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/win64}
records=${2:-1000000}
count=${3:-1000}
export TESSARIN_WINEPREFIX=${TESSARIN_WINEPREFIX:-$PWD/$build/wineprefix}
source scripts/wine-session.sh
trap wine_session_stop EXIT
wine_ensure_prefix

work=$PWD/$build/vrifax-run-bench
mkdir -p "$work"
corpus=$work/corpus.tsv
{
  head -n 1 tests/unit/vrifax_run/corpus/mixed.tsv
  grep -v -e '^wrong on purpose' -e '^$' tests/unit/vrifax_run/corpus/mixed.tsv | tail -n +2 |
    awk -v n="$records" '{ line[NR] = $0 } END { for (i = 0; i < n; ++i) print line[i % NR + 1] }'
} > "$corpus"

cd "$build/product"
"$WINESERVER" -p 60 2>/dev/null || true   # keep the server up between the runs
timed() {  # timed LABEL ARGS...: seconds of one run, its exit code and last line
  local label=$1 start end code
  shift
  start=$(date +%s.%N)
  set +e
  last=$("$WINELOADER" vrifax-run.exe "$@" 2>/dev/null | tail -n 1)
  code=${PIPESTATUS[0]}
  set -e
  end=$(date +%s.%N)
  printf '%-28s %8.3f s  exit %s  %s\n' "$label" "$(echo "$end - $start" | bc)" "$code" "$last"
}
for run in 1 2 3; do
  timed "start (check inn)" check inn 7707083893
  timed "corpus $records records" "Z:${corpus//\//\\}"
  timed "--against-rules --count $count" --against-rules --seed 1 --count "$count"
done
