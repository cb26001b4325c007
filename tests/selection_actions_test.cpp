#include <gtest/gtest.h>

#include "core/color_table.h"
#include "core/selection.h"
#include "core/selection_actions.h"
#include "resources/resource.h"
#include "shell/sound_cues.h"
#include "tests/support/dialog_fixture.h"

using std::string;

static const string Block(const char* back, const char* text)
{
    return string(";; Following 2 lines by Hueline (hueline@hueline.org)\r\n"
                  ";; They are used to change the color of the blue screen of death\r\n"
                  "MessageBackColor=") + back + "\r\nMessageTextColor=" + text +
           "\r\n;; End of Hueline Lines\r\n";
}

static const string Installed4E = "[386Enh]\r\nMessageBackColor=4\r\nMessageTextColor=E\r\n";

class SelectionActions : public DialogTest {};

TEST_F(SelectionActions, InitShowsAndSelectsTheInstalledPair)
{
    StartWith(Installed4E);
    for (int k = 0; k < 2; ++k) {
        ASSERT_EQ(Dialog().items[k].size(), ColorCount);
        for (unsigned n = 0; n < ColorCount; ++n)
            EXPECT_EQ(Dialog().items[k][n], ColorTable[n]);
    }
    EXPECT_EQ(BackListSelection(), "Dark Red");
    EXPECT_EQ(TextListSelection(), "Yellow");
    EXPECT_EQ(HostControlText(IDC_BACK_CURRENT), "Dark Red");
    EXPECT_EQ(HostControlText(IDC_TEXT_CURRENT), "Yellow");
    EXPECT_STREQ(ColorSelection.SelectedBack, "Dark Red");
    EXPECT_EQ(Sounds(), "");
    EXPECT_TRUE(Dialog().messages.empty());
    EXPECT_EQ(Old(), "<missing>");  // Init only reads

    StartWith("[boot]\r\n");
    EXPECT_EQ(BackListSelection(), "Blue");
    EXPECT_EQ(TextListSelection(), "White");
    EXPECT_EQ(HostControlText(IDC_BACK_CURRENT), "Blue");
}

TEST_F(SelectionActions, CancelPutsTheListsBackWithoutReadingThem)
{
    StartWith(Installed4E);
    Dialog().selection[0] = 10;  // the user clicks "Green"
    CancelSelection(Window());
    EXPECT_EQ(BackListSelection(), "Dark Red");
    EXPECT_STREQ(ColorSelection.SelectedBack, "Dark Red");
    EXPECT_EQ(Sounds(), "cancel.wav/1");
    EXPECT_EQ(Ini(), Installed4E);
    EXPECT_EQ(Old(), "<missing>");

    // Picks from the menus are thrown away too.
    PickBackColor(Window(), 2);
    PickTextColor(Window(), 0);
    CancelSelection(Window());
    EXPECT_EQ(BackListSelection(), "Dark Red");
    EXPECT_EQ(TextListSelection(), "Yellow");
    EXPECT_STREQ(ColorSelection.SelectedBack, "Dark Red");
    EXPECT_STREQ(ColorSelection.SelectedText, "Yellow");
}

