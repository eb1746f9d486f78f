#!/usr/bin/env bash
# The host vrifax-run as a process: answers and exit codes of `check`, a
# corpus read from standard input in a pipeline, a malformed corpus, and no
# progress on standard error when it is not a terminal.
# Usage: cli-host.sh VRIFAX_RUN CORPUS_DIR
set -u
tool=$1 corpora=$2
fail=0
expect() {  # expect NAME WANTED_CODE WANTED_OUT ACTUAL_CODE ACTUAL_OUT
  if [ "$4" = "$2" ] && [ "$5" = "$3" ]; then
    echo "ok   $1"
  else
    echo "FAIL $1: exit $4 (wanted $2), output:"; printf '%s\n' "$5"; fail=1
  fi
}

out=$("$tool" check inn 7707083893); expect "valid INN" 0 valid $? "$out"
out=$("$tool" check inn 7707083894); expect "invalid INN" 1 invalid $? "$out"
out=$("$tool" check ks 30101810400000000225 044525225); expect "two fields" 0 valid $? "$out"
out=$("$tool" check inn 7707083893 044525225 2>/dev/null); expect "one-field kind with two" 2 "" $? "$out"

out=$(set -o pipefail; grep -v '^wrong on purpose' "$corpora/mixed.tsv" | "$tool" --rules - 2>/dev/null | tail -n 1)
expect "pipeline without the wrong lines" 0 "total             12        12         0         0" $? "$out"

out=$("$tool" --rules - < "$corpora/mixed.tsv" 2>&1 | grep '^line')
"$tool" --rules - < "$corpora/mixed.tsv" >/dev/null 2>&1; code=$?
expect "wrong expectations" 1 'line 3: inn "7707083894": expected valid, rules invalid
line 6: snils "112-233-445 95": expected invalid, rules valid
line 16: ua_account "UA213223130000026007233566001" / "": expected invalid, rules valid
line 18: egn "7523169264": expected valid, rules invalid' "$code" "$out"

out=$("$tool" --rules "$corpora/malformed.tsv" 2>&1); expect "malformed corpus" 2 \
  "vrifax-run: $corpora/malformed.tsv: line 3: 3 fields, the header has 4" $? "$out"
out=$("$tool" --rules "$corpora/faults.tsv" 2>&1 >/dev/null); expect "no progress off a terminal" 0 "" $? "$out"
out=$("$tool" "$corpora/faults.tsv" 2>&1); expect "no library in this build" 2 \
  "vrifax-run: this build loads no check library; --rules and check use the reference rules" $? "$out"
exit $fail
