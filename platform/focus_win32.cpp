// The keyboard, the foreground and the end of the full-screen test: the calls
// hueline.exe and test.exe both make around the test. test.exe links this
// file alone of the platform layer, so it holds nothing of the shell's.
#include <windows.h>

#include "platform/platform.h"
#include "test_exe/screen_window.h"

static HWND Handle(PlatformWindow window)
{
    return (HWND)window;
}

bool PlatformKeyIsDown(unsigned code)
{
    return (GetAsyncKeyState((int)code) & 0x8000) != 0;
}

PlatformWindow PlatformForegroundWindow()
{
    return (PlatformWindow)GetForegroundWindow();
}

void PlatformBringToFront(PlatformWindow window)
{
    SetForegroundWindow(Handle(window));
}

unsigned PlatformTestEndingMessage()
{
    return RegisterWindowMessageA(TEST_ENDING_MESSAGE);
}

void PlatformTellTestEnding(PlatformWindow window)
{
    if (!IsWindow(Handle(window)))
        return;
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(Handle(window), PlatformTestEndingMessage(), 0, 0, SMTO_ABORTIFHUNG, 1000, &answer);
}

void PlatformPostClose(PlatformWindow window)
{
    PostMessageA(Handle(window), WM_CLOSE, 0, 0);
}

void PlatformDestroyWindow(PlatformWindow window)
{
    DestroyWindow(Handle(window));
}
