// The rewrite of system.ini as text in, text out.
#include <gtest/gtest.h>

#include <string>

#include "settings/marker_block.h"
#include "settings/settings_rewrite.h"
#include "tests/support/settings_files.h"

using std::string;

static const string Block24 =  // "Dark Green" on "Yellow"
    ";; Following 2 lines by Hueline (hueline@hueline.org)\r\n"
    ";; They are used to change the color of the blue screen of death\r\n"
    "MessageBackColor=2\r\nMessageTextColor=E\r\n"
    ";; End of Hueline Lines\r\n";

static string Apply(const string& input, const char* back = "Dark Green", const char* text = "Yellow")
{
    return RewriteText(input, true, back, text);
}

static string Restore(const string& input)
{
    return RewriteText(input, false, nullptr, nullptr);
}

TEST(SettingsRewrite, BlockGoesAfterTheHeaderAndRestoreUndoesIt)
{
    const string input = "[boot]\r\n[386Enh]\r\ndevice=x\r\n";
    const string applied = Apply(input);
    EXPECT_EQ(applied, "[boot]\r\n[386Enh]\r\n" + Block24 + "device=x\r\n");
    EXPECT_EQ(Restore(applied), input);
    // Applying again leaves one block, with the new pair.
    const string again = Apply(applied, "White", "Red");
    EXPECT_EQ(again.find("MessageBackColor=2"), string::npos);
    EXPECT_NE(again.find("MessageBackColor=F\r\nMessageTextColor=C\r\n"), string::npos);
    EXPECT_EQ(Restore(again), input);
}

TEST(SettingsRewrite, EveryHeaderGetsABlockAndOnlyExactHeadersCount)
{
    EXPECT_EQ(Apply("[386Enh]\n[386Enh]\n"), "[386Enh]\n" + Block24 + "[386Enh]\n" + Block24);
    EXPECT_EQ(Apply("[386Enh] ; note\n"), "[386Enh] ; note\n" + Block24);
    EXPECT_EQ(Apply("[386enh]\n [386Enh]\n"), "[386enh]\n [386Enh]\n");
    // No header: applying removes colours just as restoring does.
    EXPECT_EQ(Apply("[boot]\r\nMessageBackColor=4\r\n"), "[boot]\r\n");
}

TEST(SettingsRewrite, RemovesMarkedLinesAnywhereAndKeepsLookAlikes)
{
    const string input =
        "[boot]\nMessageBackColor=4\nMessageTextColor=E\n;; End of Hueline Lines\n"
        "messagebackcolor=3\n MessageBackColor=3\nMessageBack=3\nMessageBackColor\n"
        ";; They are used to change the color of the blue screen of death, twice\n"
        ";; Following 2 lines by Hueline (someone@else)\n";
    EXPECT_EQ(Restore(input),
              "[boot]\nmessagebackcolor=3\n MessageBackColor=3\nMessageBack=3\nMessageBackColor\n"
              ";; Following 2 lines by Hueline (someone@else)\n");
}

TEST(SettingsRewrite, LineEndsAreKeptAsTheyWere)
{
    // LF-only lines stay LF-only; the block's own lines end CR LF.
    EXPECT_EQ(Apply("[386Enh]\ndevice=x\n"), "[386Enh]\n" + Block24 + "device=x\n");
    // A lone CR ends a line, and is kept with it.
    EXPECT_EQ(Restore("a=1\rMessageBackColor=4\r\nb\n"), "a=1\rb\n");
    // A NUL ends a line and is never copied: a line it ended gets CR LF, and
    // a line that is only a NUL vanishes.
    EXPECT_EQ(Restore(string("a\0b\n\0MessageTextColor=1\nc\n", 27)), "a\r\nb\nc\n");
}

TEST(SettingsRewrite, LastLineWithoutLineFeedIsKept)
{
    EXPECT_EQ(Restore("[boot]\r\nshell=x"), "[boot]\r\nshell=x");
    EXPECT_EQ(Restore("[boot]\r\nMessageTextColor=3"), "[boot]\r\n");
    EXPECT_EQ(Apply("[boot]\r\n[386Enh]"), "[boot]\r\n[386Enh]\r\n" + Block24);
    EXPECT_EQ(Restore(""), "");
}

