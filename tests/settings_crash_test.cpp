// Cuts the power at every file operation of Apply and of Restore in turn:
// nothing after it happens, and of what Windows 9x held in its cache (the
// data written since each file's last flush, the creations, removals and
// renames since the last commit) any part may have reached the disk: every
// set of those directory changes, with the unflushed data landing in each of
// the ways a FAT disk lands it. Then starts the program again and runs a
// second Apply, and checks that system.ini was never lost: after the cut it
// holds its whole old or whole new content, or is missing beside a journal
// and a whole copy; after the start it holds one of them, as the message says,
// and the second Apply runs to its end. The same again with one operation
// failed first, so that the cuts fall in what the failure leads to.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "core/selection.h"
#include "core/selection_actions.h"
#include "resources/resource.h"
#include "settings/settings_path.h"
#include "settings/settings_writer.h"
#include "tests/support/dialog_fixture.h"
#include "tests/support/failure_cap.h"

using std::string;

// Every file the change and the recovery work with.
static const char* const Names[] = {"system.ini", "system.old", "hueline.bak", "hueline.new",
                                    "hueline.mrk", "hueline.old", "hueline.cpy", "hueline.ini"};
typedef std::vector<std::pair<bool, string>> Files;  // as they stand ("" and absent told apart)

Files Save()
{
    Files files;
    for (const char* name : Names) {
        string bytes;
        const bool there = ReadTestFile(name, &bytes);
        files.push_back({there, bytes});
    }
    return files;
}

void Put(const Files& files)
{
    for (size_t n = 0; n < files.size(); ++n) {
        if (files[n].first)
            WriteTestFile(Names[n], files[n].second);
        else
            RemoveTestFile(Names[n]);
    }
}

// Whether content stands whole in one of the files, system.ini's place
// counted only when asked.
bool Kept(const Files& files, const string& content, bool ini = false)
{
    return std::any_of(files.begin() + (ini ? 0 : 1), files.end(), [&](const std::pair<bool, string>& f) {
        return f.first && f.second == content;
    });
}

class SettingsCrash : public DialogTest {
protected:
    void TearDown() override
    {
        HostResetFileOperations(0);
        DialogTest::TearDown();
    }

    static constexpr const char* Earlier = "backup of an earlier run";

    // The files every run begins with.
    void Begin(const string& before)
    {
        WriteTestFile("system.ini", before);
        WriteTestFile("system.old", Earlier);
        for (unsigned n = 2; n < 8; ++n)
            RemoveTestFile(Names[n]);
    }

    // What any moment of a change may leave: system.ini whole, old or new,
    // or missing beside a trusted journal and a whole copy; the old content
    // always whole somewhere; system.old never a part; and README.TXT's
    // steps at a DOS prompt take a whole copy, or none when system.ini is there.
    void ExpectNothingLost(const string& before, const string& after)
    {
        const Files files = Save();
        const bool trusted = TrustedJournalStands();
        const string& ini = files[0].second;
        if (files[0].first) {
            EXPECT_TRUE(ini == before || ini == after) << ini.size() << " bytes";
        } else {
            EXPECT_TRUE(trusted) << "system.ini missing with no journal";
            EXPECT_TRUE(Kept(files, before) || Kept(files, after)) << "system.ini missing with no whole copy";
        }
        EXPECT_TRUE(ini == before || Kept(files, before)) << "the old content is lost";
        EXPECT_TRUE(!files[1].first || files[1].second == Earlier || files[1].second == before)
            << "system.old: " << files[1].second.size() << " bytes";
        if (trusted) {
            string taken;
            const string name = CopyTheReadmeTakes();
            EXPECT_TRUE(name.empty() ? files[0].first : ReadTestFile(name, &taken) && (taken == before || taken == after))
                << name;
        }
    }

