#include "settings/settings_messages.h"

#include "core/text.h"
#include "settings/whole_files.h"

namespace {

// Room for the longest message: four paths and the words around them.
char Message[4 * TextBufferSize + 1024];
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

const char* End()
{
    return Fits ? Message : "Hueline could not tell what happened to system.ini: the paths are too long.";
}

// A length in bytes, in decimal.
void AddBytes(unsigned long count)
{
    char digits[12];
    unsigned n = sizeof digits;
    digits[--n] = '\0';
    do {
        digits[--n] = (char)('0' + count % 10);
        count /= 10;
    } while (count != 0);
    Add(digits + n);
    Add(" bytes");
}

// Hueline's own files are told with what they are for.
void AddFile(SettingsFile file)
{
    Add(SettingsPaths[file]);
    if (file == SettingsCopy)
        Add(" (the new copy of system.ini that is to become system.old)");
    else if (file == SettingsJournal)
        Add(" (Hueline's record of a change to system.ini under way)");
}

const char* CauseText(SettingsCause cause)
{
    switch (cause) {
    case SettingsFine:
        break;
    case SettingsNoDirectory:
        return "Windows did not tell Hueline where its Windows folder is";
    case SettingsMissing:
        return "it does not exist";
    case SettingsFolder:
        return "a folder stands there in place of the file";
    case SettingsNotOpened:
        return "Windows would not open it (it may be read-only or in use)";
    case SettingsReadFailed:
        return "Windows reported an error while reading it";
    case SettingsDiskFull:
        return "there is not enough room left on the disk";
    case SettingsWriteFailed:
        return "Windows reported an error while writing it";
    case SettingsNotRemoved:
        return "it is still there (it may be read-only or in use)";
    case SettingsNotRenamed:
        return "the new copy could not be given its name";
    case SettingsTooLarge:
        return "it is larger than 32 MB, more than Hueline will rewrite";
    case SettingsUtf16:
        return "it is stored as Unicode (UTF-16) text, which Hueline does not rewrite";
    case SettingsNoMemory:
        return "there is not enough memory to hold it";
    case SettingsDamaged:
        return "it is damaged, or was written by another version of Hueline";
    case SettingsStanding:
        return "it is still there from an earlier change";
    case SettingsNotChecked:
        return "Windows could not tell whether it is there";
    case SettingsNoMatchingCopy:
        return "no copy holds its earlier content";
    case SettingsNotColors:
        return "The colors given are not colors Hueline knows";
    case SettingsOtherLength:
    case SettingsOtherContent:
        return "it does not hold what Hueline's record gives";
    case SettingsChangedElsewhere:
        return "another program may have changed it";
    case SettingsNameTaken:
        return "a file of that name is there already";
    }
    return "";
}

const char* const StepVerbs[] = {"read", "write", "replace", "remove", "keep"};

// "Hueline could not write C:\WINDOWS\system.ini: why."
void AddProblem(const SettingsProblem& problem)
{
    // Causes that concern no one file.
    if (problem.cause == SettingsNoDirectory || problem.cause == SettingsNotColors) {
        Add(CauseText(problem.cause));
        Add(".");
        return;
    }
    // system.old went, but the new copy did not take its name.
    if (problem.cause == SettingsNotRenamed && problem.step == SettingsReplacing) {
        Add("Hueline removed ");
        Add(SettingsPaths[SettingsOld]);
        Add(" to put a new copy of system.ini in its place, but could not give that copy its name: "
            "the copy of system.ini as it is now stays in ");
        Add(SettingsPaths[SettingsCopy]);
        Add(".");
        return;
    }
    // A file Hueline chose not to touch was not a failure of a step.
    if (problem.cause == SettingsUtf16 || problem.cause == SettingsTooLarge)
        Add("Hueline did not change ");
    else {
        Add("Hueline could not ");
        Add(StepVerbs[problem.step]);
        Add(" ");
    }
    AddFile(problem.file);
    if (problem.step == SettingsKeeping) {
        Add(" as ");
        Add(SettingsPaths[KeptAs[problem.file == SettingsOld ? 0 : 1]]);
        Add(problem.cause == SettingsNameTaken ? ": a file of that name is there already. Move it elsewhere first"
                                               : ": Windows would not rename it (it may be read-only or in use)");
        Add(".");
        return;
    }
    Add(": ");
    if (problem.cause == SettingsFolder && problem.step == SettingsRemoving)
        Add("a folder stands there in place of the file, and it could not be removed (it is not empty, or "
            "in use)");
    else
        Add(CauseText(problem.cause));
    Add(".");
}

// Why a copy could not be put back from.
void AddCopy(const SettingsRecoveryDetails& details, unsigned k)
{
    Add(SettingsPaths[Copies[k]]);
    switch (details.copyCauses[k]) {
    case SettingsMissing:
        Add(" is not there");
        break;
    case SettingsOtherLength:
        Add(" is ");
        AddBytes((unsigned long)details.copyLengths[k]);
        Add(" long");
        break;
    case SettingsOtherContent:
        Add(" is as long, but holds other bytes");
        break;
    case SettingsFine:
        Add(" holds it");
        break;
    default:
        Add(" could not be read: ");
        Add(CauseText(details.copyCauses[k]));
        break;
    }
}

// The lengths system.ini had, has and was to have.
void AddLengths(const SettingsRecoveryDetails& details)
{
    Add(" now holds neither its content from before that change (");
    AddBytes(details.oldLength);
    Add(") nor the new one (");
    AddBytes(details.newLength);
    Add(")");
}

// The copies a discard keeps, which the next change would otherwise replace.
void AddKeeping(const SettingsRecoveryDetails& details)
{
    bool first = true;
    for (unsigned k = 0; k < 2; ++k) {
        if (!details.copyStands[k])
            continue;
        Add(first ? "" : " ");
        Add(SettingsPaths[Copies[k]]);
        Add(" may hold the only whole copy of system.ini: if you choose Yes, Hueline keeps it as ");
        Add(SettingsPaths[KeptAs[k]]);
        Add(", where the next change cannot replace it.");
        first = false;
    }
    if (!first)
        Add("\n");
}

void AddLeft(const SettingsProblem& left)
{
    if (left.cause == SettingsFine)
        return;
    Add("\nHueline could not remove ");
    AddFile(left.file);
    Add("; remove that file by hand.");
}

const char* const NotChanging = "If you choose No, every file stays as it is, and Hueline will not change system.ini.";

}  // namespace

