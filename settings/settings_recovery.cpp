// Putting system.ini right after a rewrite was interrupted, from the files
// themselves and the journal's record of what they held.
#include "platform/platform.h"
#include "settings/journal.h"
#include "settings/settings_writer.h"
#include "settings/whole_files.h"

namespace {

SettingsRecovery Stop(SettingsRecoveryDetails* details, SettingsRecovery result, SettingsFile file,
                      SettingsStep step, SettingsCause cause)
{
    details->problem = SettingsProblem{file, step, cause};
    return result;
}

// system.ini is whole again: the new copy becomes system.old when the
// earlier one is gone and it holds the old content; otherwise the journal
// goes first and the copy after it, so that a journal never stands beside an
// earlier system.old without the copy (README.TXT's recovery by hand takes a
// copy by its length). Only the journal's staying is told.
SettingsRecovery PutAway(SettingsRecoveryDetails* details, SettingsRecovery result, const JournalRecord& record)
{
    bool removeCopy = PlatformCheckFile(SettingsPaths[SettingsCopy]) != PlatformFileAbsent;
    SettingsCause ignored;
    if (removeCopy && PlatformCheckFile(SettingsPaths[SettingsOld]) == PlatformFileAbsent &&
        ExamineFile(SettingsCopy, record, &ignored) == SettingsHoldsOld) {
        PlatformRename(SettingsPaths[SettingsCopy], SettingsPaths[SettingsOld]);
        removeCopy = false;
    }
    if (!RemoveAndCheck(SettingsJournal)) {
        details->left = SettingsProblem{SettingsJournal, SettingsRemoving, SettingsNotRemoved};
        return result;
    }
    if (removeCopy)
        PlatformDelete(SettingsPaths[SettingsCopy]);
    return result;
}

// Reads the journal; false, with why, when it cannot be trusted.
bool ReadRecord(JournalRecord* record, SettingsCause* cause)
{
    unsigned length;
    char* bytes = ReadWholeFile(SettingsJournal, false, &length, cause);
    if (bytes == nullptr)
        return false;
    bool whole = ReadJournal(bytes, length, record);
    PlatformFree(bytes);
    if (!whole)
        *cause = SettingsDamaged;
    return whole;
}

}  // namespace

SettingsRecovery RecoverInterruptedRewrite(SettingsRecoveryDetails* details)
{
    SettingsRecoveryDetails ignored;
    if (details == nullptr)
        details = &ignored;
    *details = SettingsRecoveryDetails{SettingsOld, {SettingsIni, SettingsReading, SettingsFine},
                                       {SettingsJournal, SettingsRemoving, SettingsFine}};
    if (!FindSettingsPaths())
        return SettingsNothingToRecover;
    PlatformFileCheck journal = PlatformCheckFile(SettingsPaths[SettingsJournal]);
    if (journal == PlatformFileAbsent)
        return SettingsNothingToRecover;
    if (journal == PlatformFileFolder)
        return Stop(details, SettingsNeedsDecision, SettingsJournal, SettingsReading, SettingsFolder);
    JournalRecord record;
    SettingsCause cause;
    if (!ReadRecord(&record, &cause)) {
        if (cause == SettingsMissing)
            return SettingsNothingToRecover;  // the check could not tell, and there is none
        if (cause == SettingsNoMemory)
            return Stop(details, SettingsNotRecovered, SettingsJournal, SettingsReading, cause);  // next time
        return Stop(details, SettingsNeedsDecision, SettingsJournal, SettingsReading, cause);
    }

    // system.ini whole, old or new: the change never began, or it ended.
    // It is never turned back from new to old.
    PlatformFlushProfileCache();
    switch (ExamineFile(SettingsIni, record, &cause)) {
    case SettingsHoldsOld:
    case SettingsHoldsNew:
        return PutAway(details, SettingsTidied, record);
    case SettingsUnknown:
        return Stop(details, SettingsNotRecovered, SettingsIni, SettingsReading, cause);
    case SettingsHoldsNeither:
        break;
    }

    // Otherwise it is put back from a copy that holds the old content,
    // checked against the record before and after.
    const SettingsFile copies[] = {SettingsOld, SettingsCopy};
    SettingsProblem unread = {SettingsOld, SettingsReading, SettingsFine};
    for (SettingsFile copy : copies) {
        unsigned length;
        char* bytes = ReadWholeFile(copy, false, &length, &cause);
        if (bytes == nullptr) {
            // One that could not be read may hold the old content: then no
            // copy can be said to be missing.
            if (cause != SettingsMissing && cause != SettingsFolder && unread.cause == SettingsFine)
                unread = SettingsProblem{copy, SettingsReading, cause};
            continue;
        }
        bool holdsOld = MatchOf(record, length, Crc32(0, bytes, length)) == SettingsHoldsOld;
        if (holdsOld)
            cause = WriteWholeFile(SettingsIni, bytes, length);
        PlatformFree(bytes);
        if (!holdsOld)
            continue;
        details->copy = copy;
        PlatformFlushProfileCache();
        if (cause == SettingsFine) {
            SettingsCause readBack;
            if (ExamineFile(SettingsIni, record, &readBack) != SettingsHoldsOld)
                cause = SettingsWriteFailed;
        }
        if (cause != SettingsFine)
            return Stop(details, SettingsNotRecovered, SettingsIni, SettingsWriting, cause);
        return PutAway(details, SettingsRecovered, record);
    }
    if (unread.cause != SettingsFine) {
        details->problem = unread;
        return SettingsNotRecovered;
    }
    return Stop(details, SettingsNeedsDecision, SettingsOld, SettingsReading, SettingsNoMatchingCopy);
}

bool DiscardJournal(SettingsProblem* problem)
{
    *problem = SettingsProblem{SettingsJournal, SettingsRemoving, SettingsFine};
    if (!FindSettingsPaths()) {
        problem->cause = SettingsNoDirectory;
        return false;
    }
    if (PlatformCheckFile(SettingsPaths[SettingsJournal]) == PlatformFileFolder)
        PlatformRemoveFolder(SettingsPaths[SettingsJournal]);
    if (RemoveAndCheck(SettingsJournal))
        return true;
    problem->cause = SettingsNotRemoved;
    return false;
}
