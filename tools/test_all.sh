#!/usr/bin/env bash
# Runs every test of the project, after `make` has built everything, and ends
# with one line of totals. Exits non-zero when anything failed.
set -uo pipefail
cd "$(dirname "$0")/.."
. tools/wine_env.sh
mkdir -p build/logs

passed=0
failed=0

# Adds one run's counts to the totals; a run that failed without saying what
# failed (it crashed, or ran nothing) counts as one failure.
add_counts() {
  local p=${1:-0} f=${2:-0} status=$3
  if [ "$status" -ne 0 ] && [ "$f" -eq 0 ]; then f=1; fi
  passed=$((passed + p))
  failed=$((failed + f))
}

# Adds a GoogleTest run's summary to the totals.
count_gtest() {
  local log=$1
  add_counts "$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\..*/\1/p' "$log" | tail -n 1)" \
             "$(sed -n 's/^\[  FAILED  \] \([0-9]*\) tests\?, listed below.*/\1/p' "$log" | tail -n 1)" "$2"
}

# Runs one check that is a single pass or fail.
check() {
  local name=$1
  shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $name"; fi
}

echo "== host tests (host file layer)"
build/host/hueline_tests 2>&1 | tee build/logs/host-tests.log | grep -E '^\[  (PASSED|FAILED) |^\[ (faults|crash)|Failure' 
count_gtest build/logs/host-tests.log "${PIPESTATUS[0]}"

echo "== the same tests cross-compiled, under Wine (Win32 file layer)"
DISPLAY= wine build/wine-tests/hueline_wine_tests.exe 2>&1 | tr -d '\r' | tee build/logs/wine-tests.log | grep -E '^\[  (PASSED|FAILED) |Failure'
count_gtest build/logs/wine-tests.log "${PIPESTATUS[0]}"

echo "== executables start on Windows 95 on a 486"
check "hueline.exe imports and instructions" python3 tools/check_exe.py i686-w64-mingw32-objdump build/product/hueline.exe gui

echo "== end to end: the real hueline.exe under Wine and Xvfb"
bash tools/e2e.sh 2>&1 | tee build/logs/e2e.log
status=${PIPESTATUS[0]}
add_counts "$(sed -n 's/^e2e: \([0-9]*\) passed, [0-9]* failed$/\1/p' build/logs/e2e.log | tail -n 1)" \
           "$(sed -n 's/^e2e: [0-9]* passed, \([0-9]*\) failed$/\1/p' build/logs/e2e.log | tail -n 1)" "$status"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