const char* WriteMessage(bool apply, SettingsWriteResult result, const SettingsWriteDetails& details)
{
    Begin();
    switch (result) {
    case SettingsWritten:
        if (details.left.cause == SettingsFine)
            return nullptr;
        Add(apply ? "The new colors were installed." : "The default colors were restored.");
        break;
    case SettingsNoSection:
        Add(details.linesRemoved > 0 ? "The color lines were removed from system.ini, but the new colors were not "
                                       "installed: "
                                     : "The new colors were not installed: ");
        Add(SettingsPaths[SettingsIni]);
        Add(" has no [386Enh] line to put them after.");
        break;
    case SettingsUnchanged:
        Add(apply ? "The new colors were not installed.\n" : "The default colors were not restored.\n");
        AddProblem(details.problem);
        Add("\nsystem.ini is as it was.");
        break;
    case SettingsNotPutBack:
        Add(apply ? "The new colors were not installed.\n" : "The default colors were not restored.\n");
        AddProblem(details.problem);
        Add(" Nor could it put system.ini back as it was.\nIts content from before this change is in ");
        Add(SettingsPaths[SettingsOld]);
        Add(", and Hueline will put it back from there when it next starts.");
        break;
    }
    AddLeft(details.left);
    return End();
}

const char* RecoveryMessage(SettingsRecovery result, const SettingsRecoveryDetails& details)
{
    Begin();
    switch (result) {
    case SettingsNothingToRecover:
        return nullptr;
    case SettingsTidied:
        if (details.left.cause == SettingsFine)
            return nullptr;
        Add(details.finished ? "The last change to system.ini was finished, and system.ini holds it whole."
                             : "The last change to system.ini never began: system.ini is as it was before it.");
        break;
    case SettingsRecovered:
        Add("The last change to system.ini was interrupted, so Hueline put system.ini back as it was before that "
            "change, from ");
        Add(SettingsPaths[details.copy]);
        Add(".");
        break;
    case SettingsNotRecovered:
        Add("The last change to system.ini was interrupted, and Hueline could not put system.ini back as it was.\n");
        AddProblem(details.problem);
        Add("\nHueline will try again when it next starts, and will not change system.ini before then.");
        break;
    case SettingsNeedsDecision:
        if (details.problem.cause == SettingsNoMatchingCopy) {
            Add("The last change to system.ini was interrupted. ");
            Add(SettingsPaths[SettingsIni]);
            AddLengths(details);
            Add(", and no copy holds its earlier content: ");
            AddCopy(details, 0);
            Add(", and ");
            AddCopy(details, 1);
            Add(".\nHueline has changed nothing.\n\n");
            AddKeeping(details);
            Add("Remove Hueline's record of that change, ");
            Add(SettingsPaths[SettingsJournal]);
            Add(", and go on with system.ini as it is? ");
        } else if (details.problem.cause == SettingsChangedElsewhere) {
            Add("Hueline's record of a change to system.ini, ");
            Add(SettingsPaths[SettingsJournal]);
            Add(", is still there, but ");
            Add(SettingsPaths[SettingsIni]);
            AddLengths(details);
            Add(", nor a part of either: it is ");
            AddBytes((unsigned long)details.iniLength);
            Add(" long. Another program may have changed it since. ");
            Add(SettingsPaths[details.copy]);
            Add(" holds system.ini as it was before Hueline's change.\nHueline has changed nothing.\n\n");
            AddKeeping(details);
            Add("Remove Hueline's record, ");
            Add(SettingsPaths[SettingsJournal]);
            Add(", and go on with system.ini as it is? ");
        } else {
            Add("Hueline found ");
            AddFile(SettingsJournal);
            Add(", but ");
            Add(CauseText(details.problem.cause));
            Add(".\nHueline has not changed system.ini or its copies.\n\n");
            AddKeeping(details);
            Add("Remove ");
            Add(SettingsPaths[SettingsJournal]);
            Add(" and go on? ");
        }
        Add(NotChanging);
        return End();
    }
    AddLeft(details.left);
    if (details.left.cause != SettingsFine)
        Add(" Until then Hueline will not change system.ini.");
    return End();
}

const char* DiscardFailedMessage(const SettingsProblem& problem)
{
    Begin();
    AddProblem(problem);
    if (problem.step == SettingsKeeping) {
        Add("\nHueline has not removed its record, ");
        Add(SettingsPaths[SettingsJournal]);
        Add(", and will not change system.ini until it can.");
    } else {
        Add("\nRemove it by hand; until then Hueline will not change system.ini.");
    }
    return End();
}
