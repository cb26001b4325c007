// The user's actions on the selection: each keeps ColorSelection, the two
// list boxes and the two Current fields in step, and plays its sound.
#pragma once

#include "platform/platform.h"

// Set when the user has agreed to restart; read once the main dialog has ended.
extern int RestartRequested;

// The lists hold the 16 names in colour order, so a position is a colour number.
void SyncSelectionFromLists(PlatformWindow dialog);
void SelectListsFromState(PlatformWindow dialog);
void ShowInstalledColors(PlatformWindow dialog);

// Fills the lists, reads system.ini and selects the installed pair. On the
// NT family it first says that the colours are not used there.
void InitSelection(PlatformWindow dialog);
// Throws the picked pair away: the lists go back to the installed pair.
void CancelSelection(PlatformWindow dialog);
// After an Apply or a Restore the Current fields show what system.ini holds,
// as read back from it; when it could not be written as asked, a message box
// says what happened, and no restart is offered.
// Removes the colour lines from system.ini; "Blue" on "White" is picked.
void RestoreDefaultColors(PlatformWindow dialog);
// Installs the pair picked in the lists. With askRestart, and not on the NT
// family, asks whether to restart now and, on Yes, ends the dialog so that
// the restart can follow.
void ApplySelection(PlatformWindow dialog, bool askRestart);
// A colour item of the background or text menu, by colour number.
void PickBackColor(PlatformWindow dialog, unsigned color);
void PickTextColor(PlatformWindow dialog, unsigned color);
// Ends the program; nothing is saved.
void ExitProgram(PlatformWindow dialog);
