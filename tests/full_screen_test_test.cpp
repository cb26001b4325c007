// The full-screen test's launcher against a scripted test.exe: the words and
// the command line it builds, the order of its steps, and how each way the
// test can end (or fail to start) comes out.
#include <gtest/gtest.h>

#include <array>
#include <regex>
#include <string>
#include <vector>

#include "core/selection.h"
#include "fullscreen/full_screen_test.h"
#include "shell/main_dialog.h"
#include "shell/program_directory.h"
#include "shell/sound_cues.h"
#include "tests/support/dialog_fixture.h"

using std::string;
using Calls = std::vector<string>;

static string Word(const string& name)
{
    char word[TestWordSize];
    return MakeTestWord(name.c_str(), word) ? string(word) : "<does not fit>";
}

TEST(TestWords, SpacesBecomeUnderscores)
{
    EXPECT_EQ(Word("Dark Gray"), "Dark_Gray");
    EXPECT_EQ(Word("Dark Cyan"), "Dark_Cyan");
    EXPECT_EQ(Word("White"), "White");
    EXPECT_EQ(Word(" a b "), "_a_b_");
    EXPECT_EQ(Word(string(39, 'x')), string(39, 'x'));
    EXPECT_EQ(Word(string(40, 'x')), "<does not fit>");
}

struct Command {
    bool built;
    string program, line;
};

static Command Build(const string& directory, const char* back = "Dark_Blue", const char* text = "Yellow")
{
    char program[TextBufferSize] = "untouched";
    char line[TextBufferSize] = "untouched";
    bool built = BuildTestCommand(directory.c_str(), back, text, program, line);
    return {built, program, line};
}

TEST(TestCommand, FullPathQuotedThenTheTwoWords)
{
    Command c = Build("C:\\TOOLS\\");
    EXPECT_TRUE(c.built);
    EXPECT_EQ(c.program, "C:\\TOOLS\\test.exe");
    EXPECT_EQ(c.line, "\"C:\\TOOLS\\test.exe\" Dark_Blue Yellow");

    c = Build("C:\\Program Files\\Hueline\\", "Dark_Gray", "Dark_Cyan");
    EXPECT_EQ(c.program, "C:\\Program Files\\Hueline\\test.exe");
    EXPECT_EQ(c.line, "\"C:\\Program Files\\Hueline\\test.exe\" Dark_Gray Dark_Cyan");
}

TEST(TestCommand, ALineThatWouldNotFitIsNotBuilt)
{
    // Quotes, "test.exe", a space, "Dark_Blue", a space, "Yellow": 28 bytes
    // beside the directory; the line and its NUL fill the buffer exactly.
    const unsigned around = 2 + 8 + 1 + 9 + 1 + 6;
    string fits = "C:\\" + string(TextBufferSize - 1 - around - 4, 'd') + "\\";
    Command c = Build(fits);
    EXPECT_TRUE(c.built);
    EXPECT_EQ(c.line.size(), TextBufferSize - 1);

    c = Build(fits.substr(0, 3) + "d" + fits.substr(3));
    EXPECT_FALSE(c.built);
    EXPECT_EQ(c.program, "");
    EXPECT_EQ(c.line, "");
}

class FullScreenTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        StartWith("[386Enh]\r\nMessageBackColor=4\r\nMessageTextColor=E\r\n");
        MainDialogMessage(Window(), InitDialogMessage, 0);  // as the program starts
        Dialog().sounds.clear();
        SetDirectory("C:\\Program Files\\Hueline\\");
        // The user has clicked Dark Gray on Dark Cyan in the lists.
        Dialog().selection[0] = 8;
        Dialog().selection[1] = 3;
        HostResetTestProgram();
    }
    void TearDown() override
    {
        SetDirectory("");
        DialogTest::TearDown();
    }
    void SetDirectory(const string& directory)
    {
        ASSERT_LT(directory.size(), TextBufferSize);
        directory.copy(ProgramDirectory, directory.size());
        ProgramDirectory[directory.size()] = '\0';
    }
    HostTestProgram& Program() { return HostTestProgramState(); }
    // The calls of one pass of the wait: the three looks for the finished
    // window (a second look past another program's window of that title),
    // and the wait on the process unless the pass is the last.
    static void AddPass(Calls* calls, bool waits = true, const string& foreign = "")
    {
        for (const string title : {"Finished - TEST", "Finished - test", "Finished - Test"})
            calls->insert(calls->end(), foreign == title ? 2 : 1, "find tty|" + title);
        if (waits)
            calls->push_back("wait " + std::to_string(FinishedWindowLookMs));
    }
    void ExpectNothingElseChanged()
    {
        EXPECT_STREQ(ColorSelection.SelectedBack, "Dark Gray");  // the sync of the lists
        EXPECT_STREQ(ColorSelection.SelectedText, "Dark Cyan");
        EXPECT_STREQ(ColorSelection.InstalledBack, "Dark Red");
        EXPECT_STREQ(ColorSelection.InstalledText, "Yellow");
        EXPECT_EQ(Old(), "<missing>");
        EXPECT_TRUE(Dialog().questions.empty());
        EXPECT_TRUE(Dialog().ended.empty());
    }

    const string start = "start C:\\Program Files\\Hueline\\test.exe|"
                         "\"C:\\Program Files\\Hueline\\test.exe\" Dark_Gray Dark_Cyan";
    const Calls head = {"sound click.wav/1", start, "close thread", "enable main no", "sound testing.wav/9"};
    const Calls tail = {"close process", "enable main yes", "front main", "sound null/0"};
};

