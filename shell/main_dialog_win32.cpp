#include "shell/main_dialog_win32.h"

#include "core/selection_actions.h"
#include "platform/instance_win32.h"
#include "resources/resource.h"
#include "shell/command_table.h"
#include "shell/preview.h"
#include "test_exe/screen_window.h"

static UINT TestEnding;  // registered at WM_INITDIALOG

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    PlatformWindow window = (PlatformWindow)dialog;
    // test.exe is about to end and hand the foreground back: the window must
    // take input by then, or the system activates another program's. What
    // reaches it before the wait is over is still thrown away.
    if (message == TestEnding && TestEnding != 0) {
        EnableWindow(dialog, TRUE);
        return FALSE;
    }
    switch (message) {
    case WM_INITDIALOG:
        TestEnding = RegisterWindowMessageA(TEST_ENDING_MESSAGE);
        // The program's icon on the caption, the taskbar and Alt+Tab.
        for (WPARAM size = ICON_SMALL; size <= ICON_BIG; ++size) {
            int pixels = GetSystemMetrics(size == ICON_BIG ? SM_CXICON : SM_CXSMICON);
            HANDLE icon = LoadImageA(ProgramInstance, MAKEINTRESOURCEA(IDI_PROGRAM), IMAGE_ICON, pixels, pixels,
                                     LR_DEFAULTCOLOR);
            if (icon != nullptr)
                SendMessageA(dialog, WM_SETICON, size, (LPARAM)icon);
        }
        InitSelection(window);
        SyncSelectionFromLists(window);
        RefreshPreview(window);  // not yet visible: only its sound is noticed
        break;
    case WM_COMMAND:
        RunCommand(window, wParam);
        break;
    case WM_PAINT: {
        // The default handling erases the background of what needs paint, so
        // a picture drawn before it would be wiped out again. The erase is
        // done first here (BeginPaint, EndPaint), then the picture drawn on
        // top; the default handling then finds nothing left to paint.
        PAINTSTRUCT paint;
        BeginPaint(dialog, &paint);
        EndPaint(dialog, &paint);
        PaintPreview(window);
        break;
    }
    case WM_CLOSE:  // the close box and the system menu: the same as Exit
        ExitProgram(window);
        break;
    }
    // Never handled: the dialog manager sets no default focus on
    // WM_INITDIALOG and does its usual work for everything else.
    return FALSE;
}
