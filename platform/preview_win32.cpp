// The preview's icons: loaded from the program's resources, drawn on the
// main dialog through its window's device context.
#include <windows.h>

#include "platform/instance_win32.h"
#include "platform/platform.h"

PlatformIcon PlatformLoadIcon(int resource)
{
    return (PlatformIcon)LoadIconA(ProgramInstance, MAKEINTRESOURCEA(resource));
}

void PlatformDrawIcons(PlatformWindow dialog, int x, int y, PlatformIcon under, PlatformIcon over)
{
    HWND window = (HWND)dialog;
    HDC dc = GetDC(window);
    if (dc == nullptr)
        return;
    if (under != nullptr)
        DrawIcon(dc, x, y, (HICON)under);
    if (over != nullptr)
        DrawIcon(dc, x, y, (HICON)over);
    ReleaseDC(window, dc);
}
