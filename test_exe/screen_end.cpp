#include "test_exe/screen_end.h"

// Process-wide: test.exe has one window and one thread.
static PlatformWindow Previous;  // in front when the test began
static KeyPresses Presses;
static bool Ending;

void BeginTestScreen()
{
    Previous = PlatformForegroundWindow();
    Presses = KeyPresses();
    Ending = false;
    for (unsigned key = 1; key < 256; ++key) {
        if (PlatformKeyIsDown(key))
            NoteHeldKey(&Presses, key);
    }
}

// Tells the window that was in front that the test ends, so that it takes
// input again (TEST_ENDING_MESSAGE, answered before this goes on), hands it
// the foreground when asked to, then closes the screen. Only the foreground
// process may set the foreground window on Windows 98 and 2000 and later
// (SetForegroundWindow: "the process is the foreground process" is one of the
// conditions under which a process can set the foreground window), and
// test.exe is it now; once it has ended the system would activate the next
// enabled window, another program's, and Hueline's own call would only flash
// its taskbar button.
static void EndTestScreen(PlatformWindow screen, bool handBack)
{
    if (Ending)
        return;
    Ending = true;
    if (Previous != nullptr) {
        PlatformTellTestEnding(Previous);
        if (handBack)
            PlatformBringToFront(Previous);
    }
    PlatformDestroyWindow(screen);
}

void TestScreenShown(PlatformWindow screen)
{
    PlatformBringToFront(screen);
    if (PlatformForegroundWindow() != screen)
        EndTestScreen(screen, false);
}

bool TestScreenMessage(PlatformWindow screen, unsigned message, uintptr_t wParam, uintptr_t lParam)
{
    switch (SortKey(&Presses, message, wParam, lParam)) {
    case NotAKey:
        break;
    case KeyReleased:
        EndTestScreen(screen, true);
        return true;
    default:  // a press, a repeat, or a key held from before the test
        return true;
    }
    if (message == ActivateAppMessage && wParam == 0 && !Ending)
        PlatformPostClose(screen);
    if (message == CloseMessage) {
        EndTestScreen(screen, false);
        return true;
    }
    return false;
}
