#include "settings/settings_reader.h"

#include "core/color_table.h"
#include "core/selection.h"
#include "platform/platform.h"
#include "settings/settings_lines.h"
#include "settings/settings_path.h"
#include "settings/whole_files.h"

// Bytes read per call. The part of a line left at the end of one read is
// moved before the next, when it is short enough to be looked at.
static const unsigned ReadSize = 4096;

// Process-wide rather than on the stack: the program runs one thread, and the
// executable has no stack-probe helper for large frames. The byte after the
// bytes read is a NUL, the scan's sentinel.
static char Buffer[LongLineContent + ReadSize + 1];

// Whether system.ini, read whole, is UTF-16 text; false when it could not be read.
static bool LooksWhollyLikeUtf16()
{
    unsigned length;
    SettingsCause cause;
    char* bytes = FindSettingsPaths() ? ReadWholeFile(SettingsIni, &length, &cause) : nullptr;
    const bool utf16 = bytes != nullptr && LooksLikeUtf16(bytes, length);
    if (bytes != nullptr)
        PlatformFree(bytes);
    return utf16;
}

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
    bool nuls = false;     // a NUL was read: the file may be UTF-16
    for (bool first = true;; first = false) {
        int got = PlatformRead(file, Buffer + carried, ReadSize);
        // What was read before a read error still counts, as it would have
        // when the file had ended there.
        bool atEnd = got <= 0;
        unsigned count = carried + (got > 0 ? (unsigned)got : 0);
        Buffer[count] = '\0';
        // UTF-16 text names no colour: its lines are not lines of bytes.
        if (first && LooksLikeUtf16(Buffer, count < 2 ? count : 2))
            nuls = true;
        unsigned from = 0;
        if (passing) {
            // Skip to the end of the long line.
            unsigned end = FindLineEnd(Buffer, count, 0);
            passing = end == count;
            from = passing ? count : end + 1;
            nuls |= !passing && Buffer[end] == '\0';
        }
        unsigned part = from + ScanSettingsLines(&colors, Buffer + from, count - from, atEnd, &nuls);
        if (atEnd)
            break;
        carried = count - part;
        if (carried >= LongLineContent) {
            passing = true;  // too long to look at
            carried = 0;
        }
        CopyBytes(Buffer, Buffer + part, carried);
    }
    PlatformClose(file);
    // Only a file with a NUL, or a byte-order mark, can be UTF-16: such a
    // file, rare, is read again whole to be judged.
    if (nuls && LooksWhollyLikeUtf16())
        return;

    if (colors.back != ColorNotFound)
        ColorSelection.InstalledBack = ColorTable[colors.back];
    if (colors.text != ColorNotFound)
        ColorSelection.InstalledText = ColorTable[colors.text];
}
