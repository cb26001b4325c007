// The About box: fixed texts and no buttons. Enter and Escape reach it as
// IDOK and IDCANCEL and are left alone; only its close box (or the system
// menu's Close) ends it.
#include <windows.h>

#include "platform/instance_win32.h"
#include "platform/platform.h"
#include "resources/resource.h"

static INT_PTR CALLBACK AboutDialogProc(HWND box, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_CLOSE:
        EndDialog(box, 0);
        break;
    }
    return FALSE;
}

void PlatformRunAboutBox(PlatformWindow owner)
{
    DialogBoxParamA(ProgramInstance, MAKEINTRESOURCEA(IDD_ABOUT), (HWND)owner, AboutDialogProc, 0);
}
