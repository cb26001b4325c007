#include "tests/support/settings_files.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "settings/marker_block.h"
#include "settings/settings_writer.h"

std::string TestPath(const std::string& name)
{
    return PrepareTestWindowsDirectory() + TestPathSeparator() + name;
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

void SettingsFilesTest::SetUp()
{
    hadIni_ = ReadTestFile("system.ini", &savedIni_);
    hadOld_ = ReadTestFile("system.old", &savedOld_);
}

void SettingsFilesTest::TearDown()
{
    if (hadIni_)
        WriteTestFile("system.ini", savedIni_);
    else
        RemoveTestFile("system.ini");
    if (hadOld_)
        WriteTestFile("system.old", savedOld_);
    else
        RemoveTestFile("system.old");
}

static std::string Contents(const char* name)
{
    std::string bytes;
    return ReadTestFile(name, &bytes) ? bytes : std::string("<missing>");
}

std::string SettingsFilesTest::Ini() { return Contents("system.ini"); }
std::string SettingsFilesTest::Old() { return Contents("system.old"); }

static bool AppendToString(void* context, const char* bytes, unsigned count)
{
    static_cast<std::string*>(context)->append(bytes, count);
    return true;
}

std::string RewriteText(const std::string& input, bool apply, const char* back, const char* text,
                        size_t chunk)
{
    static char block[MarkerBlockSize];
    unsigned blockLength = apply ? BuildMarkerBlock(block, back, text) : 0;
    static SettingsRewrite rewrite;
    std::string output;
    BeginSettingsRewrite(&rewrite, block, blockLength, AppendToString, &output);
    for (size_t at = 0; at < input.size(); at += chunk) {
        size_t n = std::min(chunk, input.size() - at);
        EXPECT_TRUE(RewriteSettingsBytes(&rewrite, input.data() + at, (unsigned)n));
    }
    EXPECT_TRUE(FinishSettingsRewrite(&rewrite));
    return output;
}
