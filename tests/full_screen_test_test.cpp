// The full-screen test's launcher against a scripted test.exe: the words and
// the command line it builds, the order of its steps, and how each way the
// test can end (or fail to start) comes out.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "core/selection.h"
#include "fullscreen/full_screen_test.h"
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
    // window (two for the title of another program's window, the second
    // looking past it), and the wait on the process unless the pass is the
    // last.
    static void AddPass(Calls* calls, bool waits = true, const string& foreign = "")
    {
        for (const char* title : {"Finished - TEST", "Finished - test", "Finished - Test"}) {
            calls->push_back(string("find tty|") + title);
            if (foreign == title)
                calls->push_back(string("find tty|") + title);
        }
        if (waits)
            calls->push_back("wait " + std::to_string(TestWaitSliceMs));
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
};

TEST_F(FullScreenTest, OnlyOurFinishedWindowIsClosedAndTheWaitLastsUntilTheProcessEnds)
{
    // Another program's window of the class and a title looked for (a
    // finished batch file's) stands in front of ours, or there is none.
    for (const string foreign : {"", "Finished - TEST", "Finished - test"}) {
        SCOPED_TRACE(foreign);
        HostResetTestProgram();
        Program().starts = true;
        Program().foreignTitle = foreign;
        Program().windowAfterWaits = 2;
        Program().windowTitle = "Finished - test";  // found by the second look of a pass
        Program().endsAfterWaits = 3;
        KeysSeen = KeyPresses();
        EXPECT_FALSE(DropsKey(&KeysSeen, KeyDownMessage, 13, 1));  // Enter pressed here, then held

        EXPECT_EQ(RunFullScreenTest(Window()), 1);

        Calls expected = {"sound click.wav/1", start, "hold input", "sound testing.wav/9"};
        AddPass(&expected, true, foreign);
        AddPass(&expected, true, foreign);
        AddPass(&expected, true, foreign);
        expected.erase(expected.end() - 2);  // found by the look at "Finished - test": closed, no third look
        expected.insert(expected.end() - 1, "close Finished - test");
        AddPass(&expected, false, foreign);
        for (const char* call : {"release", "release input", "sound null/0"})
            expected.push_back(call);
        EXPECT_EQ(Program().calls, expected);
        EXPECT_EQ(Program().released, 1);
        ExpectNothingElseChanged();
        // Its auto-repeat after the test is a key held from the test: dropped.
        EXPECT_TRUE(DropsKey(&KeysSeen, KeyDownMessage, 13, 1 | KeyWasDown));
    }
}

TEST_F(FullScreenTest, TheEndOfTheProcessEndsTheWaitAfterOneLastLook)
{
    Program().starts = true;
    Program().endsAfterWaits = 3;  // no finished window ever: Wine, NT, close on exit

    EXPECT_EQ(RunFullScreenTest(Window()), 1);

    Calls expected = {"sound click.wav/1", start, "hold input", "sound testing.wav/9"};
    for (int pass = 0; pass < 3; ++pass)
        AddPass(&expected);
    AddPass(&expected, false);
    for (const char* call : {"release", "release input", "sound null/0"})
        expected.push_back(call);
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
    ASSERT_GE(Program().calls.size(), 4u);
    EXPECT_EQ(Calls(Program().calls.end() - 4, Program().calls.end()),
              Calls({"close Finished - Test", "release", "release input", "sound null/0"}));
}

