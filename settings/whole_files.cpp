#include "settings/whole_files.h"

#include "platform/platform.h"
#include "settings/settings_rewrite.h"

char SettingsPaths[SettingsFileCount][TextBufferSize];

bool FindSettingsPaths()
{
    for (unsigned f = 0; f < SettingsFileCount; ++f) {
        if (!SettingsFilePath(SettingsPaths[f], (SettingsFile)f))
            return false;
    }
    return true;
}

SettingsCause CauseOfFailedOpen(SettingsFile file, bool reading)
{
    switch (PlatformCheckFile(SettingsPaths[file])) {
    case PlatformFileAbsent:
        return reading ? SettingsMissing : SettingsNotOpened;
    case PlatformFileFolder:
        return SettingsFolder;
    default:
        return SettingsNotOpened;
    }
}

char* ReadWholeFile(SettingsFile file, unsigned* length, SettingsCause* cause)
{
    *length = 0;
    PlatformFile in = PlatformOpenRead(SettingsPaths[file]);
    if (in == PlatformNoFile) {
        *cause = CauseOfFailedOpen(file, true);
        return nullptr;
    }
    long size = PlatformFileLength(in);
    char* bytes = nullptr;
    if (size >= 0)
        *length = (unsigned)size;
    if (size < 0)
        *cause = SettingsReadFailed;
    else if ((unsigned long)size > LargestSettingsFile)
        *cause = SettingsTooLarge;
    else if ((bytes = (char*)PlatformAllocate((unsigned long)size * 2 + RewriteRoom)) == nullptr)
        *cause = SettingsNoMemory;
    else if (size > 0 && PlatformRead(in, bytes, (unsigned)size) != size) {
        *cause = SettingsReadFailed;
        PlatformFree(bytes);
        bytes = nullptr;
    }
    PlatformClose(in);  // it was only read: a failed close loses nothing
    if (bytes != nullptr)
        *cause = SettingsFine;
    return bytes;
}

char* MakeNewContent(char* old, unsigned length, const char* block, unsigned blockLength, unsigned* newLength,
                     void** extra, unsigned* headers, unsigned* removed)
{
    *extra = nullptr;
    char* made = old + length;
    const unsigned room = length + RewriteRoom;
    *newLength = RewriteSettingsText(old, length, block, blockLength, made, room, headers, removed);
    if (*newLength <= room)
        return made;
    // Many [386Enh] headers, each taking a block.
    made = (char*)PlatformAllocate(*newLength);
    if (made == nullptr)
        return nullptr;
    *extra = made;
    RewriteSettingsText(old, length, block, blockLength, made, *newLength, headers, removed);
    return made;
}

char Piece[4096];

// Reads an open file from its start in pieces; its CRC-32, and false when a
// read failed or ended before length bytes.
static bool CrcOf(PlatformFile in, uint32_t length, uint32_t* crc)
{
    *crc = 0;
    for (uint32_t left = length; left > 0;) {
        int got = PlatformRead(in, Piece, left < sizeof Piece ? (unsigned)left : sizeof Piece);
        if (got <= 0)
            return false;
        *crc = Crc32(*crc, Piece, (unsigned)got);
        left -= (uint32_t)got;
    }
    return true;
}

SettingsCause WriteCheckedFile(SettingsFile file, const char* bytes, unsigned count, uint32_t crc)
{
    PlatformFile out = PlatformCreate(SettingsPaths[file]);
    if (out == PlatformNoFile)
        return CauseOfFailedOpen(file, false);
    SettingsCause cause = SettingsFine;
    int put = count == 0 ? 0 : PlatformWrite(out, bytes, count);
    if (put != (int)count)
        cause = put >= 0 ? SettingsDiskFull : SettingsWriteFailed;
    else if (!PlatformFlush(out) || PlatformFileLength(out) != (long)count)
        cause = SettingsWriteFailed;
    if (!PlatformClose(out) && cause == SettingsFine)
        cause = SettingsWriteFailed;
    if (cause != SettingsFine)
        return cause;
    const FileSummary back = SummarizeFile(file);
    return back.state == SettingsRead && back.length == count && back.crc == crc ? SettingsFine
                                                                                  : SettingsWriteFailed;
}

PlatformFileCheck CheckFile(SettingsFile file)
{
    PlatformFileCheck check = PlatformCheckFile(SettingsPaths[file]);
    return check == PlatformFileUnknown ? PlatformCheckFile(SettingsPaths[file]) : check;
}

bool RemoveAndCheck(SettingsFile file)
{
    PlatformDelete(SettingsPaths[file]);
    // Some systems report a removal that did not happen.
    return CheckFile(file) == PlatformFileAbsent;
}

void CommitAfter(SettingsFile file, bool renamed)
{
    PlatformCommitVolume(SettingsPaths[file]);
    if (!renamed)
        return;
    PlatformFile out = PlatformOpenWrite(SettingsPaths[file]);
    if (out == PlatformNoFile)
        return;
    PlatformFlush(out);
    PlatformClose(out);
}

FileSummary SummarizeFile(SettingsFile file)
{
    FileSummary summary = {SettingsUnreadable, 0, 0, SettingsFine};
    PlatformFile in = PlatformOpenRead(SettingsPaths[file]);
    if (in == PlatformNoFile) {
        summary.cause = CauseOfFailedOpen(file, true);
        if (summary.cause == SettingsMissing)
            summary.state = SettingsAbsent;
        else if (summary.cause == SettingsFolder)
            summary.state = SettingsFolderThere;
        return summary;
    }
    long size = PlatformFileLength(in);
    summary.length = size < 0 ? 0 : (uint32_t)size;
    if (size >= 0 && CrcOf(in, summary.length, &summary.crc))
        summary.state = SettingsRead;
    else
        summary.cause = SettingsReadFailed;
    PlatformClose(in);
    return summary;
}

bool SameContent(const FileSummary& a, const FileSummary& b)
{
    return a.state == SettingsRead && b.state == SettingsRead && a.length == b.length && a.crc == b.crc;
}

SettingsMatch MatchOf(const JournalRecord& journal, const FileSummary& file, bool newFirst)
{
    switch (file.state) {
    case SettingsAbsent:
        return SettingsHoldsNothing;
    case SettingsFolderThere:
        return SettingsHoldsFolder;
    case SettingsUnreadable:
        return SettingsHoldsUnknown;
    case SettingsRead:
        break;
    }
    const bool old = file.length == journal.oldLength && file.crc == journal.oldCrc;
    const bool made = file.length == journal.newLength && file.crc == journal.newCrc;
    if (made && (newFirst || !old))
        return SettingsHoldsNew;
    return old ? SettingsHoldsOld : SettingsHoldsOther;
}
