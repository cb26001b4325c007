// Which family of Windows the program runs on.
#include <windows.h>

#include "platform/platform.h"

bool PlatformIsWindowsNt()
{
    // The top bit is set on Windows 95, 98 and Me, clear on the NT family.
    return (GetVersion() & 0x80000000u) == 0;
}
