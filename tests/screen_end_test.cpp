// test.exe's window against the stand-in: which messages end the test, and
// what its end tells the window behind, on each way the test goes.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "test_exe/screen_end.h"
#include "tests/host/host_control.h"

TEST(TestScreen, EndsAtAReleaseOrWhenAnotherProgramTakesTheFront)
{
    const unsigned D = KeyDownMessage, U = KeyUpMessage, A = ActivateAppMessage, C = CloseMessage;
    const struct {
        const char* keysDown;  // at the start
        bool frontRefused, nothingInFront;
        std::vector<std::array<uintptr_t, 2>> messages;  // message, wParam
        const char* calls;  // after the screen came to the front, '|' between
    } rows[] = {
        {"", false, false, {{D, 32}, {D, 32}, {U, 32}, {U, 32}, {A, 0}}, "tell main|front main|destroy screen"},
        {"\x0D", false, false, {{D, 13}, {U, 13}}, ""},  // held from before: its messages end nothing
        {"", false, false, {{0x201, 1}, {0x202, 0}}, "tell main|front main|destroy screen"},
        {"", false, false, {{D, 32}, {A, 1}, {0x20A, 0}}, ""},  // held down, the wheel: on it goes
        {"", false, false, {{A, 0}, {D, 32}, {C, 0}, {U, 32}, {C, 0}}, "post close screen|tell main|destroy screen"},
        {"", true, false, {{D, 32}, {U, 32}}, "tell main|destroy screen"},  // it never had the keyboard
        {"", false, true, {{D, 32}, {U, 32}}, "destroy screen"},
    };
    for (const auto& row : rows) {
        HostResetTestProgram().keysDown = row.keysDown;
        HostTestProgramState().foreground = row.nothingInFront ? nullptr : HostWindow();
        BeginTestScreen();
        HostTestProgramState().frontRefused = row.frontRefused;
        TestScreenShown(HostScreenWindow());
        std::string calls, handled;
        for (const auto& m : row.messages)
            handled += TestScreenMessage(HostScreenWindow(), (unsigned)m[0], m[1], 0) ? 'y' : 'n';
        for (size_t k = 1; k < HostTestProgramState().calls.size(); ++k)
            calls += (calls.empty() ? "" : "|") + HostTestProgramState().calls[k];
        EXPECT_EQ(HostTestProgramState().calls.at(0), "front screen");
        EXPECT_EQ(calls, row.calls) << row.messages.size();
        for (size_t k = 0; k < row.messages.size(); ++k)  // the keys and buttons, the close: no default handling
            EXPECT_EQ(handled[k] == 'y', row.messages[k][0] != A && row.messages[k][0] != 0x20A) << k;
    }
}
