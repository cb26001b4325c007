// The process entry of test.exe, a console program with no C runtime.
#include <windows.h>

#include "test_exe/screen_window.h"
#include "test_exe/test_arguments.h"

extern "C" void WINAPI TestStart()
{
    unsigned char back = 0;
    unsigned char text = 0;
    if (!ParseTestArguments(GetCommandLineA(), &back, &text)) {
        DWORD length = 0;
        while (TestUsage[length] != '\0')
            ++length;
        DWORD written = 0;
        WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), TestUsage, length, &written, nullptr);
        ExitProcess(2);
    }
    ExitProcess((UINT)ShowTestScreen(back, text));
}
