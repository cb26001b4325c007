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

bool WriteAll(PlatformFile file, const char* bytes, unsigned count)
{
    return count == 0 || PlatformWrite(file, bytes, count) == (int)count;
}

// Reads the whole file at path into a new block with room bytes to spare
// after it. Returns the block (null on any failure) and its file's length.
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

// Creates (or truncates) the file at path and writes bytes into it in one call.
bool WriteWholeFile(const char* path, const char* bytes, unsigned count)
{
    PlatformFile out = PlatformCreate(path);
    if (out == PlatformNoFile)
        return false;
    bool ok = WriteAll(out, bytes, count);
    return PlatformClose(out) && ok;
}

// True when the file at path is length bytes long.
bool HasLength(const char* path, unsigned length)
{
    PlatformFile file = PlatformOpenRead(path);
    if (file == PlatformNoFile)
        return false;
    bool ok = PlatformFileLength(file) == (long)length;
    PlatformClose(file);
    return ok;
}

}  // namespace

SettingsWriteResult WriteColorSettings(bool apply)
{
    char iniPath[TextBufferSize];
    char oldPath[TextBufferSize];
    if (!SettingsFilePath(iniPath, SettingsIniFormat) || !SettingsFilePath(oldPath, SettingsOldFormat))
        return SettingsUnchanged;
    char block[MarkerBlockSize];
    unsigned blockLength = 0;
    if (apply) {
        blockLength = BuildMarkerBlock(block, ColorSelection.InstalledBack, ColorSelection.InstalledText);
        if (blockLength == 0)
            return SettingsUnchanged;
    }

    // Back up. Until the backup is known to be whole, system.ini is not touched.
    unsigned length;
    char* old = ReadWholeFile(iniPath, &length);
    if (old == nullptr)
        return SettingsUnchanged;
    SettingsWriteResult result = SettingsUnchanged;
    if (WriteWholeFile(oldPath, old, length) && HasLength(oldPath, length)) {
        // The new content, made whole in memory before system.ini is truncated.
        char* made = old + length;
        unsigned room = length + ExtraRoom;
        unsigned headers;
        unsigned newLength = RewriteSettingsText(old, length, block, blockLength, made, room, &headers);
        PlatformFile out = newLength <= room ? PlatformCreate(iniPath) : PlatformNoFile;
        if (out != PlatformNoFile) {
            bool ok = WriteAll(out, made, newLength);
            if (PlatformClose(out) && ok)
                result = apply && headers == 0 ? SettingsNoSection : SettingsWritten;
            else if (!WriteWholeFile(iniPath, old, length))
                result = SettingsNotPutBack;
        }
    }
    PlatformFree(old);
    return result;
}
