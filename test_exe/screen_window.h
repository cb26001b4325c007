// test.exe's one window: the picked pair on the whole screen.
#pragma once

// The window's class; the end-to-end tests find the window by it.
#define TEST_SCREEN_CLASS "Hueline test screen"

// The registered message (RegisterWindowMessageA) test.exe sends, just
// before it ends, to the window that was in front when it started: that
// window takes its input back now, so that the foreground can be handed to it.
#define TEST_ENDING_MESSAGE "Hueline test ending"

// Covers the screen with the text screen in VGA colours back and text (colour
// numbers 0-15) until a key or a mouse button pressed while it shows is let
// go, or another program takes the front (test_exe/screen_end.h). Returns the
// process's exit code: 0, or 1 when the window could not be shown.
int ShowTestScreen(unsigned char back, unsigned char text);
