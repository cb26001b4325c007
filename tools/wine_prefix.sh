#!/usr/bin/env bash
# Creates the project's private Wine prefix (build/wine, or build/wine64 for
# the 64-bit build: tools/wine.env) once, then gives it
# the set-up that running and testing hueline.exe need. Safe to run again: the
# set-up is redone only when this script's set-up version changes.
set -euo pipefail
. "$(dirname "$0")/wine_env.sh"

if ! { [ -f "$WINEPREFIX/system.reg" ] && [ -d "$WINEPREFIX/drive_c/windows" ]; }; then
  echo "wine: creating the private prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  DISPLAY= "$HUELINE_WINE" wineboot --init >/dev/null 2>&1 || true
  "$HUELINE_WINESERVER" --wait
  [ -d "$WINEPREFIX/drive_c/windows" ] || { echo "wine: the prefix was not created" >&2; exit 1; }
fi

# The set-up is redone when its version or the list of traced calls changes,
# so an existing prefix takes a new setting too.
setup_version=5
traced_calls=$(grep -v '^#' "$top/tests/e2e/traced_calls.txt" | grep . | paste -sd ';')
setup_id="$setup_version $traced_calls"
stamp="$WINEPREFIX/hueline-setup"
if [ "$(cat "$stamp" 2>/dev/null || true)" = "$setup_id" ]; then
  exit 0
fi
echo "wine: setting up the private prefix (version $setup_version, Windows 98)"

# Fonts. The prefix's registry names Wine's own fonts ("MS Sans Serif" is
# sserife.fon, the bitmap font of Windows 95 dialogs; Tahoma and Marlett draw
# menus and captions), but Debian's Wine does not find them in its data folder
# and falls back to a wider system font, which changes every dialog's size in
# dialog units and clips captions. So they go where Windows keeps its fonts.
fonts_src=/usr/share/wine/fonts
[ -f "$fonts_src/sserife.fon" ] || { echo "wine: $fonts_src/sserife.fon is missing (package fonts-wine)" >&2; exit 1; }
mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
cp -f "$fonts_src"/*.fon "$fonts_src"/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"

# Registry.
# - Version: the prefix reports Windows 98 (4.10) to every program, the system
#   the program is made for.
# - X11 Driver: Wine draws the windows' captions and frames itself and places
#   them without a window manager, so the program looks the same on a desktop
#   and on the tests' bare Xvfb display (which has no window manager: managed
#   windows there lose their captions, and every hidden window waits seconds
#   for a manager that never answers).
# - Debug: when the end-to-end tests run the program with WINEDEBUG=+relay,
#   only the calls listed in tests/e2e/traced_calls.txt are traced.
#   WINEDEBUG stays -all otherwise (tools/wine.env).
reg_file="$WINEPREFIX/drive_c/hueline-setup.reg"
cat > "$reg_file" <<EOF
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine]
"Version"="win98"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Decorated"="N"
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\Debug]
"RelayInclude"="$traced_calls"
EOF
DISPLAY= "$HUELINE_WINE" reg import 'C:\hueline-setup.reg' >/dev/null 2>&1 \
  || { echo "wine: could not import $reg_file" >&2; exit 1; }
"$HUELINE_WINESERVER" --wait

for value in '"Version"="win98"' '"Managed"="N"' "\"RelayInclude\"=\"$traced_calls\""; do
  grep -qF "$value" "$WINEPREFIX/user.reg" || { echo "wine: the registry set-up did not take ($value)" >&2; exit 1; }
done
echo "$setup_id" > "$stamp"