    // The start after a cut, then a second Apply: system.ini whole, as the
    // message says; no question, no failure; the second Apply runs.
    void ExpectStartPutsRight(const string& before, const string& after)
    {
        const string ini = Ini();
        Launch(false);
        const string now = Ini();
        EXPECT_TRUE(now == before || now == after) << now.size() << " bytes";
        EXPECT_FALSE(MarkStands());
        EXPECT_EQ(Dialog().warnings, std::vector<string>{});
        EXPECT_EQ(Dialog().failures, std::vector<string>{});
        for (const string& told : Dialog().messages) {
            // Nothing told but what happened.
            const bool finished = told.find("has finished its last change") != string::npos;
            const bool putBack = told.find("put it back") != string::npos;
            const bool notFinished = told.find("did not finish") != string::npos;
            EXPECT_TRUE((finished && now == after && ini != after) || (putBack && now == before && ini != before) ||
                        (notFinished && now == before && ini == before))
                << told;
        }
        EXPECT_LE(Dialog().messages.size(), 1u);
        if (Dialog().messages.empty()) {
            EXPECT_EQ(now, ini);
        }
        Dialog().selection[0] = 12;
        Dialog().selection[1] = 0;
        ApplySelection(Window(), false);
        EXPECT_EQ(Ini(), RewriteText(now, true, "Red", "Black"));
        EXPECT_EQ(Old(), now);
        EXPECT_FALSE(MarkStands());
    }

    // Another program changes system.ini while a journal stands: the start
    // asks; No keeps it and every copy, Yes puts the old content back and
    // keeps what stood; either way the next Apply runs.
    void ExpectAnotherProgramsChangeKept(const string& before, const string& ini)
    {
        for (bool yes : {false, true}) {
            const Files left = Save();
            const string theirs = ini.empty() ? "device=newdriver.386\r\n" : ini.substr(0, ini.size() - 1);
            WriteTestFile("system.ini", theirs);
            Launch(yes);
            EXPECT_EQ(Dialog().warnings.size(), 1u);
            EXPECT_TRUE(Ini() == (yes ? before : theirs));
            const Files now = Save();
            EXPECT_TRUE(Kept(now, before, true) && Kept(now, theirs, true)) << "a copy is lost";
            EXPECT_FALSE(MarkStands());
            Dialog().selection[0] = 12;
            ApplySelection(Window(), false);
            EXPECT_EQ(Old(), yes ? before : theirs);
            Put(left);
        }
    }

    // One Apply or Restore of before, the power cut after operation cut (and,
    // when failAt is not 0, that one failed first), landed every way; after
    // is what the call gives with no fault. Each set of files it leaves that
    // is not in seen yet is checked, and with cutTheStart, the start after
    // it is first cut at each of its own operations, landed every way of its
    // directory changes and the harshest ways of its data, and followed by
    // another. Counts what was tried.
    void CutAndRestart(const string& before, const string& after, bool apply, unsigned cut, unsigned failAt,
                       bool cutTheStart, std::set<Files>* seen, unsigned* landings, unsigned* startCuts)
    {
        auto cutOnce = [&] {
            Begin(before);
            HostCutPowerAfter(cut, failAt);
            ApplyOrRestore(apply);
        };
        cutOnce();
        const std::vector<string> log = HostFileOperationLog();
        const string last = log.at(cut - 1);
        const string failed = failAt == 0 ? "" : log.at(failAt - 1);
        const unsigned pending = HostPendingAtCut();
        const unsigned ways = HostUnflushedAtCut() ? HostLandingCount : 1;
        for (unsigned mask = 0; mask < 1u << pending; ++mask) {
            for (unsigned landing = 0; landing < ways; ++landing, ++*landings) {
                SCOPED_TRACE("apply=" + std::to_string(apply) + ", operation " + std::to_string(failAt) +
                             " failed, power cut after operation " + std::to_string(cut) + " (" + last +
                             "), directory changes landed " + std::to_string(mask) + " of " +
                             std::to_string(pending) + ", data landed " + std::to_string(landing) + ", file of " +
                             std::to_string(before.size()) + " bytes");
                if (mask + landing > 0)
                    cutOnce();
                // (A commit that failed leaves the directory to the cache: what
                // the disk then holds is beyond the program's reach.)
                EXPECT_TRUE(HostLandPowerCut(mask, (HostLanding)landing) || failed == "commit-volume C:")
                    << "two entries of one name";
                HostResetFileOperations(0);
                const Files left = Save();
                if (!seen->insert(left).second)
                    continue;
                ExpectNothingLost(before, after);
                if (TrustedJournalStands() && left[0].first && Kept(left, before))
                    ExpectAnotherProgramsChangeKept(before, left[0].second);
                for (unsigned k = 1; cutTheStart && TrustedJournalStands(); ++k) {
                    HostCutPowerAfter(k);
                    Launch(false);
                    const unsigned used = HostFileOperationCount();
                    const unsigned masks = 1u << std::min(HostPendingAtCut(), 6u);
                    for (HostLanding startLanding : {LandNothing, LandEntryOnly, LandAll}) {
                        for (unsigned m = 0; m < masks; ++m) {
                            if (startLanding != LandNothing || m != 0) {
                                Put(left);
                                HostCutPowerAfter(k);
                                Launch(false);
                            }
                            HostLandPowerCut(m, startLanding);
                            HostResetFileOperations(0);
                            ExpectNothingLost(before, after);
                            ExpectStartPutsRight(before, after);
                            ++*startCuts;
                        }
                    }
                    Put(left);
                    if (used <= k)
                        break;
                }
                ExpectStartPutsRight(before, after);
                if (HasFailure())
                    return;
            }
        }
    }

