#include <stdlib.h>

#include <filesystem>

#include "tests/host/host_control.h"
#include "tests/support/settings_files.h"

// A fresh folder under the build tree for each run, removed when it ends.
std::string PrepareTestWindowsDirectory()
{
    static std::string directory;
    if (directory.empty()) {
        std::filesystem::create_directories(HUELINE_TEST_FILES);
        std::string pattern = std::string(HUELINE_TEST_FILES) + "/run-XXXXXX";
        if (mkdtemp(&pattern[0]) == nullptr)
            abort();
        directory = pattern;
        HostSetWindowsDirectory(directory.c_str());
        atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(directory, ignored);
        });
    }
    return directory;
}

const char* TestPathSeparator()
{
    return "/";
}
