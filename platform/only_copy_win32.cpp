// One copy of the program at a time: two copies rewriting system.ini at once
// could each back up the other's half-written file.
#include <windows.h>

#include "platform/platform.h"

static const char OnlyCopyName[] = "Hueline.OnlyCopy";

bool PlatformClaimOnlyCopy()
{
    // The handle is never closed: the system lets go of the name when the
    // process ends, however it ends. When the name cannot be had at all the
    // program runs rather than refuse to start.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, OnlyCopyName);
    return mutex == nullptr || GetLastError() != ERROR_ALREADY_EXISTS;
}

void PlatformShowRunningCopy(const char* caption)
{
    HWND window = FindWindowA(WC_DIALOG, caption);
    if (window == nullptr)
        return;  // still starting, or just ending
    if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(GetLastActivePopup(window));
}
