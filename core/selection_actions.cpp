#include "core/selection_actions.h"

#include "core/color_table.h"
#include "core/selection.h"
#include "resources/resource.h"
#include "settings/settings_messages.h"
#include "settings/settings_reader.h"
#include "settings/settings_writer.h"
#include "shell/sound_cues.h"

ColorSelectionState ColorSelection;
int RestartRequested = 0;

static const char RestartCaption[] = "Restart?";
static const char RestartQuestion[] =
    "The settings you have chosen will only take effect\n"
    "after your computer is restarted.\n"
    "Please close all other applications before restarting.\n"
    "Do you want to restart your computer now?";
static const char NotUsedOnNt[] =
    "Windows NT, 2000 and XP do not use these colors.\n"
    "Hueline still changes SYSTEM.INI when you apply or restore, but here that changes nothing.";

static const char MessageCaption[] = "Hueline";

// The colour at a list's selected position; the reference stays as it was
// when the list has no selection.
static void SyncFromList(PlatformWindow dialog, int list, const char** color)
{
    int selected = PlatformListSelection(dialog, list);
    if (selected >= 0 && selected < (int)ColorCount)
        *color = ColorTable[selected];
}

void SyncSelectionFromLists(PlatformWindow dialog)
{
    SyncFromList(dialog, IDC_BACK_LIST, &ColorSelection.SelectedBack);
    SyncFromList(dialog, IDC_TEXT_LIST, &ColorSelection.SelectedText);
}

void SelectListsFromState(PlatformWindow dialog)
{
    PlatformListSelectText(dialog, IDC_BACK_LIST, ColorSelection.SelectedBack);
    PlatformListSelectText(dialog, IDC_TEXT_LIST, ColorSelection.SelectedText);
}

void ShowInstalledColors(PlatformWindow dialog)
{
    PlatformSetControlText(dialog, IDC_BACK_CURRENT, ColorSelection.InstalledBack);
    PlatformSetControlText(dialog, IDC_TEXT_CURRENT, ColorSelection.InstalledText);
}

static void SelectInstalled()
{
    ColorSelection.SelectedBack = ColorSelection.InstalledBack;
    ColorSelection.SelectedText = ColorSelection.InstalledText;
}

static void Tell(PlatformWindow dialog, SettingsMessage message)
{
    if (message.text == nullptr)
        return;
    if (message.failure)
        PlatformShowFailure(dialog, MessageCaption, message.text);
    else
        PlatformShowMessage(dialog, MessageCaption, message.text);
}

// Puts system.ini right when its last change was interrupted, asking first
// when the files leave a choice to the user, and tells what was done. True
// when no journal stands any more, so that system.ini may be changed.
static bool RecoverAndTell(PlatformWindow dialog)
{
    SettingsRecoveryDetails details;
    SettingsRecovery result = RecoverInterruptedRewrite(&details);
    if (result == SettingsNeedsAnswer) {
        bool yes = PlatformAskWarning(dialog, MessageCaption, RecoveryQuestion(details));
        result = RecoverInterruptedRewrite(&details, yes ? SettingsYes : SettingsNo);
        if (result == SettingsNeedsAnswer)
            return false;  // the files changed while the question was up: asked again next time
    }
    Tell(dialog, RecoveryMessage(result, details));
    return result != SettingsNotRecovered;
}

// Writes system.ini, then shows what it holds now, as it reads it. True when
// it holds what was asked; the user is told whatever else happened.
static bool WriteAndShow(PlatformWindow dialog, bool apply)
{
    SettingsWriteResult result = SettingsUnchanged;
    if (RecoverAndTell(dialog)) {
        SettingsWriteDetails details;
        result = WriteColorSettings(apply, &details);
        Tell(dialog, WriteMessage(apply, result, details));
    }
    ReadInstalledColors();
    ShowInstalledColors(dialog);
    return result == SettingsWritten;
}

void InitSelection(PlatformWindow dialog)
{
    for (unsigned n = 0; n < ColorCount; ++n) {
        PlatformListAdd(dialog, IDC_BACK_LIST, ColorTable[n]);
        PlatformListAdd(dialog, IDC_TEXT_LIST, ColorTable[n]);
    }
    if (PlatformIsWindowsNt())
        PlatformShowMessage(dialog, MessageCaption, NotUsedOnNt);
    RecoverAndTell(dialog);
    ReadInstalledColors();
    ShowInstalledColors(dialog);
    SelectInstalled();
    SelectListsFromState(dialog);
}

void CancelSelection(PlatformWindow dialog)
{
    PlayCue("cancel.wav", CueAsync);
    SelectInstalled();
    SelectListsFromState(dialog);
}

void RestoreDefaultColors(PlatformWindow dialog)
{
    PlayCue("restore.wav", CueAsync);
    SyncSelectionFromLists(dialog);
    ColorSelection.SelectedBack = ColorSelection.InstalledBack = ColorTable[DefaultBackColor];
    ColorSelection.SelectedText = ColorSelection.InstalledText = ColorTable[DefaultTextColor];
    SelectListsFromState(dialog);
    WriteAndShow(dialog, false);
}

void ApplySelection(PlatformWindow dialog, bool askRestart)
{
    PlayCue("apply.wav", CueAsync);
    SyncSelectionFromLists(dialog);
    ColorSelection.InstalledBack = ColorSelection.SelectedBack;
    ColorSelection.InstalledText = ColorSelection.SelectedText;
    if (!WriteAndShow(dialog, true))
        return;  // nothing to restart for
    // The NT family never reads the colours: a restart would change nothing.
    if (askRestart && !PlatformIsWindowsNt() && PlatformAskYesNo(dialog, RestartCaption, RestartQuestion)) {
        RestartRequested = 1;
        PlatformEndDialog(dialog, 0);
    }
}

static void PickColor(PlatformWindow dialog, const char** selected, unsigned color)
{
    PlayCue("click.wav", CueAsync);
    *selected = ColorTable[color % ColorCount];
    SelectListsFromState(dialog);
}

void PickBackColor(PlatformWindow dialog, unsigned color)
{
    PickColor(dialog, &ColorSelection.SelectedBack, color);
}

void PickTextColor(PlatformWindow dialog, unsigned color)
{
    PickColor(dialog, &ColorSelection.SelectedText, color);
}

void ExitProgram(PlatformWindow dialog)
{
    PlayCue("click.wav", CueSync);
    PlatformEndDialog(dialog, 0);
}
