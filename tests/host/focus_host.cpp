// Host stand-in of the keyboard, the foreground and the queue around the
// full-screen test: records each call, in order, with the other calls of the
// test (HostTestProgram).
#include "tests/host/host_control.h"
#include "platform/platform.h"

namespace {

int Screen, Other;
const unsigned TestEndingNumber = 0xC123;

void Record(const std::string& call)
{
    HostTestProgramState().calls.push_back(call);
}

}  // namespace

PlatformWindow HostScreenWindow()
{
    return (PlatformWindow)&Screen;
}

PlatformWindow HostOtherWindow()
{
    return (PlatformWindow)&Other;
}

std::string HostWindowName(PlatformWindow window)
{
    return window == HostWindow() ? "main" : window == HostScreenWindow() ? "screen"
                                         : window == HostOtherWindow()  ? "other"
                                         : window == nullptr            ? "none"
                                                                        : "?";
}

bool PlatformKeyIsDown(unsigned code)
{
    return HostTestProgramState().keysDown.find((char)code) != std::string::npos;
}

PlatformWindow PlatformForegroundWindow()
{
    return HostTestProgramState().foreground;
}

void PlatformBringToFront(PlatformWindow window)
{
    Record("front " + HostWindowName(window));
    if (!HostTestProgramState().frontRefused)
        HostTestProgramState().foreground = window;
}

void PlatformEnableWindow(PlatformWindow window, bool enabled)
{
    Record("enable " + HostWindowName(window) + (enabled ? " yes" : " no"));
}

bool PlatformDropQueuedMessage(unsigned first, unsigned last)
{
    HostTestProgram& program = HostTestProgramState();
    if (program.duringDrop)
        program.duringDrop();
    for (auto at = program.queue.begin(); at != program.queue.end(); ++at) {
        if (*at >= first && *at <= last) {
            char number[16];
            snprintf(number, sizeof number, "drop 0x%X", *at);
            Record(number);
            program.queue.erase(at);
            return true;
        }
    }
    return false;
}

unsigned PlatformTestEndingMessage()
{
    return TestEndingNumber;
}

void PlatformTellTestEnding(PlatformWindow window)
{
    Record("tell " + HostWindowName(window));
}

void PlatformPostClose(PlatformWindow window)
{
    Record("post close " + HostWindowName(window));
}

void PlatformDestroyWindow(PlatformWindow window)
{
    Record("destroy " + HostWindowName(window));
}
