#include "test_exe/text_screen.h"

namespace {

struct ScreenLine {
    unsigned row;
    bool centred;   // otherwise from column Indent
    bool inverted;  // the title
    const char* text;
};

const unsigned Indent = 5;

const ScreenLine Lines[] = {
    {7, true, true, " Hueline "},
    {9, false, false, "This is how system messages will look with the colors you have picked."},
    {10, false, false, "Windows shows this screen when something has gone badly wrong, for"},
    {11, false, false, "example when a program has stopped responding."},
    {13, false, false, "*  Apply the colors and restart Windows to make them its own."},
    {14, false, false, "*  Pick other colors in Hueline to try them here first."},
    {17, true, false, "Press any key or click to return to Hueline _"},
};

}  // namespace

void BuildTextScreen(TextScreen* screen)
{
    for (unsigned r = 0; r < ScreenRows; ++r) {
        for (unsigned c = 0; c < ScreenColumns; ++c) {
            screen->cells[r][c] = ' ';
            screen->inverted[r][c] = false;
        }
    }
    for (const ScreenLine& line : Lines) {
        unsigned length = 0;
        while (line.text[length] != '\0')
            ++length;
        unsigned column = line.centred ? (ScreenColumns - length) / 2 : Indent;
        for (unsigned i = 0; i < length && column + i < ScreenColumns; ++i) {
            screen->cells[line.row][column + i] = line.text[i];
            screen->inverted[line.row][column + i] = line.inverted;
        }
    }
}
