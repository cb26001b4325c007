// The main dialog's procedure, one switch on the message; the dialog
// manager's own handling follows every message (shell/main_dialog_win32.cpp
// passes each one here, then leaves it unhandled).
#pragma once

#include <stdint.h>

#include "fullscreen/held_input.h"
#include "platform/platform.h"

// The messages it acts on, as the system numbers them, beside CloseMessage
// and ActivateAppMessage (fullscreen/held_input.h).
const unsigned PaintMessage = 0x000F, InitDialogMessage = 0x0110, CommandMessage = 0x0111;

void MainDialogMessage(PlatformWindow dialog, unsigned message, uintptr_t wParam);
