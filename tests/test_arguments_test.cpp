// test.exe's command line: exactly two colour words after the program name.
#include <gtest/gtest.h>

#include <string>

#include "test_exe/test_arguments.h"

using std::string;

// "back text" as colour numbers, or "refused".
static string Parse(const char* line)
{
    unsigned char back = 99, text = 99;
    if (!ParseTestArguments(line, &back, &text))
        return back == 99 && text == 99 ? "refused" : "refused, but wrote a colour";
    return std::to_string(back) + " " + std::to_string(text);
}

static string Parse(const string& line)
{
    return Parse(line.c_str());
}

TEST(TestArguments, TwoColourWordsAfterTheProgramName)
{
    EXPECT_EQ(Parse("test.exe Dark_Blue Yellow"), "1 14");
    EXPECT_EQ(Parse("\"C:\\Program Files\\Hueline\\test.exe\" Dark_Gray Dark_Cyan"), "8 3");
    EXPECT_EQ(Parse("C:\\TOOLS\\test.exe   Blue\tWhite  "), "9 15");
    EXPECT_EQ(Parse("test.exe \"Gray\" Black"), "7 0");
    EXPECT_EQ(Parse("test.exe Dark_Mauve Dark_Mauve"), "5 5");
    EXPECT_EQ(Parse("\"" + string(2000, 'p') + "\" Red Green"), "12 10");
}

TEST(TestArguments, AnythingElseIsRefused)
{
    const char* refused[] = {
        nullptr, "", "   ", "test.exe", "test.exe Blue", "test.exe Blue White Red",
        // An unquoted path with a space: its second half is one word too many.
        "C:\\Program Files\\Hueline\\test.exe Blue White",
        "test.exe blue White", "test.exe Blue WHITE",      // exact case
        "test.exe \"Dark Blue\" White",                    // a space, not "_"
        "test.exe Dark__Blue White", "test.exe Dark_Blue_ White", "test.exe _Gray White",
        "test.exe Blue_[default] White", "test.exe 9 15", "test.exe Blue \"\"",
    };
    for (const char* line : refused)
        EXPECT_EQ(Parse(line), "refused") << (line ? line : "(null)");

    // Over-long words: no crash, no colour made of their first characters.
    EXPECT_EQ(Parse("test.exe " + string(39, 'x') + " White"), "refused");
    EXPECT_EQ(Parse("test.exe Blue" + string(100000, '_') + " White"), "refused");
    EXPECT_EQ(Parse("test.exe Blue White" + string(5000, 'e')), "refused");
}
