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

    // Each step up in the number of digits, on both sides.
    const uintptr_t numbers[] = {0, 9, 10, 12, 15, 16, 20, 255, 256, 4095, 4096};
    const char* digits[] = {"0", "9", "A", "C", "F", "10", "14", "FF", "100", "FFF", "1000"};
    for (int i = 0; i < 11; ++i) {
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
    FormatArg twelve = Number(12);
    EXPECT_EQ(FormatText(out, 8, "%x", &twelve, 1), -1);  // lower-case digits are another format
    EXPECT_EQ(FormatText(out, 8, "%X", &twelve, 1), 1);
    EXPECT_EQ(FormatText(out, 8, "%s%s", &word, 1), -1);  // more placeholders than arguments
    EXPECT_EQ(FormatText(out, 8, "plain", &word, 1), -1);  // fewer
    EXPECT_EQ(FormatText(out, 0, "", nullptr, 0), -1);
}

TEST(FormatText, StaysWithinWhatTheSystemFormatterWrites)
{
    // wvsprintfA writes at most 1024 bytes, NUL included, whatever the buffer.
    static char out[2000];
    std::string fits(1020, 'x'), over(1021, 'x');
    FormatArg word = Text("abc");
    EXPECT_EQ(FormatText(out, sizeof out, (fits + "%s").c_str(), &word, 1), 1023);
    EXPECT_EQ(std::string(out), fits + "abc");
    EXPECT_EQ(FormatText(out, sizeof out, (over + "%s").c_str(), &word, 1), -1);
    EXPECT_STREQ(out, "");
}

TEST(Text, PrefixTestsNeedTheWholePrefix)
{
    EXPECT_TRUE(StartsWith("[386Enh]\r\n", 10, "[386Enh]", 8));
    EXPECT_FALSE(StartsWith("[386Enh", 7, "[386Enh]", 8));
    // The length given is the line's, even when the bytes after it match.
    EXPECT_FALSE(StartsWith("[386Enh]", 7, "[386Enh]", 8));
    // Every byte counts, the last one too.
    EXPECT_FALSE(StartsWith("[386Enh)\r\n", 10, "[386Enh]", 8));
    EXPECT_FALSE(StartsWith("(386Enh]\r\n", 10, "[386Enh]", 8));
    EXPECT_TRUE(StartsWith("MessageBackColor", 16, "MessageBackColor=", 16));
    EXPECT_FALSE(StartsWith("[386enh]", 8, "[386Enh]", 8));
    EXPECT_TRUE(TextEqual("Gray", "Gray"));
    EXPECT_FALSE(TextEqual("Gray", "Gra"));
    EXPECT_FALSE(TextEqual("Gra", "Gray"));
    EXPECT_EQ(TextLength(""), 0u);
}
