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

// How long one pass of the wait for the end of the test waits on test.exe's
// process before it looks for the finished console window again.
const unsigned TestWaitSliceMs = 30;

// The button "Full screen preview" and the menu item "Test new setting":
// shows the pair picked in the lists through test.exe and returns once its
// process has ended, 1; 0 when test.exe could not be started (the click
// sound, then a box naming the path looked at and the cause). Meanwhile the
// main window takes no input but repaints and answers the messages sent to it.
int RunFullScreenTest(PlatformWindow dialog);

// The presses of keys and buttons the program's windows have seen begin
// since the last full-screen test ended (DropsKey); forgotten at each end.
extern KeyPresses KeysSeen;

// Why a program or document could not be started or opened, as a sentence,
// from the system's error code (CreateProcessA's GetLastError, or the value
// of ShellExecuteA).
const char* CauseOfFailedStart(unsigned long code);
