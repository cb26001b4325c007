#include "settings/settings_writer.h"

#include "core/selection.h"
#include "platform/platform.h"
#include "settings/marker_block.h"
#include "settings/settings_path.h"

namespace {

// Process-wide rather than on the stack: the program runs one thread, and the
// executable has no stack-probe helper for large frames.
char Chunk[SettingsChunkSize];
SettingsRewrite Rewrite;
char Block[MarkerBlockSize];

struct BufferedOutput {
    PlatformFile file;
    unsigned used;
    char bytes[SettingsChunkSize];
};
BufferedOutput Output;

bool WriteAll(PlatformFile file, const char* bytes, unsigned count)
{
    return PlatformWrite(file, bytes, count) == (int)count;
}

bool Flush(BufferedOutput* out)
{
    bool ok = out->used == 0 || WriteAll(out->file, out->bytes, out->used);
    out->used = 0;
    return ok;
}

// Fills the buffer and writes it whole, so that every write but the last is
// one full chunk.
bool BufferedWrite(void* context, const char* bytes, unsigned count)
{
    BufferedOutput* out = (BufferedOutput*)context;
    while (count > 0) {
        unsigned room = SettingsChunkSize - out->used;
        unsigned part = count < room ? count : room;
        CopyBytes(out->bytes + out->used, bytes, part);
        out->used += part;
        bytes += part;
        count -= part;
        if (out->used == SettingsChunkSize && !Flush(out))
            return false;
    }
    return true;
}

// Copies the file at from to the file at to, creating or truncating it.
// Returns the number of bytes copied, or -1 when any step failed.
long CopyWholeFile(const char* from, const char* to)
{
    PlatformFile in = PlatformOpenRead(from);
    if (in == PlatformNoFile)
        return -1;
    PlatformFile out = PlatformCreate(to);
    if (out == PlatformNoFile) {
        PlatformClose(in);
        return -1;
    }
    long total = 0;
    int got;
    while ((got = PlatformRead(in, Chunk, SettingsChunkSize)) > 0) {
        if (!WriteAll(out, Chunk, (unsigned)got))
            break;
        total += got;
    }
    bool ok = got == 0;
    PlatformClose(in);  // it was only read: a failed close loses nothing
    if (!PlatformClose(out))
        ok = false;
    return ok ? total : -1;
}

// Rebuilds system.ini (target, already truncated) from system.old (source).
bool RebuildSettings(PlatformFile source, PlatformFile target, bool apply)
{
    unsigned blockLength = 0;
    if (apply)
        blockLength = BuildMarkerBlock(Block, ColorSelection.InstalledBack, ColorSelection.InstalledText);
    Output.file = target;
    Output.used = 0;
    BeginSettingsRewrite(&Rewrite, Block, blockLength, BufferedWrite, &Output);
    int got;
    while ((got = PlatformRead(source, Chunk, SettingsChunkSize)) > 0) {
        if (!RewriteSettingsBytes(&Rewrite, Chunk, (unsigned)got))
            return false;
    }
    return got == 0 && FinishSettingsRewrite(&Rewrite) && Flush(&Output);
}

}  // namespace

void WriteColorSettings(bool apply)
{
    char iniPath[TextBufferSize];
    char oldPath[TextBufferSize];
    if (!SettingsFilePath(iniPath, SettingsIniFormat) || !SettingsFilePath(oldPath, SettingsOldFormat))
        return;

    // Back up. Until the backup is known to be whole, system.ini is not touched.
    long copied = CopyWholeFile(iniPath, oldPath);
    if (copied < 0)
        return;
    PlatformFile source = PlatformOpenRead(oldPath);
    if (source == PlatformNoFile)
        return;
    if (PlatformFileLength(source) != copied) {
        PlatformClose(source);
        return;
    }

    // Rebuild; on any failure put the old content back from the backup.
    PlatformFile target = PlatformCreate(iniPath);
    bool ok = target != PlatformNoFile && RebuildSettings(source, target, apply);
    if (target != PlatformNoFile && !PlatformClose(target))
        ok = false;
    PlatformClose(source);
    if (!ok)
        CopyWholeFile(oldPath, iniPath);
}
