// The main dialog's controls, menu and message box.
#include <windows.h>

#include "platform/platform.h"

static HWND Handle(PlatformWindow window)
{
    return (HWND)window;
}

void PlatformListAdd(PlatformWindow dialog, int list, const char* text)
{
    SendDlgItemMessageA(Handle(dialog), list, LB_ADDSTRING, 0, (LPARAM)text);
}

int PlatformListSelection(PlatformWindow dialog, int list)
{
    LRESULT selected = SendDlgItemMessageA(Handle(dialog), list, LB_GETCURSEL, 0, 0);
    return selected == LB_ERR ? -1 : (int)selected;
}

void PlatformListSelectText(PlatformWindow dialog, int list, const char* text)
{
    SendDlgItemMessageA(Handle(dialog), list, LB_SELECTSTRING, (WPARAM)-1, (LPARAM)text);
}

void PlatformSetControlText(PlatformWindow dialog, int control, const char* text)
{
    SendMessageA(GetDlgItem(Handle(dialog), control), WM_SETTEXT, 0, (LPARAM)text);
}

bool PlatformAskYesNo(PlatformWindow dialog, const char* caption, const char* text)
{
    return MessageBoxA(Handle(dialog), text, caption, MB_YESNO | MB_ICONINFORMATION) == IDYES;
}

void PlatformShowMessage(PlatformWindow dialog, const char* caption, const char* text)
{
    MessageBoxA(Handle(dialog), text, caption, MB_OK | MB_ICONEXCLAMATION);
}

bool PlatformAskWarning(PlatformWindow dialog, const char* caption, const char* text)
{
    return MessageBoxA(Handle(dialog), text, caption, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) == IDYES;
}

void PlatformEndDialog(PlatformWindow dialog, int result)
{
    EndDialog(Handle(dialog), result);
}

void PlatformCheckMenuItem(PlatformWindow dialog, int item, bool checked)
{
    CheckMenuItem(GetMenu(Handle(dialog)), item, checked ? MF_CHECKED : MF_UNCHECKED);
}

void PlatformHoldInput(PlatformWindow dialog)
{
    EnableWindow(Handle(dialog), FALSE);
}

void PlatformReleaseInput(PlatformWindow dialog)
{
    // Input the user gave the held window may still wait in the queue: it is
    // dropped, as the held window dropped it, so that nothing clicked during
    // the wait runs once the wait is over.
    static const UINT input[][2] = {
        {WM_KEYFIRST, WM_KEYLAST}, {WM_MOUSEFIRST, WM_MOUSELAST}, {WM_NCMOUSEMOVE, WM_NCMBUTTONDBLCLK}};
    MSG message;
    for (const UINT* range : input) {
        while (PeekMessageA(&message, nullptr, range[0], range[1], PM_REMOVE))
            continue;
    }
    EnableWindow(Handle(dialog), TRUE);
    // The window that ended the wait took the activation with it, and the
    // system could not give it back to a window that was held.
    SetForegroundWindow(Handle(dialog));
}
