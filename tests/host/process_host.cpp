// Host stand-in of starting test.exe: a scripted program whose end and
// finished window come after a given number of waits.
#include "tests/host/host_control.h"
#include "platform/platform.h"

namespace {

HostTestProgram Program;
int Waits = 0;
int Process;  // its address is the one process handle
int FinishedWindow;
int ForeignWindow;  // another program's, of the same class and title
const unsigned long OurProcess = 0x1234;

}  // namespace

HostTestProgram& HostResetTestProgram()
{
    Program = HostTestProgram();
    Program.starts = false;
    Program.endsAfterWaits = -1;
    Program.windowAfterWaits = -1;
    Program.released = 0;
    Waits = 0;
    return Program;
}

HostTestProgram& HostTestProgramState()
{
    return Program;
}

PlatformProcess PlatformStartProgram(const char* program, char* commandLine, unsigned long* id,
                                     unsigned long* error)
{
    Program.calls.push_back(std::string("start ") + program + "|" + commandLine);
    Waits = 0;
    *id = OurProcess;
    *error = Program.startError;
    return Program.starts ? (PlatformProcess)&Process : PlatformNoProcess;
}

bool PlatformWaitForProcess(PlatformProcess process, unsigned ms)
{
    Program.calls.push_back("wait " + std::to_string(ms));
    if (process != (PlatformProcess)&Process)
        return true;
    ++Waits;
    return Program.endsAfterWaits >= 0 && Waits >= Program.endsAfterWaits;
}

void PlatformReleaseProcess(PlatformProcess process)
{
    Program.calls.push_back("release");
    if (process == (PlatformProcess)&Process)
        ++Program.released;
}

PlatformWindow PlatformNextWindow(const char* windowClass, const char* title, PlatformWindow after)
{
    Program.calls.push_back(std::string("find ") + windowClass + "|" + title);
    if (after == nullptr && Program.foreignTitle == title)  // front to back: the other program's, then ours
        return (PlatformWindow)&ForeignWindow;
    bool shown = Program.windowAfterWaits >= 0 && Waits >= Program.windowAfterWaits;
    if (after != (PlatformWindow)&FinishedWindow && shown && std::string(windowClass) == "tty" &&
        Program.windowTitle == title)
        return (PlatformWindow)&FinishedWindow;
    return nullptr;
}

unsigned long PlatformWindowProcess(PlatformWindow window)
{
    return window == (PlatformWindow)&FinishedWindow ? OurProcess : 0x99;
}

void PlatformCloseWindow(PlatformWindow window)
{
    if (window == (PlatformWindow)&FinishedWindow)
        Program.windowAfterWaits = -1;  // gone
    Program.calls.push_back(window == (PlatformWindow)&FinishedWindow ? "close " + Program.windowTitle
                                                                        : std::string("close <other>"));
}
