// Putting system.ini right after a rewrite was interrupted, from the files
// themselves and the journal's record of what they held.
#include "core/color_table.h"
#include "platform/platform.h"
#include "settings/journal.h"
#include "settings/marker_block.h"
#include "settings/settings_writer.h"
#include "settings/whole_files.h"

namespace {

SettingsRecovery Stop(SettingsRecoveryDetails* details, SettingsRecovery result, SettingsFile file,
                      SettingsStep step, SettingsCause cause)
{
    details->problem = SettingsProblem{file, step, cause};
    for (unsigned k = 0; k < 2 && result == SettingsNeedsDecision; ++k) {
        PlatformFileCheck copy = PlatformCheckFile(SettingsPaths[Copies[k]]);
        details->copyStands[k] = copy == PlatformFilePresent || copy == PlatformFileUnknown;
    }
    return result;
}

// system.ini is whole again. system.old is to hold its content from before
// the change: when only the new copy holds that (the rename was lost), the
// copy takes system.old's place, unless system.ini itself holds it and an
// earlier system.old stands. Otherwise the journal goes first and the copy
// after it, so that a journal never stands beside an earlier system.old
// without the copy (README.TXT's recovery by hand takes a copy by its
// length). Only the journal's staying is told.
SettingsRecovery PutAway(SettingsRecoveryDetails* details, SettingsRecovery result, const JournalRecord* record,
                         bool iniHoldsOld)
{
    bool removeCopy = PlatformCheckFile(SettingsPaths[SettingsCopy]) != PlatformFileAbsent;
    if (removeCopy) {
        SettingsCause ignored;
        PlatformFileCheck old = PlatformCheckFile(SettingsPaths[SettingsOld]);
        if (record != nullptr && old != PlatformFileFolder && !(iniHoldsOld && old != PlatformFileAbsent) &&
            ExamineFile(SettingsCopy, *record, &ignored) == SettingsHoldsOld &&
            (old == PlatformFileAbsent || ExamineFile(SettingsOld, *record, &ignored) != SettingsHoldsOld)) {
            if (old != PlatformFileAbsent)
                PlatformDelete(SettingsPaths[SettingsOld]);
            PlatformRename(SettingsPaths[SettingsCopy], SettingsPaths[SettingsOld]);  // else it stays
            removeCopy = false;
        }
    }
    if (!RemoveAndCheck(SettingsJournal)) {
        details->left = SettingsProblem{SettingsJournal, SettingsRemoving, SettingsNotRemoved};
        return result;
    }
    if (removeCopy)
        PlatformDelete(SettingsPaths[SettingsCopy]);
    return result;
}

// The journal is small: it is read whole into a buffer of its own, so that it
// never waits on memory.
char JournalBytes[JournalSize + 1];
enum JournalState { JournalGone, JournalWhole, JournalUnfinished, JournalUntrusted };

JournalState ReadRecord(JournalRecord* record, SettingsCause* cause)
{
    PlatformFile in = PlatformOpenRead(SettingsPaths[SettingsJournal]);
    if (in == PlatformNoFile) {
        *cause = CauseOfFailedOpen(SettingsJournal, true);
        return *cause == SettingsMissing ? JournalGone : JournalUntrusted;
    }
    int got = PlatformRead(in, JournalBytes, sizeof JournalBytes);
    PlatformClose(in);
    *cause = got < 0 ? SettingsReadFailed : SettingsDamaged;
    if (got < 0)
        return JournalUntrusted;
    if (ReadJournal(JournalBytes, (unsigned)got, record))
        return JournalWhole;
    return IsUnfinishedJournal(JournalBytes, (unsigned)got) ? JournalUnfinished : JournalUntrusted;
}

// The block the recorded change put after each [386Enh] header; false when
// the record does not say.
bool BlockOfChange(uint32_t change, char* block, unsigned* blockLength)
{
    *blockLength = 0;
    if (change == JournalRemovesColors)
        return true;
    if ((change & ~0xFFu) != JournalInstalls)
        return false;
    *blockLength = BuildMarkerBlock(block, ColorTable[(change >> 4) & 15], ColorTable[change & 15]);
    return *blockLength != 0;
}

// Reads a copy that may hold system.ini's content from before the change,
// with room after it for the new content: only one of the recorded length is
// read at all. Null, with why, when it does not hold that content; length
// receives its length.
char* ReadOldCopy(SettingsFile copy, const JournalRecord& record, long* length, SettingsCause* cause)
{
    unsigned got;
    char* bytes = ReadWholeFile(copy, &got, cause, (long)record.oldLength);
    *length = (long)got;
    if (bytes != nullptr && MatchOf(record, got, Crc32(0, bytes, got)) != SettingsHoldsOld) {
        PlatformFree(bytes);
        bytes = nullptr;
        *cause = SettingsOtherContent;
    }
    return bytes;
}

// Whether system.ini holds what an interrupted write of Hueline's own can
// leave of one of the contents it writes: a part of its beginning, then
// NULs where the rest never reached the disk, no longer than it; or no file
// at all. SettingsFine when it does, SettingsChangedElsewhere when it holds
// anything else (another program may have written it), or why it could not
// be read.
SettingsCause LeftByAnInterruptedWrite(const char* const contents[2], const unsigned lengths[2], long* iniLength)
{
    PlatformFile in = PlatformOpenRead(SettingsPaths[SettingsIni]);
    if (in == PlatformNoFile) {
        SettingsCause cause = CauseOfFailedOpen(SettingsIni, true);
        return cause == SettingsMissing ? SettingsFine : cause == SettingsFolder ? SettingsChangedElsewhere : cause;
    }
    long size = *iniLength = PlatformFileLength(in);
    SettingsCause cause = size < 0 ? SettingsReadFailed : SettingsFine;
    bool alive[2], alike[2];
    for (unsigned k = 0; k < 2; ++k) {
        alive[k] = contents[k] != nullptr && size >= 0 && (unsigned long)size <= lengths[k];
        alike[k] = true;
    }
    unsigned long at = 0;
    while ((alive[0] || alive[1]) && at < (unsigned long)size) {
        int got = PlatformRead(in, Piece, sizeof Piece);
        if (got <= 0) {
            cause = SettingsReadFailed;
            break;
        }
        for (unsigned k = 0; k < 2; ++k) {
            for (int i = 0; alive[k] && i < got; ++i) {
                if (alike[k] && Piece[i] == contents[k][at + (unsigned)i])
                    continue;
                alike[k] = false;
                alive[k] = Piece[i] == '\0';
            }
        }
        at += (unsigned)got;
    }
    PlatformClose(in);
    if (cause != SettingsFine)
        return cause;
    return alive[0] || alive[1] ? SettingsFine : SettingsChangedElsewhere;
}

// Puts system.ini back from old[0, record.oldLength), the content of copy,
// when system.ini holds what an interrupted write of Hueline's leaves.
SettingsRecovery PutBack(SettingsRecoveryDetails* details, const JournalRecord& record, SettingsFile copy, char* old)
{
    // The new content, made again from the old as the record says.
    const char* contents[2] = {old, nullptr};
    unsigned lengths[2] = {record.oldLength, 0};
    char block[MarkerBlockSize];
    unsigned blockLength, newLength;
    void* extra = nullptr;
    if (BlockOfChange(record.change, block, &blockLength)) {
        const char* made = MakeNewContent(old, record.oldLength, block, blockLength, &newLength, &extra);
        if (made != nullptr && MatchOf(record, newLength, Crc32(0, made, newLength)) == SettingsHoldsNew) {
            contents[1] = made;
            lengths[1] = newLength;
        }
    }
    details->copy = copy;
    SettingsCause cause = LeftByAnInterruptedWrite(contents, lengths, &details->iniLength);
    if (extra != nullptr)
        PlatformFree(extra);
    if (cause == SettingsChangedElsewhere)
        return Stop(details, SettingsNeedsDecision, SettingsIni, SettingsReading, cause);
    if (cause != SettingsFine)
        return Stop(details, SettingsNotRecovered, SettingsIni, SettingsReading, cause);

    cause = WriteWholeFile(SettingsIni, old, record.oldLength);
    PlatformFlushProfileCache();
    if (cause == SettingsFine) {
        SettingsCause readBack;
        if (ExamineFile(SettingsIni, record, &readBack) != SettingsHoldsOld)
            cause = SettingsWriteFailed;
    }
    if (cause != SettingsFine)
        return Stop(details, SettingsNotRecovered, SettingsIni, SettingsWriting, cause);
    return PutAway(details, SettingsRecovered, &record, true);
}

}  // namespace

