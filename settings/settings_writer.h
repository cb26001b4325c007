// Rewriting system.ini: installing the colour pair, or removing it; and
// putting it right after a rewrite was interrupted.
#pragma once

#include <stdint.h>

#include "settings/settings_path.h"

// What a call of WriteColorSettings left in system.ini.
enum SettingsWriteResult {
    SettingsWritten,     // system.ini holds what was asked
    SettingsNoSection,   // system.ini was rewritten, but it has no [386Enh] line
                         // to put the new colour lines after
    SettingsUnchanged,   // nothing could be done: system.ini is as it was
    SettingsNotPutBack,  // the rewrite failed part way and system.ini could not
                         // be put back; system.old holds its earlier content,
                         // and the journal, standing, has the next start put it back
};

struct SettingsWriteDetails {
    // Why system.ini was not written as asked; cause SettingsFine when it was.
    SettingsProblem problem;
    // A journal left standing after a call that did its work (it could not
    // be removed); cause SettingsFine when none was.
    SettingsProblem left;
    // How many colour or comment lines the rewrite took out.
    unsigned linesRemoved;
};

// Copies system.ini to system.old, then writes system.ini anew: drops every
// line that begins with a removal marker and, when apply is true, puts the
// MarkerBlock for ColorSelection.InstalledBack and InstalledText after every
// [386Enh] header (see settings/settings_rewrite.h). The whole file is held in
// memory. The new copy is written under another name (hueline.bak) and made
// whole on the disk before it takes the place of the earlier system.old; the
// journal is on the disk before system.ini is truncated, and goes once
// system.ini is whole again. Does nothing while a journal stands, and never
// rewrites a file that reads as UTF-16. details, when given, receives why.
SettingsWriteResult WriteColorSettings(bool apply, SettingsWriteDetails* details = nullptr);

// What the start of the program, and every Apply and Restore, first does
// about a rewrite that was interrupted (the program killed, the power gone).
// It decides from the files and the journal's record of them:
enum SettingsRecovery {
    SettingsNothingToRecover,  // no journal: the last rewrite ended
    SettingsTidied,            // system.ini holds the old or the new content
                               // whole, or the journal was cut short while it
                               // was written: the journal and the copy were put away
    SettingsRecovered,         // system.ini held what an interrupted write of
                               // Hueline's leaves, and was put back from a copy
                               // that holds its old content, and checked
    SettingsNotRecovered,      // it could not be read or put back; nothing else
                               // changed, and the journal stays for next time
    SettingsNeedsDecision,     // the journal cannot be read, no copy holds the
                               // old content, or system.ini holds what another
                               // program may have written: nothing was changed,
                               // and nothing will be while it stands (see DiscardJournal)
};
struct SettingsRecoveryDetails {
    SettingsFile copy;        // the copy system.ini was put back from
    SettingsProblem problem;  // why it was not put back, or needs a decision
    SettingsProblem left;     // as in SettingsWriteDetails
    bool finished;            // tidied: system.ini held the new content
    // With a record that could be read, what the files held beside it:
    bool recorded;
    uint32_t oldLength, newLength;  // system.ini's, before the change and as written
    long iniLength;                 // system.ini's now (-1: none)
    // Why system.old and hueline.bak could not be put back from
    // (SettingsFine: it could, SettingsMissing: it is not there), and their
    // lengths (-1: not known).
    SettingsCause copyCauses[2];
    long copyLengths[2];
    // When a decision is needed: whether system.old and hueline.bak stand,
    // to be kept by a discard.
    bool copyStands[2];
};
SettingsRecovery RecoverInterruptedRewrite(SettingsRecoveryDetails* details = nullptr);

// The way out when the journal cannot be trusted: first keeps system.old
// and hueline.bak, those that stand, as HUELINE.OLD and HUELINE.CPY (either
// may hold the only whole copy of system.ini, which the next change would
// replace); then removes the journal (a folder in its place too, when empty)
// and checks that it is gone. system.ini stays as it is. False, with the
// problem, when a copy could not be kept or the journal is still there.
bool DiscardJournal(SettingsProblem* problem);
