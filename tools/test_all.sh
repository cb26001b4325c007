#!/usr/bin/env bash
# Runs every test of the project, after `make` has built everything, and ends
# with one line of totals. Exits non-zero when anything failed.
#
# Each suite's own summary and exit status make its share of the totals:
# GoogleTest's "[  PASSED  ] N tests." and "[  FAILED  ] M tests", or a line
# "NAME: N passed, M failed" (the last one counts). A suite that prints neither
# is one check: one pass or one failure by its exit status. One that failed
# without saying how many of its tests failed (it crashed), or that ran
# nothing, counts as one failure.
set -uo pipefail
cd "$(dirname "$0")/.."
. tools/wine_env.sh
mkdir -p build/logs

passed=0
failed=0

# suite NAME SHOW COMMAND...: runs COMMAND, keeps its output in
# build/logs/NAME.log, shows the lines matching SHOW, and adds its counts.
suite() {
  local name=$1 show=$2 log=build/logs/$1.log
  shift 2
  "$@" 2>&1 | tr -d '\r' | tee "$log" | grep -E "$show"
  local status=${PIPESTATUS[0]} p f
  p=$(sed -n -e 's/^\[  PASSED  \] \([0-9]*\) tests\?\..*/\1/p' \
             -e 's/^[a-z0-9-]*: \([0-9]*\) passed, [0-9]* failed$/\1/p' "$log" | tail -n 1)
  f=$(sed -n -e 's/^\[  FAILED  \] \([0-9]*\) tests\?, listed below.*/\1/p' \
             -e 's/^[a-z0-9-]*: [0-9]* passed, \([0-9]*\) failed$/\1/p' "$log" | tail -n 1)
  if [ -z "$p$f" ]; then
    if [ "$status" -eq 0 ]; then p=1; f=0; else p=0; f=1; fi
  fi
  p=${p:-0}
  f=${f:-0}
  if { [ "$status" -ne 0 ] || [ $((p + f)) -eq 0 ]; } && [ "$f" -eq 0 ]; then f=1; fi
  if [ "$f" -ne 0 ]; then echo "FAILED: $name (see $log)"; fi
  passed=$((passed + p))
  failed=$((failed + f))
}

gtest_lines='^\[  (PASSED|FAILED) |^\[ (faults|crash)|Failure|ERROR: .*Sanitizer|runtime error'

echo "== host tests (host file layer)"
suite host-tests "$gtest_lines" build/host/hueline_tests

echo "== host tests under AddressSanitizer and UndefinedBehaviorSanitizer"
suite sanitize-tests "$gtest_lines" build/sanitize/hueline_tests

echo "== the settings reader and writer fuzzed for a few seconds each"
suite fuzz '^fuzz-|property broken' bash tools/fuzz.sh 3

echo "== the same tests cross-compiled, under $HUELINE_WINE_ARCH-bit Wine (Win32 file layer)"
suite wine-tests "$gtest_lines" env DISPLAY= "$HUELINE_WINE" "$HUELINE_WINE_TESTS/hueline_wine_tests.exe"

echo "== executables start on Windows 95 on a 486"
suite check-hueline-exe '.' python3 tools/check_exe.py i686-w64-mingw32-objdump build/product/hueline.exe gui
suite check-resources '.' python3 tools/check_resources.py build/product/hueline.exe
suite check-test-exe '.' python3 tools/check_exe.py i686-w64-mingw32-objdump build/product/test.exe console

echo "== the release: zip, floppy and CD images read back, and made again elsewhere three days later"
suite check-dist '.' python3 tools/check_dist.py build/dist/hueline-1.0.0 build/product
suite reproducible '.' bash tools/check_reproducible.sh

echo "== end to end: hueline.exe and test.exe ($HUELINE_WINE_ARCH-bit build) under Wine and Xvfb, Windows 98, then Large Fonts, no bitmap font, Windows XP"
suite e2e '.' bash tools/e2e.sh

# Where the real executables ran, a quick pass of the 64-bit twin too, so
# that the path of machines that run no 32-bit code stays sound.
if [ "$HUELINE_WINE_ARCH" = 32 ]; then
  echo "== the 64-bit build, for machines that run no 32-bit code: its Wine-side tests, end to end on Windows 98"
  suite wine-tests64 "$gtest_lines" env HUELINE_WINE_ARCH=64 bash -c \
    '. tools/wine_env.sh && DISPLAY= "$HUELINE_WINE" "$HUELINE_WINE_TESTS/hueline_wine_tests.exe"'
  suite e2e64 '.' env HUELINE_WINE_ARCH=64 bash tools/e2e.sh windows-98
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
