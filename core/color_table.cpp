#include "core/color_table.h"

#include "core/text.h"

const char* const ColorTable[ColorCount] = {
    "Black", "Dark Blue", "Dark Green", "Dark Cyan",
    "Dark Red", "Dark Mauve", "Brown", "Gray",
    "Dark Gray", "Blue", "Green", "Cyan",
    "Red", "Mauve", "Yellow", "White",
};

unsigned char ColorIndexOf(const char* name)
{
    for (unsigned n = 0; n < ColorCount; ++n) {
        if (TextEqual(ColorTable[n], name))
            return (unsigned char)n;
    }
    return ColorNotFound;
}
