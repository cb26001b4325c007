#include <windows.h>

#include "platform/platform.h"

unsigned PlatformWindowsDirectory(char* out, unsigned size)
{
    UINT length = GetWindowsDirectoryA(out, size);
    if (length == 0 || length >= size) {
        out[0] = '\0';
        return 0;
    }
    return length;
}