TEST_F(SelectionActions, ApplyFromTheButtonTakesTheListsAndAsks)
{
    StartWith(Installed4E);
    Dialog().selection[0] = 10;  // "Green", with no Refresh before Apply
    ApplySelection(Window(), true);
    EXPECT_EQ(Ini(), "[386Enh]\r\n" + Block("A", "E"));
    EXPECT_EQ(Old(), Installed4E);
    EXPECT_EQ(HostControlText(IDC_BACK_CURRENT), "Green");
    EXPECT_EQ(HostControlText(IDC_TEXT_CURRENT), "Yellow");
    ASSERT_EQ(Dialog().questions.size(), 1u);
    EXPECT_EQ(Dialog().questions[0],
              "Restart?|The settings you have chosen will only take effect\n"
              "after your computer is restarted.\n"
              "Please close all other applications before restarting.\n"
              "Do you want to restart your computer now?");
    // Answered No: the program stays open with the new pair installed.
    EXPECT_TRUE(Dialog().ended.empty());
    EXPECT_EQ(RestartRequested, 0);
    EXPECT_EQ(Sounds(), "apply.wav/1");

    Dialog().answerYes = true;
    ApplySelection(Window(), true);
    EXPECT_EQ(RestartRequested, 1);
    EXPECT_EQ(Dialog().ended, std::vector<int>{0});
    // The same pair again still rewrites both files.
    EXPECT_EQ(Old(), "[386Enh]\r\n" + Block("A", "E"));
    EXPECT_EQ(Ini(), "[386Enh]\r\n" + Block("A", "E"));

    // The NT family never reads the colours: it is told so at start, and
    // Apply rewrites the file without offering a restart.
    StartWith(Installed4E, true);
    EXPECT_EQ(Dialog().messages,
              std::vector<string>{"Hueline|Windows NT, 2000 and XP do not use these colors.\nHueline still changes SYSTEM.INI "
                                  "when you apply or restore, but here that changes nothing."});
    Dialog().selection[0] = 10;
    Dialog().answerYes = true;
    ApplySelection(Window(), true);
    EXPECT_EQ(Ini(), "[386Enh]\r\n" + Block("A", "E"));
    EXPECT_EQ(HostControlText(IDC_BACK_CURRENT), "Green");
    EXPECT_TRUE(Dialog().questions.empty());
    EXPECT_EQ(Dialog().messages.size(), 1u);
    EXPECT_EQ(RestartRequested, 0);
    EXPECT_TRUE(Dialog().ended.empty());
}

TEST_F(SelectionActions, ApplyFromTheMenuAsksNothing)
{
    StartWith("[boot]\r\n[386Enh]\r\n");
    Dialog().selection[1] = 3;
    Dialog().answerYes = true;
    ApplySelection(Window(), false);
    EXPECT_EQ(Ini(), "[boot]\r\n[386Enh]\r\n" + Block("9", "3"));
    EXPECT_TRUE(Dialog().questions.empty());
    EXPECT_TRUE(Dialog().ended.empty());
    EXPECT_EQ(RestartRequested, 0);
}

TEST_F(SelectionActions, RestoreWritesTheDefaultsEvenWhenNoneWereInstalled)
{
    StartWith("[boot]\r\n");
    Dialog().selection[0] = 2;
    RestoreDefaultColors(Window());
    EXPECT_EQ(Ini(), "[boot]\r\n");
    EXPECT_EQ(Old(), "[boot]\r\n");
    EXPECT_EQ(BackListSelection(), "Blue");
    EXPECT_EQ(HostControlText(IDC_BACK_CURRENT), "Blue");
    EXPECT_EQ(HostControlText(IDC_TEXT_CURRENT), "White");
    EXPECT_EQ(Sounds(), "restore.wav/1");

    StartWith("[386Enh]\r\n" + Block("C", "0") + "x=1\r\n");
    EXPECT_EQ(HostControlText(IDC_BACK_CURRENT), "Red");
    RestoreDefaultColors(Window());
    EXPECT_EQ(Ini(), "[386Enh]\r\nx=1\r\n");
    EXPECT_EQ(HostControlText(IDC_BACK_CURRENT), "Blue");
    EXPECT_TRUE(Dialog().questions.empty());
}

TEST_F(SelectionActions, MenuPicksMoveTheListsOnly)
{
    StartWith(Installed4E);
    PickTextColor(Window(), 11);
    EXPECT_EQ(TextListSelection(), "Cyan");
    EXPECT_STREQ(ColorSelection.SelectedText, "Cyan");
    PickBackColor(Window(), 7);
    EXPECT_EQ(BackListSelection(), "Gray");  // not "Dark Gray"
    EXPECT_STREQ(ColorSelection.InstalledBack, "Dark Red");
    EXPECT_EQ(Sounds(), "click.wav/1 click.wav/1");
    EXPECT_EQ(Old(), "<missing>");
}

