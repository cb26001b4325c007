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
    {IDC_FULL_SCREEN, 0, Test},
    {IDM_TEST, 0, Test},
    {IDC_CANCEL_SELECTION, 0, Cancel},
    {IDC_RESTORE, 0, Restore},
    {IDC_APPLY, 0, ApplyAndAsk},
    {IDC_EXIT, 0, Exit},
    {IDM_SOUNDS, 0, Sounds},
    {IDM_CANCEL_SELECTION, 0, Cancel},
    {IDM_RESTORE, 0, Restore},
    {IDM_APPLY, 0, Apply},
    {IDM_EXIT, 0, Exit},
    {IDC_REFRESH, 0, Refresh},
    {IDM_REFRESH, 0, Refresh},
    {IDC_ABOUT, 0, About},
    {IDM_ABOUT, 0, ClickThenAbout},
    {IDM_ABOUT_HIDDEN, 0, ClickThenAbout},
    {IDM_HOMEPAGE, 0, Homepage},

    {IDM_TEXT_BLACK, 0, PickTextColor},
    {IDM_TEXT_DARK_BLUE, 1, PickTextColor},
    {IDM_TEXT_DARK_GREEN, 2, PickTextColor},
    {IDM_TEXT_DARK_CYAN, 3, PickTextColor},
    {IDM_TEXT_DARK_RED, 4, PickTextColor},
    {IDM_TEXT_DARK_MAUVE, 5, PickTextColor},
    {IDM_TEXT_BROWN, 6, PickTextColor},
    {IDM_TEXT_GRAY, 7, PickTextColor},
    {IDM_TEXT_DARK_GRAY, 8, PickTextColor},
    {IDM_TEXT_BLUE, 9, PickTextColor},
    {IDM_TEXT_GREEN, 10, PickTextColor},
    {IDM_TEXT_CYAN, 11, PickTextColor},
    {IDM_TEXT_RED, 12, PickTextColor},
    {IDM_TEXT_MAUVE, 13, PickTextColor},
    {IDM_TEXT_YELLOW, 14, PickTextColor},
    {IDM_TEXT_WHITE, 15, PickTextColor},

    {IDM_BACK_BLACK, 0, PickBackColor},
    {IDM_BACK_DARK_BLUE, 1, PickBackColor},
    {IDM_BACK_DARK_GREEN, 2, PickBackColor},
    {IDM_BACK_DARK_CYAN, 3, PickBackColor},
    {IDM_BACK_DARK_RED, 4, PickBackColor},
    {IDM_BACK_DARK_MAUVE, 5, PickBackColor},
    {IDM_BACK_BROWN, 6, PickBackColor},
    {IDM_BACK_GRAY, 7, PickBackColor},
    {IDM_BACK_DARK_GRAY, 8, PickBackColor},
    {IDM_BACK_BLUE, 9, PickBackColor},
    {IDM_BACK_GREEN, 10, PickBackColor},
    {IDM_BACK_CYAN, 11, PickBackColor},
    {IDM_BACK_RED, 12, PickBackColor},
    {IDM_BACK_MAUVE, 13, PickBackColor},
    {IDM_BACK_YELLOW, 14, PickBackColor},
    {IDM_BACK_WHITE, 15, PickBackColor},
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
