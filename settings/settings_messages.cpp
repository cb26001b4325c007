#include "settings/settings_messages.h"

#include "core/text.h"
#include "settings/whole_files.h"

namespace {

// Room for the longest message: no message names more than four paths, each
// of them shorter than TextBufferSize, with less than 1 KB of words around.
char Message[5 * TextBufferSize + 1024];
unsigned Used;

void Begin()
{
    Message[0] = '\0';
    Used = 0;
}

// Adds text; never past the room, and never a part of a path.
void Add(const char* text)
{
    unsigned length = TextLength(text);
    if (Used + length + 1 > sizeof Message)
        return;
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
    return SettingsMessage{Message, failure};
}

// Each cause in words, in the order of SettingsCause.
const char* const CauseTexts[] = {
    "",
    "Windows did not name its folder",
    "it is not there",
    "a folder is in its place",
    "Windows would not open it",
    "it is read-only",
    "Windows could not read it",
    "the disk is full",
    "Windows could not write it",
    "Windows would not remove it",
    "Windows would not rename it",
    "it is over 32 MB",
    "it is Unicode (UTF-16) text",
    "there is not enough memory",
    "it is left from a change",
    "Windows could not check it",
    "Those are not colors Hueline knows",
    "a file of that name is there",
    "it changed as Hueline read it",
};
static_assert(sizeof CauseTexts / sizeof CauseTexts[0] == SettingsChanged + 1, "a text for each cause");

const char* const StepVerbs[] = {"read", "write", "replace", "remove", "keep"};
const SettingsFile KeptAs[] = {SettingsKeptOld, SettingsKeptCopy, SettingsKeptIni};

// "Hueline could not replace C:\WINDOWS\SYSTEM.INI: why."
void AddProblem(const SettingsProblem& problem)
{
    // Causes that concern no one file.
    if (problem.cause == SettingsNoDirectory || problem.cause == SettingsNotColors) {
        Add(CauseTexts[problem.cause]);
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
    Add(CauseTexts[problem.cause]);
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
        Add("\nMove that file elsewhere, then start Hueline again.");
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
        Add(", copies from before that change.");
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
        Add("\nSYSTEM.INI is missing: Windows may not start. Do not restart now: README.TXT tells how to put it "
            "back.");
        break;
    case SettingsHoldsOther:
    case SettingsHoldsUnknown:
        Add("\nSYSTEM.INI is as Hueline found it.");
        break;
    }
}

const char FolderThere[] = "A folder is where SYSTEM.INI should be";
const char MayNotStart[] = ": Windows may not start.";
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
        Add(NextStart);
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
        Add("Hueline's last change did not finish: SYSTEM.INI is as it was before it.");
        break;
    case SettingsFinished:
        Add("Hueline has finished its last change, which was interrupted.");
        break;
    case SettingsPutBack:
        Add(details.kept[2]          ? "Hueline has put back SYSTEM.INI from before its last change, from "
            : details.version == 0 ? "SYSTEM.INI was missing; Hueline has put in its place "
                                   : "SYSTEM.INI was missing; Hueline has put it back from ",
            details.copy, ".");
        if (details.kept[2])
            Add(" What stood there is kept as ", SettingsKeptIni, ".");
        break;
    case SettingsKeptAsItIs:
        Add(details.ini == SettingsHoldsFolder ? FolderThere : "SYSTEM.INI stays as it is");
        Add(details.ini == SettingsHoldsFolder ? MayNotStart : ".");
        if (details.copy == SettingsIni)
            Add(" No copy from before is left.");
        AddKept(details);
        return End(details.ini == SettingsHoldsFolder);
    case SettingsNotRecovered:
        Add("Hueline could not tidy up after its last change.\n");
        AddProblem(details.problem);
        AddState(details.ini);
        Add(details.problem.file == SettingsJournal && details.problem.step == SettingsRemoving
                ? "\nDelete that file; until then Hueline changes nothing."
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
    Add(details.ini == SettingsHoldsFolder ? FolderThere
                                           : details.question == SettingsAskWhichNew ? "SYSTEM.INI is missing" : "");
    if (details.question == SettingsAskWhichNew) {
        Add(", and Hueline's note of its last change (", SettingsJournal, ") is damaged. Windows may not start.\n\nPut ");
        Add("", SettingsNew, ", SYSTEM.INI with that change, in its place?\n\nIf you choose No, Hueline puts ");
        Add("", details.otherCopy, " there, SYSTEM.INI from before.");
        return End(false).text;
    }
    if (details.ini == SettingsHoldsFolder)
        Add(MayNotStart);
    else if (details.version == JournalReplacesWhole)
        Add("Another program has changed ", SettingsIni, " since Hueline began its last change.");
    else
        Add("Hueline's last change to ", SettingsIni,
            " was interrupted, and it holds neither its old nor its new content.");
    Add(" Hueline has not touched it.\n\nPut back SYSTEM.INI from before that change, from ", details.copy,
        "? What is there now would be kept as ");
    Add("", SettingsKeptIni, ".\n\nIf you choose No, it stays as it is, and Hueline keeps its copies.");
    return End(false).text;
}
