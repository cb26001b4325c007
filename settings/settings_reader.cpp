#include "settings/settings_reader.h"

#include "core/color_table.h"
#include "core/selection.h"
#include "platform/platform.h"
#include "settings/settings_path.h"

// Process-wide rather than on the stack: the program runs one thread, and the
// executable has no stack-probe helper for large frames.
static SettingsScan Scan;
static char Chunk[SettingsChunkSize];

void ReadInstalledColors()
{
    ColorSelection.InstalledBack = ColorTable[DefaultBackColor];
    ColorSelection.InstalledText = ColorTable[DefaultTextColor];

    char path[TextBufferSize];
    if (!SettingsFilePath(path, SettingsIniFormat))
        return;
    PlatformFile file = PlatformOpenRead(path);
    if (file == PlatformNoFile)
        return;
    BeginSettingsScan(&Scan);
    int got;
    while ((got = PlatformRead(file, Chunk, SettingsChunkSize)) > 0)
        ScanSettingsBytes(&Scan, Chunk, (unsigned)got);
    PlatformClose(file);

    // What was read before a read error still counts, as it would have when
    // the file had ended there.
    if (Scan.back != ColorNotFound)
        ColorSelection.InstalledBack = ColorTable[Scan.back];
    if (Scan.text != ColorNotFound)
        ColorSelection.InstalledText = ColorTable[Scan.text];
}
