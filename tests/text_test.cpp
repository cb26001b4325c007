#include <gtest/gtest.h>

#include <string>

#include "core/text.h"

static FormatArg Text(const char* s) { FormatArg a; a.text = s; return a; }
static FormatArg Number(uintptr_t n) { FormatArg a; a.number = n; return a; }

TEST(FormatText, WritesTextAndUppercaseHex)
{
    char out[TextBufferSize];
    FormatArg path = Text("C:\\WINDOWS");
    EXPECT_EQ(FormatText(out, sizeof out, "%s\\system.ini", &path, 1), 21);
    EXPECT_STREQ(out, "C:\\WINDOWS\\system.ini");

    const uintptr_t numbers[] = {0, 9, 10, 12, 15, 20, 255};
    const char* digits[] = {"0", "9", "A", "C", "F", "14", "FF"};
    for (int i = 0; i < 7; ++i) {
        FormatArg n = Number(numbers[i]);
        EXPECT_EQ(FormatText(out, sizeof out, "MessageBackColor=%X\r\n", &n, 1), 17 + (int)std::string(digits[i]).size() + 2);
        EXPECT_EQ(std::string(out), std::string("MessageBackColor=") + digits[i] + "\r\n");
    }
}

TEST(FormatText, RefusesWhatDoesNotFitOrIsNotUnderstood)
{
    char out[8];
    FormatArg word = Text("abcd");
    EXPECT_EQ(FormatText(out, 8, "%s12", &word, 1), 6);   // 6 + NUL fits in 8
    EXPECT_EQ(FormatText(out, 8, "%s123", &word, 1), 7);  // exactly full
    EXPECT_EQ(FormatText(out, 8, "%s1234", &word, 1), -1);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(FormatText(out, 8, "%d", &word, 1), -1);  // only %s and %X
    EXPECT_EQ(FormatText(out, 8, "%s%s", &word, 1), -1);  // more placeholders than arguments
    EXPECT_EQ(FormatText(out, 8, "plain", &word, 1), -1);  // fewer
    EXPECT_EQ(FormatText(out, 0, "", nullptr, 0), -1);
}

TEST(Text, PrefixTestsNeedTheWholePrefix)
{
    EXPECT_TRUE(StartsWith("[386Enh]\r\n", 10, "[386Enh]", 8));
    EXPECT_FALSE(StartsWith("[386Enh", 7, "[386Enh]", 8));
    EXPECT_FALSE(StartsWith("[386enh]", 8, "[386Enh]", 8));
    EXPECT_TRUE(TextEqual("Gray", "Gray"));
    EXPECT_FALSE(TextEqual("Gray", "Gra"));
    EXPECT_FALSE(TextEqual("Gra", "Gray"));
    EXPECT_EQ(TextLength(""), 0u);
}
