#!/usr/bin/env bash
# Runs bench/fullscreen_bench.py on a private Xvfb display, in the project's
# Wine prefix. `make bench` has built both executables and the driver.
set -uo pipefail
cd "$(dirname "$0")/.."
. tools/wine_env.sh
. tools/xvfb.sh
mkdir -p build/bench
xvfb_start build/bench || exit 1
trap 'timeout -k 5 60 "$HUELINE_WINESERVER" -k >/dev/null 2>&1; xvfb_stop' EXIT
timeout -k 10 300 python3 bench/fullscreen_bench.py </dev/null
