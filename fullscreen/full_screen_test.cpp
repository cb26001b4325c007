#include "fullscreen/full_screen_test.h"

#include "core/selection.h"
#include "core/selection_actions.h"
#include "shell/program_directory.h"
#include "shell/sound_cues.h"

bool MakeTestWord(const char* name, char* word)
{
    unsigned i = 0;
    for (; name[i] != '\0'; ++i) {
        if (i + 1 >= TestWordSize) {
            word[0] = '\0';
            return false;
        }
        word[i] = name[i] == ' ' ? '_' : name[i];
    }
    word[i] = '\0';
    return true;
}

bool BuildTestCommand(const char* directory, const char* back, const char* text, char* program,
                      char* commandLine)
{
    FormatArg path[] = {{directory}};
    FormatArg line[] = {{directory}, {back}, {text}};
    // The path is quoted: most users keep programs in a folder with spaces.
    if (FormatText(program, TextBufferSize, "%stest.exe", path, 1) < 0 ||
        FormatText(commandLine, TextBufferSize, "\"%stest.exe\" %s %s", line, 3) < 0) {
        program[0] = '\0';
        commandLine[0] = '\0';
        return false;
    }
    return true;
}

// The finished console window ("tty", "Finished - ...") of the test.exe
// started as process, by the titles it may carry; null when there is none. A
// window of that class and title made by another program (a finished batch
// file's) is never ours to close. It can match only a window that test.exe's
// own process made, as a test.exe put in our test.exe's place that shows its
// own "Finished - TEST" window would: the system's finished console windows
// never match, since test.exe is started detached, with no console at all,
// and on Windows 9x a console window belongs to the console's host process,
// not to the program that runs in it.
static PlatformWindow FindFinishedWindow(unsigned long process)
{
    static const char* const titles[] = {"Finished - TEST", "Finished - test", "Finished - Test"};
    for (const char* title : titles) {
        PlatformWindow window = nullptr;
        while ((window = PlatformNextWindow("tty", title, window)) != nullptr) {
            unsigned long maker = 0;
            PlatformWindowThreadProcess(window, &maker);
            if (maker == process)
                return window;
        }
    }
    return nullptr;
}

static void CloseFinishedWindow(unsigned long process)
{
    PlatformWindow finished = FindFinishedWindow(process);
    if (finished != nullptr)
        PlatformCloseWindow(finished);
}

KeyPresses KeysSeen;
bool TestRunning;
static bool TestEndAnnounced;

const char* CauseOfFailedStart(unsigned long code)
{
    switch (code) {
    case 2:
    case 3:
        return "The file does not exist.";
    case 5:
        return "Access to it was denied.";
    case 0:
    case 8:
        return "There is not enough memory.";
    case 11:
    case 193:
        return "It is not a program this version of Windows can run.";
    case 31:
        return "No program is set up to open it.";
    }
    static char other[40];
    FormatArg number[1];
    number[0].number = code;
    return FormatText(other, sizeof other, "Windows gave error 0x%X.", number, 1) >= 0 ? other
                                                                                     : "Windows could not start it.";
}

// Process-wide, as every large buffer of the program.
static char TestProgram[TextBufferSize];
static char TestCommandLine[TextBufferSize];
static char TestMessage[TextBufferSize];

int RunFullScreenTest(PlatformWindow dialog)
{
    PlayCue("click.wav", CueAsync);
    SyncSelectionFromLists(dialog);

    char back[TestWordSize];
    char text[TestWordSize];
    // A command line that would not fit is not started: a failed launch.
    if (!MakeTestWord(ColorSelection.SelectedBack, back) || !MakeTestWord(ColorSelection.SelectedText, text) ||
        !BuildTestCommand(ProgramDirectory, back, text, TestProgram, TestCommandLine))
        return 0;

    PlatformStarted started;
    unsigned long error = 0;
    if (PlatformStartProgram(TestProgram, TestCommandLine, &started, &error) == 0) {
        FormatArg told[] = {{TestProgram}, {CauseOfFailedStart(error)}};
        if (FormatText(TestMessage, TextBufferSize, "The full-screen test %s could not be started. %s", told, 2) >= 0)
            PlatformShowFailure(dialog, "Hueline", TestMessage);
        return 0;
    }
    PlatformCloseHandle(started.thread);  // only the process is waited on
    unsigned long testProcess = started.processId;
    // The window takes no input until the test has ended, as under a modal
    // box, and runs no command whatever sends it one, so that nothing clicked
    // meanwhile runs; it still repaints and answers the messages other
    // programs send it.
    TestRunning = true;
    TestEndAnnounced = false;
    PlatformEnableWindow(dialog, false);
    PlayCue("testing.wav", CueLoop);

    // The test has ended when test.exe's process has ended, however it ended
    // (the user's key, the system's Close Program box, a crash). The wait
    // sleeps on the process, so it costs no processor time, and wakes for the
    // messages sent to the window; the finished window is looked for at the
    // start, then whenever FinishedWindowLookMs have gone by, and once more
    // after the end.
    CloseFinishedWindow(testProcess);
    unsigned long looked = PlatformTickCount();
    for (;;) {
        unsigned long since = PlatformTickCount() - looked;
        if (since >= FinishedWindowLookMs) {
            CloseFinishedWindow(testProcess);
            looked += since;
            since = 0;
        }
        if (PlatformWaitForProcess(started.process, (unsigned)(FinishedWindowLookMs - since)))
            break;
    }
    CloseFinishedWindow(testProcess);
    PlatformCloseHandle(started.process);

    // What the user gave the held window still waits in the queue: all of it
    // is thrown away, as the held window dropped it, while the commands that
    // other programs send meanwhile still run none.
    for (const unsigned* range : DroppedAfterTest) {
        while (PlatformDropQueuedMessage(range[0], range[1]))
            continue;
    }
    ReadHeldKeys();
    TestRunning = false;
    PlatformEnableWindow(dialog, true);
    // test.exe hands the foreground back when the user ends the test, and
    // leaves it to a program that took it meanwhile; when it ended without
    // saying so, this brings the window back on Windows 95, and on 98 and
    // later at least flashes its taskbar button.
    if (!TestEndAnnounced)
        PlatformBringToFront(dialog);

    if (SoundsEnabled)
        PlayCue(nullptr, CueStop);
    return 1;
}

void AnnounceTestEnd(PlatformWindow dialog)
{
    TestEndAnnounced = true;
    PlatformEnableWindow(dialog, true);
}

void ReadHeldKeys()
{
    // A key held down from the test, or from another program, repeats into
    // the window until it is let go; none of it counts as a press made here.
    KeysSeen = KeyPresses();
    for (unsigned key = 1; key < 256; ++key) {
        if (PlatformKeyIsDown(key))
            NoteHeldKey(&KeysSeen, key);
    }
}
