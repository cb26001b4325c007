// The recovery at the start of the program, on every combination of what
// system.ini, system.old, the copy, the new file and the journal can hold,
// reachable or not: each content whole, an earlier one, nothing, a damaged
// one, a shortened start, a folder, a file that will not open; journals of
// each version, whole, cut short or damaged, and a folder. Each row is
// started, asked questions answered No and then, from the same files, Yes,
// and checked against the promises: system.ini is written only where it was
// missing or at a Yes; no content that stood is lost; what the user is told
// is what the files then hold; and after it, with no journal left, an Apply
// runs or tells why not.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "core/selection_actions.h"
#include "settings/settings_path.h"
#include "tests/support/dialog_fixture.h"
#include "tests/support/failure_cap.h"

using std::string;

namespace {

enum Holding { Absent, OldContent, NewContent, Earlier, Damaged, Shortened, Folder, Unreadable };
const char* const HoldingNames[] = {"absent", "old", "new", "earlier", "damaged", "shortened", "a folder",
                                    "unreadable"};
enum JournalKind { Replacing, InPlace, FirstVersion, CutShort, DamagedJournal, JournalFolder };
const char* const JournalNames[] = {"version 3", "version 2", "version 1", "cut short", "damaged", "a folder"};

const char* const Files[] = {"system.ini", "system.old", "hueline.bak", "hueline.new",
                             "hueline.old", "hueline.cpy", "hueline.ini"};
const unsigned FileCount = 7;

struct Stood {
    bool there;
    string bytes;  // for a file that opens
};

class SettingsRecoveryTable : public DialogTest {
protected:
    const string old_ = "[boot]\r\n[386Enh]\r\ndevice=x\r\n";
    const string new_ = RewriteText(old_, true, "Red", "Yellow");
    const string earlier_ = "[boot]\r\nan earlier one\r\n";

    void Place(const char* name, Holding holding, const string& whole)
    {
        RemoveTestFile(name);
        string bytes = whole;
        switch (holding) {
        case Absent:
            return;
        case Earlier:
            bytes = earlier_;
            break;
        case Damaged:
            bytes[bytes.size() / 2] ^= 1;
            break;
        case Shortened:
            bytes.resize(bytes.size() - 3);
            break;
        case Folder:
            HostMakeFolder(TestPath(name));
            return;
        default:
            break;
        }
        WriteTestFile(name, bytes);
        if (holding == Unreadable)
            HostMakeUnreadable(TestPath(name));
    }

    void PlaceJournal(JournalKind kind)
    {
        string journal = JournalFor(old_, new_, kind == InPlace ? 2 : kind == FirstVersion ? 1 : 3);
        if (kind == CutShort)
            journal.resize(100);
        if (kind == DamagedJournal)
            journal[40] ^= 1;
        if (kind == JournalFolder)
            HostMakeFolder(TestPath("hueline.mrk"));
        else
            WriteTestFile("hueline.mrk", journal);
    }

    std::vector<Stood> Look()
    {
        std::vector<Stood> stood;
        for (const char* name : Files) {
            Stood s = {false, ""};
            s.there = ReadTestFile(name, &s.bytes);
            stood.push_back(s);
        }
        return stood;
    }

    static bool Holds(const std::vector<Stood>& files, const string& bytes)
    {
        return std::any_of(files.begin(), files.end(), [&](const Stood& s) { return s.there && s.bytes == bytes; });
    }

    static bool Says(const std::vector<string>& told, const string& words)
    {
        return std::any_of(told.begin(), told.end(), [&](const string& t) { return t.find(words) != string::npos; });
    }