TEST_F(SelectionActions, ExitClicksToTheEndAndSavesNothing)
{
    StartWith(Installed4E);
    Dialog().selection[0] = 1;
    ExitProgram(Window());
    EXPECT_EQ(Sounds(), "click.wav/0");
    EXPECT_EQ(Dialog().ended, std::vector<int>{0});
    EXPECT_EQ(RestartRequested, 0);
    EXPECT_EQ(Ini(), Installed4E);
}

TEST_F(SelectionActions, OnlyPositionsZeroToFifteenAreColours)
{
    StartWith(Installed4E);
    Dialog().selection[0] = -1;  // nothing selected
    Dialog().selection[1] = 16;  // one past the last colour
    SyncSelectionFromLists(Window());
    EXPECT_STREQ(ColorSelection.SelectedBack, "Dark Red");
    EXPECT_STREQ(ColorSelection.SelectedText, "Yellow");

    // The first and the last position are colours.
    Dialog().selection[0] = 0;
    Dialog().selection[1] = 15;
    SyncSelectionFromLists(Window());
    EXPECT_STREQ(ColorSelection.SelectedBack, "Black");
    EXPECT_STREQ(ColorSelection.SelectedText, "White");

    // A list that lost its selection keeps what it last gave, and Apply
    // writes that.
    Dialog().selection[0] = 16;
    Dialog().selection[1] = -1;
    ApplySelection(Window(), false);
    EXPECT_EQ(Ini(), "[386Enh]\r\n" + Block("0", "F"));
    EXPECT_EQ(HostControlText(IDC_BACK_CURRENT), "Black");
    EXPECT_EQ(HostControlText(IDC_TEXT_CURRENT), "White");
}

TEST_F(SelectionActions, SoundSwitch)
{
    StartWith(Installed4E);
    ToggleSounds(Window());  // off: silent
    EXPECT_EQ(SoundsEnabled, 0);
    CancelSelection(Window());
    RestoreDefaultColors(Window());
    ExitProgram(Window());
    PlayCue(nullptr, CueStop);
    EXPECT_EQ(Sounds(), "");
    ToggleSounds(Window());  // on: one click
    EXPECT_EQ(Sounds(), "click.wav/1");
    ASSERT_EQ(Dialog().checks.size(), 2u);
    EXPECT_EQ(Dialog().checks[0], std::make_pair(IDM_SOUNDS, false));
    EXPECT_EQ(Dialog().checks[1], std::make_pair(IDM_SOUNDS, true));

    PlayCue("testing.wav", CueLoop);
    PlayCue("testing.wav", CueStop);
    PlayCue("click.wav", CueSync);
    EXPECT_EQ(Sounds(), "click.wav/1 testing.wav/9 null/0 click.wav/0");
}

// What a failed Apply or Restore tells: the file that failed, in full, and why.
static string Unchanged(const char* what, const char* file, const char* step, const char* why,
                        const char* advice = "")
{
    return string("Hueline|The ") + what + ".\nHueline could not " + step + " " + TestPath(file) + ": " + why +
           ".\nSYSTEM.INI is as it was." + advice;
}
static const char FolderThere[] = "a folder is in its place";
static const char MoveIt[] = "\nMove that folder elsewhere, then try again.";

