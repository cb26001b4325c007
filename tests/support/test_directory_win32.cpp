// Under Wine the tests use the Windows directory of the project's private
// prefix, as the program does, and its real files.
#include <cstdio>
#include <fstream>
#include <iterator>

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

void WriteTestFile(const std::string& name, const std::string& bytes)
{
    std::ofstream out(TestPath(name), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), (std::streamsize)bytes.size());
    ASSERT_TRUE(out.good()) << "cannot write " << TestPath(name);
}

bool ReadTestFile(const std::string& name, std::string* bytes)
{
    std::ifstream in(TestPath(name), std::ios::binary);
    if (!in)
        return false;
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

void RemoveTestFile(const std::string& name)
{
    std::remove(TestPath(name).c_str());
}