TEST_F(FullScreenTest, AFailedStartClicksAndTellsThePathAndTheCause)
{
    const std::pair<unsigned long, const char*> failures[] = {{2, "The file does not exist."},
                                                              {3, "The file does not exist."},
                                                              {5, "Access to it was denied."},
                                                              {193, "It is not a program this version of Windows can run."},
                                                              {1450, "Windows could not start it."}};
    for (const auto& failure : failures) {
        HostResetTestProgram();
        Dialog().messages.clear();
        Program().starts = false;  // test.exe missing, or not startable
        Program().startError = failure.first;
        EXPECT_EQ(RunFullScreenTest(Window()), 0);
        EXPECT_EQ(Program().calls, Calls({"sound click.wav/1", start}));
        EXPECT_EQ(Dialog().messages, std::vector<string>({string("Hueline|The full-screen test ") +
                                                          "C:\\Program Files\\Hueline\\test.exe could not be "
                                                          "started. " + failure.second}));
        EXPECT_EQ(Program().released, 0);
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
    EXPECT_TRUE(Dialog().messages.empty());
    ExpectNothingElseChanged();
}

TEST_F(FullScreenTest, WithSoundsOffNoSoundCallIsMade)
{
    SoundsEnabled = 0;
    Program().starts = true;
    Program().endsAfterWaits = 1;
    EXPECT_EQ(RunFullScreenTest(Window()), 1);
    Calls expected = {start, "hold input"};
    AddPass(&expected);
    AddPass(&expected, false);
    expected.push_back("release");
    expected.push_back("release input");
    EXPECT_EQ(Program().calls, expected);
    EXPECT_TRUE(Dialog().sounds.empty());
    SoundsEnabled = 1;
}

TEST_F(FullScreenTest, EachPassWaitsAFewTensOfMilliseconds)
{
    EXPECT_GE(TestWaitSliceMs, 10u);
    EXPECT_LE(TestWaitSliceMs, 50u);
}

// What a window takes of the keys and buttons: one row per run of messages,
// each sorted in turn (P pressed, R repeated, U released, S stray, - not a
// key), and whether Hueline drops each.
TEST(HeldInput, OnlyPressesSeenToBeginCount)
{
    const uintptr_t Repeat = 1 | KeyWasDown;
    const unsigned Up = KeyUpMessage, Down = KeyDownMessage, SysDown = SysKeyDownMessage, SysUp = SysKeyUpMessage;
    struct Row {
        const char* what;
        std::vector<std::array<uintptr_t, 3>> messages;  // message, wParam, lParam
        string events, dropped;
    } rows[] = {
        {"Enter pressed, held, let go", {{Down, 13, 1}, {Down, 13, Repeat}, {Down, 13, Repeat}, {Up, 13, 0}}, "PRRU",
         "...."},
        {"Enter held from elsewhere", {{Down, 13, Repeat}, {Down, 13, Repeat}, {Up, 13, 0}, {Down, 13, 1}}, "SSSP",
         "xx.."},
        {"Alt and F4, as system keys", {{SysDown, 18, Repeat}, {SysDown, 115, 1}, {SysUp, 115, 0}, {SysUp, 18, 0}},
         "SPUS", "x..."},
        {"one key let go, another still held", {{Down, 65, 1}, {Down, 13, 1}, {Up, 65, 0}, {Down, 13, Repeat}},
         "PPUR", "...."},
        {"the left, right and middle buttons", {{0x201, 1, 0}, {0x202, 0, 0}, {0x205, 0, 0}, {0x206, 2, 0},
         {0x205, 0, 0}, {0x207, 0, 0}, {0x209, 0, 0}, {0x208, 0, 0}, {0x208, 0, 0}}, "PUSPUPPUS", "........."},
        {"a code above 255 is its low byte", {{Down, 0x10D, 1}, {Down, 13, Repeat}}, "PR", ".."},
        {"neither keys nor buttons", {{0x200, 0, 0}, {0x102, 13, Repeat}, {0x20A, 0, 0}, {0x0F, 0, 0}}, "----",
         "...."},
    };
    for (const Row& row : rows) {
        KeyPresses sorted = {}, dropped = {};
        string events, drops;
        for (const auto& m : row.messages) {
            events += "-PRUS"[SortKey(&sorted, (unsigned)m[0], m[1], m[2])];
            drops += DropsKey(&dropped, (unsigned)m[0], m[1], m[2]) ? 'x' : '.';
        }
        EXPECT_EQ(events, row.events) << row.what;
        EXPECT_EQ(drops, row.dropped) << row.what;
    }
    // Thrown away when the test ends: keys, characters, the mouse, the
    // frame's mouse, Close and the commands; kept: painting, timers, the
    // end of the program, and messages of the program's own.
    for (unsigned message : {0x10u, 0x100u, 0x102u, 0x104u, 0x108u, 0x111u, 0x112u, 0x200u, 0x201u, 0x20Au, 0xA1u,
                             0xA9u})
        EXPECT_TRUE(DroppedAtTheEndOfTheTest(message)) << message;
    for (unsigned message : {0x0Fu, 0x11u, 0x12u, 0x9Fu, 0xAAu, 0xFFu, 0x109u, 0x110u, 0x113u, 0x1FFu, 0x20Eu,
                             0x400u})
        EXPECT_FALSE(DroppedAtTheEndOfTheTest(message)) << message;
}
