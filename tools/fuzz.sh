#!/usr/bin/env bash
# Runs the fuzz targets of tests/fuzz/ (libFuzzer, with AddressSanitizer and
# UndefinedBehaviorSanitizer; CMake builds them in build/fuzz, see `make
# fuzz-targets`) for about SECONDS each, from their seed corpus in
# tests/fuzz/corpus/TARGET. The writer, which does several rewrites and a
# whole Apply or Restore per input, gets four times the reader's time. New
# inputs go to build/fuzz/runs/TARGET/, never to the seeds. Each target ends
# with a line "fuzz-TARGET: N passed, M failed": one pass when it ran its time
# and broke no property; a broken property leaves the input that broke it in
# build/fuzz/runs/TARGET/. The last line, "fuzz: N passed, M failed", sums them.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-5}
out=build/fuzz/runs
mkdir -p "$out"

passed=0
failed=0
for target in reader writer; do
  if [ "$target" = writer ]; then time=$((4 * seconds)); else time=$seconds; fi
  binary=build/fuzz/${target}_fuzz
  if [ ! -x "$binary" ]; then
    echo "fuzz-$target: $binary is missing: run make fuzz-targets"
    echo "fuzz-$target: 0 passed, 1 failed"
    failed=$((failed + 1))
    continue
  fi
  work=$out/$target
  mkdir -p "$work"
  # What an earlier run found is not this run's finding; the inputs it kept stay.
  rm -f "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-*
  # The targets' own comparisons of whole files give the fuzzer no hints.
  "$binary" -max_total_time="$time" -max_len=4096 -timeout=10 -rss_limit_mb=2048 -dict=tests/fuzz/settings.dict -use_memcmp=0 \
    -artifact_prefix="$work/" -print_final_stats=1 "$work" "tests/fuzz/corpus/$target" \
    >"$out/$target.log" 2>&1
  code=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out/$target.log" | tail -n 1)
  found=$(ls "$work" | grep -cE '^(crash|leak|timeout|oom)-' || true)
  echo "fuzz-$target: ${runs:-0} executions in ${time} s, $found findings"
  if [ "$code" -ne 0 ] || [ "$found" -ne 0 ]; then
    grep -E 'property broken|ERROR|SUMMARY' "$out/$target.log" | head -n 5
    echo "fuzz-$target: 0 passed, 1 failed"
    failed=$((failed + 1))
  else
    echo "fuzz-$target: 1 passed, 0 failed"
    passed=$((passed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
