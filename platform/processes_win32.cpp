// Starting test.exe and waiting for it, the main window held meanwhile, and
// the windows of other programs.
#include <windows.h>

#include "platform/platform.h"

int PlatformStartProgram(const char* program, char* commandLine, PlatformStarted* started, unsigned long* error)
{
    STARTUPINFOA startup;
    for (unsigned i = 0; i < sizeof startup; ++i)
        ((char*)&startup)[i] = 0;
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION information;
    // With no console of its own: a console window would come up behind the
    // full-screen window and take the keyboard from it.
    BOOL result = CreateProcessA(program, commandLine, nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, nullptr,
                                 &startup, &information);
    if (!result) {
        *error = GetLastError();
        return 0;
    }
    started->process = (PlatformHandle)information.hProcess;
    started->thread = (PlatformHandle)information.hThread;
    started->processId = information.dwProcessId;
    started->threadId = information.dwThreadId;
    return result;
}

bool PlatformWaitForProcess(PlatformHandle process, unsigned ms)
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

void PlatformCloseHandle(PlatformHandle handle)
{
    CloseHandle((HANDLE)handle);
}

unsigned long PlatformTickCount()
{
    return GetTickCount();
}

PlatformWindow PlatformNextWindow(const char* windowClass, const char* title, PlatformWindow after)
{
    return (PlatformWindow)FindWindowExA(nullptr, (HWND)after, windowClass, title);
}

unsigned long PlatformWindowThreadProcess(PlatformWindow window, unsigned long* process)
{
    DWORD owner = 0;
    DWORD thread = GetWindowThreadProcessId((HWND)window, &owner);
    *process = owner;
    return thread;
}

void PlatformCloseWindow(PlatformWindow window)
{
    SendMessageA((HWND)window, WM_CLOSE, 0, 0);
    DestroyWindow((HWND)window);
}

void PlatformEnableWindow(PlatformWindow window, bool enabled)
{
    EnableWindow((HWND)window, enabled ? TRUE : FALSE);
}

bool PlatformDropQueuedMessage(unsigned first, unsigned last)
{
    MSG message;
    return PeekMessageA(&message, nullptr, first, last, PM_REMOVE) != FALSE;
}
