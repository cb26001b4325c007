#!/usr/bin/env bash
# Creates the project's private Wine prefix (build/wine) once.
set -euo pipefail
. "$(dirname "$0")/wine_env.sh"
if [ -f "$WINEPREFIX/system.reg" ] && [ -d "$WINEPREFIX/drive_c/windows" ]; then
  exit 0
fi
echo "wine: creating the private prefix $WINEPREFIX"
mkdir -p "$WINEPREFIX"
DISPLAY= wineboot --init >/dev/null 2>&1 || true
wineserver --wait
[ -d "$WINEPREFIX/drive_c/windows" ] || { echo "wine: the prefix was not created" >&2; exit 1; }
