#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "core/color_table.h"
#include "core/selection.h"
#include "settings/settings_reader.h"
#include "settings/settings_writer.h"
#include "settings/settings_lines.h"
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
    // UTF-16 text names no colour, though its bytes hold the keys: with a
    // byte-order mark, or a NUL in nearly every other byte, whatever its first
    // line holds (an empty line, a letter outside Latin-1).
    const string key = "MessageBackColor=4\r\n";
    string little, big;
    for (char c : "[386Enh]\r\n" + key) {
        little += string(1, c) + '\0';
        big += string(1, '\0') + c;
    }
    // Mostly Cyrillic, with few NULs at all: its line ends and brackets show it.
    string cyrillic = key + string(8000, 'x');
    for (int n = 0; n < 2000; ++n)
        cyrillic += string("\x10\x04\x11\x04\x12\x04", 6) + (n % 50 == 0 ? string("\r\0\n\0[\0a\0", 8) : "");
    for (const string& utf16 : {"\xFF\xFE" + little, "\xFE\xFF" + big, little, big, "\xFF\xFE\r\n" + key,
                                string("\r\0\n\0", 4) + little, string("\0\r\0\n\x04\x01", 6) + big, cyrillic,
                                key + string("\x10\x04[\0b\0", 6), key + string("\x04\x10\0[\0b", 6)})
        EXPECT_EQ(Read(utf16), "Blue on White") << testing::PrintToString(utf16.substr(0, 8));
}

TEST_F(SettingsReader, FindsTheKeysInAnySection)
{
    EXPECT_EQ(Read("[386Enh]\r\nMessageBackColor=1\r\nMessageTextColor=E\r\n"), "Dark Blue on Yellow");
    EXPECT_EQ(Read("[boot]\nMessageTextColor=4\n[other]\nMessageBackColor=7\n"), "Gray on Dark Red");
    // CR alone and NUL end lines too.
    EXPECT_EQ(Read("x\rMessageBackColor=A\rjunk" + string(1, '\0') + "MessageTextColor=8\r"),
              "Green on Dark Gray");
    // NULs that are not every other byte of the first line make no UTF-16.
    EXPECT_EQ(Read(string(4, '\0') + "\nMessageBackColor=4\r\n"), "Dark Red on White");
    EXPECT_EQ(Read(string("a\0b\r\nMessageBackColor=4\r\n", 24)), "Dark Red on White");
    EXPECT_EQ(Read(string("a\0b\0c\r\nMessageBackColor=4\r\n", 26)), "Dark Red on White");
    EXPECT_EQ(Read("MessageBackColor=4\r\n" + string(40, '\0')), "Dark Red on White");  // a tail never written
    // Stray NULs after a CR, a LF or a bracket, or at an odd offset, make none either.
    for (const string& stray : {string("[\0x\r\n", 5), string("\r\0\nx", 4), string("x\r\0\n\0", 5),
                                string("x[\0b\0", 5), string("[\0\0\0", 4)})
        EXPECT_EQ(Read(stray + "\nMessageBackColor=4\r\n"), "Dark Red on White") << testing::PrintToString(stray);
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
    // Keys differing only in their last byte, or one byte short.
    EXPECT_EQ(Read("MessageBackColor:1\r\nMessageTextColor 1\r\nMessageBackColo1\r\n"), "Blue on White");
    // A key after a lone CR or a NUL begins a line; one after a CR LF's CR does too.
    EXPECT_EQ(Read(string("x\rMessageBackColor=4\r\ny", 23) + string(1, '\0') + "MessageTextColor=2\r\n"),
              "Dark Red on Dark Green");
    EXPECT_EQ(Read("x=MessageBackColor=4\r\n"), "Blue on White");
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
    // 555 and 556 content bytes do not, at the start of the file and after
    // 4000 bytes, so that the line lies across two reads.
    for (const string& before : {string(), string(4000, 'x') + "\r\n"}) {
        EXPECT_EQ(Read(before + "MessageBackColor=" + string(537, ' ') + "4\r\n"), "Blue on White");
        EXPECT_EQ(Read(before + "MessageBackColor=" + string(538, ' ') + "4\r\n"), "Blue on White");
        EXPECT_EQ(Read(before + fits + "\r\n"), "Dark Red on White");
    }
    EXPECT_EQ(Read("MessageTextColor=6" + string(100000, 'x') + "\r\nMessageBackColor=5\r\n"),
              "Dark Mauve on White");
    EXPECT_EQ(Read(string(100000, 'x') + "\nMessageTextColor=6\n"), "Blue on Brown");
    // The rest of a long line, read in a later piece, is still that line.
    EXPECT_EQ(Read(string(4096, 'x') + "MessageBackColor=5\r\n"), "Blue on White");
    EXPECT_EQ(Read(string(4095, 'x') + "\rMessageBackColor=5\r\n"), "Dark Mauve on White");
}

static unsigned char Value(const char* text)
{
    return ColorNumberOfValue(text, (unsigned)strlen(text));
}

TEST(ColorNumberOfValue, FollowsBaseSixteenConversion)
{
    EXPECT_EQ(Value("f"), 15);
    EXPECT_EQ(Value("0x0f"), 15);
    EXPECT_EQ(Value("0xg"), 0);
    EXPECT_EQ(Value("\v\f 9z"), 9);
    EXPECT_EQ(Value("16"), ColorNotFound);
    EXPECT_EQ(Value("-5"), ColorNotFound);
    EXPECT_EQ(Value("--5"), 0);
    // Only the value's own bytes count: digits after them are not read.
    EXPECT_EQ(ColorNumberOfValue("12", 1), 1);
    EXPECT_EQ(ColorNumberOfValue("0x5", 2), 0);
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

// The whole text scanned in one piece, as the reader's answer should be.
static string ReadWhole(const string& text)
{
    SettingsColors colors = {ColorNotFound, ColorNotFound};
    ScanSettingsLines(&colors, text.data(), (unsigned)text.size(), true);
    return string(colors.back == ColorNotFound ? "Blue" : ColorTable[colors.back]) + " on " +
           (colors.text == ColorNotFound ? "White" : ColorTable[colors.text]);
}

TEST_F(SettingsReader, LinesAcrossReadsAreReadAsInOnePiece)
{
    // Key lines, long lines and every kind of line end put across the
    // boundaries of the reader's 4 KiB reads.
    const char* ends[] = {"\r\n", "\r", "\n", "\0", "\r\r", "\n\r"};
    unsigned seed = 12345;
    auto next = [&seed](unsigned n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % n;
    };
    unsigned checked = 0;
    for (int file = 0; file < 60; ++file) {
        string text;
        while (text.size() < 9000) {
            unsigned kind = next(6);
            if (kind == 0)
                text += string(next(700), 'x');
            else if (kind == 1)
                text += string((2 * 4096 - 6 + next(12) - text.size() % 4096) % 4096, 'p');  // to near a boundary
            else if (kind == 2)
                text += string(next(3) == 0 ? 5000 : 540 + next(20), 'L');
            else
                text += string(kind == 3 ? "MessageBackColor=" : "MessageTextColor=") + "0123456789ABCDEF"[next(16)];
            const char* end = ends[next(6)];
            text += string(end, *end == '\0' ? 1 : strlen(end));
        }
        if (next(2) == 0)
            text += "MessageBackColor=3";  // a last line with no end
        EXPECT_EQ(Read(text), ReadWhole(text)) << "file " << file;
        checked += ReadWhole(text) != "Blue on White";
    }
    EXPECT_GT(checked, 50u);  // most files name colours
}
