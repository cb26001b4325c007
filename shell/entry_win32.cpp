// The process entry of hueline.exe. There is no C runtime to call it, so the
// linker is pointed at HuelineStart directly.
#include <windows.h>

#include "settings/settings_reader.h"

extern "C" void WINAPI HuelineStart()
{
    ReadInstalledColors();
    ExitProcess(0);
}
