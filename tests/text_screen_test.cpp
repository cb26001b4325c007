// What test.exe draws: the text screen's layout and its colours.
#include <gtest/gtest.h>

#include <string>

#include "test_exe/text_screen.h"
#include "test_exe/vga_palette.h"

using std::string;

static string Row(const TextScreen& s, unsigned r)
{
    return string(s.cells[r], ScreenColumns);
}

TEST(TextScreen, TitleMessageAndPromptInsideABlankMargin)
{
    TextScreen s;
    BuildTextScreen(&s);
    for (unsigned c = 0; c < ScreenColumns; ++c) {
        EXPECT_EQ(s.cells[0][c], ' ');
        EXPECT_EQ(s.cells[ScreenRows - 1][c], ' ');
        EXPECT_FALSE(s.inverted[0][c] || s.inverted[ScreenRows - 1][c]);
    }
    for (unsigned r = 0; r < ScreenRows; ++r) {
        EXPECT_EQ(s.cells[r][0], ' ') << r;
        EXPECT_EQ(s.cells[r][ScreenColumns - 1], ' ') << r;
        EXPECT_FALSE(s.inverted[r][0] || s.inverted[r][ScreenColumns - 1]) << r;
    }

    // The title: the one inverted run, centred on its line, with text in it.
    int titleRow = -1;
    unsigned first = 0, last = 0;
    for (unsigned r = 0; r < ScreenRows; ++r) {
        for (unsigned c = 0; c < ScreenColumns; ++c) {
            if (!s.inverted[r][c])
                continue;
            if (titleRow < 0) {
                titleRow = (int)r;
                first = c;
            }
            EXPECT_EQ((int)r, titleRow) << "inverted cells on a second row";
            last = c;
        }
    }
    ASSERT_GE(titleRow, 1);
    for (unsigned c = first; c <= last; ++c)
        EXPECT_TRUE(s.inverted[titleRow][c]) << "the title is one run";
    // " Hueline " is 9 cells: 35 blank columns to its left, 36 to its right.
    EXPECT_EQ(first, 35u);
    EXPECT_EQ(last, 43u);
    EXPECT_NE(Row(s, titleRow).find("Hueline"), string::npos);

    // The message below it, then the prompt for a key at the bottom of the text.
    int message = -1, prompt = -1;
    for (unsigned r = 0; r < ScreenRows; ++r) {
        if (Row(s, r).find("how system messages will look") != string::npos)
            message = (int)r;
        if (Row(s, r).find("Press any key") != string::npos)
            prompt = (int)r;
    }
    EXPECT_GT(message, titleRow);
    EXPECT_GT(prompt, message);
    // The 45-cell prompt, centred the same way: 17 columns left, 18 right.
    EXPECT_EQ(Row(s, prompt).find("Press any key or click to return to Hueline _"), 17u);
    for (int r = prompt + 1; r < (int)ScreenRows; ++r)
        EXPECT_EQ(Row(s, r), string(ScreenColumns, ' '));
}

TEST(VgaPalette, TheSixteenTextModeColours)
{
    const int expected[16][3] = {
        {0, 0, 0},    {0, 0, 170},    {0, 170, 0},    {0, 170, 170},  {170, 0, 0},    {170, 0, 170},
        {170, 85, 0}, {170, 170, 170}, {85, 85, 85},  {85, 85, 255},  {85, 255, 85},  {85, 255, 255},
        {255, 85, 85}, {255, 85, 255}, {255, 255, 85}, {255, 255, 255},
    };
    for (int n = 0; n < 16; ++n) {
        EXPECT_EQ(VgaPalette[n].red, expected[n][0]) << n;
        EXPECT_EQ(VgaPalette[n].green, expected[n][1]) << n;
        EXPECT_EQ(VgaPalette[n].blue, expected[n][2]) << n;
    }
}
