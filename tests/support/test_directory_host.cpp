#include <stdlib.h>

#include "platform/host_control.h"
#include "tests/support/settings_files.h"

std::string PrepareTestWindowsDirectory()
{
    static std::string directory;
    if (directory.empty()) {
        char pattern[] = "/tmp/hueline-test-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (made == nullptr)
            abort();
        directory = made;
        HostSetWindowsDirectory(directory.c_str());
    }
    return directory;
}

const char* TestPathSeparator()
{
    return "/";
}
