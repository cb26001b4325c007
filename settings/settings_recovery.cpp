// Putting system.ini right after a change was interrupted, from the files
// themselves and the journal's record of what they held. The files are
// looked at first (Found), the steps decided from that alone (Plan), and
// then taken one by one, the volume committed after each removal and rename,
// the journal's removal last: a cut at any step leaves files that the next
// start decides from again.
#include "platform/platform.h"
#include "settings/journal.h"
#include "settings/settings_writer.h"
#include "settings/whole_files.h"

namespace {

enum JournalState { JournalAbsent, JournalWhole, JournalDamaged, JournalFolder, JournalUnknown };

// What the recovery finds.
struct Found {
    JournalState journal;
    SettingsCause journalCause;
    JournalRecord record;  // with a whole journal
    FileSummary files[SettingsFileCount];
    // Beside the record (HoldsOther without one).
    SettingsMatch ini, old, copy, made;
};

enum StepKind { StepRemove, StepRemoveFolder, StepRename, StepCopyToNew, StepRefuse };
struct Step {
    StepKind kind;
    SettingsFile from, to;
};

// What the recovery does.
struct Plan {
    SettingsRecovery result;
    Step steps[12];
    unsigned count;
    SettingsProblem problem;  // for SettingsNotRecovered with no step
};

void Add(Plan* plan, StepKind kind, SettingsFile from, SettingsFile to = SettingsIni)
{
    plan->steps[plan->count++] = Step{kind, from, to};
}

bool Stands(const FileSummary& file)
{
    return file.state == SettingsRead || file.state == SettingsUnreadable;
}

// The journal is small: it is read whole into a buffer of its own, so that it
// never waits on memory.
char JournalBytes[JournalLargestSize + 1];

void ReadRecord(Found* found)
{
    switch (PlatformCheckFile(SettingsPaths[SettingsJournal])) {
    case PlatformFileAbsent:
        found->journal = JournalAbsent;
        return;
    case PlatformFileFolder:
        found->journal = JournalFolder;
        return;
    default:
        break;
    }
    found->journal = JournalUnknown;
    PlatformFile in = PlatformOpenRead(SettingsPaths[SettingsJournal]);
    if (in == PlatformNoFile) {
        found->journalCause = CauseOfFailedOpen(SettingsJournal, true);
        if (found->journalCause == SettingsMissing)
            found->journal = JournalAbsent;  // the check could not tell, and there is none
        return;
    }
    int got = PlatformRead(in, JournalBytes, sizeof JournalBytes);
    PlatformClose(in);
    found->journalCause = SettingsReadFailed;
    if (got >= 0)
        found->journal = ReadJournal(JournalBytes, (unsigned)got, &found->record) ? JournalWhole : JournalDamaged;
}

void Look(Found* found)
{
    *found = Found{};
    found->ini = SettingsHoldsUnknown;
    ReadRecord(found);
    if (found->journal == JournalAbsent || found->journal == JournalUnknown)
        return;
    PlatformFlushProfileCache();  // what the system has cached of system.ini goes to the disk first
    for (unsigned f = 0; f < SettingsFileCount; ++f) {
        if (f != SettingsJournal)
            found->files[f] = SummarizeFile((SettingsFile)f);
    }
    static const SettingsMatch other[] = {SettingsHoldsNothing, SettingsHoldsOther, SettingsHoldsFolder,
                                          SettingsHoldsUnknown};
    SettingsMatch* matches[] = {&found->ini, &found->old, &found->copy, &found->made};
    bool about = false;  // a file holds a content the journal records
    for (unsigned f = 0; f < 4; ++f) {
        *matches[f] = MatchOf(found->record, found->files[f], f == SettingsIni || f == SettingsNew);
        about |= *matches[f] == SettingsHoldsOld || *matches[f] == SettingsHoldsNew;
    }
    // A journal that no file matches is not about these files (on FAT the
    // clusters of an earlier one can be read again where a new one never
    // reached the disk): it is taken for one that cannot be read.
    if (found->journal == JournalWhole && !about)
        found->journal = JournalDamaged;
    for (unsigned f = 0; f < 4 && found->journal != JournalWhole; ++f)
        *matches[f] = other[found->files[f].state];
}

// Moves from to the name keep, where no later change replaces it; when a
// file of that content stands there already, from only goes.
void Keep(Plan* plan, const Found& found, SettingsFile from, SettingsFile keep)
{
    if (found.files[keep].state == SettingsAbsent)
        Add(plan, StepRename, from, keep);
    else if (SameContent(found.files[from], found.files[keep]))
        Add(plan, StepRemove, from);
    else
        Add(plan, StepRefuse, from, keep);
}

// system.ini stands, holding ini: what the change left beside it is put
// away, never a copy whose content stands nowhere else; the journal last.
// The new content is Hueline's own, made from a content that stands; with
// newGone it has just become system.ini.
void Tidy(Plan* plan, const Found& found, const FileSummary& ini, bool newGone = false)
{
    if (!newGone && Stands(found.files[SettingsNew]))
        Add(plan, StepRemove, SettingsNew);
    const FileSummary& copy = found.files[SettingsCopy];
    if (Stands(copy)) {
        const bool checked = found.copy == SettingsHoldsOld || SameContent(copy, ini);
        if (found.files[SettingsOld].state == SettingsAbsent && checked)
            Add(plan, StepRename, SettingsCopy, SettingsOld);
        else if (SameContent(copy, ini) || SameContent(copy, found.files[SettingsOld]))
            Add(plan, StepRemove, SettingsCopy);
        else
            Keep(plan, found, SettingsCopy, SettingsKeptCopy);
    }
    Add(plan, found.journal == JournalFolder ? StepRemoveFolder : StepRemove, SettingsJournal);
}

// source, whole and checked, takes the place of a system.ini that is missing,
// or, when it is kept, of the one that stands.
void PutInPlace(Plan* plan, const Found& found, SettingsFile source, bool keepIni = false)
{
    if (source != SettingsNew)
        Add(plan, StepCopyToNew, source);
    if (keepIni)
        Keep(plan, found, SettingsIni, SettingsKeptIni);
    Add(plan, StepRename, SettingsNew, SettingsIni);
    Tidy(plan, found, found.files[source], true);
}

void Decide(const Found& found, SettingsAnswer answer, Plan* plan, SettingsRecoveryDetails* details)
{
    *plan = Plan{};
    plan->result = SettingsNotRecovered;
    const FileSummary* files = found.files;
    switch (found.journal) {
    case JournalAbsent:
        plan->result = SettingsNothingToRecover;
        return;
    case JournalUnknown:
        plan->problem = SettingsProblem{SettingsJournal, SettingsReading,
                                        found.journalCause == SettingsFine ? SettingsNotChecked : found.journalCause};
        return;
    case JournalWhole:
        break;
    case JournalDamaged:
    case JournalFolder:
        // Nothing says how far the change went. A system.ini that stands was
        // not replaced by Hueline: system.ini goes only after the journal is
        // whole on the disk. One that is missing, or a folder in its place,
        // gets a copy in its place.
        if (files[SettingsIni].state == SettingsRead || files[SettingsIni].state == SettingsUnreadable) {
            Tidy(plan, found, files[SettingsIni]);
            plan->result = SettingsTidied;
            return;
        }
        details->copy = files[SettingsNew].state == SettingsRead ? SettingsNew : SettingsIni;
        details->otherCopy = files[SettingsOld].state == SettingsRead    ? SettingsOld
                             : files[SettingsCopy].state == SettingsRead ? SettingsCopy
                                                                         : SettingsIni;
        if (details->copy == SettingsIni && details->otherCopy == SettingsIni) {
            plan->problem = SettingsProblem{SettingsIni, SettingsReading, SettingsMissing};
            return;
        }
        if (details->copy != SettingsIni && details->otherCopy != SettingsIni) {
            if (answer == SettingsNotAsked) {
                details->question = SettingsAskWhichNew;
                plan->result = SettingsNeedsAnswer;
                return;
            }
            if (answer == SettingsNo)
                details->copy = details->otherCopy;
        } else if (details->copy == SettingsIni) {
            details->copy = details->otherCopy;
        }
        PutInPlace(plan, found, details->copy, files[SettingsIni].state == SettingsFolderThere);
        plan->result = SettingsPutBack;
        return;
    }

    details->version = found.record.version;
    // The copy from before the change, whole (the new file too, when the
    // change left the content as it was).
    const bool same = found.record.oldLength == found.record.newLength && found.record.oldCrc == found.record.newCrc;
    const SettingsFile old = found.old == SettingsHoldsOld              ? SettingsOld
                             : found.copy == SettingsHoldsOld           ? SettingsCopy
                             : found.made == SettingsHoldsNew && same ? SettingsNew
                                                                        : SettingsIni;
    details->copy = old;
    switch (found.ini) {
    case SettingsHoldsUnknown:
        plan->problem = SettingsProblem{SettingsIni, SettingsReading, files[SettingsIni].cause};
        return;
    case SettingsHoldsNew:
        Tidy(plan, found, files[SettingsIni]);
        plan->result = SettingsTidied;
        return;
    case SettingsHoldsOld:
        Tidy(plan, found, files[SettingsIni]);
        plan->result = SettingsNotFinished;
        return;
    case SettingsHoldsNothing:
        // Between the removal of system.ini and the rename of the new content.
        if (found.record.version == JournalReplacesWhole && found.made == SettingsHoldsNew) {
            details->copy = SettingsNew;
            PutInPlace(plan, found, SettingsNew);
            plan->result = SettingsFinished;
            return;
        }
        if (old == SettingsIni) {
            plan->problem = SettingsProblem{SettingsIni, SettingsReading, SettingsMissing};
            return;
        }
        PutInPlace(plan, found, old);
        plan->result = SettingsPutBack;
        return;
    case SettingsHoldsOther:
    case SettingsHoldsFolder:
        break;
    }
    // Neither content: since Hueline replaces system.ini whole, another
    // program wrote it (under a journal of the released 1.0.0, which wrote it
    // in place, it may also be that change cut short). Only the user's Yes
    // puts the old content back; what stands there is kept.
    if (old != SettingsIni && answer == SettingsNotAsked) {
        details->question = SettingsAskPutBack;
        plan->result = SettingsNeedsAnswer;
        return;
    }
    if (old != SettingsIni && answer == SettingsYes) {
        PutInPlace(plan, found, old, true);
        plan->result = SettingsPutBack;
        return;
    }
    // Kept as it is: the copies go where no later change replaces them (the
    // new file too, when it is the copy of the old content).
    if (Stands(files[SettingsOld]))
        Keep(plan, found, SettingsOld, SettingsKeptOld);
    const SettingsFile copy = Stands(files[SettingsCopy]) ? SettingsCopy : old == SettingsNew ? SettingsNew
                                                                                               : SettingsIni;
    if (copy != SettingsIni)
        Keep(plan, found, copy, SettingsKeptCopy);
    if (copy != SettingsNew && Stands(files[SettingsNew]))
        Add(plan, StepRemove, SettingsNew);
    Add(plan, StepRemove, SettingsJournal);
    plan->result = SettingsKeptAsItIs;
}

// Takes one step; SettingsFine, or why it failed.
SettingsCause Take(const Step& step, const Found& found, SettingsProblem* problem, SettingsRecoveryDetails* details)
{
    const char* from = SettingsPaths[step.from];
    *problem = SettingsProblem{step.from, SettingsRemoving, SettingsFine};
    switch (step.kind) {
    case StepRemove:
        if (!RemoveAndCheck(step.from))
            problem->cause = SettingsNotRemoved;
        break;
    case StepRemoveFolder:
        if (!PlatformRemoveFolder(from) || PlatformCheckFile(from) != PlatformFileAbsent)
            problem->cause = SettingsFolder;
        break;
    case StepRename:
        problem->step = step.to >= SettingsKeptOld ? SettingsKeeping : SettingsReplacing;
        if (!PlatformRename(from, SettingsPaths[step.to]))
            problem->cause = SettingsNotRenamed;
        else if (step.to >= SettingsKeptOld)
            details->kept[step.to - SettingsKeptOld] = true;
        break;
    case StepRefuse:
        *problem = SettingsProblem{step.from, SettingsKeeping, SettingsNameTaken};
        return problem->cause;
    case StepCopyToNew: {
        // The copy, read again: it must still hold what it held when it was chosen.
        unsigned length;
        SettingsCause cause;
        problem->step = SettingsReading;
        char* bytes = ReadWholeFile(step.from, &length, &cause);
        if (bytes == nullptr) {
            problem->cause = cause;
            return cause;
        }
        const uint32_t crc = Crc32(0, bytes, length);
        const FileSummary& seen = found.files[step.from];
        if (length != seen.length || crc != seen.crc) {
            problem->cause = SettingsChanged;
        } else {
            *problem = SettingsProblem{SettingsNew, SettingsWriting, WriteCheckedFile(SettingsNew, bytes, length, crc)};
        }
        PlatformFree(bytes);
        return problem->cause;
    }
    }
    // system.ini's new name, and a copy kept aside, must be on the disk
    // before the journal goes.
    if (problem->cause == SettingsFine)
        CommitAfter(step.kind == StepRename ? step.to : step.from,
                    step.kind == StepRename && (step.to == SettingsIni || step.to >= SettingsKeptOld));
    return problem->cause;
}

}  // namespace