TEST_F(FullScreenTest, OnlyOurFinishedWindowIsClosedAndTheWaitLastsUntilTheProcessEnds)
{
    // Another program's window of the class and a title looked for stands
    // in front of ours, or there is none.
    for (const string foreign : {"", "Finished - TEST", "Finished - test"}) {
        HostResetTestProgram();
        Program().starts = true;
        Program().endsAfterWaits = 3;
        Program().windowAfterWaits = 2;
        Program().windowTitle = "Finished - test";  // ours found by the second look of a pass
        Program().foreignTitle = foreign;
        Program().keysDown = "\x0D";
        EXPECT_FALSE(DropsKey(&KeysSeen, KeyDownMessage, 65, 1));  // A pressed here, then held

        EXPECT_EQ(RunFullScreenTest(Window()), 1);

        Calls expected = head;
        for (int pass = 0; pass < 3; ++pass)
            AddPass(&expected, true, foreign);
        expected.erase(expected.end() - 2);  // no third look after ours is found and closed
        expected.insert(expected.end() - 1, "close Finished - test");
        AddPass(&expected, false, foreign);
        expected.insert(expected.end(), tail.begin(), tail.end());
        EXPECT_EQ(Program().calls, expected) << foreign;
        ExpectNothingElseChanged();
        // After the test: A's repeat; Enter, held since the test, with or without the bit, until let go.
        string drops;
        for (auto m : std::vector<std::array<uintptr_t, 3>>{{KeyDownMessage, 65, KeyWasDown}, {KeyDownMessage, 13, 1},
                                                             {KeyUpMessage, 13, 0}, {KeyDownMessage, 13, 1}})
            drops += DropsKey(&KeysSeen, (unsigned)m[0], m[1], m[2]) ? 'x' : '.';
        EXPECT_EQ(drops, "xx..");
    }
}

TEST_F(FullScreenTest, TheEndOfTheProcessEndsTheWaitAfterOneLastLook)
{
    Program().starts = true;
    Program().endsAfterWaits = 3;  // no finished window ever: Wine, NT, close on exit

    EXPECT_EQ(RunFullScreenTest(Window()), 1);

    Calls expected = head;
    for (int pass = 0; pass < 3; ++pass)
        AddPass(&expected);
    AddPass(&expected, false);
    expected.insert(expected.end(), tail.begin(), tail.end());
    EXPECT_EQ(Program().calls, expected);
    ExpectNothingElseChanged();

    // A window left by a finished program once the process has ended is
    // still closed.
    HostResetTestProgram();
    Program().starts = true;
    Program().endsAfterWaits = 1;
    Program().windowAfterWaits = 1;
    Program().windowTitle = "Finished - Test";
    EXPECT_EQ(RunFullScreenTest(Window()), 1);
    ASSERT_GE(Program().calls.size(), 5u);
    EXPECT_EQ(Calls(Program().calls.end() - 5, Program().calls.end()),
              Calls({"close Finished - Test", "close process", "enable main yes", "front main", "sound null/0"}));
}

TEST_F(FullScreenTest, AFailedStartClicksAndTellsThePathAndTheCause)
{
    for (const auto& failure : {std::make_pair(3ul, "The file does not exist."),  // test.exe missing
                                std::make_pair(1450ul, "Windows gave error 0x5AA.")}) {
        Dialog().failures.clear();
        HostResetTestProgram().startError = failure.first;
        EXPECT_EQ(RunFullScreenTest(Window()), 0);
        EXPECT_EQ(Program().calls, Calls({"sound click.wav/1", start}));
        EXPECT_EQ(Dialog().failures, std::vector<string>({"Hueline|The full-screen test C:\\Program Files\\"
                                                          "Hueline\\test.exe could not be started. " +
                                                          string(failure.second)}));
        ExpectNothingElseChanged();
    }
}

