#include <gtest/gtest.h>

#include <string>

#include "shell/program_directory.h"

static std::string DirectoryOf(const std::string& path)
{
    char buffer[TextBufferSize];
    buffer[path.copy(buffer, sizeof buffer - 1)] = '\0';
    CutToDirectory(buffer);
    return buffer;
}

TEST(ProgramDirectory, CutAfterTheLastSeparator)
{
    EXPECT_EQ(DirectoryOf("C:\\TOOLS\\SCREEN.EXE"), "C:\\TOOLS\\");
    EXPECT_EQ(DirectoryOf("C:\\A/B\\x.exe"), "C:\\A/B\\");
    EXPECT_EQ(DirectoryOf("C:\\A\\B/x.exe"), "C:\\A\\B/");  // "/" separates too
    EXPECT_EQ(DirectoryOf("D:/Tools/hueline.exe"), "D:/Tools/");
    EXPECT_EQ(DirectoryOf("C:\\MY TOOLS\\hueline.exe"), "C:\\MY TOOLS\\");
    EXPECT_EQ(DirectoryOf("C:\\"), "C:\\");
    EXPECT_EQ(DirectoryOf("hueline.exe"), "");
    EXPECT_EQ(DirectoryOf(""), "");
    std::string longest = "C:\\" + std::string(TextBufferSize - 6, 'd') + "\\x";
    ASSERT_EQ(longest.size(), TextBufferSize - 1);
    EXPECT_EQ(DirectoryOf(longest), longest.substr(0, longest.size() - 1));
}

TEST(ProgramDirectory, APathFillingTheWholeBufferIsNotTrusted)
{
    char buffer[TextBufferSize];
    for (char& c : buffer)
        c = '\\';  // no end anywhere
    CutToDirectory(buffer);
    EXPECT_STREQ(buffer, "");
}
