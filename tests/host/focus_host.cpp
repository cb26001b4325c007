// Host stand-in of the keyboard, the foreground and the queue around the
// full-screen test: each call goes into the test's record (HostTestProgram).
#include <stdio.h>

#include "tests/host/host_control.h"
#include "platform/platform.h"

static int Screen;
static HostTestProgram& Program = HostTestProgramState();

PlatformWindow HostScreenWindow() { return (PlatformWindow)&Screen; }

std::string HostWindowName(PlatformWindow window)
{
    return window == HostWindow() ? "main" : window == HostScreenWindow() ? "screen" : "other";
}

bool PlatformKeyIsDown(unsigned code) { return Program.keysDown.find((char)code) != std::string::npos; }
PlatformWindow PlatformForegroundWindow() { return Program.foreground; }
unsigned PlatformTestEndingMessage() { return 0xC123; }
void PlatformTellTestEnding(PlatformWindow window) { Program.calls.push_back("tell " + HostWindowName(window)); }
void PlatformPostClose(PlatformWindow window) { Program.calls.push_back("post close " + HostWindowName(window)); }
void PlatformDestroyWindow(PlatformWindow window) { Program.calls.push_back("destroy " + HostWindowName(window)); }

void PlatformBringToFront(PlatformWindow window)
{
    Program.calls.push_back("front " + HostWindowName(window));
    if (!Program.frontRefused)
        Program.foreground = window;
}

void PlatformEnableWindow(PlatformWindow window, bool enabled)
{
    Program.calls.push_back("enable " + HostWindowName(window) + (enabled ? " yes" : " no"));
}

bool PlatformDropQueuedMessage(unsigned first, unsigned last)
{
    if (Program.duringDrop)
        Program.duringDrop();
    for (auto at = Program.queue.begin(); at != Program.queue.end(); ++at) {
        if (*at >= first && *at <= last) {
            char number[16];
            snprintf(number, sizeof number, "drop 0x%X", *at);
            Program.calls.push_back(number);
            Program.queue.erase(at);
            return true;
        }
    }
    return false;
}