TEST_F(FullScreenTest, ACommandLineThatWouldNotFitIsAFailedStart)
{
    Program().starts = true;
    Program().endsAfterWaits = 1;
    // The path of test.exe would fit; the command line would not.
    SetDirectory("C:\\" + string(TextBufferSize - 25, 'd') + "\\");
    EXPECT_EQ(RunFullScreenTest(Window()), 0);
    EXPECT_EQ(Program().calls, Calls({"sound click.wav/1"}));
    EXPECT_TRUE(Dialog().failures.empty());
    ExpectNothingElseChanged();
}

TEST_F(FullScreenTest, WithSoundsOffNoSoundCallIsMade)
{
    SoundsEnabled = 0;
    Program().starts = true;
    Program().endsAfterWaits = 1;
    EXPECT_EQ(RunFullScreenTest(Window()), 1);
    Calls expected = {start, "close thread", "enable main no"};
    AddPass(&expected);
    AddPass(&expected, false);
    expected.insert(expected.end(), tail.begin(), tail.end() - 1);
    EXPECT_EQ(Program().calls, expected);
    EXPECT_TRUE(Dialog().sounds.empty());
    SoundsEnabled = 1;
}

TEST_F(FullScreenTest, TheFinishedWindowIsLookedForAtMostEveryQuarterSecond)
{
    for (unsigned wake : {0u, 40u, 1u}) {  // waits that run their full time, that messages cut short
        HostResetTestProgram().starts = true;
        Program().endsAfterWaits = 600;
        Program().wakeAfterMs = wake;
        RunFullScreenTest(Window());
        const std::vector<unsigned long>& looks = Program().looks;  // at the start, on the way, after the end
        ASSERT_GE(looks.size(), 4u) << wake;
        for (size_t k = 1; k + 1 < looks.size(); ++k)
            EXPECT_EQ(looks[k] - looks[k - 1], FinishedWindowLookMs) << wake << " " << k;
    }
}

// How the test ends (test.exe says so during a wait, or not), when other
// programs send commands (a click sent to Apply comes as its WM_COMMAND) and a
// Close, and what is queued at the end. On every row no command runs, the
// window is held until test.exe says it ends or has ended, every queued key,
// click, Close and command is dropped and nothing else, and the window takes
// the foreground itself only when test.exe ended unannounced. After the test
// the same messages act, and the keys held are read again at each activation.
TEST_F(FullScreenTest, NoCommandRunsAndTheWindowComesBackAsTheTestEnds)
{
    const unsigned sent[][2] = {{CommandMessage, 1008}, {CommandMessage, 40013}, {CommandMessage, 1007},
                                {CloseMessage, 0}, {CommandMessage, 40002}};
    const struct {
        int announcedAt, endsAt, sendsAt;  // waits (1-based, 0 never); sends -1: as the queue is emptied
        const char* seen;
    } rows[] = {
        {2, 3, 1, "enable main no|wait|wait|enable main yes|wait|drops|enable main yes"},
        {0, 3, 2, "enable main no|wait|wait|wait|drops|enable main yes|front main"},  // ended from outside
        {1, 4, 3, "enable main no|wait|enable main yes|wait|wait|wait|drops|enable main yes"},
        {1, 2, -1, "enable main no|wait|enable main yes|wait|drops|enable main yes"},
    };
    auto send = [&] {
        for (const auto& message : sent)
            MainDialogMessage(Window(), message[0], message[1]);
    };
    for (const auto& row : rows) {
        HostResetTestProgram().starts = true;
        Dialog().sounds.clear();
        Program().endsAfterWaits = row.endsAt;
        Program().queue = {0x10, 0x100, 0x113, 0x111, 0x10, 0x201, 0x400};
        Program().duringWait = [&](int wait) {
            if (wait == row.sendsAt)
                send();
            if (wait == row.announcedAt)
                MainDialogMessage(Window(), PlatformTestEndingMessage(), 0);
        };
        if (row.sendsAt < 0)
            Program().duringDrop = send;
        Program().keysDown = "\x0D";
        EXPECT_EQ(RunFullScreenTest(Window()), 1);
        string seen;
        for (const string& call : Program().calls) {
            string kind = call.substr(0, call.find(' '));
            if (kind == "wait" || kind == "enable" || kind == "front" || kind == "drop")
                seen += (seen.empty() ? "" : "|") + (kind == "wait" ? kind : call);
        }
        EXPECT_EQ(seen, std::regex_replace(row.seen, std::regex("drops"),
                                           "drop 0x10|drop 0x10|drop 0x100|drop 0x111|drop 0x201"));
        EXPECT_EQ(Program().queue, std::vector<unsigned>({0x113, 0x400}));  // a timer, a program's own message
        EXPECT_EQ(Sounds(), "click.wav/1 testing.wav/9 null/0");
        EXPECT_TRUE(HostShellState().addresses.empty());
        ExpectNothingElseChanged();
    }
    // Enter, held as the test ended, let go while another program was in
    // front: its next press here counts once Hueline is activated again.
    string drops;
    for (uintptr_t activated : {0, 1}) {
        Program().keysDown = "";
        MainDialogMessage(Window(), ActivateAppMessage, activated);
        drops += DropsKey(&KeysSeen, KeyDownMessage, 13, 1) ? 'x' : '.';
    }
    EXPECT_EQ(drops, "x.");
    MainDialogMessage(Window(), CommandMessage, 1007);
    MainDialogMessage(Window(), CloseMessage, 0);
    EXPECT_EQ(Sounds(), "click.wav/1 testing.wav/9 null/0 restore.wav/1 click.wav/0");
    EXPECT_EQ(Dialog().ended, std::vector<int>({0}));
}

