// When the full-screen test ends, and how the keyboard goes back: the
// decisions of test.exe's window (screen_window_win32.cpp passes its messages
// here), with the system's calls going through the platform layer.
#pragma once

#include <stdint.h>

#include "fullscreen/held_input.h"
#include "platform/platform.h"

// Before the window shows: keeps the window in front now, the one to give
// the keyboard back to, and notes the keys held down now, which never end
// the test.
void BeginTestScreen();
// Once the window shows: brings it to the front. A window that did not get
// the keyboard there (another program took the front first) ends at once,
// rather than stay on top of everything with no key reaching it.
void TestScreenShown(PlatformWindow screen);
// Every message of the window, before its own handling; true when it is
// handled here: the keys and buttons, and the close.
// - The release of a key or button pressed while it shows ends the test and
//   hands the foreground back, so that no auto-repeat or release is left for
//   the window behind.
// - When another program takes the front, the screen would stay on top with
//   the keyboard gone elsewhere: the test ends (once that activation is
//   done), leaving the front to that program.
bool TestScreenMessage(PlatformWindow screen, unsigned message, uintptr_t wParam, uintptr_t lParam);
