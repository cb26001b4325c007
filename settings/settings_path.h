// The files a change of system.ini works with, all in the Windows directory,
// and what can go wrong with one of them.
#pragma once

#include "core/text.h"

enum SettingsFile {
    SettingsIni,      // SYSTEM.INI
    SettingsOld,      // SYSTEM.OLD, the copy of system.ini before the last change
    SettingsCopy,     // HUELINE.BAK, that copy as it is made, before it takes system.old's place
    SettingsNew,      // HUELINE.NEW, the new content, made whole before it takes system.ini's place
    SettingsJournal,  // HUELINE.MRK, the journal of a change under way (settings/journal.h)
    // Where a recovery keeps what it must not lose when it cannot stay
    // where it is: system.old and the copy, which a later change would
    // replace, and a system.ini that another program wrote, put back.
    SettingsKeptOld,   // HUELINE.OLD
    SettingsKeptCopy,  // HUELINE.CPY
    SettingsKeptIni,   // HUELINE.INI
};
const unsigned SettingsFileCount = 8;

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
    SettingsFine,         // nothing went wrong
    SettingsNoDirectory,  // the Windows directory could not be had
    SettingsMissing,      // the file does not exist
    SettingsFolder,       // a folder stands where the file should be
    SettingsNotOpened,    // the system would not open it
    SettingsReadOnly,     // it is marked read-only
    SettingsReadFailed,   // reading it failed
    SettingsDiskFull,     // a write came up short
    SettingsWriteFailed,  // writing, flushing or closing it failed, or it read back otherwise
    SettingsNotRemoved,   // it is still there after its removal
    SettingsNotRenamed,   // it could not be given its new name
    SettingsTooLarge,     // over LargestSettingsFile
    SettingsUtf16,        // UTF-16 text, which the rewrite would break
    SettingsNoMemory,     // no block to hold the file in
    SettingsStanding,     // a journal still stands from an earlier change
    SettingsNotChecked,   // the system could not tell whether it stands
    SettingsNotColors,    // the pair to install is not two colour names
    SettingsNameTaken,    // a file of the name it was to be given stands there
    SettingsChanged,      // it no longer holds what it held when it was looked at
};
struct SettingsProblem {
    SettingsFile file;
    SettingsStep step;
    SettingsCause cause;
};
