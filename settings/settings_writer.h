// Rewriting system.ini: installing the colour pair, or removing it.
#pragma once

#include "core/text.h"

// What a call of WriteColorSettings left in system.ini.
enum SettingsWriteResult {
    SettingsWritten,     // system.ini holds what was asked
    SettingsNoSection,   // the colour lines were removed, but system.ini has no
                         // [386Enh] line to put the new ones after
    SettingsUnchanged,   // nothing could be done: system.ini is as it was
    SettingsNotPutBack,  // the rewrite failed part way and system.ini could not
                         // be put back; system.old holds its earlier content
};

// Copies system.ini to system.old, then writes system.ini anew: drops every
// line that begins with a removal marker and, when apply is true, puts the
// MarkerBlock for ColorSelection.InstalledBack and InstalledText after every
// [386Enh] header (see settings/settings_rewrite.h). The whole file is held in
// memory. system.ini is only truncated once system.old holds all of it on the
// disk, the new content is ready, and the mark of a rewrite under way stands;
// it is put back when writing it fails, and the mark goes once it is whole.
// Does nothing while an earlier mark stands (see below).
SettingsWriteResult WriteColorSettings(bool apply);

// What the start of the program, and every Apply and Restore, first does
// about a rewrite that was interrupted (the program killed, the power gone):
enum SettingsRecovery {
    SettingsNothingToRecover,  // no mark: the last rewrite ended
    SettingsRecovered,         // system.ini was put back from system.old
    SettingsNotRecovered,      // it could not be; the mark stays, for next time
};
// While the mark stands, puts system.ini back from system.old, then removes
// the mark.
SettingsRecovery RecoverInterruptedRewrite();
