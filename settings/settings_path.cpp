#include "settings/settings_path.h"

#include "platform/platform.h"

// Upper-case 8.3 names: on a FAT disk under Windows 9x a name in lower case
// gets a long-name slot beside its entry, so a rename or a creation would
// change two slots of the directory instead of one.
const char* const SettingsFileFormats[SettingsFileCount] = {
    "%s\\SYSTEM.INI",
    "%s\\SYSTEM.OLD",
    "%s\\HUELINE.BAK",
    "%s\\HUELINE.NEW",
    "%s\\HUELINE.MRK",
    "%s\\HUELINE.OLD",
    "%s\\HUELINE.CPY",
    "%s\\HUELINE.INI",
};

bool SettingsFilePath(char* out, SettingsFile file)
{
    char directory[TextBufferSize];
    out[0] = '\0';
    if (PlatformWindowsDirectory(directory, TextBufferSize) == 0)
        return false;
    FormatArg arg;
    arg.text = directory;
    return FormatText(out, TextBufferSize, SettingsFileFormats[file], &arg, 1) >= 0;
}
