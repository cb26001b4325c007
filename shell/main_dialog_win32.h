#pragma once

#include <windows.h>

// The main dialog's procedure: one switch on the message.
INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
