// The files a change of system.ini works with, all in the Windows directory,
// and what can go wrong with one of them.
#pragma once

#include "core/text.h"

enum SettingsFile {
    SettingsIni,      // system.ini
    SettingsOld,      // system.old, the copy of system.ini before the last change
    SettingsCopy,     // hueline.bak, the new copy, made whole before it becomes system.old
    SettingsJournal,  // hueline.mrk, the record of a change under way (settings/journal.h)
    // Where system.old and hueline.bak are kept when the user discards a
    // journal that could not be trusted, since either may then hold the only
    // whole copy of system.ini, which the next change would replace.
    SettingsKeptOld,   // HUELINE.OLD
    SettingsKeptCopy,  // HUELINE.CPY
};
const unsigned SettingsFileCount = 6;

// Formats of their paths, each with the Windows directory for %s.
extern const char* const SettingsFileFormats[SettingsFileCount];

// The largest system.ini the rewrite takes on (Windows' own are a few KiB):
// a larger one is left as it is and the rewrite reported as failed.
const unsigned LargestSettingsFile = 32u << 20;

// Builds the path of one of the files into out (TextBufferSize bytes). False
// when the Windows directory cannot be had or the path does not fit.
bool SettingsFilePath(char* out, SettingsFile file);

// What was being done with a file when it went wrong, and why, as far as the
// system told.
enum SettingsStep { SettingsReading, SettingsWriting, SettingsReplacing, SettingsRemoving, SettingsKeeping };
enum SettingsCause {
    SettingsFine,            // nothing went wrong
    SettingsNoDirectory,     // the Windows directory could not be had
    SettingsMissing,         // the file does not exist
    SettingsFolder,          // a folder stands where the file should be
    SettingsNotOpened,       // the system would not open it
    SettingsReadFailed,      // reading it failed
    SettingsDiskFull,        // a write came up short
    SettingsWriteFailed,     // writing, flushing or closing it failed
    SettingsNotRemoved,      // it is still there after its removal
    SettingsNotRenamed,      // it could not be given its new name
    SettingsTooLarge,        // over LargestSettingsFile
    SettingsUtf16,           // UTF-16 text, which the rewrite would break
    SettingsNoMemory,        // no block to hold the file in
    SettingsDamaged,         // a journal that is not whole, or not of this layout
    SettingsStanding,        // a journal still stands from an earlier change
    SettingsNotChecked,      // the system could not tell whether it stands
    SettingsNoMatchingCopy,  // neither copy holds what system.ini held before
    SettingsNotColors,       // the pair to install is not two colour names
    SettingsOtherLength,     // a copy of another length than the journal gives
    SettingsOtherContent,    // a copy of that length, but other content
    SettingsChangedElsewhere,  // system.ini holds neither recorded content nor
                               // what an interrupted write of either leaves
    SettingsNameTaken,       // a file of the name it was to be given stands there
};
struct SettingsProblem {
    SettingsFile file;
    SettingsStep step;
    SettingsCause cause;
};
