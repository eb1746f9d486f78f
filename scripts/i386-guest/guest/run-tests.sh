# Sourced by the generated test script inside the guest: runs each 32-bit
# test program under 32-bit Wine on the guest's display, keeps its output in
# the log folder, and ends with the count of passed and failed programs.
#   run_test NAME WORKDIR [VAR=VALUE...] -- PROGRAM [ARGS...]
. /usr/lib/tessarin-guest/wine-env.sh
log_dir=${TESSARIN_I386_LOGS:?}
mkdir -p "$log_dir"
# The emulated machine runs Wine several times slower than the host: the
# end-to-end driver's waits are stretched by this factor (its checks are not).
export TESSARIN_E2E_WAIT_SCALE=${TESSARIN_E2E_WAIT_SCALE:-4}
passed=0
failed=0
failed_names=
wine_display_start || exit 1

run_test() {
  name=$1 workdir=$2
  shift 2
  echo "== i386: $name"
  start=$(date +%s)
  (while [ "$1" != -- ]; do export "$1"; shift; done
   shift
   cd "$workdir" &&
     exec timeout "${TESSARIN_I386_TEST_TIMEOUT:-1200}" "$WINELOADER" "$@"
  ) >"$log_dir/$name.log" 2>&1
  rc=$?
  cat "$log_dir/$name.log"
  took=$(( $(date +%s) - start ))
  if [ $rc -eq 0 ]; then
    passed=$((passed + 1)); echo "== i386: $name passed in ${took} s"
  else
    failed=$((failed + 1)); failed_names="$failed_names $name"
    echo "== i386: $name FAILED (exit $rc) in ${took} s"
  fi
}

finish_tests() {
  wine_display_stop
  [ -z "$failed_names" ] || echo "i386 failed:$failed_names"
  echo "i386: $passed passed, $failed failed"
  [ $failed -eq 0 ]
}
