#include "settings/settings_path.h"

#include "platform/platform.h"

const char* const SettingsFileFormats[SettingsFileCount] = {
    "%s\\system.ini",
    "%s\\system.old",
    "%s\\hueline.bak",
    "%s\\hueline.mrk",
    "%s\\HUELINE.OLD",
    "%s\\HUELINE.CPY",
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
