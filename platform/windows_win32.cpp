// Windows, dialogs, preview, sound and shell: the main dialog's controls,
// menu and message boxes, the one-copy claim, the sounds, the preview's icons,
// the About box and the web page, and which Windows this is.
#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#include "platform/instance_win32.h"
#include "platform/platform.h"
#include "resources/resource.h"

HINSTANCE ProgramInstance;

// ---- The main dialog and message boxes --------------------------------------

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
    MessageBoxA(Handle(dialog), text, caption, MB_OK | MB_ICONINFORMATION);
}

void PlatformShowFailure(PlatformWindow dialog, const char* caption, const char* text)
{
    MessageBoxA(Handle(dialog), text, caption, MB_OK | MB_ICONSTOP);
}

bool PlatformAskWarning(PlatformWindow dialog, const char* caption, const char* text)
{
    return MessageBoxA(Handle(dialog), text, caption, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

void PlatformEndDialog(PlatformWindow dialog, int result)
{
    EndDialog(Handle(dialog), result);
}

void PlatformCheckMenuItem(PlatformWindow dialog, int item, bool checked)
{
    CheckMenuItem(GetMenu(Handle(dialog)), item, checked ? MF_CHECKED : MF_UNCHECKED);
}

void PlatformSetProgramIcons(PlatformWindow dialog)
{
    for (WPARAM size = ICON_SMALL; size <= ICON_BIG; ++size) {
        int pixels = GetSystemMetrics(size == ICON_BIG ? SM_CXICON : SM_CXSMICON);
        HANDLE icon = LoadImageA(ProgramInstance, MAKEINTRESOURCEA(IDI_PROGRAM), IMAGE_ICON, pixels, pixels,
                                 LR_DEFAULTCOLOR);
        if (icon != nullptr)
            SendMessageA(Handle(dialog), WM_SETICON, size, (LPARAM)icon);
    }
}

void PlatformErasePaint(PlatformWindow dialog)
{
    PAINTSTRUCT paint;
    BeginPaint(Handle(dialog), &paint);
    EndPaint(Handle(dialog), &paint);
}

// ---- The system -------------------------------------------------------------
// Which family of Windows the program runs on.

bool PlatformIsWindowsNt()
{
    // The top bit is set on Windows 95, 98 and Me, clear on the NT family.
    return (GetVersion() & 0x80000000u) == 0;
}

// ---- One copy at a time -----------------------------------------------------
// Two copies rewriting system.ini at once could each back up the other's
// half-written file.

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

// ---- Sound ------------------------------------------------------------------

void PlatformPlaySound(const char* file, unsigned flags)
{
    sndPlaySoundA(file, flags);
}

// ---- Preview ----------------------------------------------------------------
// The preview's icons: loaded from the program's resources, drawn on the main
// dialog through its window's device context.

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
    HWND window = Handle(dialog);
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

// ---- About box --------------------------------------------------------------
// Fixed texts and no buttons. Enter and Escape reach it as IDOK and IDCANCEL
// and are left alone; only its close box (or the system menu's Close) ends it.

static INT_PTR CALLBACK AboutDialogProc(HWND box, UINT message, WPARAM, LPARAM)
{
    static PlatformIcon programIcon;
    switch (message) {
    case WM_INITDIALOG:
        // The dialog manager loads the icon at the system's icon size, which
        // grows with the dots per inch on some systems and takes the 48 x 48
        // image; the 32 x 32 picture is put in its place, as in the preview.
        if (programIcon == nullptr)
            programIcon = PlatformLoadIcon(IDI_PROGRAM);
        if (programIcon != nullptr)
            SendDlgItemMessageA(box, IDC_ABOUT_ICON, STM_SETICON, (WPARAM)programIcon, 0);
        break;
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

// ---- Homepage ---------------------------------------------------------------
// Web addresses, opened by the shell in the user's browser.

uintptr_t PlatformOpenAddress(const char* address)
{
    return (uintptr_t)ShellExecuteA(nullptr, "open", address, "", "", SW_SHOW);
}