    // How many file operations an Apply or Restore of before does with the
    // failAt-th failing (0: none); after, when given, receives system.ini as
    // it leaves it.
    unsigned Operations(const string& before, bool apply, unsigned failAt, string* after = nullptr)
    {
        Begin(before);
        HostResetFileOperations(failAt);
        ApplyOrRestore(apply);
        const unsigned operations = HostFileOperationCount();
        HostResetFileOperations(0);
        if (after != nullptr)
            *after = Ini();
        return operations;
    }
};

TEST_F(SettingsCrash, SystemIniSurvivesAPowerCutAtEveryStep)
{
    const FailureCap cap;
    unsigned tried = 0, landings = 0, startCuts = 0, states = 0;
    for (const string& before : VariedSettingsFiles()) {
        for (bool apply : {true, false}) {
            string after;
            const unsigned operations = Operations(before, apply, 0, &after);
            ASSERT_FALSE(MarkStands());
            std::set<Files> seen;
            for (unsigned cut = 1; cut <= operations; ++cut, ++tried)
                CutAndRestart(before, after, apply, cut, 0, true, &seen, &landings, &startCuts);
            states += (unsigned)seen.size();
        }
    }
    std::cout << "[ crash    ] " << tried << " power cuts tried on " << VariedSettingsFiles().size() << " files, "
              << landings << " ways of landing them, " << states << " different sets of files left; " << startCuts
              << " cuts of the start after them" << std::endl;
    EXPECT_GT(tried, 300u);
    EXPECT_GT(landings, 2000u);
    EXPECT_GT(startCuts, 2000u);
}

// A failed operation leads to the change being finished or taken back: the
// power is cut at every operation after the failure.
TEST_F(SettingsCrash, SystemIniSurvivesAPowerCutAfterAFailedStep)
{
    const FailureCap cap;
    unsigned tried = 0, landings = 0, none = 0;
    const std::vector<string> files = VariedSettingsFiles();
    for (const string& before : {files[0], files[1], files[10]}) {
        for (bool apply : {true, false}) {
            string after;
            const unsigned operations = Operations(before, apply, 0, &after);
            std::set<Files> seen;
            for (unsigned failAt = 1; failAt <= operations; ++failAt) {
                // The faulty run's own length: what the failure leads to adds operations.
                const unsigned faulty = Operations(before, apply, failAt);
                for (unsigned cut = failAt; cut < faulty; ++cut, ++tried)
                    CutAndRestart(before, after, apply, cut, failAt, false, &seen, &landings, &none);
            }
        }
    }
    std::cout << "[ crash    ] " << tried << " power cuts tried after a failed operation, " << landings
              << " ways of landing them" << std::endl;
    EXPECT_GT(tried, 1000u);
    EXPECT_GT(landings, 3000u);
}

