// The process entry of hueline.exe. There is no C runtime to call WinMain,
// so the linker is pointed at HuelineStart, which does that runtime's part.
#include <windows.h>

#include "core/selection_actions.h"
#include "fullscreen/full_screen_test.h"
#include "platform/instance_win32.h"
#include "platform/platform.h"
#include "resources/resource.h"
#include "shell/main_dialog_win32.h"
#include "shell/preview.h"
#include "shell/program_directory.h"
#include "shell/sound_cues.h"

// Every message the program's thread takes from its queue passes here first,
// in the main dialog's loop and in every box's: the auto-repeat of a key held
// down since before the program last took the keyboard is made WM_NULL
// (FilterDrops), so that Enter held from the full-screen test, or from the
// program's start, never presses the default button. Windows 95, 98 and Me
// need the filter's own handle to call the filters installed before it.
static HHOOK KeyFilterHook;

static LRESULT CALLBACK KeyFilter(int code, WPARAM flags, LPARAM lParam)
{
    MSG* message = (MSG*)lParam;
    if (FilterDrops(&KeysSeen, code, flags, message->message, message->wParam, (uintptr_t)message->lParam))
        message->message = WM_NULL;
    return CallNextHookEx(KeyFilterHook, code, flags, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // A second start shows the copy that runs, and ends.
    if (!PlatformClaimOnlyCopy()) {
        PlatformShowRunningCopy(MAIN_DIALOG_CAPTION);
        return 0;
    }

    ProgramInstance = instance;
    SoundsEnabled = 1;
    LoadPreviewIcons();

    GetModuleFileNameA(instance, ProgramDirectory, sizeof ProgramDirectory);
    CutToDirectory(ProgramDirectory);

    KeyFilterHook = SetWindowsHookExA(WH_GETMESSAGE, KeyFilter, nullptr, GetCurrentThreadId());
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
    if (KeyFilterHook != nullptr)
        UnhookWindowsHookEx(KeyFilterHook);

    // Every other program is asked to close first, and may ask to save its
    // work or refuse; if the restart does not happen, nothing more is done.
    if (RestartRequested)
        ExitWindowsEx(EWX_REBOOT, (DWORD)-1);
    return 0;
}

extern "C" void WINAPI HuelineStart()
{
    ExitProcess((UINT)WinMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWDEFAULT));
}
