#include "settings/settings_messages.h"

#include "core/text.h"
#include "settings/whole_files.h"

namespace {

// Room for the longest message: five paths and the words around them.
char Message[5 * TextBufferSize + 1024];
unsigned Used;
bool Fits;

void Begin()
{
    Message[0] = '\0';
    Used = 0;
    Fits = true;
}

// Adds text, or nothing at all when it would not fit: a message never
// shows a path cut short.
void Add(const char* text)
{
    unsigned length = TextLength(text);
    if (!Fits || Used + length + 1 > sizeof Message) {
        Fits = false;
        return;
    }
    CopyBytes(Message + Used, text, length + 1);
    Used += length;
}

void Add(const char* before, SettingsFile file, const char* after = "")
{
    Add(before);
    Add(SettingsPaths[file]);
    Add(after);
}

SettingsMessage End(bool failure)
{
    return SettingsMessage{Fits ? Message : "Hueline could not tell what happened to SYSTEM.INI: the paths are too "
                                            "long.",
                           failure};
}

const char* CauseText(SettingsCause cause)
{
    switch (cause) {
    case SettingsFine:
        break;
    case SettingsNoDirectory:
        return "Windows did not say where its folder is";
    case SettingsMissing:
        return "it is not there";
    case SettingsFolder:
        return "a folder is in its place";
    case SettingsNotOpened:
        return "Windows would not open it (it may be in use)";
    case SettingsReadOnly:
        return "it is read-only";
    case SettingsReadFailed:
        return "Windows could not read it";
    case SettingsDiskFull:
        return "the disk is full";
    case SettingsWriteFailed:
        return "Windows could not write it";
    case SettingsNotRemoved:
        return "Windows would not remove it (it may be in use)";
    case SettingsNotRenamed:
        return "Windows would not rename it";
    case SettingsTooLarge:
        return "it is over 32 MB";
    case SettingsUtf16:
        return "it is Unicode (UTF-16) text";
    case SettingsNoMemory:
        return "there is not enough memory";
    case SettingsStanding:
        return "it is left from an earlier change";
    case SettingsNotChecked:
        return "Windows could not tell if it is there";
    case SettingsNotColors:
        return "The colors given are not colors Hueline knows";
    case SettingsNameTaken:
        return "a file of that name is there";
    case SettingsChanged:
        return "it changed while Hueline read it";
    }
    return "";
}

const char* const StepVerbs[] = {"read", "write", "replace", "remove", "keep"};
const SettingsFile KeptAs[] = {SettingsKeptOld, SettingsKeptCopy, SettingsKeptIni};

// "Hueline could not replace C:\WINDOWS\SYSTEM.INI: why."
void AddProblem(const SettingsProblem& problem)
{
    // Causes that concern no one file.
    if (problem.cause == SettingsNoDirectory || problem.cause == SettingsNotColors) {
        Add(CauseText(problem.cause));
        Add(".");
        return;
    }
    // A file Hueline chose not to touch was not a failure of a step.
    if (problem.cause == SettingsUtf16 || problem.cause == SettingsTooLarge || problem.cause == SettingsReadOnly) {
        Add("Hueline does not change ", problem.file);
    } else {
        Add("Hueline could not ");
        Add(StepVerbs[problem.step]);
        Add(" ", problem.file);
    }
    if (problem.step == SettingsKeeping)
        Add(" as ", problem.file == SettingsIni ? SettingsKeptIni
                    : problem.file == SettingsOld ? SettingsKeptOld
                                                  : SettingsKeptCopy);
    Add(": ");
    Add(CauseText(problem.cause));
    Add(".");
}

// What the user can do about the cause, when there is something.
void AddAdvice(const SettingsProblem& problem)
{
    switch (problem.cause) {
    case SettingsDiskFull:
        Add("\nMake room on the disk, then try again.");
        break;
    case SettingsReadOnly:
        Add("\nTo let Hueline change it, clear Read-only in its Properties.");
        break;
    case SettingsNameTaken:
        Add("\nMove that file to another folder, then start Hueline again.");
        break;
    case SettingsFolder:
        Add("\nMove that folder elsewhere, then try again.");
        break;
    default:
        break;
    }
}

// The files a recovery kept aside, where no later change replaces them.
void AddKept(const SettingsRecoveryDetails& details)
{
    const char* sentence = "\nHueline has kept ";
    for (unsigned k = 0; k < 2; ++k) {
        if (details.kept[k]) {
            Add(sentence, KeptAs[k]);
            sentence = " and ";
        }
    }
    if (sentence[0] == ' ')
        Add(", copies from before that change, where no later change replaces them.");
}

// What state system.ini is in, and, when it is not whole, what to do.
void AddState(SettingsMatch ini)
{
    switch (ini) {
    case SettingsHoldsOld:
        Add("\nSYSTEM.INI is as it was before the change.");
        break;
    case SettingsHoldsNew:
        Add("\nSYSTEM.INI holds the change.");
        break;
    case SettingsHoldsNothing:
    case SettingsHoldsFolder:
        Add("\nSYSTEM.INI is missing: Windows may not start. Do not restart now; README.TXT tells how to put it "
            "back at an MS-DOS prompt.");
        break;
    case SettingsHoldsOther:
    case SettingsHoldsUnknown:
        Add("\nSYSTEM.INI is as Hueline found it.");
        break;
    }
}

const char NextStart[] = " Hueline tries again at its next start, and changes nothing before then.";
const char* const NotInstalled[] = {"The default colors were not restored", "The new colors were not installed"};

}  // namespace

