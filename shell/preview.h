// The preview in the main dialog: the picked pair as a rounded square in the
// background colour with a letter "A" in the text colour on top, drawn from
// two prepared icons, one per colour.
#pragma once

#include "core/color_table.h"
#include "platform/platform.h"

// Entry n is the icon of colour number n; loaded once at start-up.
extern PlatformIcon BackIcons[ColorCount];
extern PlatformIcon TextIcons[ColorCount];

// Where the picture's top left corner lies, in dialog units, so that it stays
// inside the "Preview" group box and above its Refresh button whatever the
// dialog's font and the dots per inch. With 8-point "MS Sans Serif" at 96
// dots per inch this is client-area pixel (258, 195).
const int PreviewX = 172;
const int PreviewY = 120;

// Loads both icon sets from the program's resources.
void LoadPreviewIcons();
// Draws the selected pair as it stands, background first, without a sound. A
// colour that is not a table name draws nothing of its part.
void PaintPreview(PlatformWindow dialog);
// The refresh sound, then the same drawing.
void RefreshPreview(PlatformWindow dialog);
// Refresh (button and menu): takes the selection from the lists, then
// RefreshPreview.
void RefreshFromLists(PlatformWindow dialog);
