// The preview's icons: loaded from the program's resources, drawn on the
// main dialog through its window's device context.
#include <windows.h>

#include "platform/instance_win32.h"
#include "platform/platform.h"

// The preview's pictures are 32 x 32 pixels at every screen size.
static const int IconPixels = 32;

PlatformIcon PlatformLoadIcon(int resource)
{
    // Not LoadIconA: it takes the image of the system's icon size, which
    // grows with the screen's dots per inch on some systems, and would scale
    // another image of the resource to it.
    return (PlatformIcon)LoadImageA(ProgramInstance, MAKEINTRESOURCEA(resource), IMAGE_ICON, IconPixels,
                                    IconPixels, LR_DEFAULTCOLOR);
}

void PlatformDrawIcons(PlatformWindow dialog, int x, int y, PlatformIcon under, PlatformIcon over)
{
    HWND window = (HWND)dialog;
    // Dialog units to pixels, by the dialog's own font: the point keeps its
    // place among the controls whatever the font and the dots per inch.
    RECT place = {x, y, x, y};
    if (!MapDialogRect(window, &place))
        return;
    HDC dc = GetDC(window);
    if (dc == nullptr)
        return;
    if (under != nullptr)
        DrawIconEx(dc, place.left, place.top, (HICON)under, IconPixels, IconPixels, 0, nullptr, DI_NORMAL);
    if (over != nullptr)
        DrawIconEx(dc, place.left, place.top, (HICON)over, IconPixels, IconPixels, 0, nullptr, DI_NORMAL);
    ReleaseDC(window, dc);
}
