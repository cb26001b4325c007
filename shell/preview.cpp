#include "shell/preview.h"

#include "core/selection.h"
#include "core/selection_actions.h"
#include "resources/resource.h"
#include "shell/sound_cues.h"

PlatformIcon BackIcons[ColorCount];
PlatformIcon TextIcons[ColorCount];

void LoadPreviewIcons()
{
    for (unsigned n = 0; n < ColorCount; ++n) {
        BackIcons[n] = PlatformLoadIcon(IDI_FIRST_BACK + (int)n);
        TextIcons[n] = PlatformLoadIcon(IDI_FIRST_TEXT + (int)n);
    }
}

// The icon of a colour name; none for a name outside the table.
static PlatformIcon IconOf(const PlatformIcon* icons, const char* name)
{
    unsigned char n = ColorIndexOf(name);
    return n < ColorCount ? icons[n] : nullptr;
}

void PaintPreview(PlatformWindow dialog)
{
    PlatformDrawIcons(dialog, PreviewX, PreviewY, IconOf(BackIcons, ColorSelection.SelectedBack),
                      IconOf(TextIcons, ColorSelection.SelectedText));
}

void RefreshPreview(PlatformWindow dialog)
{
    PlayCue("refresh.wav", CueAsync);
    PaintPreview(dialog);
}

void RefreshFromLists(PlatformWindow dialog)
{
    SyncSelectionFromLists(dialog);
    RefreshPreview(dialog);
}
