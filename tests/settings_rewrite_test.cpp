// The rebuild of system.ini as text in, text out, fed in pieces of several
// sizes so that lines split across reads are covered too.
#include <gtest/gtest.h>

#include <string>

#include "settings/marker_block.h"
#include "settings/settings_writer.h"
#include "tests/support/settings_files.h"

using std::string;

static const string Block24 =  // "Dark Green" on "Yellow"
    ";; Following 2 lines by Hueline (hueline@hueline.org)\r\n"
    ";; They are used to change the color of the blue screen of death\r\n"
    "MessageBackColor=2\r\nMessageTextColor=E\r\n"
    ";; End of Hueline Lines\r\n";

static const size_t Chunks[] = {1, 2, 7, 4096};

// Rewrites input with every piece size and checks they all agree.
static string Apply(const string& input, const char* back = "Dark Green", const char* text = "Yellow")
{
    string first = RewriteText(input, true, back, text, Chunks[0]);
    for (size_t chunk : Chunks)
        EXPECT_EQ(RewriteText(input, true, back, text, chunk), first) << "piece size " << chunk;
    return first;
}

static string Restore(const string& input)
{
    string first = RewriteText(input, false, nullptr, nullptr, Chunks[0]);
    for (size_t chunk : Chunks)
        EXPECT_EQ(RewriteText(input, false, nullptr, nullptr, chunk), first) << "piece size " << chunk;
    return first;
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
    // A lone CR does not end a line for the writer.
    EXPECT_EQ(Restore("a=1\rMessageBackColor=4\r\nb\n"), "a=1\rMessageBackColor=4\r\nb\n");
    // A NUL ends a line and is dropped.
    EXPECT_EQ(Restore(string("a\0b\n\0MessageTextColor=1\nc\n", 27)), "ab\nc\n");
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
    // Lines ended by CR alone make one long line, which passes whole.
    string crOnly;
    for (int i = 0; i < 40; ++i)
        crOnly += "[386Enh]\rMessageBackColor=4\r";
    EXPECT_EQ(Apply(crOnly), crOnly);
    // A long line ended by NUL loses only the NUL.
    EXPECT_EQ(Restore(string(600, 'x') + string(1, '\0') + "y\n"), string(600, 'x') + "y\n");
}

TEST(SettingsRewrite, NamesThatAreNotColoursWriteNoColourLines)
{
    EXPECT_EQ(Apply("[386Enh]\nMessageBackColor=4\n", "Blue [default]", "White"), "[386Enh]\n");
}

static int SinkCalls;
static bool FailingSink(void*, const char*, unsigned)
{
    ++SinkCalls;
    return false;
}

TEST(SettingsRewrite, StopsAtTheFirstFailedWrite)
{
    SettingsRewrite rewrite;
    SinkCalls = 0;
    BeginSettingsRewrite(&rewrite, "", 0, FailingSink, nullptr);
    const string input = "a=1\nb=2\nc=3\n";
    EXPECT_FALSE(RewriteSettingsBytes(&rewrite, input.data(), (unsigned)input.size()));
    EXPECT_FALSE(RewriteSettingsBytes(&rewrite, input.data(), (unsigned)input.size()));
    EXPECT_FALSE(FinishSettingsRewrite(&rewrite));
    EXPECT_EQ(SinkCalls, 1);
}
