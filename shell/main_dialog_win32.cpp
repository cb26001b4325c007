#include "shell/main_dialog_win32.h"

#include "core/selection_actions.h"
#include "shell/command_table.h"
#include "shell/preview.h"

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    PlatformWindow window = (PlatformWindow)dialog;
    switch (message) {
    case WM_INITDIALOG:
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
