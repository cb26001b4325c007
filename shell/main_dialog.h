// The main dialog's procedure, one switch on the message; the dialog
// manager's own handling follows every message (shell/main_dialog_win32.cpp
// passes each one here, then leaves it unhandled).
#pragma once

#include <stdint.h>

#include "platform/platform.h"

// The messages it acts on, as the system numbers them.
const unsigned ActivateAppMessage = 0x001C, PaintMessage = 0x000F, CloseMessage = 0x0010,
               InitDialogMessage = 0x0110, CommandMessage = 0x0111;

void MainDialogMessage(PlatformWindow dialog, unsigned message, uintptr_t wParam);
