// On the host the tests' Windows directory is the stand-in's, on its disk in
// memory; and every test must leave no file open.
#include <gtest/gtest.h>

#include "tests/host/host_control.h"
#include "tests/support/settings_files.h"

std::string PrepareTestWindowsDirectory()
{
    return HostWindowsDirectory();
}

const char* TestPathSeparator()
{
    return "\\";
}

void WriteTestFile(const std::string& name, const std::string& bytes)
{
    HostPutFile(TestPath(name), bytes);
}

bool ReadTestFile(const std::string& name, std::string* bytes)
{
    return HostGetFile(TestPath(name), bytes);
}

void RemoveTestFile(const std::string& name)
{
    HostRemoveFile(TestPath(name));
}

namespace {

// A call that opens a file and does not close it fails the test it ran in.
class OpenFilesCheck : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override
    {
        std::string names;
        for (const std::string& name : HostOpenFiles())
            names += " " + name;
        EXPECT_EQ(HostOpenFileCount(), 0u) << "files left open:" << names;
        HostClearDisk();
    }
};

// Listeners are told of a test's end in the reverse order of their adding:
// added before the tests run, this one comes before the printer's report.
const bool OpenFilesChecked = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new OpenFilesCheck);
    return true;
}();

}  // namespace