SettingsMessage WriteMessage(bool apply, SettingsWriteResult result, const SettingsWriteDetails& details)
{
    Begin();
    switch (result) {
    case SettingsWritten:
        if (!details.journalStands)
            return SettingsMessage{nullptr, false};
        Add(apply ? "The new colors were installed" : "The default colors were restored");
        Add(", but Hueline could not remove ", SettingsJournal, ".");
        Add(NextStart);
        return End(false);
    case SettingsNoSection:
        Add(details.linesRemoved > 0 ? "The color lines were removed, but the new colors were not installed: "
                                     : "The new colors were not installed: ");
        Add("", SettingsIni, " has no [386Enh] line.");
        return End(false);
    case SettingsUnchanged:
        Add(NotInstalled[apply]);
        Add(".\n");
        AddProblem(details.problem);
        Add("\nSYSTEM.INI is as it was.");
        if (details.journalStands)
            Add(" Hueline tidies up when it next starts.");
        AddAdvice(details.problem);
        return End(true);
    case SettingsUnfinished:
        Add(NotInstalled[apply]);
        Add(" completely.\n");
        AddProblem(details.problem);
        AddState(details.ini);
        Add("\nStart Hueline again to finish or undo the change.");
        return End(true);
    }
    return SettingsMessage{nullptr, false};
}

SettingsMessage RecoveryMessage(SettingsRecovery result, const SettingsRecoveryDetails& details)
{
    Begin();
    switch (result) {
    case SettingsNothingToRecover:
    case SettingsNeedsAnswer:
        return SettingsMessage{nullptr, false};
    case SettingsTidied:
        if (!details.kept[1])
            return SettingsMessage{nullptr, false};
        Add("SYSTEM.INI stays as it is.");
        break;
    case SettingsNotFinished:
        Add("Hueline's last change did not finish: SYSTEM.INI is as it was before it. Make the change again if you "
            "want it.");
        break;
    case SettingsFinished:
        Add("Hueline's last change was interrupted; Hueline has now finished it.");
        break;
    case SettingsPutBack:
        Add(details.kept[2]          ? "Hueline has put back SYSTEM.INI from before its last change, from "
            : details.version == 0 ? "SYSTEM.INI was missing; Hueline has put in its place "
                                   : "SYSTEM.INI was missing after Hueline's last change; Hueline has put it back "
                                     "as it was before, from ",
            details.copy, ".");
        if (details.kept[2])
            Add(" What stood there is kept as ", SettingsKeptIni, ".");
        break;
    case SettingsKeptAsItIs:
        Add(details.ini == SettingsHoldsFolder ? "A folder is where SYSTEM.INI should be: Windows may not start "
                                                 "until you move it and put SYSTEM.INI back."
                                               : "SYSTEM.INI stays as it is.");
        if (details.copy == SettingsIni)
            Add(" No copy from before Hueline's last change is left.");
        AddKept(details);
        return End(details.ini == SettingsHoldsFolder);
    case SettingsNotRecovered:
        Add("Hueline could not tidy up after its last change.\n");
        AddProblem(details.problem);
        AddState(details.ini);
        Add(details.problem.file == SettingsJournal && details.problem.step == SettingsRemoving
                ? "\nDelete that file yourself; until then Hueline changes nothing."
                : NextStart);
        AddAdvice(details.problem);
        return End(true);
    }
    AddKept(details);
    return End(false);
}

const char* RecoveryQuestion(const SettingsRecoveryDetails& details)
{
    Begin();
    Add(details.ini == SettingsHoldsFolder ? "A folder is where SYSTEM.INI should be"
                                           : details.question == SettingsAskWhichNew ? "SYSTEM.INI is missing" : "");
    if (details.question == SettingsAskWhichNew) {
        Add(", and Hueline's note of its last change (", SettingsJournal,
            ") is damaged. Windows may not start without SYSTEM.INI.\n\nPut ");
        Add("", SettingsNew, ", SYSTEM.INI with that change, in its place?\n\nIf you choose No, Hueline puts ");
        Add("", details.otherCopy, " there, SYSTEM.INI from before.");
        return End(false).text;
    }
    if (details.ini == SettingsHoldsFolder)
        Add(": Windows may not start.");
    else if (details.version == JournalReplacesWhole)
        Add("Another program has changed ", SettingsIni, " since Hueline began its last change.");
    else
        Add("Hueline's last change to ", SettingsIni,
            " was interrupted, and it now holds neither its old content nor the new: the change may have been cut "
            "short, or another program changed it.");
    Add(" Hueline has not touched it.\n\nPut back SYSTEM.INI from before that change, from ", details.copy,
        "? What stands there now would be kept as ");
    Add("", SettingsKeptIni, ".\n\nIf you choose No, it stays as it is, and Hueline keeps its copies where no later "
        "change replaces them.");
    return End(false).text;
}
