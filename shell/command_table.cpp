#include "shell/command_table.h"

#include "core/selection_actions.h"
#include "fullscreen/full_screen_test.h"
#include "resources/resource.h"
#include "shell/about_box.h"
#include "shell/preview.h"
#include "shell/sound_cues.h"

namespace {

void Cancel(PlatformWindow dialog, unsigned) { CancelSelection(dialog); }
void Restore(PlatformWindow dialog, unsigned) { RestoreDefaultColors(dialog); }
void ApplyAndAsk(PlatformWindow dialog, unsigned) { ApplySelection(dialog, true); }
void Apply(PlatformWindow dialog, unsigned) { ApplySelection(dialog, false); }
void Exit(PlatformWindow dialog, unsigned) { ExitProgram(dialog); }
void Sounds(PlatformWindow dialog, unsigned) { ToggleSounds(dialog); }
void Refresh(PlatformWindow dialog, unsigned) { RefreshFromLists(dialog); }
void About(PlatformWindow dialog, unsigned) { ShowAboutBox(dialog); }
// The About menu item: its own click, then the About box's.
void ClickThenAbout(PlatformWindow dialog, unsigned)
{
    PlayCue("click.wav", CueAsync);
    ShowAboutBox(dialog);
}
void Homepage(PlatformWindow dialog, unsigned) { VisitHomepage(dialog); }
void Test(PlatformWindow dialog, unsigned) { RunFullScreenTest(dialog); }

}  // namespace

const Command CommandTable[] = {
    {IDC_FULL_SCREEN, Test, 0},
    {IDM_TEST, Test, 0},
    {IDC_CANCEL_SELECTION, Cancel, 0},
    {IDC_RESTORE, Restore, 0},
    {IDC_APPLY, ApplyAndAsk, 0},
    {IDC_EXIT, Exit, 0},
    {IDM_SOUNDS, Sounds, 0},
    {IDM_CANCEL_SELECTION, Cancel, 0},
    {IDM_RESTORE, Restore, 0},
    {IDM_APPLY, Apply, 0},
    {IDM_EXIT, Exit, 0},
    {IDC_REFRESH, Refresh, 0},
    {IDM_REFRESH, Refresh, 0},
    {IDC_ABOUT, About, 0},
    {IDM_ABOUT, ClickThenAbout, 0},
    {IDM_ABOUT_HIDDEN, ClickThenAbout, 0},
    {IDM_HOMEPAGE, Homepage, 0},

    {IDM_TEXT_BLACK, PickTextColor, 0},
    {IDM_TEXT_DARK_BLUE, PickTextColor, 1},
    {IDM_TEXT_DARK_GREEN, PickTextColor, 2},
    {IDM_TEXT_DARK_CYAN, PickTextColor, 3},
    {IDM_TEXT_DARK_RED, PickTextColor, 4},
    {IDM_TEXT_DARK_MAUVE, PickTextColor, 5},
    {IDM_TEXT_BROWN, PickTextColor, 6},
    {IDM_TEXT_GRAY, PickTextColor, 7},
    {IDM_TEXT_DARK_GRAY, PickTextColor, 8},
    {IDM_TEXT_BLUE, PickTextColor, 9},
    {IDM_TEXT_GREEN, PickTextColor, 10},
    {IDM_TEXT_CYAN, PickTextColor, 11},
    {IDM_TEXT_RED, PickTextColor, 12},
    {IDM_TEXT_MAUVE, PickTextColor, 13},
    {IDM_TEXT_YELLOW, PickTextColor, 14},
    {IDM_TEXT_WHITE, PickTextColor, 15},

    {IDM_BACK_BLACK, PickBackColor, 0},
    {IDM_BACK_DARK_BLUE, PickBackColor, 1},
    {IDM_BACK_DARK_GREEN, PickBackColor, 2},
    {IDM_BACK_DARK_CYAN, PickBackColor, 3},
    {IDM_BACK_DARK_RED, PickBackColor, 4},
    {IDM_BACK_DARK_MAUVE, PickBackColor, 5},
    {IDM_BACK_BROWN, PickBackColor, 6},
    {IDM_BACK_GRAY, PickBackColor, 7},
    {IDM_BACK_DARK_GRAY, PickBackColor, 8},
    {IDM_BACK_BLUE, PickBackColor, 9},
    {IDM_BACK_GREEN, PickBackColor, 10},
    {IDM_BACK_CYAN, PickBackColor, 11},
    {IDM_BACK_RED, PickBackColor, 12},
    {IDM_BACK_MAUVE, PickBackColor, 13},
    {IDM_BACK_YELLOW, PickBackColor, 14},
    {IDM_BACK_WHITE, PickBackColor, 15},
};

const unsigned CommandCount = sizeof CommandTable / sizeof CommandTable[0];

bool RunCommand(PlatformWindow dialog, uintptr_t wParam)
{
    for (unsigned k = 0; k < CommandCount; ++k) {
        if (CommandTable[k].number == wParam) {
            CommandTable[k].action(dialog, CommandTable[k].argument);
            return true;
        }
    }
    return false;
}