    // Checks one start of the row, the question answered yes or no.
    void Check(JournalKind journal, Holding ini, Holding old, Holding copy, Holding made,
               const std::vector<Stood>& before, bool yes, bool* asked)
    {
        Launch(yes);
        const std::vector<Stood> after = Look();
        std::vector<string> told = Dialog().messages;
        told.insert(told.end(), Dialog().failures.begin(), Dialog().failures.end());
        *asked = !Dialog().warnings.empty();
        // A whole journal that no file matches is not about these files.
        const bool whole = journal <= FirstVersion && (ini == OldContent || ini == NewContent || old == OldContent ||
                                                        copy == OldContent || made == NewContent);
        const bool failed = !Dialog().failures.empty();
        const Stood& was = before[0];
        const Stood& now = after[0];

        // Asked only where system.ini holds neither content, or is missing
        // beside a journal that cannot be read and two copies that could take its place.
        const bool neither = ini == Earlier || ini == Damaged || ini == Shortened || ini == Folder;
        EXPECT_LE(Dialog().warnings.size(), 1u);
        if (whole && (ini == OldContent || ini == NewContent)) {
            EXPECT_FALSE(*asked);
        }
        const bool oldCopy = old == OldContent || copy == OldContent;
        if (*asked) {
            EXPECT_TRUE((whole && neither) || (!whole && (ini == Absent || ini == Folder)));
        } else {
            EXPECT_FALSE(whole && neither && oldCopy) << "another content kept unasked";
        }
        // system.ini is written only where it was missing (or a folder), or at a Yes.
        if (now.there != was.there || now.bytes != was.bytes) {
            EXPECT_TRUE(!was.there || (*asked && yes)) << "system.ini written unasked";
            EXPECT_TRUE(now.bytes == old_ || now.bytes == new_ || (!whole && Holds(before, now.bytes)))
                << "system.ini written with what no copy held";
        }
        if (whole && ini == OldContent) {
            EXPECT_TRUE(Says(told, "did not finish"));
        }
        // A failure only where nothing can be done: system.ini unreadable
        // beside a whole journal, or missing with no copy to take its place,
        // or a folder in its place that the user chose to keep.
        const bool candidate = whole ? (journal == Replacing && made == NewContent) || old == OldContent ||
                                           copy == OldContent
                                     : made != Absent || (old != Absent && old != Folder) || copy != Absent;
        EXPECT_EQ(failed, (whole && (ini == Unreadable || (ini == Folder && !(*asked && yes)))) ||
                              ((ini == Absent || (!whole && ini == Folder)) && !candidate))
            << (told.empty() ? "" : told[0]);
        // No content that stood is lost: the copies' and system.ini's.
        for (unsigned f = 0; f < FileCount; ++f) {
            if (f != 3 && before[f].there) {
                EXPECT_TRUE(Holds(after, before[f].bytes)) << Files[f] << "'s content is lost";
            }
        }
        // What is told is what the files hold.
        if (Says(told, "did not finish") || Says(told, "as it was before the change.")) {
            EXPECT_EQ(now.bytes, old_);
        }
        if (Says(told, "has finished its last change") || Says(told, "holds the change.")) {
            EXPECT_EQ(now.bytes, new_);
        }
        if (Says(told, "stays as it is") || Says(told, "as Hueline found it")) {
            EXPECT_EQ(now.bytes, was.bytes);
        }
        if (Says(told, "is missing")) {
            EXPECT_FALSE(now.there);
        }
        for (unsigned f = 1; f < FileCount; ++f) {
            if (Says(told, "put in its place " + TestPath(Files[f])) || Says(told, "back from " + TestPath(Files[f])) ||
                Says(told, "last change, from " + TestPath(Files[f]))) {
                EXPECT_EQ(now.bytes, before[f].bytes) << "not put back from " << Files[f];
            }
            if (f >= 4 && (Says(told, "kept " + TestPath(Files[f])) || Says(told, "kept as " + TestPath(Files[f])))) {
                EXPECT_NE(HostAttributes(TestPath(Files[f])), PlatformNoAttributes) << Files[f];
            }
        }
        if (told.empty()) {
            EXPECT_TRUE(now.there == was.there && now.bytes == was.bytes);
        }
        if (*asked && !whole) {
            EXPECT_EQ(now.bytes == before[3].bytes, yes || before[3].bytes == before[1].bytes) << "the other copy";
        }
        if (failed && HostAttributes(TestPath("system.ini")) == PlatformNoAttributes) {
            EXPECT_TRUE(Says(told, "is missing"));
        }
        // With no failure told, no journal is left, and an Apply runs or tells why not.
        if (!failed) {
            EXPECT_FALSE(MarkStands() || HostAttributes(TestPath("hueline.mrk")) != PlatformNoAttributes);
            const string current = Ini();
            Dialog().failures.clear();
            Dialog().selection[0] = 12;
            Dialog().selection[1] = 0;
            ApplySelection(Window(), false);
            EXPECT_TRUE(Ini() == RewriteText(current, true, "Red", "Black") || !Dialog().failures.empty())
                << "locked out";
            // Kept as it is at the user's No, the copies are out of the next change's way.
            for (unsigned f = 1; f < FileCount && *asked && !yes && Says(told, "stays as it is"); ++f) {
                if (f != 3 && before[f].there) {
                    EXPECT_TRUE(Holds(Look(), before[f].bytes)) << Files[f] << "'s content is lost by the next change";
                }
            }
        }
    }
};

}  // namespace

TEST_F(SettingsRecoveryTable, EveryStateIsPutRightOrAsked)
{
    const FailureCap cap;
    unsigned rows = 0, questions = 0;
    const Holding inis[] = {OldContent, NewContent, Earlier, Absent, Damaged, Shortened, Folder, Unreadable};
    const Holding olds[] = {OldContent, Earlier, Absent, Damaged, Folder};
    const Holding copies[] = {OldContent, Absent, Damaged};
    const Holding mades[] = {NewContent, Absent, Damaged};
    for (unsigned j = Replacing; j <= JournalFolder; ++j) {
        for (Holding ini : inis) {
            for (Holding old : olds) {
                for (Holding copy : copies) {
                    for (Holding made : mades) {
                        SCOPED_TRACE(string("journal ") + JournalNames[j] + ", system.ini " + HoldingNames[ini] +
                                     ", system.old " + HoldingNames[old] + ", hueline.bak " + HoldingNames[copy] +
                                     ", hueline.new " + HoldingNames[made]);
                        std::vector<Stood> before;
                        for (bool yes : {false, true}) {
                            HostClearDisk();
                            Place("system.ini", ini, ini == NewContent ? new_ : old_);
                            Place("system.old", old, old_);
                            Place("hueline.bak", copy, old_);
                            Place("hueline.new", made, new_);
                            PlaceJournal((JournalKind)j);
                            before = Look();
                            bool asked = false;
                            Check((JournalKind)j, ini, old, copy, made, before, yes, &asked);
                            questions += asked && !yes;
                            if (!asked || HasFailure())
                                break;
                        }
                        ++rows;
                        if (HasFailure())
                            return;
                    }
                }
            }
        }
    }
    std::cout << "[ recovery ] " << rows << " states of the files, " << questions << " of them asked about"
              << std::endl;
    EXPECT_EQ(rows, 6u * 8 * 5 * 3 * 3);
    EXPECT_GT(questions, 300u);
}