SettingsRecovery RecoverInterruptedRewrite(SettingsRecoveryDetails* details)
{
    SettingsRecoveryDetails ignored;
    if (details == nullptr)
        details = &ignored;
    *details = SettingsRecoveryDetails{SettingsOld,
                                       {SettingsIni, SettingsReading, SettingsFine},
                                       {SettingsJournal, SettingsRemoving, SettingsFine},
                                       false, false, 0, 0, -1,
                                       {SettingsFine, SettingsFine},
                                       {-1, -1},
                                       {false, false}};
    if (!FindSettingsPaths())
        return SettingsNothingToRecover;
    PlatformFileCheck journal = PlatformCheckFile(SettingsPaths[SettingsJournal]);
    if (journal == PlatformFileAbsent)
        return SettingsNothingToRecover;
    if (journal == PlatformFileFolder)
        return Stop(details, SettingsNeedsDecision, SettingsJournal, SettingsReading, SettingsFolder);
    JournalRecord record;
    SettingsCause cause;
    switch (ReadRecord(&record, &cause)) {
    case JournalGone:
        return SettingsNothingToRecover;  // the check could not tell, and there is none
    case JournalUnfinished:
        // Cut short while it was written: system.ini was never touched.
        return PutAway(details, SettingsTidied, nullptr, true);
    case JournalUntrusted:
        return Stop(details, SettingsNeedsDecision, SettingsJournal, SettingsReading, cause);
    case JournalWhole:
        break;
    }
    details->recorded = true;
    details->oldLength = record.oldLength;
    details->newLength = record.newLength;

    // system.ini whole, old or new: the change never began, or it ended.
    // It is never turned back from new to old.
    PlatformFlushProfileCache();
    switch (ExamineFile(SettingsIni, record, &cause, &details->iniLength)) {
    case SettingsHoldsOld:
        return PutAway(details, SettingsTidied, &record, true);
    case SettingsHoldsNew:
        details->finished = true;
        return PutAway(details, SettingsTidied, &record, false);
    case SettingsUnknown:
        return Stop(details, SettingsNotRecovered, SettingsIni, SettingsReading, cause);
    case SettingsHoldsNeither:
        break;
    }

    // Otherwise it is put back from a copy that holds the old content, when
    // it holds what Hueline's own interrupted write leaves.
    for (unsigned k = 0; k < 2; ++k) {
        char* old = ReadOldCopy(Copies[k], record, &details->copyLengths[k], &details->copyCauses[k]);
        if (old == nullptr)
            continue;
        details->copyCauses[k] = SettingsFine;
        SettingsRecovery result = PutBack(details, record, Copies[k], old);
        PlatformFree(old);
        return result;
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
    // Either copy may hold the only whole content of system.ini, which the
    // next change would replace: each is kept under a name of its own, and
    // the journal stays when one cannot be.
    bool kept[2] = {false, false};
    for (unsigned k = 0; k < 2 && problem->cause == SettingsFine; ++k) {
        PlatformFileCheck copy = PlatformCheckFile(SettingsPaths[Copies[k]]);
        if (copy == PlatformFileAbsent || copy == PlatformFileFolder)
            continue;
        kept[k] = PlatformRename(SettingsPaths[Copies[k]], SettingsPaths[KeptAs[k]]);
        if (!kept[k]) {
            bool taken = PlatformCheckFile(SettingsPaths[KeptAs[k]]) != PlatformFileAbsent;
            *problem = SettingsProblem{Copies[k], SettingsKeeping, taken ? SettingsNameTaken : SettingsNotRenamed};
        }
    }
    if (problem->cause == SettingsFine) {
        if (PlatformCheckFile(SettingsPaths[SettingsJournal]) == PlatformFileFolder)
            PlatformRemoveFolder(SettingsPaths[SettingsJournal]);
        if (RemoveAndCheck(SettingsJournal))
            return true;
        problem->cause = PlatformCheckFile(SettingsPaths[SettingsJournal]) == PlatformFileFolder ? SettingsFolder
                                                                                                : SettingsNotRemoved;
    }
    // The journal stays: so do the copies' names.
    for (unsigned k = 0; k < 2; ++k) {
        if (kept[k])
            PlatformRename(SettingsPaths[KeptAs[k]], SettingsPaths[Copies[k]]);
    }
    return false;
}
