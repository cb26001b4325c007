#include <gtest/gtest.h>

#include "core/color_table.h"

TEST(ColorTable, NamesMapToTheirNumbersAndBack)
{
    for (unsigned n = 0; n < ColorCount; ++n)
        EXPECT_EQ(ColorIndexOf(ColorTable[n]), n) << ColorTable[n];
    // Names that share a word with another still find their own entry.
    EXPECT_EQ(ColorIndexOf("Gray"), 7);
    EXPECT_EQ(ColorIndexOf("Dark Gray"), 8);
    EXPECT_EQ(ColorIndexOf("Blue"), 9);
    EXPECT_EQ(ColorIndexOf("Dark Blue"), 1);
    EXPECT_STREQ(ColorTable[DefaultBackColor], "Blue");
    EXPECT_STREQ(ColorTable[DefaultTextColor], "White");
}

TEST(ColorTable, AnythingElseIsNotFound)
{
    EXPECT_EQ(ColorNotFound, 20);
    EXPECT_EQ(ColorIndexOf("white"), ColorNotFound);
    EXPECT_EQ(ColorIndexOf("Blue [default]"), ColorNotFound);
    EXPECT_EQ(ColorIndexOf("Dark"), ColorNotFound);
    EXPECT_EQ(ColorIndexOf(""), ColorNotFound);
}

TEST(ColorTable, EqualityIsByContent)
{
    char copy[] = "Dark Mauve";
    EXPECT_EQ(ColorIndexOf(copy), 5);
}
