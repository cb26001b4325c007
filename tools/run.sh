#!/usr/bin/env bash
# Starts hueline.exe under Wine in the project's private prefix, from its own
# folder (where its wave files lie).
#
# Without a usable display ($DISPLAY unset, or no X server answering there) it
# runs on a private Xvfb display instead: it waits for the main window, saves
# a picture of it to build/run/hueline.png, says so, and ends the program.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/wine_env.sh

# The main window's caption, as the dialog template takes it.
caption=$(sed -n 's/^#define MAIN_DIALOG_CAPTION "\(.*\)"$/\1/p' resources/resource.h)
if [ -z "$caption" ]; then
  echo "run: resources/resource.h gives no MAIN_DIALOG_CAPTION" >&2
  exit 1
fi
echo "hueline.exe reads the installed colours from the private prefix's system.ini:"
echo "  $WINEPREFIX/drive_c/windows/system.ini"

if [ -n "${DISPLAY:-}" ] && timeout 10 xdpyinfo >/dev/null 2>&1; then
  cd "$HUELINE_PRODUCT"
  exec "$HUELINE_WINE" hueline.exe
fi

. tools/xvfb.sh
out=build/run
mkdir -p "$out"
echo "run: no usable display; starting a virtual one"
xvfb_for_script "$out"
(cd "$HUELINE_PRODUCT" && exec "$HUELINE_WINE" hueline.exe) </dev/null >"$out/wine.log" 2>&1 &
program_pid=$!

# The main window's X window, once Wine has shown it.
window=""
for tries in $(seq 1 300); do
  window=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$caption\"" | awk '{print $1}' | head -n 1 || true)
  [ -n "$window" ] && break
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$window" ]; then
  echo "run: the main window did not appear within 30 s (see $out/wine.log)" >&2
  exit 1
fi
sleep 1  # let it finish painting
MAGICK_TEMPORARY_PATH="$out" /usr/bin/import -window "$window" "$out/hueline.png"
echo "run: the main window is pictured in $out/hueline.png"
echo "run: ending the program"
