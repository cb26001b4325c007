#include "settings/whole_files.h"

#include "platform/platform.h"
#include "settings/settings_rewrite.h"

char SettingsPaths[SettingsFileCount][TextBufferSize];
const SettingsFile Copies[2] = {SettingsOld, SettingsCopy};
const SettingsFile KeptAs[2] = {SettingsKeptOld, SettingsKeptCopy};

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

char* ReadWholeFile(SettingsFile file, unsigned* length, SettingsCause* cause, long expected)
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
    else if (expected >= 0 && size != expected)
        *cause = SettingsOtherLength;
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

SettingsCause WriteWholeFile(SettingsFile file, const char* bytes, unsigned count)
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
    return cause;
}

bool RemoveAndCheck(SettingsFile file)
{
    PlatformDelete(SettingsPaths[file]);
    // Some systems report a removal that did not happen.
    return PlatformCheckFile(SettingsPaths[file]) == PlatformFileAbsent;
}

SettingsMatch MatchOf(const JournalRecord& journal, unsigned long length, uint32_t crc)
{
    if (length == journal.oldLength && crc == journal.oldCrc)
        return SettingsHoldsOld;
    if (length == journal.newLength && crc == journal.newCrc)
        return SettingsHoldsNew;
    return SettingsHoldsNeither;
}

char Piece[PieceSize];

SettingsMatch ExamineFile(SettingsFile file, const JournalRecord& journal, SettingsCause* cause, long* length)
{
    long ignored;
    if (length == nullptr)
        length = &ignored;
    *length = -1;
    *cause = SettingsFine;
    PlatformFile in = PlatformOpenRead(SettingsPaths[file]);
    if (in == PlatformNoFile) {
        *cause = CauseOfFailedOpen(file, true);
        return *cause == SettingsMissing || *cause == SettingsFolder ? SettingsHoldsNeither : SettingsUnknown;
    }
    SettingsMatch match = SettingsHoldsNeither;
    long size = PlatformFileLength(in);
    *length = size;
    if (size < 0) {
        *cause = SettingsReadFailed;
        match = SettingsUnknown;
    } else if ((unsigned long)size == journal.newLength || (unsigned long)size == journal.oldLength) {
        uint32_t crc = 0;
        unsigned long left = (unsigned long)size;
        while (left > 0) {
            int got = PlatformRead(in, Piece, left < sizeof Piece ? (unsigned)left : sizeof Piece);
            if (got <= 0)
                break;
            crc = Crc32(crc, Piece, (unsigned)got);
            left -= (unsigned long)got;
        }
        if (left > 0) {
            *cause = SettingsReadFailed;
            match = SettingsUnknown;
        } else {
            match = MatchOf(journal, (unsigned long)size, crc);
        }
    }
    PlatformClose(in);
    return match;
}
