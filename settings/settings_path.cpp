#include "settings/settings_path.h"

#include "core/text.h"
#include "platform/platform.h"

bool SettingsFilePath(char* out, const char* format)
{
    char directory[TextBufferSize];
    out[0] = '\0';
    if (PlatformWindowsDirectory(directory, TextBufferSize) == 0)
        return false;
    FormatArg arg;
    arg.text = directory;
    return FormatText(out, TextBufferSize, format, &arg, 1) >= 0;
}
