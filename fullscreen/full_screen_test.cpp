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

// The finished console window ("tty", "Finished - ...") that some systems
// leave behind for the test.exe started as process, by the titles it may
// carry; null when there is none. A window of that class and title made by
// another program (a finished batch file's) is never ours to close.
static PlatformWindow FindFinishedWindow(unsigned long process)
{
    static const char* const titles[] = {"Finished - TEST", "Finished - test", "Finished - Test"};
    for (const char* title : titles) {
        PlatformWindow window = nullptr;
        while ((window = PlatformNextWindow("tty", title, window)) != nullptr) {
            if (PlatformWindowProcess(window) == process)
                return window;
        }
    }
    return nullptr;
}

KeyPresses KeysSeen;

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

    unsigned long id = 0;
    unsigned long error = 0;
    PlatformProcess process = PlatformStartProgram(TestProgram, TestCommandLine, &id, &error);
    if (process == PlatformNoProcess) {
        FormatArg told[] = {{TestProgram}, {CauseOfFailedStart(error)}};
        if (FormatText(TestMessage, TextBufferSize, "The full-screen test %s could not be started. %s", told, 2) >= 0)
            PlatformShowFailure(dialog, "Hueline", TestMessage);
        return 0;
    }
    // The window takes no input until the test has ended, as under a modal
    // box, so that nothing clicked meanwhile runs; it still repaints and
    // answers the messages other programs send it.
    PlatformHoldInput(dialog);
    PlayCue("testing.wav", CueLoop);

    // The test has ended when test.exe's process has ended, however it ended
    // (the user's key, the system's Close Program box, a crash). Each pass
    // sleeps on the process, so the wait costs no processor time. A finished
    // console window of that process, which some systems leave behind, is
    // closed as soon as it shows, and once more after the end.
    bool ended = false;
    for (;;) {
        PlatformWindow finished = FindFinishedWindow(id);
        if (finished != nullptr)
            PlatformCloseWindow(finished);
        if (ended)
            break;
        ended = PlatformWaitForProcess(process, TestWaitSliceMs);
    }
    PlatformReleaseProcess(process);
    PlatformReleaseInput(dialog);
    // A key held down from the test repeats into the window until it is let
    // go; none of it counts as a press made here.
    KeysSeen = KeyPresses();
    for (unsigned key = 1; key < 256; ++key) {
        if (PlatformKeyIsDown(key))
            NoteHeldKey(&KeysSeen, key);
    }

    if (SoundsEnabled)
        PlayCue(nullptr, CueStop);
    return 1;
}
