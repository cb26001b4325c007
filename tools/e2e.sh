#!/usr/bin/env bash
# Runs the end-to-end tests: the real build/product/hueline.exe under Wine in
# the project's prefix, on a private Xvfb display, worked by
# build/wine-tests/hueline_driver.exe (their 64-bit twins on the 64-bit
# build, tools/wine_arch.sh); every test on Windows 98 at 96 dots per
# inch, then a quick pass on each of the other machines the prefix can stand
# for (tests/e2e/run_suite.py). Builds nothing: `make test` has built
# both and set up the prefix. Artefacts (traces, driver transcripts, the files
# each test left, a picture of the main window) go to build/e2e (build/e2e64).
# Given words, it runs only the tests whose name holds one of them, or every
# test of a pass a word names:
#   bash tools/e2e.sh ScreenshotTest test_restore 120-dpi
# Its summary is the suite's own last line, "e2e: N passed, M failed"; its exit
# status is the suite's.
set -uo pipefail
cd "$(dirname "$0")/.."
. tools/wine_env.sh
. tools/xvfb.sh

out=$HUELINE_E2E
suite_seconds=900
chattr -R -i "$out" 2>/dev/null  # an unpacked CD left by a run cut short
rm -rf "$out"
mkdir -p "$out"

trap 'echo "e2e: 0 passed, 1 failed"; exit 1' INT TERM

for needed in "$HUELINE_PRODUCT/hueline.exe" "$HUELINE_WINE_TESTS/hueline_driver.exe" "$WINEPREFIX/hueline-setup"; do
  if [ ! -e "$needed" ]; then
    echo "e2e: $needed is missing: run make test"
    echo "e2e: 0 passed, 1 failed"
    exit 1
  fi
done

if ! xvfb_for_script "$out"; then
  echo "e2e: 0 passed, 1 failed"
  exit 1
fi
echo "e2e: display $DISPLAY"

start=$(date +%s)
timeout -k 10 "$suite_seconds" python3 tests/e2e/run_suite.py "$@" </dev/null 2>&1 | tee "$out/suite.log"
status=${PIPESTATUS[0]}
xvfb_end
echo "e2e: took $(( $(date +%s) - start )) s; artefacts in $out"

# The suite printed its own summary; one that was cut short printed none.
if [ "$status" -ne 0 ] && ! tail -n 1 "$out/suite.log" | grep -qE '^e2e: [0-9]+ passed, [0-9]+ failed$'; then
  echo "e2e: the suite ended without a summary (status $status)"
  echo "e2e: 0 passed, 1 failed"
fi
exit "$status"
