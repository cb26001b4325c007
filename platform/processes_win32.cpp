// Starting test.exe and waiting for it, and the windows of other programs.
#include <windows.h>

#include "platform/platform.h"

PlatformProcess PlatformStartProgram(const char* program, char* commandLine, unsigned long* id,
                                     unsigned long* error)
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
                        &started)) {
        *error = GetLastError();
        return PlatformNoProcess;
    }
    CloseHandle(started.hThread);
    *id = started.dwProcessId;
    return (PlatformProcess)started.hProcess;
}

bool PlatformWaitForProcess(PlatformProcess process, unsigned ms)
{
    HANDLE handle = (HANDLE)process;
    // Wakes for the end of the process, a message another program sends
    // (a palette or settings broadcast: the sender waits for the answer, and
    // test.exe itself may be the sender) or a part of a window to repaint.
    DWORD woke = MsgWaitForMultipleObjects(1, &handle, FALSE, ms, QS_SENDMESSAGE | QS_PAINT);
    if (woke != WAIT_OBJECT_0 + 1) {
        // A failed wait counts as an end: the caller must never wait for ever.
        return woke != WAIT_TIMEOUT;
    }
    // Looking at the queue answers the sent messages; the paint messages are
    // dispatched, and every other one is left where it is.
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
        DispatchMessageA(&message);
    return false;
}

void PlatformReleaseProcess(PlatformProcess process)
{
    CloseHandle((HANDLE)process);
}

PlatformWindow PlatformNextWindow(const char* windowClass, const char* title, PlatformWindow after)
{
    return (PlatformWindow)FindWindowExA(nullptr, (HWND)after, windowClass, title);
}

unsigned long PlatformWindowProcess(PlatformWindow window)
{
    DWORD process = 0;
    GetWindowThreadProcessId((HWND)window, &process);
    return process;
}

void PlatformCloseWindow(PlatformWindow window)
{
    SendMessageA((HWND)window, WM_CLOSE, 0, 0);
    DestroyWindow((HWND)window);
}