// Keys and buttons, each message sorted in turn (P pressed, R repeated, U
// released, S stray, - neither), and whether Hueline drops it (x).
TEST(HeldInput, OnlyPressesSeenToBeginCount)
{
    const uintptr_t Rep = KeyWasDown;
    const unsigned D = KeyDownMessage, U = KeyUpMessage, SD = SysKeyDownMessage, SU = SysKeyUpMessage;
    const struct {
        std::vector<std::array<uintptr_t, 3>> messages;  // message, wParam, lParam
        string events, drops;
    } rows[] = {
        {{{D, 13, 0}, {D, 13, Rep}, {U, 13, 0}, {D, 13, Rep}, {U, 13, 0}, {D, 0x10D, 0}, {D, 13, Rep}}, "PRUSSPR",
         "...x..."},
        {{{SD, 18, Rep}, {SD, 115, 0}, {SU, 115, 0}, {SU, 18, 0}, {D, 65, 0}, {D, 13, 0}, {U, 65, 0}, {D, 13, Rep}},
         "SPUSPPUR", "x......."},
        {{{0x201, 1, 0}, {0x202, 0, 0}, {0x205, 0, 0}, {0x206, 2, 0}, {0x205, 0, 0}, {0x207, 0, 0}, {0x209, 0, 0},
          {0x208, 0, 0}, {0x208, 0, 0}, {0x200, 0, 0}, {0x102, 13, Rep}, {0x20A, 0, 0}},
         "PUSPUPPUS---", "............"},
    };
    for (const auto& row : rows) {
        KeyPresses sorted = {}, dropped = {};
        string events, drops;
        for (const auto& m : row.messages) {
            events += "-PRUS"[SortKey(&sorted, (unsigned)m[0], m[1], m[2])];
            drops += DropsKey(&dropped, (unsigned)m[0], m[1], m[2]) ? 'x' : '.';
        }
        EXPECT_EQ(events + " " + drops, row.events + " " + row.drops);
    }
    // What the end of the test throws away: Close, the frame's mouse, keys,
    // the commands, the mouse; around each range what it keeps.
    for (auto edge : std::vector<std::array<unsigned, 2>>{{0x10, 0x0F}, {0x10, 0x11}, {0xA0, 0x9F}, {0xA9, 0xAA},
                                                          {0x100, 0xFF}, {0x108, 0x109}, {0x111, 0x110}, {0x112, 0x113},
                                                          {0x200, 0x1FF}, {0x20D, 0x20E}})
        EXPECT_TRUE(DroppedAtTheEndOfTheTest(edge[0]) && !DroppedAtTheEndOfTheTest(edge[1])) << edge[0];
}

// The filter sorts every message a loop takes, whatever flags the loop's
// PeekMessage has beside PM_REMOVE (PM_NOYIELD 2, PM_QS_INPUT), and none only
// looked at: here the release of Enter, held from before, after which its
// next press counts.
TEST(HeldInput, TheFilterSortsEveryMessageTakenAndNoneOnlyLookedAt)
{
    const std::array<uintptr_t, 3> rows[] = {{0, 1, 1}, {0, 3, 1}, {0, 0x04070001, 1}, {0, 0, 0}, {0, 2, 0}, {3, 1, 0}};
    for (const auto& row : rows) {  // code, flags, sorted
        KeyPresses presses = {};
        NoteHeldKey(&presses, 13);
        EXPECT_FALSE(FilterDrops(&presses, (int)row[0], row[1], KeyUpMessage, 13, 0));
        EXPECT_EQ(FilterDrops(&presses, 0, 1, KeyDownMessage, 13, 0), row[2] == 0) << row[1];
    }
}
