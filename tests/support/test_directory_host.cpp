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
    static const std::string readme = [] {
        std::ifstream in(std::string(HUELINE_SOURCE_DIR) + "/resources/readme.txt", std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }();
    std::string journal, ignored;
    EXPECT_TRUE(ReadTestFile("hueline.mrk", &journal));
    // Step 4: a SYSTEM.INI that DIR lists is whole, but under an older journal.
    const size_t step4 = readme.find("\n4. "), step5 = readme.find("\n5. "), step6 = readme.find("\n6. ");
    EXPECT_TRUE(step4 != std::string::npos && step5 != std::string::npos && step6 != std::string::npos);
    if (ReadTestFile("system.ini", &ignored) && journal.find("version 3") != std::string::npos)
        return "";
    // The lengths on the journal's lines that step 4 names, as DIR prints them.
    auto stated = [&](const char* which) {
        const size_t at = readme.find(std::string("\"length ") + which, step4);
        EXPECT_LT(at, step5) << which;
        const std::string label = readme.substr(at + 1, readme.find('"', at + 1) - at - 1);
        std::string number;
        const size_t line = journal.find(label);
        if (line != std::string::npos)
            std::istringstream(journal.substr(line + label.size())) >> number;
        return number;
    };
    // Step 5's copies, in its order, each with the length it names.
    std::vector<std::pair<size_t, std::string>> copies;
    for (const char* name : {"HUELINE.NEW", "SYSTEM.OLD", "HUELINE.BAK"})
        copies.push_back({readme.find(std::string("copy /y ") + name + " SYSTEM.INI", step5), name});
    std::sort(copies.begin(), copies.end());
    for (const auto& copy : copies) {
        EXPECT_LT(copy.first, step6) << copy.second;
        const size_t named = readme.rfind("exactly the length ", copy.first);
        const std::string length = stated(readme.compare(named + 19, 5, "after") == 0 ? "after" : "before");
        std::string bytes;
        if (!ReadTestFile(copy.second, &bytes))
            continue;
        std::string dir = std::to_string(bytes.size());
        for (size_t at = dir.size(); at > 3; at -= 3)
            dir.insert(at - 3, ",");
        if (dir == length)
            return copy.second;
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
