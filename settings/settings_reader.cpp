#include "settings/settings_reader.h"

#include "core/color_table.h"
#include "core/selection.h"
#include "platform/platform.h"
#include "settings/settings_lines.h"
#include "settings/settings_path.h"

// Bytes read per call. The part of a line left at the end of one read is
// moved before the next, when it is short enough to be looked at.
static const unsigned ReadSize = 4096;

// Process-wide rather than on the stack: the program runs one thread, and the
// executable has no stack-probe helper for large frames. The byte after the
// bytes read is a NUL, the scan's sentinel.
static char Buffer[LongLineContent + ReadSize + 1];

void ReadInstalledColors()
{
    ColorSelection.InstalledBack = ColorTable[DefaultBackColor];
    ColorSelection.InstalledText = ColorTable[DefaultTextColor];

    char path[TextBufferSize];
    if (!SettingsFilePath(path, SettingsIni))
        return;
    PlatformFlushProfileCache();  // what the system has cached of system.ini goes to the disk first
    PlatformFile file = PlatformOpenRead(path);
    if (file == PlatformNoFile)
        return;
    SettingsColors colors = {ColorNotFound, ColorNotFound};
    unsigned carried = 0;  // Buffer[0, carried) begins a line
    bool passing = false;  // inside a line too long to look at, whose start is gone
    Utf16Evidence evidence = {{0, 0}, 0, {0, 0, 0}, false, false};
    for (;;) {
        int got = PlatformRead(file, Buffer + carried, ReadSize);
        // What was read before a read error still counts, as it would have
        // when the file had ended there.
        bool atEnd = got <= 0;
        unsigned count = carried + (got > 0 ? (unsigned)got : 0);
        Buffer[count] = '\0';
        unsigned from = 0;
        bool nuls = false;  // the bytes just read hold a NUL: a NUL ends a line, so none is carried
        if (passing) {
            // Skip to the end of the long line.
            unsigned end = FindLineEnd(Buffer, count, 0);
            passing = end == count;
            from = passing ? count : end + 1;
            nuls = !passing && Buffer[end] == '\0';
        }
        unsigned part = from + ScanSettingsLines(&colors, Buffer + from, count - from, atEnd, &nuls);
        if (got > 0)
            CountUtf16Evidence(&evidence, Buffer + carried, (unsigned)got, nuls);
        // UTF-16 text names no colour: its lines are not lines of bytes.
        if (atEnd || evidence.shape || evidence.byteOrderMark)
            break;
        carried = count - part;
        if (carried >= LongLineContent) {
            passing = true;  // too long to look at
            carried = 0;
        }
        CopyBytes(Buffer, Buffer + part, carried);
    }
    PlatformClose(file);
    if (LooksLikeUtf16(evidence))
        return;

    if (colors.back != ColorNotFound)
        ColorSelection.InstalledBack = ColorTable[colors.back];
    if (colors.text != ColorNotFound)
        ColorSelection.InstalledText = ColorTable[colors.text];
}