// What users met when an odd system.ini or a leftover stood in the way of an
// Apply: each case sets the files up, starts the program and applies Green
// from the menu. system.ini must end as it gives, system.old too when it
// gives one, every file named must be named in full in what the user was
// told, and nothing told may claim what the words in `never` say.
TEST_F(SettingsCrash, OddFilesAreNeverMadeWorse)
{
    const string original = "[boot]\r\n[386Enh]\r\nMessageBackColor=4\r\nMessageTextColor=E\r\ndevice=x\r\n";
    const string applied = RewriteText(original, true, "Green", "Yellow");
    const string earlier = "[boot]\r\n[386Enh]\r\nan earlier backup\r\n";
    const string huge = "[386Enh]\r\n" + string(LargestSettingsFile, 'x') + "\r\n";
    const string same = "<as it was>";
    string headers;  // a thousand [386Enh] lines
    for (int n = 0; n < 1000; ++n)
        headers += "[386Enh]\r\n";
    struct Case {
        const char* what;
        std::function<void()> damage;
        string ini, old;  // at the end; same: as before; "": not checked
        std::vector<string> named;
        std::vector<string> never;
    } cases[] = {
        {"a nearly full disk", [] { HostSetDiskRoom(20); }, same, earlier, {"disk"}, {}},
        {"system.ini in UTF-16", [] { WriteTestFile("system.ini", string("\xFF\xFE[\0b\0o\0o\0t\0]\0\r\0\n\0", 18)); },
         same, earlier, {"system.ini", "UTF-16"}, {}},
        {"the copy's name taken by a folder", [] { HostMakeFolder(TestPath("hueline.bak")); }, same, earlier,
         {"hueline.bak", "folder"}, {}},
        {"the new file's name taken by a folder", [] { HostMakeFolder(TestPath("hueline.new")); }, same, earlier,
         {"hueline.new", "folder"}, {}},
        {"an empty system.ini", [] { WriteTestFile("system.ini", ""); }, same, "", {"system.ini", "[386Enh]"},
         {"removed"}},
        {"system.ini read-only", [] { HostSetAttributes(TestPath("system.ini"), PlatformReadOnly | PlatformArchive); },
         same, earlier, {"system.ini", "read-only"}, {"were installed"}},
        {"system.ini cannot be removed", [] { HostMakeImmutable(TestPath("system.ini"), true); }, same, "",
         {"system.ini"}, {"missing", "holds the new"}},
        {"system.old cannot be replaced", [] { HostMakeImmutable(TestPath("system.old"), true); }, same, earlier,
         {"system.old"}, {"missing"}},
        {"system.old is a folder", [] { HostMakeFolder(TestPath("system.old")); }, same, "", {"system.old", "folder"},
         {}},
        {"system.ini over the size limit", [&] { WriteTestFile("system.ini", huge); }, same, earlier,
         {"system.ini", "32 MB"}, {}},
        {"a thousand [386Enh] lines", [&] { WriteTestFile("system.ini", headers); },
         RewriteText(headers, true, "Green", "Yellow"), headers, {}, {"memory"}},
        {"a hidden system system.ini",
         [] { HostSetAttributes(TestPath("system.ini"), PlatformHidden | PlatformSystem | PlatformArchive); }, applied,
         original, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteTestFile("system.ini", original);
        WriteTestFile("system.old", earlier);
        c.damage();
        string before;
        ReadTestFile("system.ini", &before);
        const unsigned long attributes = HostAttributes(TestPath("system.ini"));
        HostResetDialog(IDC_BACK_LIST, IDC_TEXT_LIST);
        Launch();
        Dialog().selection[0] = 10;
        Dialog().selection[1] = 14;
        ApplySelection(Window(), false);
        std::vector<string> told = Dialog().messages;
        told.insert(told.end(), Dialog().failures.begin(), Dialog().failures.end());
        EXPECT_EQ(Ini(), c.ini == same ? before : c.ini.empty() ? Ini() : c.ini);
        EXPECT_EQ(HostAttributes(TestPath("system.ini")), attributes) << "its attributes";
        if (!c.old.empty()) {
            EXPECT_EQ(Old(), c.old);
        }
        for (const string& name : c.named) {
            const string full = name.find('.') != string::npos ? TestPath(name) : name;
            EXPECT_TRUE(std::any_of(told.begin(), told.end(),
                                    [&](const string& t) { return t.find(full) != string::npos; }))
                << "nothing told names " << full;
        }
        for (const string& t : told) {
            for (const string& claim : c.never)
                EXPECT_EQ(t.find(claim), string::npos) << t;
        }
        EXPECT_FALSE(MarkStands());
        for (const char* name : {"system.ini", "system.old"}) {
            HostMakeImmutable(TestPath(name), false);
            HostSetAttributes(TestPath(name), PlatformArchive);
        }
        HostSetDiskRoom(-1);
        for (unsigned n = 1; n < 8; ++n)
            RemoveTestFile(Names[n]);
    }
}
