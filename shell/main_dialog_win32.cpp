#include "shell/main_dialog_win32.h"

#include "shell/main_dialog.h"

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    MainDialogMessage((PlatformWindow)dialog, message, wParam);
    // Never handled: the dialog manager sets no default focus on
    // WM_INITDIALOG and does its usual work for everything else.
    return FALSE;
}