SettingsRecovery RecoverInterruptedRewrite(SettingsRecoveryDetails* details, SettingsAnswer answer)
{
    SettingsRecoveryDetails ignored;
    if (details == nullptr)
        details = &ignored;
    *details = SettingsRecoveryDetails{};
    details->copy = details->otherCopy = SettingsIni;
    details->problem = SettingsProblem{SettingsIni, SettingsReading, SettingsFine};
    if (!FindSettingsPaths())
        return SettingsNothingToRecover;
    static Found found;
    Look(&found);
    Plan plan;
    Decide(found, answer, &plan, details);
    details->problem = plan.problem;
    details->ini = found.ini;
    for (unsigned n = 0; n < plan.count && plan.result != SettingsNotRecovered; ++n) {
        if (Take(plan.steps[n], found, &details->problem, details) != SettingsFine)
            plan.result = SettingsNotRecovered;
    }
    if (plan.count > 0)
        PlatformFlushProfileCache();
    // What system.ini holds now: what the steps put there, when they were
    // all taken, else what it is found to hold.
    switch (plan.result) {
    case SettingsNotFinished:
        details->ini = SettingsHoldsOld;
        break;
    case SettingsFinished:
        details->ini = SettingsHoldsNew;
        break;
    case SettingsPutBack:
        details->ini = found.journal == JournalWhole ? SettingsHoldsOld : SettingsHoldsOther;
        break;
    case SettingsNotRecovered:
        if (plan.count > 0) {
            const FileSummary ini = SummarizeFile(SettingsIni);
            details->ini = found.journal == JournalWhole ? MatchOf(found.record, ini, true)
                           : ini.state == SettingsAbsent ? SettingsHoldsNothing
                                                         : SettingsHoldsOther;
        }
        break;
    default:
        break;
    }
    return plan.result;
}
