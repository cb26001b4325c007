// Rewriting system.ini: installing the colour pair, or removing it; and
// putting it right after a rewrite was interrupted.
#pragma once

#include <stdint.h>

#include "settings/settings_path.h"
#include "settings/whole_files.h"

// What a call of WriteColorSettings left in system.ini.
enum SettingsWriteResult {
    SettingsWritten,     // system.ini holds what was asked
    SettingsNoSection,   // system.ini was rewritten, but it has no [386Enh] line
                         // to put the new colour lines after
    SettingsUnchanged,   // system.ini is as it was: nothing was changed, or
                         // the change was taken back
    SettingsUnfinished,  // the change stopped part way and could be neither
                         // finished nor taken back: system.ini is missing or
                         // could not be read; the journal stands, and the next
                         // start puts it right
};

struct SettingsWriteDetails {
    // The step that failed; cause SettingsFine when none did.
    SettingsProblem problem;
    // The journal is still there after the call: until it is gone, the
    // recovery comes first at every start and every change.
    bool journalStands;
    // How many colour or comment lines the rewrite took out.
    unsigned linesRemoved;
    // What system.ini holds at the end, for SettingsUnfinished.
    SettingsMatch ini;
};

// Copies system.ini to system.old, then writes system.ini anew: drops every
// line that begins with a removal marker and, when apply is true, puts the
// MarkerBlock for ColorSelection.InstalledBack and InstalledText after every
// [386Enh] header (see settings/settings_rewrite.h). The whole file is held
// in memory. The copy of the old content (HUELINE.BAK) and the new content
// (HUELINE.NEW) are written whole and checked on the disk under names of
// their own, and the journal after them; only then does the copy take
// system.old's place and the new content system.ini's, each by a removal
// and a rename, with the volume committed after every step. system.ini is
// never written into. Does nothing while a journal stands, and never
// rewrites a read-only system.ini or one that reads as UTF-16. details,
// when given, receives why.
SettingsWriteResult WriteColorSettings(bool apply, SettingsWriteDetails* details = nullptr);

// What the start of the program, and every Apply and Restore, first does
// about a change that was interrupted (the program killed, the power gone),
// decided from the files and the journal's record of them.
enum SettingsRecovery {
    SettingsNothingToRecover,  // no journal: the last change ended
    SettingsTidied,            // system.ini holds the new content (or, beside
                               // a journal that cannot be read, stands): what
                               // the change left was put away
    SettingsNotFinished,       // system.ini holds the old content: the change
                               // did not finish; what it left was put away
    SettingsFinished,          // system.ini was missing: the checked new
                               // content took its place
    SettingsPutBack,           // a checked copy took system.ini's place: it
                               // was missing, or the user chose to put back
                               // the content from before the change
    SettingsKeptAsItIs,        // system.ini holds neither content, and stays as
                               // it is; the copies were kept aside
    SettingsNotRecovered,      // a file could not be read, or a step failed:
                               // the journal stays, and the next start tries again
    SettingsNeedsAnswer,       // a question must be answered first: ask it
                               // (RecoveryQuestion) and call again with the answer
};
enum SettingsQuestion {
    SettingsNoQuestion,
    SettingsAskPutBack,   // system.ini holds neither content: put back the old (Yes) or keep it (No)
    SettingsAskWhichNew,  // system.ini is missing beside a journal that cannot
                          // be read: the new content (Yes) or system.old (No)
};
enum SettingsAnswer { SettingsNotAsked, SettingsYes, SettingsNo };

struct SettingsRecoveryDetails {
    SettingsQuestion question;  // for SettingsNeedsAnswer
    unsigned version;           // the journal's (0: it could not be read)
    SettingsFile copy;          // the copy put back, or offered, with its content
    SettingsFile otherCopy;     // SettingsAskWhichNew: the one a No puts back
    bool kept[3];               // HUELINE.OLD, HUELINE.CPY, HUELINE.INI were made
    SettingsProblem problem;    // why it was not recovered
    SettingsMatch ini;          // what system.ini holds when it returns
};
SettingsRecovery RecoverInterruptedRewrite(SettingsRecoveryDetails* details = nullptr,
                                           SettingsAnswer answer = SettingsNotAsked);
