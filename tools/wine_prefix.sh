#!/usr/bin/env bash
# Creates the project's private Wine prefix (build/wine) once, then gives it
# the set-up that running and testing hueline.exe need. Safe to run again: the
# set-up is redone only when this script's set-up version changes.
set -euo pipefail
. "$(dirname "$0")/wine_env.sh"

if ! { [ -f "$WINEPREFIX/system.reg" ] && [ -d "$WINEPREFIX/drive_c/windows" ]; }; then
  echo "wine: creating the private prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  DISPLAY= wineboot --init >/dev/null 2>&1 || true
  wineserver --wait
  [ -d "$WINEPREFIX/drive_c/windows" ] || { echo "wine: the prefix was not created" >&2; exit 1; }
fi

setup_version=4
stamp="$WINEPREFIX/hueline-setup"
if [ "$(cat "$stamp" 2>/dev/null || true)" = "$setup_version" ]; then
  exit 0
fi
echo "wine: setting up the private prefix (version $setup_version)"

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
# - X11 Driver: Wine draws the windows' captions and frames itself and places
#   them without a window manager, so the program looks the same on a desktop
#   and on the tests' bare Xvfb display (which has no window manager: managed
#   windows there lose their captions, and every hidden window waits seconds
#   for a manager that never answers).
# - Debug: when the end-to-end tests run the program with WINEDEBUG=+relay,
#   only the calls whose effects cannot be seen under Wine are traced: the
#   sounds, the restart, the restart question, the sound switch's check mark,
#   the end of the dialog, the opening of the web page and the start of
#   test.exe. WINEDEBUG stays -all otherwise (wine_env.sh).
reg_file="$WINEPREFIX/drive_c/hueline-setup.reg"
cat > "$reg_file" <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Decorated"="N"
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\Debug]
"RelayInclude"="winmm.sndPlaySoundA;user32.ExitWindowsEx;user32.MessageBoxA;user32.CheckMenuItem;user32.EndDialog;shell32.ShellExecuteA;kernel32.CreateProcessA"
EOF
DISPLAY= wine reg import 'C:\hueline-setup.reg' >/dev/null 2>&1 \
  || { echo "wine: could not import $reg_file" >&2; exit 1; }
wineserver --wait

for value in '"Managed"="N"' '"RelayInclude"="winmm.sndPlaySoundA'; do
  grep -qF "$value" "$WINEPREFIX/user.reg" || { echo "wine: the registry set-up did not take ($value)" >&2; exit 1; }
done
echo "$setup_version" > "$stamp"
