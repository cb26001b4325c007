// Reader and writer side by side on files whose lines end in every way the
// line grammar knows: lone CRs, CR LF, LF, NULs, long lines, a last line with
// no end. Text in, text out. The lines are split by the plain reference
// splitter the fuzz targets use, so that the program's grammar is checked, not
// restated.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/color_table.h"
#include "settings/settings_reader.h"
#include "tests/fuzz/reference.h"
#include "tests/support/settings_files.h"

using std::string;

namespace {

using reference::Line;
using reference::Split;

bool HasHeader(const string& text)
{
    for (const Line& line : Split(text)) {
        if (reference::IsHeader(line))
            return true;
    }
    return false;
}

// The contents of the lines that are neither marked nor only a NUL.
std::vector<string> OtherLines(const string& text)
{
    std::vector<string> kept;
    for (const Line& line : reference::Restored(text))
        kept.emplace_back(line.content);
    return kept;
}

string Read(const string& text)
{
    SettingsColors colors = {ColorNotFound, ColorNotFound};
    EXPECT_EQ(ScanSettingsLines(&colors, text.data(), (unsigned)text.size(), true), text.size());
    return string(colors.back == ColorNotFound ? "Blue" : ColorTable[colors.back]) + " on " +
           (colors.text == ColorNotFound ? "White" : ColorTable[colors.text]);
}

string Apply(const string& text) { return RewriteText(text, true, "Dark Green", "Yellow"); }
string Restore(const string& text) { return RewriteText(text, false, nullptr, nullptr); }

string Pad(size_t content, const char* key, char digit)
{
    string line = key;
    line += string(content - line.size() - 1, ' ');
    return line + digit;
}

}  // namespace

TEST(SettingsLines, ReaderAndWriterAgreeOnEveryFile)
{
    const string nul(1, '\0');
    std::vector<string> files = {
        "MessageBackColor=1\r[386Enh]\rdevice=x\rMessageTextColor=3\r",  // CR only
        "MessageBackColor=1\rdevice=*vpicd\r\n",
        "MessageBackColor=4\r[386Enh]\r\n",
        "device=*vpicd" + nul + "MessageBackColor=1\r\n[drivers]",
        "[386Enh]\r\n" + string(40, '\0') + "MessageTextColor=5\r\n" + string(3, '\0'),
        "a" + nul + nul + "b\r\r\n\n\r\rMessageBackColor=2" + nul + "[386Enh]" + nul + "x\n",
        "[boot]\r\nMessageTextColor=4\r\n\r\n",  // no header
        "[386Enh]\r\nMessageTextColor=9",       // a last line with no end
        "[386Enh]",
    };
    for (size_t content : {554, 555, 556}) {
        for (const char* end : {"\r\n", "\n", "\r", "\0"}) {
            const string e = *end == '\0' ? nul : string(end);
            files.push_back("[386Enh]" + e + Pad(content, "MessageBackColor=", '4') + e + "x=1" + e);
            files.push_back(Pad(content, "[386Enh]", ' ') + e + "MessageTextColor=4" + e);
        }
    }
    for (const string& file : files) {
        SCOPED_TRACE(testing::PrintToString(file.size() > 80 ? file.substr(0, 40) + "..." : file));
        const string applied = Apply(file);
        const string restored = Restore(file);
        EXPECT_EQ(applied.find('\0'), string::npos);
        EXPECT_EQ(restored.find('\0'), string::npos);
        EXPECT_EQ(Read(applied), HasHeader(file) ? "Dark Green on Yellow" : "Blue on White");
        EXPECT_EQ(Read(restored), "Blue on White");
        EXPECT_EQ(OtherLines(applied), OtherLines(file));
        EXPECT_EQ(OtherLines(restored), OtherLines(file));
        EXPECT_EQ(OtherLines(Restore(applied)), OtherLines(file));
        // Line by line: what the reader reads, the writer removes. (A last
        // line with no end is the one exception: the writer removes it, the
        // reader does not look at it.)
        for (const Line& line : Split(file)) {
            if (line.end.empty())
                continue;
            const string alone = string(line.content) + string(line.end);
            EXPECT_EQ(Read(alone) != "Blue on White", Restore(alone).empty() && !line.content.empty())
                << testing::PrintToString(alone.substr(0, 30));
        }
    }
}

TEST(SettingsLines, TheFaultsOnceSeen)
{
    const string nul(1, '\0');
    // A CR-only file: its colour line alone goes.
    EXPECT_EQ(Restore("MessageBackColor=1\rdevice=x\r"), "device=x\r");
    EXPECT_EQ(Read("MessageBackColor=1\rdevice=x\r"), "Dark Blue on White");
    EXPECT_EQ(Restore("MessageBackColor=1\rdevice=*vpicd\r\n"), "device=*vpicd\r\n");
    EXPECT_EQ(Apply("MessageBackColor=4\r[386Enh]\r\n"),
              "[386Enh]\r\n" + Apply("[386Enh]\r\n").substr(10));
    // A NUL that ended a kept line leaves a line end behind.
    EXPECT_EQ(Restore("device=*vpicd" + nul + "MessageBackColor=1\r\n[drivers]"),
              "device=*vpicd\r\n[drivers]");
    EXPECT_EQ(Restore("[386Enh]" + nul + "x"), "[386Enh]\r\nx");
    // A run of NULs vanishes.
    EXPECT_EQ(Restore("a\r\n" + string(100, '\0') + "b\r\n"), "a\r\nb\r\n");
    // Long lines: looked at up to 554 content bytes, left alone from 555 on.
    for (size_t content : {554, 555, 556}) {
        const string line = Pad(content, "MessageBackColor=", '4') + "\r\n";
        EXPECT_EQ(Read(line), content < 555 ? "Dark Red on White" : "Blue on White") << content;
        EXPECT_EQ(Restore(line), content < 555 ? "" : line) << content;
        const string header = Pad(content, "[386Enh]", ' ') + "\r\n";
        EXPECT_EQ(Apply(header) == header, content >= 555) << content;
    }
}
