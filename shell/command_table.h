// What each button and menu item of the main dialog does.
#pragma once

#include <stdint.h>

#include "platform/platform.h"

struct Command {
    uint16_t number;    // the whole WM_COMMAND wParam: notification code 0, control or menu ID
    uint16_t argument;  // passed to the action
    void (*action)(PlatformWindow dialog, unsigned argument);
};

extern const Command CommandTable[];
extern const unsigned CommandCount;

// Runs the action of the command whose number is exactly wParam; true when
// there was one. Every other value (notifications, the Current fields, OK and
// Cancel from Enter and Escape, unlisted numbers) does nothing.
bool RunCommand(PlatformWindow dialog, uintptr_t wParam);
