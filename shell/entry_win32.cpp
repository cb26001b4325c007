// The process entry of hueline.exe. There is no C runtime to call WinMain,
// so the linker is pointed at HuelineStart, which does that runtime's part.
#include <windows.h>

#include "core/selection_actions.h"
#include "platform/instance_win32.h"
#include "resources/resource.h"
#include "shell/main_dialog_win32.h"
#include "shell/preview.h"
#include "shell/program_directory.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    ProgramInstance = instance;
    LoadPreviewIcons();

    GetModuleFileNameA(instance, ProgramDirectory, sizeof ProgramDirectory);
    CutToDirectory(ProgramDirectory);

    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);

    // A forced restart: other programs are not asked. Nothing is reported if
    // the system refuses.
    if (RestartRequested)
        ExitWindowsEx(EWX_REBOOT | EWX_FORCE, (DWORD)-1);
    return 0;
}

extern "C" void WINAPI HuelineStart()
{
    ExitProcess((UINT)WinMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWDEFAULT));
}
