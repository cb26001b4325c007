#include "settings/settings_writer.h"

#include "core/selection.h"
#include "platform/platform.h"
#include "settings/marker_block.h"
#include "settings/settings_path.h"
#include "settings/settings_rewrite.h"

namespace {

// Room for the new content beside the old: as much again, and more for the
// blocks of a file with many headers.
const unsigned long ExtraRoom = 64u << 10;

const char MarkText[] = "Hueline is rewriting system.ini; system.old holds it as it was.\r\n";

struct SettingsPaths {
    char ini[TextBufferSize];
    char old[TextBufferSize];
    char mark[TextBufferSize];
};
// Process-wide rather than on the stack: the program runs one thread, and the
// executable has no stack-probe helper for large frames.
SettingsPaths Paths;

bool FindPaths()
{
    return SettingsFilePath(Paths.ini, SettingsIniFormat) && SettingsFilePath(Paths.old, SettingsOldFormat) &&
           SettingsFilePath(Paths.mark, SettingsMarkFormat);
}

// Reads the whole file at path into a new block with room to spare after it
// for the new content. Returns the block (null on any failure) and its
// file's length.
char* ReadWholeFile(const char* path, unsigned* length)
{
    PlatformFile in = PlatformOpenRead(path);
    if (in == PlatformNoFile)
        return nullptr;
    long size = PlatformFileLength(in);
    char* bytes = nullptr;
    if (size >= 0 && (unsigned long)size <= LargestSettingsFile)
        bytes = (char*)PlatformAllocate(2 * (unsigned long)size + ExtraRoom);
    if (bytes != nullptr && size > 0 && PlatformRead(in, bytes, (unsigned)size) != size) {
        PlatformFree(bytes);
        bytes = nullptr;
    }
    PlatformClose(in);  // it was only read: a failed close loses nothing
    *length = (unsigned)size;
    return bytes;
}

// Writes bytes into the file just created, in one call, makes sure they have
// reached the disk, checks that the file is as long as they are, and closes it.
bool FillAndClose(PlatformFile out, const char* bytes, unsigned count)
{
    bool ok = (count == 0 || PlatformWrite(out, bytes, count) == (int)count) && PlatformFlush(out) &&
              PlatformFileLength(out) == (long)count;
    return PlatformClose(out) && ok;
}

// Creates (or truncates) the file at path and fills it with bytes.
bool WriteWholeFile(const char* path, const char* bytes, unsigned count)
{
    PlatformFile out = PlatformCreate(path);
    return out != PlatformNoFile && FillAndClose(out, bytes, count);
}

}  // namespace

SettingsRecovery RecoverInterruptedRewrite()
{
    // When the system cannot tell whether the mark stands, nothing is put
    // back now; the rewrite refuses to run meanwhile.
    if (!FindPaths() || PlatformCheckFile(Paths.mark) != PlatformFilePresent)
        return SettingsNothingToRecover;
    // system.old is whole, or the mark would not have been made: put it back.
    // Until system.ini is whole again the mark stays, so that this can be
    // interrupted too.
    unsigned length;
    char* old = ReadWholeFile(Paths.old, &length);
    if (old == nullptr)
        return SettingsNotRecovered;
    bool ok = WriteWholeFile(Paths.ini, old, length) && PlatformDelete(Paths.mark);
    PlatformFree(old);
    return ok ? SettingsRecovered : SettingsNotRecovered;
}

SettingsWriteResult WriteColorSettings(bool apply)
{
    // While a mark stands, system.old is the one whole copy and must not be
    // overwritten: the rewrite runs only when the mark is known to be absent
    // (a mark that merely cannot be opened still stands).
    if (!FindPaths() || PlatformCheckFile(Paths.mark) != PlatformFileAbsent)
        return SettingsUnchanged;
    char block[MarkerBlockSize];
    unsigned blockLength = 0;
    if (apply) {
        blockLength = BuildMarkerBlock(block, ColorSelection.InstalledBack, ColorSelection.InstalledText);
        if (blockLength == 0)
            return SettingsUnchanged;
    }

    // Back up. Until the backup is known to be whole on the disk, system.ini
    // is not touched.
    unsigned length;
    char* old = ReadWholeFile(Paths.ini, &length);
    if (old == nullptr)
        return SettingsUnchanged;
    SettingsWriteResult result = SettingsUnchanged;
    // The new content, made whole in memory before system.ini is truncated.
    char* made = old + length;
    unsigned room = length + ExtraRoom;
    unsigned headers;
    unsigned newLength = RewriteSettingsText(old, length, block, blockLength, made, room, &headers);
    bool backedUp = newLength <= room && WriteWholeFile(Paths.old, old, length);
    bool marked = backedUp && WriteWholeFile(Paths.mark, MarkText, sizeof MarkText - 1);
    if (marked) {
        PlatformFile out = PlatformCreate(Paths.ini);
        if (out != PlatformNoFile) {  // else system.ini was not even truncated
            if (FillAndClose(out, made, newLength))
                result = apply && headers == 0 ? SettingsNoSection : SettingsWritten;
            else if (!WriteWholeFile(Paths.ini, old, length))
                result = SettingsNotPutBack;  // the mark stays: the next start puts it back
        }
    }
    if (backedUp && result != SettingsNotPutBack)
        PlatformDelete(Paths.mark);  // system.ini is whole (or a mark was only half made)
    PlatformFree(old);
    return result;
}
