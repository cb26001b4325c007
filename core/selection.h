// What the user has picked and what system.ini holds, as colour names.
// Every reference is one of the ColorTable names (or a string equal to one).
#pragma once

struct ColorSelectionState {
    const char* SelectedBack;   // picked in the window, not yet installed
    const char* SelectedText;
    const char* InstalledBack;  // what system.ini holds, as read or last written
    const char* InstalledText;
};

// The one state of the process (core/selection_actions.cpp); its references
// are constants, so it needs no constructor. Init (InitSelection) sets all
// four, from system.ini.
extern ColorSelectionState ColorSelection;
