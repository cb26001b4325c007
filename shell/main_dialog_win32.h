#pragma once

#include <windows.h>

// The main dialog's procedure for the dialog manager: every message goes to
// MainDialogMessage (shell/main_dialog.h), and none counts as handled.
INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
