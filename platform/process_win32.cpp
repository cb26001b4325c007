// Starting test.exe and waiting for it, and the windows of other programs.
#include <windows.h>

#include "platform/platform.h"

PlatformProcess PlatformStartProgram(const char* program, char* commandLine)
{
    STARTUPINFOA startup;
    for (unsigned i = 0; i < sizeof startup; ++i)
        ((char*)&startup)[i] = 0;
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION started;
    // With no console of its own: a console window would come up behind the
    // full-screen window and take the keyboard from it.
    if (!CreateProcessA(program, commandLine, nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, nullptr, &startup,
                        &started))
        return PlatformNoProcess;
    CloseHandle(started.hThread);
    return (PlatformProcess)started.hProcess;
}

bool PlatformWaitForProcess(PlatformProcess process, unsigned ms)
{
    // A failed wait counts as an end: the caller must never wait for ever.
    return WaitForSingleObject((HANDLE)process, ms) != WAIT_TIMEOUT;
}

void PlatformReleaseProcess(PlatformProcess process)
{
    CloseHandle((HANDLE)process);
}

PlatformWindow PlatformFindWindow(const char* windowClass, const char* title)
{
    return (PlatformWindow)FindWindowA(windowClass, title);
}

void PlatformCloseWindow(PlatformWindow window)
{
    SendMessageA((HWND)window, WM_CLOSE, 0, 0);
    DestroyWindow((HWND)window);
}
