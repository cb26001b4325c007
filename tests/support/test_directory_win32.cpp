// Under Wine the tests use the Windows directory of the project's private
// prefix, as the program does.
#include "core/text.h"
#include "platform/platform.h"
#include "tests/support/settings_files.h"

std::string PrepareTestWindowsDirectory()
{
    char directory[TextBufferSize];
    if (PlatformWindowsDirectory(directory, sizeof directory) == 0)
        abort();
    return directory;
}

const char* TestPathSeparator()
{
    return "\\";
}