TEST(SettingsRewrite, LongLinesPassThroughUnchanged)
{
    // 554 bytes and its LF fit the line buffer: still a marked line.
    const string fits = "MessageBackColor=" + string(537, '1') + "\n";
    ASSERT_EQ(fits.size(), 555u);
    EXPECT_EQ(Restore("a\n" + fits + "b\n"), "a\nb\n");
    // One byte more does not: such a line is copied as it stands.
    const string longer = "MessageBackColor=" + string(538, '1') + "\n";
    EXPECT_EQ(Restore("a\n" + longer + "b\n"), "a\n" + longer + "b\n");
    const string header = "[386Enh]" + string(5000, ' ') + "\r\n";
    EXPECT_EQ(Apply(header + "x\r\n"), header + "x\r\n");
    // A long line ended by NUL gets CR LF in its place, as any other line.
    EXPECT_EQ(Restore(string(600, 'x') + string(1, '\0') + "y\n"), string(600, 'x') + "\r\ny\n");
}

TEST(SettingsRewrite, NamesThatAreNotColoursWriteNoColourLines)
{
    EXPECT_EQ(Apply("[386Enh]\nMessageBackColor=4\n", "Blue [default]", "White"), "[386Enh]\n");
}

TEST(SettingsRewrite, WritesNoMoreThanItsRoomAndCountsTheRest)
{
    char block[MarkerBlockSize];
    unsigned blockLength = BuildMarkerBlock(block, "Dark Green", "Yellow");
    const string input = "[386Enh]\r\na=1\r\n[386Enh]\r\n";
    const string whole = Apply(input);
    for (unsigned room = 0; room <= whole.size(); room += 7) {
        string out(room + 8, '#');
        unsigned headers = 0;
        EXPECT_EQ(RewriteSettingsText(input.data(), (unsigned)input.size(), block, blockLength,
                                      &out[0], room, &headers),
                  whole.size());
        EXPECT_EQ(headers, 2u);
        EXPECT_EQ(out.substr(0, room), whole.substr(0, room));
        EXPECT_EQ(out.substr(room), string(8, '#')) << "room " << room;
    }
    unsigned headers = 9;
    EXPECT_EQ(RewriteText("[boot]\r\n[386enh]\r\n", true, "Red", "Red", &headers), "[boot]\r\n[386enh]\r\n");
    EXPECT_EQ(headers, 0u);
}

// A dropped line between a lone CR and a LF must not make the two one CR LF
// end: the empty line that LF ends would be glued onto the line before.
TEST(SettingsRewrite, DroppedLinesNeverGlueALoneCarriageReturnToTheNextLineFeed)
{
    const string nul(1, '\0');
    EXPECT_EQ(Restore("a\r" + nul + "\nb\r\n"), "a\r\n\nb\r\n");
    EXPECT_EQ(Restore("a\rMessageBackColor=1\n\nb\n"), "a\r\n\nb\n");
    EXPECT_EQ(Restore("a\r" + nul + nul + "\n"), "a\r\n\n");
    EXPECT_EQ(Apply("[386Enh]\r" + nul + "\nx\r"),
              "[386Enh]\r" + Block24 + "\nx\r");
    // Where no LF follows, or nothing was dropped, a lone CR stays as it was.
    EXPECT_EQ(Restore("a\r" + nul + "b\r"), "a\rb\r");
    EXPECT_EQ(Restore("a\r\n\n"), "a\r\n\n");
}

TEST(SettingsRewrite, LookAlikesDifferingInTheLastByteOfAMarkerAreKept)
{
    // Each marker with its last byte changed, and each marker as it stands.
    const string lookAlikes =
        ";; Following 2 lines by Hueline (hueline@hueline.org]\r\n"
        ";; They are used to change the color of the blue screen of deatH\r\n"
        "MessageBackColor:1\r\n"
        "MessageTextColor 1\r\n"
        ";; End of Hueline LineS\r\n";
    const string markers =
        ";; Following 2 lines by Hueline (hueline@hueline.org)\r\n"
        ";; They are used to change the color of the blue screen of death\r\n"
        "MessageBackColor=1\r\n"
        "MessageTextColor=1\r\n"
        ";; End of Hueline Lines\r\n";
    EXPECT_EQ(Restore("[boot]\r\n" + lookAlikes + markers + "x\r\n"), "[boot]\r\n" + lookAlikes + "x\r\n");
    // A header differing in its last byte takes no block.
    EXPECT_EQ(Apply("[386Enh}\r\n[386Enh]\r\n"), "[386Enh}\r\n[386Enh]\r\n" + Block24);
    EXPECT_EQ(Apply("[386En]\r\n"), "[386En]\r\n");
}
