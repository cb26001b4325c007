#!/usr/bin/env bash
# Runs the end-to-end tests: the real build/product/hueline.exe under Wine in
# the project's prefix, on a private Xvfb display, worked by
# build/wine-tests/hueline_driver.exe. Builds nothing: `make test` has built
# both and set up the prefix. Artefacts (traces, driver transcripts, the files
# each test left, a picture of the main window) go to build/e2e.
# The last line printed is always "e2e: N passed, M failed".
set -uo pipefail
cd "$(dirname "$0")/.."
. tools/wine_env.sh
. tools/xvfb.sh

out=build/e2e
suite_seconds=600
rm -rf "$out"
mkdir -p "$out"

finish() {
  # Ends whatever is left of the prefix's processes, then the display.
  timeout -k 5 60 wineserver -k >/dev/null 2>&1 || true
  xvfb_stop
}
trap 'finish; echo "e2e: 0 passed, 1 failed"; exit 1' INT TERM

for needed in build/product/hueline.exe build/wine-tests/hueline_driver.exe "$WINEPREFIX/hueline-setup"; do
  if [ ! -e "$needed" ]; then
    echo "e2e: $needed is missing: run make test"
    echo "e2e: 0 passed, 1 failed"
    exit 1
  fi
done

if ! xvfb_start "$out"; then
  echo "e2e: 0 passed, 1 failed"
  exit 1
fi
echo "e2e: display $DISPLAY"

start=$(date +%s)
timeout -k 10 "$suite_seconds" python3 tests/e2e/run_suite.py </dev/null
status=$?
finish
echo "e2e: took $(( $(date +%s) - start )) s; artefacts in $out"

if [ -f "$out/result.txt" ]; then
  read -r passed failed < "$out/result.txt"
else
  passed=0
  failed=1
  echo "e2e: the suite ended without a result (status $status)"
fi
if [ "$status" -ne 0 ] && [ "$failed" -eq 0 ]; then failed=1; fi
echo "e2e: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
