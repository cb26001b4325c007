#include "shell/main_dialog.h"

#include "core/selection_actions.h"
#include "fullscreen/full_screen_test.h"
#include "shell/command_table.h"
#include "shell/preview.h"

// test.exe's registered message, had at WM_INITDIALOG (0 when it could not be).
static unsigned TestEndingMessage;

void MainDialogMessage(PlatformWindow dialog, unsigned message, uintptr_t wParam)
{
    if (message == TestEndingMessage && TestEndingMessage != 0) {
        AnnounceTestEnd(dialog);
        return;
    }
    switch (message) {
    case InitDialogMessage:
        TestEndingMessage = PlatformTestEndingMessage();
        PlatformSetProgramIcons(dialog);
        InitSelection(dialog);
        SyncSelectionFromLists(dialog);
        RefreshPreview(dialog);  // not yet visible: only its sound is noticed
        break;
    case CommandMessage:
        // While test.exe shows, the window answers what other programs send
        // it, a button's click or a command among them, but runs none: the
        // user sees a window that takes no input, as under a modal box.
        if (!TestRunning)
            RunCommand(dialog, wParam);
        break;
    case PaintMessage:
        // The default handling erases the background of what needs paint, so
        // a picture drawn before it would be wiped out again: the erase comes
        // first, then the picture on top; the default handling then finds
        // nothing left to paint.
        PlatformErasePaint(dialog);
        PaintPreview(dialog);
        break;
    case CloseMessage:  // the close box and the system menu: the same as Exit
        if (!TestRunning)
            ExitProgram(dialog);
        break;
    case ActivateAppMessage:
        // Keys let go while another program was in front never reached this
        // one: what is down now is held from elsewhere, and nothing else is.
        if (wParam != 0)
            ReadHeldKeys();
        break;
    }
}
