#include "tests/support/dialog_fixture.h"

#include "core/selection.h"
#include "core/selection_actions.h"
#include "resources/resource.h"
#include "shell/sound_cues.h"

void DialogTest::StartWith(const std::string& ini, bool windowsNt)
{
    WriteTestFile("system.ini", ini);
    RemoveTestFile("system.old");
    Launch(false, windowsNt);
}

void DialogTest::Launch(bool answerYes, bool windowsNt)
{
    HostResetDialog(IDC_BACK_LIST, IDC_TEXT_LIST).windowsNt = windowsNt;
    Dialog().answerYes = answerYes;
    SoundsEnabled = 1;
    RestartRequested = 0;
    ColorSelection = ColorSelectionState{"Blue", "White", "Blue", "White"};
    InitSelection(Window());
    SyncSelectionFromLists(Window());
}

static std::string Selected(int k)
{
    const HostDialog& d = HostDialogState();
    int at = d.selection[k];
    return at < 0 ? "-" : d.items[k][at];
}

std::string DialogTest::BackListSelection() { return Selected(0); }
std::string DialogTest::TextListSelection() { return Selected(1); }

std::string DialogTest::Sounds()
{
    std::string all;
    for (const HostSound& s : Dialog().sounds)
        all += (all.empty() ? "" : " ") + (s.file.empty() ? std::string("null") : s.file) + "/" +
               std::to_string(s.flags);
    return all;
}
