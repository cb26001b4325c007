#include "settings/settings_writer.h"

#include "core/color_table.h"
#include "core/selection.h"
#include "platform/platform.h"
#include "settings/journal.h"
#include "settings/marker_block.h"
#include "settings/settings_lines.h"
#include "settings/settings_rewrite.h"
#include "settings/whole_files.h"

namespace {

SettingsWriteResult Fail(SettingsWriteDetails* details, SettingsFile file, SettingsStep step, SettingsCause cause)
{
    details->problem = SettingsProblem{file, step, cause};
    return SettingsUnchanged;
}

// Takes the journal away once system.ini is whole; tells when it stays.
void RemoveJournal(SettingsProblem* left)
{
    if (!RemoveAndCheck(SettingsJournal))
        *left = SettingsProblem{SettingsJournal, SettingsRemoving, SettingsNotRemoved};
}

// The rewrite once system.ini is in memory, old[0, length), and its new
// content made, made[0, newLength).
SettingsWriteResult Rewrite(const char* old, unsigned length, const char* made, unsigned newLength,
                            uint32_t change, bool oldStands, SettingsWriteDetails* details)
{
    JournalRecord record = {length, Crc32(0, old, length), newLength, Crc32(0, made, newLength), change};
    char journal[JournalSize];
    BuildJournal(record, journal);

    // The new copy, whole on the disk under its own name; then the journal.
    SettingsCause cause = WriteWholeFile(SettingsCopy, old, length);
    if (cause != SettingsFine) {
        RemoveAndCheck(SettingsCopy);
        return Fail(details, SettingsCopy, SettingsWriting, cause);
    }
    cause = WriteWholeFile(SettingsJournal, journal, JournalSize);
    if (cause != SettingsFine) {
        RemoveJournal(&details->left);
        RemoveAndCheck(SettingsCopy);
        return Fail(details, SettingsJournal, SettingsWriting, cause);
    }
    // On Windows 9x the flush wrote the journal's data and its entry; the
    // copy's entry and the rest of the folder go to the disk now, before
    // anything the journal vouches for is touched.
    PlatformCommitVolume(SettingsPaths[SettingsJournal]);

    // The new copy takes the place of system.old. A rename cannot replace a
    // file on Windows 95, so the earlier one goes first; the rename then
    // shows whether it is really gone. From here on, until system.ini is
    // whole, the journal tells the next start which copy holds the old content.
    if (oldStands)
        PlatformDelete(SettingsPaths[SettingsOld]);
    if (!PlatformRename(SettingsPaths[SettingsCopy], SettingsPaths[SettingsOld])) {
        RemoveJournal(&details->left);
        if (PlatformCheckFile(SettingsPaths[SettingsOld]) == PlatformFilePresent) {
            RemoveAndCheck(SettingsCopy);  // the earlier one stays
            return Fail(details, SettingsOld, SettingsReplacing, SettingsNotRemoved);
        }
        // system.old may be gone: its replacement stays under the other name.
        return Fail(details, SettingsOld, SettingsReplacing, SettingsNotRenamed);
    }

    cause = WriteWholeFile(SettingsIni, made, newLength);
    if (cause != SettingsFine) {
        // A create that failed truncated nothing; anything later is put back.
        bool opened = cause == SettingsDiskFull || cause == SettingsWriteFailed;
        bool putBack = !opened || WriteWholeFile(SettingsIni, old, length) == SettingsFine;
        PlatformFlushProfileCache();
        PlatformCommitVolume(SettingsPaths[SettingsIni]);
        if (!putBack) {
            details->problem = SettingsProblem{SettingsIni, SettingsWriting, cause};
            return SettingsNotPutBack;  // the journal stays: the next start puts it back
        }
        RemoveJournal(&details->left);
        return Fail(details, SettingsIni, SettingsWriting, cause);
    }
    PlatformFlushProfileCache();
    // system.ini, and the removal and rename of system.old, reach the disk
    // before the journal goes.
    PlatformCommitVolume(SettingsPaths[SettingsIni]);
    RemoveJournal(&details->left);
    return SettingsWritten;
}

}  // namespace

SettingsWriteResult WriteColorSettings(bool apply, SettingsWriteDetails* details)
{
    SettingsWriteDetails ignored;
    if (details == nullptr)
        details = &ignored;
    *details = SettingsWriteDetails{{SettingsIni, SettingsReading, SettingsFine},
                                    {SettingsJournal, SettingsRemoving, SettingsFine}, 0};
    if (!FindSettingsPaths())
        return Fail(details, SettingsIni, SettingsReading, SettingsNoDirectory);
    char block[MarkerBlockSize];
    unsigned blockLength = 0;
    uint32_t change = JournalRemovesColors;
    if (apply) {
        blockLength = BuildMarkerBlock(block, ColorSelection.InstalledBack, ColorSelection.InstalledText);
        if (blockLength == 0)
            return Fail(details, SettingsIni, SettingsWriting, SettingsNotColors);
        change = JournalInstalls + 16u * ColorIndexOf(ColorSelection.InstalledBack) +
                 ColorIndexOf(ColorSelection.InstalledText);
    }

    // While a journal stands, the files are as an interrupted change left
    // them: the recovery has to put them right first.
    switch (PlatformCheckFile(SettingsPaths[SettingsJournal])) {
    case PlatformFileAbsent:
        break;
    case PlatformFileFolder:
        return Fail(details, SettingsJournal, SettingsReading, SettingsFolder);
    case PlatformFileUnknown:
        return Fail(details, SettingsJournal, SettingsReading, SettingsNotChecked);
    default:
        return Fail(details, SettingsJournal, SettingsReading, SettingsStanding);
    }
    PlatformFileCheck old = PlatformCheckFile(SettingsPaths[SettingsOld]);
    if (old == PlatformFileFolder)
        return Fail(details, SettingsOld, SettingsReplacing, SettingsFolder);

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
        result = Rewrite(bytes, length, made, newLength, change, old != PlatformFileAbsent, details);
        if (result == SettingsWritten && apply && headers == 0)
            result = SettingsNoSection;
        if (extra != nullptr)
            PlatformFree(extra);
    }
    PlatformFree(bytes);
    return result;
}
