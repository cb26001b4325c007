#include <gtest/gtest.h>

#include <string>

#include "core/color_table.h"
#include "core/selection.h"
#include "settings/settings_reader.h"
#include "settings/settings_writer.h"
#include "tests/support/settings_files.h"

using std::string;

class SettingsReader : public SettingsFilesTest {
protected:
    // Puts ini in place (or removes system.ini when ini is null) and reads it.
    string Read(const string* ini)
    {
        if (ini != nullptr)
            WriteTestFile("system.ini", *ini);
        else
            RemoveTestFile("system.ini");
        ColorSelection.InstalledBack = "Black";
        ColorSelection.InstalledText = "Black";
        ReadInstalledColors();
        return string(ColorSelection.InstalledBack) + " on " + ColorSelection.InstalledText;
    }
    string Read(const string& ini) { return Read(&ini); }
};

TEST_F(SettingsReader, DefaultsWithoutColourLines)
{
    EXPECT_EQ(Read(nullptr), "Blue on White");
    EXPECT_EQ(Read(""), "Blue on White");
    EXPECT_EQ(Read("[boot]\r\nshell=Explorer.exe\r\n[386Enh]\r\n"), "Blue on White");
}

TEST_F(SettingsReader, FindsTheKeysInAnySection)
{
    EXPECT_EQ(Read("[386Enh]\r\nMessageBackColor=1\r\nMessageTextColor=E\r\n"), "Dark Blue on Yellow");
    EXPECT_EQ(Read("[boot]\nMessageTextColor=4\n[other]\nMessageBackColor=7\n"), "Gray on Dark Red");
    // CR alone and NUL end lines too.
    EXPECT_EQ(Read("x\rMessageBackColor=A\rjunk" + string(1, '\0') + "MessageTextColor=8\r"),
              "Green on Dark Gray");
}

TEST_F(SettingsReader, ValuesAreReadAsHexNumbers)
{
    for (const char* value : {"c", "C", " 0C", "0xC", "0XC", "\t+c", "00000c", "c;note"})
        EXPECT_EQ(Read(string("MessageBackColor=") + value + "\r\n"), "Red on White") << value;
    EXPECT_EQ(Read("MessageBackColor=\r\n"), "Black on White");
    EXPECT_EQ(Read("MessageBackColor=0x\r\n"), "Black on White");
    EXPECT_EQ(Read("MessageBackColor=-0\r\n"), "Black on White");
}

TEST_F(SettingsReader, OnlyExactKeysAtTheStartOfALineCount)
{
    EXPECT_EQ(Read("messagebackcolor=1\r\n MessageBackColor=1\r\nMessageBackColor =1\r\n"), "Blue on White");
}

TEST_F(SettingsReader, TheLastValidLineWins)
{
    EXPECT_EQ(Read("MessageBackColor=2\r\nMessageBackColor=4\r\n"), "Dark Red on White");
    // Values outside 0-15 are passed over, leaving what came before.
    EXPECT_EQ(Read("MessageBackColor=2\r\nMessageBackColor=1F\r\nMessageBackColor=-1\r\n"
                   "MessageBackColor=10\r\nMessageBackColor=FFFFFFFFFFFFFFFFFFFF3\r\n"),
              "Dark Green on White");
    // A last line without a line end is not looked at.
    EXPECT_EQ(Read("MessageTextColor=4\r\nMessageTextColor=0"), "Blue on Dark Red");
    EXPECT_EQ(Read("MessageTextColor=0"), "Blue on White");
}

TEST_F(SettingsReader, LongLinesAreSkippedWithoutHarm)
{
    // 554 bytes before the line end still fit.
    string fits = "MessageBackColor=" + string(536, ' ') + "4";
    ASSERT_EQ(fits.size(), 554u);
    EXPECT_EQ(Read(fits + "\r\n"), "Dark Red on White");
    EXPECT_EQ(Read(" " + fits + "\r\n"), "Blue on White");
    EXPECT_EQ(Read("MessageTextColor=6" + string(100000, 'x') + "\r\nMessageBackColor=5\r\n"),
              "Dark Mauve on White");
    EXPECT_EQ(Read(string(100000, 'x') + "\nMessageTextColor=6\n"), "Blue on Brown");
}

TEST(ColorNumberOfValue, FollowsBaseSixteenConversion)
{
    EXPECT_EQ(ColorNumberOfValue("f"), 15);
    EXPECT_EQ(ColorNumberOfValue("0x0f"), 15);
    EXPECT_EQ(ColorNumberOfValue("0xg"), 0);
    EXPECT_EQ(ColorNumberOfValue("\v\f 9z"), 9);
    EXPECT_EQ(ColorNumberOfValue("16"), ColorNotFound);
    EXPECT_EQ(ColorNumberOfValue("-5"), ColorNotFound);
    EXPECT_EQ(ColorNumberOfValue("--5"), 0);
}

TEST_F(SettingsReader, ReadsBackWhatTheWriterWrote)
{
    WriteTestFile("system.ini", "[boot]\r\n[386Enh]\r\nMessageBackColor=3\r\n");
    for (unsigned back = 0; back < ColorCount; back += 5) {
        for (unsigned text = 0; text < ColorCount; text += 3) {
            ColorSelection.InstalledBack = ColorTable[back];
            ColorSelection.InstalledText = ColorTable[text];
            WriteColorSettings(true);
            string ini;
            ASSERT_TRUE(ReadTestFile("system.ini", &ini));
            EXPECT_EQ(Read(ini), string(ColorTable[back]) + " on " + ColorTable[text]);
        }
    }
}
