// test.exe's one window: the picked pair on the whole screen.
#pragma once

// The window's class; the end-to-end tests find the window by it.
#define TEST_SCREEN_CLASS "Hueline test screen"

// Covers the screen with the text screen in VGA colours back and text (colour
// numbers 0-15) until a key is pressed or the mouse is clicked. Returns the
// process's exit code: 0, or 1 when the window could not be shown.
int ShowTestScreen(unsigned char back, unsigned char text);
