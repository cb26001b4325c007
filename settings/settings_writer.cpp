#include "settings/settings_writer.h"

#include "core/color_table.h"
#include "core/selection.h"
#include "platform/platform.h"
#include "settings/journal.h"
#include "settings/marker_block.h"
#include "settings/settings_lines.h"
#include "settings/settings_rewrite.h"

namespace {

SettingsWriteResult Fail(SettingsWriteDetails* details, SettingsFile file, SettingsStep step, SettingsCause cause)
{
    details->problem = SettingsProblem{file, step, cause};
    return SettingsUnchanged;
}

char Journal[JournalSize];

// A step after the journal failed: the files are put right as the next start
// would put them, and what system.ini then holds is the result.
SettingsWriteResult Settle(SettingsWriteDetails* details, const JournalRecord& record, SettingsFile file,
                           SettingsCause cause)
{
    details->problem = SettingsProblem{file, SettingsReplacing, cause};
    SettingsRecoveryDetails recovered;
    const SettingsRecovery result = RecoverInterruptedRewrite(&recovered);
    details->journalStands = result == SettingsNotRecovered || result == SettingsNeedsAnswer;
    details->ini = recovered.ini;
    // A change that left the content as it was is told as not made: its
    // failed step is the news.
    if (details->ini == SettingsHoldsNew && record.oldLength == record.newLength && record.oldCrc == record.newCrc)
        details->ini = SettingsHoldsOld;
    for (unsigned tries = 0; tries < 2 && details->ini != SettingsHoldsOld && details->ini != SettingsHoldsNew &&
                             details->ini != SettingsHoldsNothing;
         ++tries)
        details->ini = MatchOf(record, SummarizeFile(SettingsIni), true);
    return details->ini == SettingsHoldsNew ? SettingsWritten
           : details->ini == SettingsHoldsOld ? SettingsUnchanged
                                              : SettingsUnfinished;
}

// Removes file and checks that it is gone, and that the removal is on the disk.
bool Remove(SettingsFile file)
{
    if (!RemoveAndCheck(file))
        return false;
    CommitAfter(file, false);
    return true;
}

// Gives from the name to, and puts that on the disk; system.ini's new name
// must be there before the journal goes.
bool Rename(SettingsFile from, SettingsFile to)
{
    if (!PlatformRename(SettingsPaths[from], SettingsPaths[to]))
        return false;
    CommitAfter(to, to == SettingsIni);
    return true;
}

// The change once system.ini is in memory, old[0, length), and its new
// content made, made[0, newLength). attributes are system.ini's.
SettingsWriteResult Replace(const char* old, unsigned length, const char* made, unsigned newLength,
                            unsigned long attributes, SettingsWriteDetails* details)
{
    const JournalRecord record = {length, Crc32(0, old, length), newLength, Crc32(0, made, newLength),
                                  JournalReplacesWhole};
    // The copy of the old content and the new content, each whole and
    // checked on the disk under a name of its own; the new one with
    // system.ini's hidden and system marks, which the rename keeps.
    SettingsCause cause = WriteCheckedFile(SettingsCopy, old, length, record.oldCrc);
    if (cause != SettingsFine) {
        RemoveAndCheck(SettingsCopy);
        return Fail(details, SettingsCopy, SettingsWriting, cause);
    }
    cause = WriteCheckedFile(SettingsNew, made, newLength, record.newCrc);
    const unsigned long marks = attributes & (PlatformHidden | PlatformSystem);
    if (cause == SettingsFine && marks != 0 && !PlatformSetFileAttributes(SettingsPaths[SettingsNew], marks | PlatformArchive))
        cause = SettingsWriteFailed;
    if (cause != SettingsFine) {
        RemoveAndCheck(SettingsNew);
        RemoveAndCheck(SettingsCopy);
        return Fail(details, SettingsNew, SettingsWriting, cause);
    }
    // The journal; with its commit the copies' entries are on the disk too.
    BuildJournal(record, Journal);
    cause = WriteCheckedFile(SettingsJournal, Journal, JournalSize, Crc32(0, Journal, JournalSize));
    if (cause != SettingsFine) {
        // system.ini and system.old are as they were: whatever the disk
        // keeps of these files, the next start finds them so.
        details->journalStands = !RemoveAndCheck(SettingsJournal);
        RemoveAndCheck(SettingsNew);
        RemoveAndCheck(SettingsCopy);
        return Fail(details, SettingsJournal, SettingsWriting, cause);
    }
    PlatformCommitVolume(SettingsPaths[SettingsJournal]);

    // From here on the journal tells the next start how far the change went.
    // The copy takes system.old's place, then the new content system.ini's:
    // a rename cannot replace a file on Windows 95, so each earlier one goes
    // first, and each step is on the disk before the next.
    if (PlatformCheckFile(SettingsPaths[SettingsOld]) != PlatformFileAbsent && !Remove(SettingsOld))
        return Settle(details, record, SettingsOld, SettingsNotRemoved);
    if (!Rename(SettingsCopy, SettingsOld))
        return Settle(details, record, SettingsOld, SettingsNotRenamed);
    if (!Remove(SettingsIni))
        return Settle(details, record, SettingsIni, SettingsNotRemoved);
    if (!Rename(SettingsNew, SettingsIni))
        return Settle(details, record, SettingsIni, SettingsNotRenamed);
    PlatformFlushProfileCache();
    // A journal that stays only puts the next start to work: it is told
    // when it is known to stand.
    if (!Remove(SettingsJournal) && CheckFile(SettingsJournal) == PlatformFilePresent) {
        details->problem.file = SettingsJournal;
        details->problem.step = SettingsRemoving;
        details->problem.cause = SettingsNotRemoved;
        details->journalStands = true;
    }
    return SettingsWritten;
}

}  // namespace

