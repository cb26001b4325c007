// On the host the tests' Windows directory is the stand-in's, on its disk in
// memory; and every test must leave no file open.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

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

std::string CopyTheReadmeTakes()
{
    std::ifstream in(std::string(HUELINE_SOURCE_DIR) + "/resources/readme.txt", std::ios::binary);
    const std::string readme((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // 'Its line "LABEL" gives the length of the good SYSTEM.INI', as DIR prints it.
    const size_t from = readme.find("Its line \"") + 10, step = readme.find("the good copy", from);
    const std::string label = readme.substr(from, readme.find('"', from) - from);
    std::string journal, stated;
    EXPECT_TRUE(from > 10 && step != std::string::npos && ReadTestFile("hueline.mrk", &journal));
    const size_t line = journal.find(label);
    if (line != std::string::npos)
        std::istringstream(journal.substr(line + label.size())) >> stated;
    // The copies in the order that step names them; DIR puts commas between the thousands.
    std::vector<std::pair<size_t, std::string>> copies = {{readme.find("HUELINE.BAK", step), "HUELINE.BAK"},
                                                          {readme.find("SYSTEM.OLD", step), "SYSTEM.OLD"}};
    std::sort(copies.begin(), copies.end());
    for (const auto& copy : copies) {
        std::string bytes;
        if (!ReadTestFile(copy.second, &bytes))
            continue;
        std::string dir = std::to_string(bytes.size());
        for (size_t at = dir.size(); at > 3; at -= 3)
            dir.insert(at - 3, ",");
        if (dir == stated) {
            EXPECT_NE(readme.find("copy /y " + copy.second + " SYSTEM.INI"), std::string::npos) << copy.second;
            return copy.second;
        }
    }
    return "";
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
