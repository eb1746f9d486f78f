#!/usr/bin/env bash
# Runs the shipped 32-bit build's tests under 32-bit Wine in an emulated
# i386 machine (this host runs 64-bit user code only). The guest sees the
# repository at its own path; its disk is a throwaway copy of the cached
# image. Exits non-zero when a test fails or the guest does not report.
#   run.sh [build_dir]        (build/win32 by default)
# TESSARIN_I386_TESTS_LIST names another list of tests than tests.list.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=$(cd "${1:-$repo/build/win32}" && pwd)
source "$here/lib.sh"

t0=$(date +%s)
image=$(bash "$here/build-image.sh" | tail -1)
[ -f "$image/ready" ] || { echo "i386 guest: no image" >&2; exit 1; }
t1=$(date +%s)
echo "i386 guest: image $image ready in $((t1 - t0)) s"

out="$build/i386-guest"
rm -rf "$out"
mkdir -p "$out/logs"
{
  echo "export TESSARIN_I386_LOGS=$out/logs"
  # A per-program limit set here holds inside the guest too.
  [ -z "${TESSARIN_I386_TEST_TIMEOUT:-}" ] ||
    echo "export TESSARIN_I386_TEST_TIMEOUT=$TESSARIN_I386_TEST_TIMEOUT"
  python3 "$here/make-test-script.py" "$build" "${TESSARIN_I386_TESTS_LIST:-$here/tests.list}" \
    "$here/guest/run-tests.sh"
} >"$out/tests.sh"
case "$build" in "$repo"/*) ;; *) echo "build folder must lie in $repo" >&2; exit 1;; esac

status=0
guest_boot "$image" snapshot "$repo" "$out/tests.sh" "$out/console.log" show || status=$?
echo "i386 guest: boot and tests took $(( $(date +%s) - t1 )) s (exit $status)"
exit $status
