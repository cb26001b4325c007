// Host stand-in of starting test.exe: a scripted program whose end and
// finished window come after a given number of waits, on a clock the waits
// move on.
#include "tests/host/host_control.h"
#include "platform/platform.h"

namespace {

HostTestProgram Program;
int Waits = 0;
int Process, Thread;  // their addresses are the handles
int FinishedWindow;
int ForeignWindow;  // another program's, of the same class and title
// Our process and its thread; the other program's window was made by a
// thread whose number is our process's.
const unsigned long OurProcess = 0x1234, OurThread = 0x5678, OtherProcess = 0x99;

}  // namespace

HostTestProgram& HostResetTestProgram()
{
    Program = HostTestProgram();
    Program.starts = false;
    Program.endsAfterWaits = -1;
    Program.windowAfterWaits = -1;
    Program.wakeAfterMs = 0;
    Program.clock = 0xFFFFFF00;  // wraps around during the test
    Program.foreground = HostWindow();
    Program.frontRefused = false;
    Waits = 0;
    return Program;
}

HostTestProgram& HostTestProgramState()
{
    return Program;
}

int PlatformStartProgram(const char* program, char* commandLine, PlatformStarted* started, unsigned long* error)
{
    Program.calls.push_back(std::string("start ") + program + "|" + commandLine);
    Waits = 0;
    if (!Program.starts) {
        *error = Program.startError;
        return 0;
    }
    *started = {(PlatformHandle)&Process, (PlatformHandle)&Thread, OurProcess, OurThread};
    return 1;
}

bool PlatformWaitForProcess(PlatformHandle process, unsigned ms)
{
    Program.calls.push_back("wait " + std::to_string(ms));
    if (process != (PlatformHandle)&Process)
        return true;
    ++Waits;
    Program.clock += Program.wakeAfterMs != 0 && Program.wakeAfterMs < ms ? Program.wakeAfterMs : ms;
    if (Program.duringWait)
        Program.duringWait(Waits);
    return Program.endsAfterWaits >= 0 && Waits >= Program.endsAfterWaits;
}

void PlatformCloseHandle(PlatformHandle handle)
{
    Program.calls.push_back(handle == (PlatformHandle)&Process  ? "close process"
                            : handle == (PlatformHandle)&Thread ? "close thread"
                                                                : "close <unknown>");
}

unsigned long PlatformTickCount()
{
    return Program.clock;
}

PlatformWindow PlatformNextWindow(const char* windowClass, const char* title, PlatformWindow after)
{
    Program.calls.push_back(std::string("find ") + windowClass + "|" + title);
    if (after == nullptr && std::string(title) == "Finished - TEST")
        Program.looks.push_back(Program.clock);
    if (after == nullptr && Program.foreignTitle == title)  // front to back: the other program's, then ours
        return (PlatformWindow)&ForeignWindow;
    bool shown = Program.windowAfterWaits >= 0 && Waits >= Program.windowAfterWaits;
    if (after != (PlatformWindow)&FinishedWindow && shown && std::string(windowClass) == "tty" &&
        Program.windowTitle == title)
        return (PlatformWindow)&FinishedWindow;
    return nullptr;
}

unsigned long PlatformWindowThreadProcess(PlatformWindow window, unsigned long* process)
{
    bool ours = window == (PlatformWindow)&FinishedWindow;
    *process = ours ? OurProcess : OtherProcess;
    return ours ? OurThread : OurProcess;
}

void PlatformCloseWindow(PlatformWindow window)
{
    if (window == (PlatformWindow)&FinishedWindow)
        Program.windowAfterWaits = -1;  // gone
    Program.calls.push_back(window == (PlatformWindow)&FinishedWindow ? "close " + Program.windowTitle
                                                                        : std::string("close <other>"));
}