TEST_F(SelectionActions, AFailedWriteIsToldAndNothingShowsAsInstalled)
{
    StartWith(Installed4E);
    Dialog().selection[0] = 10;
    Dialog().answerYes = true;
    // system.old cannot be written: a folder stands in its place.
    HostMakeFolder(TestPath("system.old"));
    ApplySelection(Window(), true);
    EXPECT_EQ(Ini(), Installed4E);
    EXPECT_EQ(HostControlText(IDC_BACK_CURRENT), "Dark Red");
    EXPECT_EQ(HostControlText(IDC_TEXT_CURRENT), "Yellow");
    EXPECT_STREQ(ColorSelection.InstalledBack, "Dark Red");
    EXPECT_EQ(Dialog().failures,
              std::vector<string>{Unchanged("new colors were not installed", "system.old", "replace", FolderThere, MoveIt)});
    EXPECT_TRUE(Dialog().messages.empty());
    EXPECT_TRUE(Dialog().questions.empty());  // no restart for colours never written
    EXPECT_EQ(RestartRequested, 0);
    EXPECT_TRUE(Dialog().ended.empty());

    RestoreDefaultColors(Window());
    EXPECT_EQ(Ini(), Installed4E);
    EXPECT_EQ(HostControlText(IDC_BACK_CURRENT), "Dark Red");
    EXPECT_EQ(BackListSelection(), "Blue");  // what was picked
    EXPECT_EQ(Dialog().failures.back(),
              Unchanged("default colors were not restored", "system.old", "replace", FolderThere, MoveIt));

    // A missing system.ini: the same, and the defaults are what it holds.
    RemoveTestFile("system.ini");
    ApplySelection(Window(), true);
    EXPECT_EQ(Ini(), "<missing>");
    EXPECT_EQ(HostControlText(IDC_BACK_CURRENT), "Blue");
    EXPECT_EQ(Dialog().failures.size(), 3u);
    HostRemoveFile(TestPath("system.old"));
    ApplySelection(Window(), true);
    EXPECT_EQ(Dialog().failures.back(),
              Unchanged("new colors were not installed", "system.ini", "read", "it is not there"));
    EXPECT_TRUE(Dialog().questions.empty());

    // No Windows directory: no file can be named.
    const string directory = HostWindowsDirectory();
    HostSetWindowsDirectory("");
    ApplySelection(Window(), true);
    HostSetWindowsDirectory(directory.c_str());
    EXPECT_EQ(Dialog().failures.back(), "Hueline|The new colors were not installed.\nWindows did not name "
                                        "its folder.\nSYSTEM.INI is as it was.");
}

TEST_F(SelectionActions, ApplyWithoutA386EnhSectionSaysSoAndShowsTheDefaults)
{
    StartWith("[boot]\r\nMessageBackColor=4\r\nshell=x\r\n");
    EXPECT_EQ(HostControlText(IDC_BACK_CURRENT), "Dark Red");
    Dialog().selection[0] = 10;
    ApplySelection(Window(), true);
    EXPECT_EQ(Ini(), "[boot]\r\nshell=x\r\n");
    EXPECT_EQ(HostControlText(IDC_BACK_CURRENT), "Blue");
    EXPECT_EQ(HostControlText(IDC_TEXT_CURRENT), "White");
    EXPECT_EQ(BackListSelection(), "Green");
    EXPECT_EQ(Dialog().messages,
              std::vector<string>{"Hueline|The color lines were removed, but the new colors were not installed: " +
                                  TestPath("system.ini") + " has no [386Enh] line."});
    EXPECT_TRUE(Dialog().questions.empty());
    // Nothing to remove: nothing said to be removed.
    Dialog().messages.clear();
    ApplySelection(Window(), true);
    EXPECT_EQ(Dialog().messages, std::vector<string>{"Hueline|The new colors were not installed: " +
                                                     TestPath("system.ini") + " has no [386Enh] line."});
}

TEST_F(SelectionActions, TheFieldsShowWhatTheFileHoldsAfterAnApply)
{
    // Lone CRs: the colour lines go, the block goes in, the fields agree.
    StartWith("MessageBackColor=4\r[386Enh]\rdevice=x\r");
    EXPECT_EQ(HostControlText(IDC_BACK_CURRENT), "Dark Red");
    Dialog().selection[0] = 3;
    ApplySelection(Window(), false);
    EXPECT_EQ(Ini(), "[386Enh]\r" + Block("3", "F") + "device=x\r");
    EXPECT_EQ(HostControlText(IDC_BACK_CURRENT), "Dark Cyan");
    EXPECT_TRUE(Dialog().messages.empty());
    RestoreDefaultColors(Window());
    EXPECT_EQ(Ini(), "[386Enh]\rdevice=x\r");
    EXPECT_TRUE(Dialog().messages.empty());
}