SettingsWriteResult WriteColorSettings(bool apply, SettingsWriteDetails* details)
{
    SettingsWriteDetails ignored;
    if (details == nullptr)
        details = &ignored;
    *details = SettingsWriteDetails{{SettingsIni, SettingsReading, SettingsFine}, false, 0, SettingsHoldsOld};
    if (!FindSettingsPaths())
        return Fail(details, SettingsIni, SettingsReading, SettingsNoDirectory);
    char block[MarkerBlockSize];
    unsigned blockLength = 0;
    if (apply) {
        blockLength = BuildMarkerBlock(block, ColorSelection.InstalledBack, ColorSelection.InstalledText);
        if (blockLength == 0)
            return Fail(details, SettingsIni, SettingsWriting, SettingsNotColors);
    }

    // While a journal stands, the files are as an interrupted change left
    // them: the recovery has to put them right first.
    switch (CheckFile(SettingsJournal)) {
    case PlatformFileAbsent:
        break;
    case PlatformFileFolder:
        return Fail(details, SettingsJournal, SettingsReading, SettingsFolder);
    case PlatformFileUnknown:
        return Fail(details, SettingsJournal, SettingsReading, SettingsNotChecked);
    default:
        details->journalStands = true;
        return Fail(details, SettingsJournal, SettingsReading, SettingsStanding);
    }
    if (PlatformCheckFile(SettingsPaths[SettingsOld]) == PlatformFileFolder)
        return Fail(details, SettingsOld, SettingsReplacing, SettingsFolder);
    // A read-only system.ini is the user's choice: it is not replaced.
    const unsigned long attributes = PlatformFileAttributes(SettingsPaths[SettingsIni]);
    if (attributes != PlatformNoAttributes && (attributes & PlatformReadOnly) != 0)
        return Fail(details, SettingsIni, SettingsReplacing, SettingsReadOnly);

    PlatformFlushProfileCache();  // what the system has cached of system.ini goes to the disk first
    unsigned length;
    SettingsCause cause;
    char* bytes = ReadWholeFile(SettingsIni, &length, &cause);
    if (bytes == nullptr)
        return Fail(details, SettingsIni, SettingsReading, cause);
    // The new content, made whole in memory before anything is written.
    SettingsWriteResult result;
    unsigned newLength, headers;
    void* extra;
    const char* made;
    if (LooksLikeUtf16(bytes, length))
        result = Fail(details, SettingsIni, SettingsReading, SettingsUtf16);
    else if ((made = MakeNewContent(bytes, length, block, blockLength, &newLength, &extra, &headers,
                                    &details->linesRemoved)) == nullptr)
        result = Fail(details, SettingsIni, SettingsReading, SettingsNoMemory);
    else {
        result = Replace(bytes, length, made, newLength, attributes, details);
        if (result == SettingsWritten && apply && headers == 0)
            result = SettingsNoSection;
        if (extra != nullptr)
            PlatformFree(extra);
    }
    PlatformFree(bytes);
    return result;
}
