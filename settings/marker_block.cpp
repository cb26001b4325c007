#include "settings/marker_block.h"

#include "core/color_table.h"
#include "core/text.h"

const char* const RemovalMarkers[RemovalMarkerCount] = {
    MarkerBlockLine1, MarkerBlockLine2, MarkerBackKey, MarkerTextKey, MarkerBlockLine5,
};

const unsigned RemovalMarkerLengths[RemovalMarkerCount] = {
    sizeof MarkerBlockLine1 - 1, sizeof MarkerBlockLine2 - 1, sizeof MarkerBackKey - 1,
    sizeof MarkerTextKey - 1, sizeof MarkerBlockLine5 - 1,
};

unsigned BuildMarkerBlock(char* out, const char* back, const char* text)
{
    FormatArg args[2];
    args[0].number = ColorIndexOf(back);
    args[1].number = ColorIndexOf(text);
    if (args[0].number == ColorNotFound || args[1].number == ColorNotFound)
        return 0;
    int length = FormatText(out, MarkerBlockSize,
                            MarkerBlockLine1 "\r\n" MarkerBlockLine2 "\r\n"
                            MarkerBackKey "%X\r\n" MarkerTextKey "%X\r\n"
                            MarkerBlockLine5 "\r\n",
                            args, 2);
    return length < 0 ? 0 : (unsigned)length;
}
