// The full-screen test: test.exe, beside hueline.exe, shows the picked pair on
// the whole screen the way the system message screen will, until the user
// presses a key or clicks.
#pragma once

#include "core/text.h"
#include "fullscreen/held_input.h"
#include "platform/platform.h"

// An argument word of test.exe: a colour name with "_" for every space.
const unsigned TestWordSize = 40;

// Writes name as an argument word into word (TestWordSize bytes); false, with
// word "", when it does not fit.
bool MakeTestWord(const char* name, char* word);

// Writes the full path of test.exe in directory (which ends with its
// separator) into program, and its command line, the path quoted and the two
// words after it, into commandLine; each TextBufferSize bytes. False, with
// both "", when either would not fit.
bool BuildTestCommand(const char* directory, const char* back, const char* text, char* program,
                      char* commandLine);

// The finished console window is looked for at most this often while
// test.exe runs: each look goes through 16-bit USER on Windows 9x.
const unsigned FinishedWindowLookMs = 250;

// The button "Full screen preview" and the menu item "Test new setting":
// shows the pair picked in the lists through test.exe and returns once its
// process has ended, 1; 0 when test.exe could not be started (the click
// sound, then a box naming the path looked at and the cause). Meanwhile the
// main window takes no input and runs no command but repaints and answers the
// messages sent to it.
int RunFullScreenTest(PlatformWindow dialog);

// From the start of test.exe to the end of its wait.
extern bool TestRunning;
// test.exe's message that it is about to end (TEST_ENDING_MESSAGE): the
// window takes input again at once, so that the system can give it the
// foreground, and test.exe has seen to the foreground itself.
void AnnounceTestEnd(PlatformWindow dialog);

// The presses of keys and buttons the program's windows have seen begin
// since the keyboard last came back to them (DropsKey).
extern KeyPresses KeysSeen;
// The keyboard has come back (the end of a test, the program activated):
// the presses seen are forgotten, and the keys down now are held from
// elsewhere until let go.
void ReadHeldKeys();

// Why a program or document could not be started or opened, as a sentence,
// from the system's error code (CreateProcessA's GetLastError, or the value
// of ShellExecuteA).
const char* CauseOfFailedStart(unsigned long code);
