// What the full-screen test shows: an 80 x 25 text screen laid out as the
// system message screen is, with blank cells all round.
#pragma once

const unsigned ScreenColumns = 80;
const unsigned ScreenRows = 25;

struct TextScreen {
    char cells[ScreenRows][ScreenColumns];      // ' ' where nothing stands
    bool inverted[ScreenRows][ScreenColumns];   // drawn in swapped colours
};

// Fills screen with the test's title, message and key prompt.
void BuildTextScreen(TextScreen* screen);
