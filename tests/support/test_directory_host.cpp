// On the host the tests' Windows directory is the stand-in's, on its disk in
// memory; and every test must leave no file open.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <utility>
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

// A length as DIR prints it: commas between the thousands.
static std::string AsDirPrintsIt(size_t length)
{
    std::string digits = std::to_string(length);
    for (size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, ",");
    return digits;
}

std::string CopyTheReadmeTakes()
{
    std::ifstream in(std::string(HUELINE_SOURCE_DIR) + "/resources/readme.txt", std::ios::binary);
    const std::string readme((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // "Its line "LABEL" gives the length of the good SYSTEM.INI."
    const std::string lead = "Its line \"";
    const size_t quote = readme.find(lead);
    std::string journal;
    if (quote == std::string::npos || !ReadTestFile("hueline.mrk", &journal)) {
        ADD_FAILURE() << "README.TXT names no line of the journal, or there is no journal";
        return "";
    }
    const size_t from = quote + lead.size();
    const std::string label = readme.substr(from, readme.find('"', from) - from);
    const size_t line = journal.find(label);
    if (line == std::string::npos)
        return "";
    const size_t end = journal.find("\r\n", line);
    std::string stated = journal.substr(line + label.size(), end - line - label.size());
    stated.erase(0, stated.find_first_not_of(' '));
    stated = stated.substr(0, stated.find(' '));  // "2,620 bytes"
    // The copies in the order the step that picks one names them.
    const size_t step = readme.find("the good copy", from);
    std::vector<std::pair<size_t, std::string>> copies;
    for (const char* name : {"HUELINE.BAK", "SYSTEM.OLD"})
        copies.push_back({readme.find(name, step), name});
    std::sort(copies.begin(), copies.end());
    for (const auto& copy : copies) {
        std::string bytes;
        if (ReadTestFile(copy.second, &bytes) && AsDirPrintsIt(bytes.size()) == stated) {
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
