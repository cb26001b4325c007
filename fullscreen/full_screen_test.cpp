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

// The console window that some systems leave behind for a finished console
// program, by the titles it may carry; null when there is none.
static PlatformWindow FindFinishedWindow()
{
    static const char* const titles[] = {"Finished - TEST", "Finished - test", "Finished - Test"};
    for (const char* title : titles) {
        PlatformWindow window = PlatformFindWindow("tty", title);
        if (window != nullptr)
            return window;
    }
    return nullptr;
}

// Process-wide, as every large buffer of the program.
static char TestProgram[TextBufferSize];
static char TestCommandLine[TextBufferSize];

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

    PlatformProcess process = PlatformStartProgram(TestProgram, TestCommandLine);
    if (process == PlatformNoProcess)
        return 0;
    // The window takes no input until the test has ended, as under a modal
    // box, so that nothing clicked meanwhile runs; it still repaints and
    // answers the messages other programs send it.
    PlatformHoldInput(dialog);
    PlayCue("testing.wav", CueLoop);

    // The test has ended when the finished console window shows up (then it
    // is closed) or when test.exe's process has ended, whichever comes first:
    // not every system leaves such a window, and the process may end in
    // other ways than the user's key (the system's Close Program box, a
    // crash). Each pass sleeps on the process, so the wait costs no
    // processor time, and a last look for the window follows the end of the
    // process.
    bool ended = false;
    for (;;) {
        PlatformWindow finished = FindFinishedWindow();
        if (finished != nullptr) {
            PlatformCloseWindow(finished);
            break;
        }
        if (ended)
            break;
        ended = PlatformWaitForProcess(process, TestWaitSliceMs);
    }
    PlatformReleaseProcess(process);
    PlatformReleaseInput(dialog);

    if (SoundsEnabled)
        PlayCue(nullptr, CueStop);
    return 1;
}
