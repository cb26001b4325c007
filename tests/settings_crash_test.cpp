// Cuts the power at every file operation of Apply and of Restore in turn:
// nothing after it happens, no put-back, and what was written since the last
// flush is lost with the write cache. Then starts the program again and
// runs a second Apply, and checks that system.ini was never lost: after the
// cut it holds its whole old or whole new content, or the journal stands
// beside a whole copy of the old content; after the start (which discards a
// journal cut short, as the user is asked) and the second Apply it holds
// exactly that Apply's result, and system.old a whole earlier content. The
// same again with one operation failed first, the power cut at each operation
// after it, so that the cuts fall in the put-back too.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "core/selection.h"
#include "core/selection_actions.h"
#include "resources/resource.h"
#include "settings/settings_path.h"
#include "settings/settings_writer.h"
#include "tests/support/failure_cap.h"
#include "tests/support/dialog_fixture.h"

using std::string;

// The message of a put-back from the copy of that name.
static string Recovered(const char* copy)
{
    return "Hueline|The last change to system.ini was interrupted, so Hueline put system.ini back "
           "as it was before that change, from " + TestPath(copy) + ".";
}

class SettingsCrash : public DialogTest {
protected:
    void TearDown() override
    {
        HostResetFileOperations(0);
        DialogTest::TearDown();
    }
    // The four files as they stand ("" and absent are told apart), to be
    // put back after a try.
    std::vector<std::pair<bool, string>> Save()
    {
        std::vector<std::pair<bool, string>> files;
        for (const char* name : Names) {
            string bytes;
            const bool there = ReadTestFile(name, &bytes);
            files.push_back({there, bytes});
        }
        return files;
    }
    void Put(const std::vector<std::pair<bool, string>>& files)
    {
        for (size_t n = 0; n < files.size(); ++n) {
            if (files[n].first)
                WriteTestFile(Names[n], files[n].second);
            else
                RemoveTestFile(Names[n]);
        }
    }
    // system.ini whole, old or new, or a trusted journal beside a whole copy
    // of the old content; system.old never a part.
    void ExpectWholeOrVouchedFor(const string& before, const string& after, const string& earlier)
    {
        string old, copy;
        const bool hasOld = ReadTestFile("system.old", &old);
        ReadTestFile("hueline.bak", &copy);
        const bool trusted = TrustedJournalStands();
        const string ini = Ini();
        EXPECT_TRUE(ini == before || ini == after || (trusted && (old == before || copy == before)))
            << ini.size() << " bytes";
        EXPECT_TRUE(old == earlier || old == before || (!hasOld && copy == before)) << old.size() << " bytes";
        // Done by hand at a DOS prompt, README.TXT's steps take a whole copy,
        // or none when system.ini is whole.
        const string name = trusted ? CopyTheReadmeTakes() : "";
        string taken;
        EXPECT_TRUE(name.empty() ? ini == before || ini == after : ReadTestFile(name, &taken) && taken == before)
            << name;
    }

    static constexpr const char* Names[] = {"system.ini", "system.old", "hueline.bak", "hueline.mrk"};
    static constexpr const char* Earlier = "backup of an earlier run";
    // Whether a cut leaves the files' lengths, their unflushed bytes NULs,
    // rather than cutting them back to what was flushed.
    bool keepLengths_ = false;

    // One Apply or Restore of before with the power cut after operation cut
    // (and, when failAt is not 0, that operation failed first), then the next
    // start and a second Apply. after is what the call gives with no fault.
    // With cutTheStart, the next start is first cut at each of its own
    // operations in turn, and followed by one more. Tells whether the next
    // start put system.ini back; startCuts counts the cuts of the start.
    bool CutAndRestart(const string& before, const string& after, bool apply, unsigned cut,
                       unsigned failAt, bool cutTheStart = false, unsigned* startCuts = nullptr)
    {
        WriteTestFile("system.ini", before);
        WriteTestFile("system.old", Earlier);
        RemoveTestFile("hueline.mrk");
        HostCutPowerAfter(cut, failAt, keepLengths_);
        ApplyOrRestore(apply);
        const string last = HostFileOperationLog()[cut - 1];
        HostResetFileOperations(0);
        SCOPED_TRACE("apply=" + std::to_string(apply) + ", operation " + std::to_string(failAt) +
                     " failed, power cut after operation " + std::to_string(cut) + " (" + last + ")" +
                     (keepLengths_ ? " keeping the lengths" : "") + ", file of " + std::to_string(before.size()) +
                     " bytes");
        const bool marked = MarkStands();
        const string ini = Ini();
        string old;
        ReadTestFile("system.old", &old);
        ExpectWholeOrVouchedFor(before, after, Earlier);

        for (unsigned k = 1; cutTheStart && marked; ++k) {
            const auto left = Save();
            HostCutPowerAfter(k, 0, keepLengths_);
            Launch(true);
            const unsigned used = HostFileOperationCount();
            HostResetFileOperations(0);
            ExpectWholeOrVouchedFor(before, after, Earlier);
            Launch(true);
            EXPECT_TRUE(Ini() == before || Ini() == after) << "after a start cut after " << k;
            EXPECT_FALSE(MarkStands());
            Put(left);
            ++*startCuts;
            if (used <= k)
                break;
        }

        // Another program changes system.ini before the next start (a
        // driver's set-up): a journal never has system.old put back over
        // that; the user is asked, and No leaves every file as it is.
        if (TrustedJournalStands()) {
            const auto left = Save();
            auto changed = left;
            changed[0] = {true, ini + "device=newdriver.386\r\n"};
            Put(changed);
            Launch(false);
            EXPECT_EQ(Dialog().warnings.size(), 1u);
            EXPECT_EQ(Save(), changed);
            Put(left);
        }

        // The program starts again: the window shows what system.ini now
        // holds, told when it was put back; a journal cut short is what the
        // user is asked about, and discards.
        Launch(true);
        const string now = Ini();
        EXPECT_TRUE(now == before || now == after);
        EXPECT_FALSE(MarkStands());
        const bool putBack = now != ini;
        EXPECT_EQ(Dialog().messages, putBack ? std::vector<string>{Recovered(old == before ? "system.old" : "hueline.bak")}
                                             : std::vector<string>{});
        // A journal cut short while it was written is put away unasked.
        EXPECT_EQ(Dialog().warnings, std::vector<string>{});

        // A second Apply runs to its end on what is there.
        Dialog().selection[0] = 12;
        Dialog().selection[1] = 0;
        ApplySelection(Window(), false);
        unsigned headers = 0;
        EXPECT_EQ(Ini(), RewriteText(now, true, "Red", "Black", &headers));
        EXPECT_EQ(Old(), now);
        EXPECT_FALSE(MarkStands());
        // Nothing more to tell, but a file with no [386Enh] section.
        EXPECT_EQ(Dialog().messages.size(), (putBack ? 1u : 0u) + (headers == 0 ? 1u : 0u));
        return putBack;
    }

    // How many file operations an Apply or Restore of before does with the
    // failAt-th failing (0: none); after, when given, receives system.ini as
    // it leaves it.
    unsigned Operations(const string& before, bool apply, unsigned failAt, string* after = nullptr)
    {
        WriteTestFile("system.ini", before);
        RemoveTestFile("hueline.mrk");
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
    unsigned tried = 0, recovered = 0, startCuts = 0;
    for (const string& before : VariedSettingsFiles()) {
        for (bool apply : {true, false}) {
            string after;
            const unsigned operations = Operations(before, apply, 0, &after);
            ASSERT_FALSE(MarkStands());
            for (bool keep : {false, true}) {
                keepLengths_ = keep;
                for (unsigned cut = 1; cut <= operations; ++cut, ++tried)
                    recovered += CutAndRestart(before, after, apply, cut, 0, true, &startCuts);
            }
        }
    }
    std::cout << "[ crash    ] " << tried << " power cuts tried on " << VariedSettingsFiles().size()
              << " files, " << recovered << " of them put back at the next start; " << startCuts
              << " cuts of that start itself" << std::endl;
    EXPECT_GT(tried, 100u);
    EXPECT_GT(recovered, 20u);
    EXPECT_GT(startCuts, 1000u);
}

// A failed operation leads to the put-back of system.old (or to an early
// stop): the power is cut at every operation after the failure, the put-back's
// own ones among them.
TEST_F(SettingsCrash, SystemIniSurvivesAPowerCutDuringThePutBack)
{
    const FailureCap cap;
    unsigned tried = 0, recovered = 0;
    for (const string& before : VariedSettingsFiles()) {
        for (bool apply : {true, false}) {
            string after;
            const unsigned operations = Operations(before, apply, 0, &after);
            for (unsigned failAt = 1; failAt <= operations; ++failAt) {
                // The faulty run's own length: the put-back adds operations.
                const unsigned faulty = Operations(before, apply, failAt);
                for (unsigned cut = failAt; cut < faulty; ++cut, ++tried)
                    recovered += CutAndRestart(before, after, apply, cut, failAt);
            }
        }
    }
    std::cout << "[ crash    ] " << tried << " power cuts tried after a failed operation, "
              << recovered << " of them put back at the next start" << std::endl;
    EXPECT_GT(tried, 1000u);
    EXPECT_GT(recovered, 100u);
}

// What users met when a leftover file, a damaged copy or an odd system.ini
// stood in the way: each case sets the files up (a power cut stopping an
// Apply where it names, then the damage), starts the program and applies
// Green from the menu, answering any question as it says. system.ini must
// end as it gives, system.old too when it gives one, every file named must
// be named in full in what the user was told, and nothing told may claim what
// the words in `never` say.
TEST_F(SettingsCrash, LeftoversAndOddFilesAreNeverMadeWorse)
{
    const string original = "[boot]\r\n[386Enh]\r\nMessageBackColor=4\r\nMessageTextColor=E\r\ndevice=x\r\n";
    const string applied = RewriteText(original, true, "Green", "Yellow");
    const string earlier = "[boot]\r\n[386Enh]\r\nan earlier backup\r\n";
    const string utf16("\xFF\xFE[\0b\0o\0o\0t\0]\0\r\0\n\0", 18);
    const string huge = "[386Enh]\r\n" + string(LargestSettingsFile, 'x') + "\r\n";
    const string same = "<as it was>";
    const string driver = "device=newdriver.386\r\n";
    string headers, wide;  // a thousand [386Enh] lines; UTF-16 beginning with an empty line, then a non-Latin letter
    for (int n = 0; n < 1000; ++n)
        headers += "[386Enh]\r\n";
    for (char c : string("\r\n\x01[boot]\r\n[386Enh]\r\nMessageBackColor=4\r\n"))
        wide += string(1, c) + (c == '\x01' ? "\x04" : string(1, '\0'));
    auto damageMark = [] {
        string mark;
        ReadTestFile("hueline.mrk", &mark);
        mark[40] ^= 1;
        WriteTestFile("hueline.mrk", mark);
    };
    struct Case {
        const char* what;
        const char* cutAfter;  // the (last) operation of a first Apply after which the power goes, or ""
        std::function<void()> damage;
        bool answerYes;
        string ini, old;       // at the end; same: as before the start; "": not checked
        std::vector<string> named;
        std::vector<string> never;
    } cases[] = {
        {"a leftover mark after a finished write, system.old emptied", "flush system.ini",
         [] { WriteTestFile("system.old", ""); }, false,
         applied, "", {}, {"put system.ini back"}},
        {"system.ini cut short, system.old cut to 30 bytes", "create system.ini",
         [&] { WriteTestFile("system.old", original.substr(0, 30)); }, false,
         same, original.substr(0, 30), {"system.old", "bytes long"}, {"put system.ini back as it was"}},
        {"system.ini cut short, system.old damaged in place", "create system.ini",
         [&] { WriteTestFile("system.old", string(original.size(), 'x')); }, false,
         same, string(original.size(), 'x'), {"system.old"}, {"put system.ini back as it was"}},
        {"the mark is a folder", "", [] { HostMakeFolder(TestPath("hueline.mrk")); }, false,
         same, earlier, {"hueline.mrk"}, {"put system.ini back"}},
        {"the mark is a folder, taken away", "", [] { HostMakeFolder(TestPath("hueline.mrk")); }, true,
         applied, original, {"hueline.mrk"}, {"put system.ini back"}},
        {"the mark cannot be removed", "",
         [] {
             WriteTestFile("hueline.mrk", "mark\r\n");
             HostMakeImmutable(TestPath("hueline.mrk"), true);
         }, true, same, earlier, {"hueline.mrk", "Remove it by hand"},
         {"put system.ini back", "still there from an earlier change"}},
        {"a mark with no system.old, taken away", "",
         [] {
             WriteTestFile("hueline.mrk", "mark\r\n");
             RemoveTestFile("system.old");
         }, true, applied, original, {"hueline.mrk"}, {"put system.ini back"}},
        {"a nearly full disk", "", [] { HostSetDiskRoom(20); }, false, same, earlier,
         {"disk"}, {}},
        {"system.ini in UTF-16", "", [&] { WriteTestFile("system.ini", utf16); }, false, same,
         earlier, {"system.ini", "UTF-16"}, {}},
        {"system.ini in UTF-16 without a byte-order mark", "", [&] { WriteTestFile("system.ini", utf16.substr(2)); },
         false, same, earlier, {"system.ini", "UTF-16"}, {}},
        {"the new copy's name taken by a folder", "", [] { HostMakeFolder(TestPath("hueline.bak")); }, false, same,
         earlier, {"hueline.bak", "folder"}, {}},
        {"an empty system.ini", "", [] { WriteTestFile("system.ini", ""); }, false, same, "",
         {"system.ini", "[386Enh]"}, {"removed"}},
        {"system.ini cannot be written", "", [] { HostMakeImmutable(TestPath("system.ini"), true); }, false,
         same, "", {"system.ini"}, {"Nor could it", "will put it back"}},
        {"system.old cannot be replaced", "", [] { HostMakeImmutable(TestPath("system.old"), true); }, false,
         same, earlier, {"system.old"}, {"system.ini (it may be"}},
        {"system.old is a folder", "", [] { HostMakeFolder(TestPath("system.old")); }, false, same,
         "", {"system.old", "folder"}, {"system.ini (it may be"}},
        {"system.ini over the size limit", "", [&] { WriteTestFile("system.ini", huge); }, false, same,
         earlier, {"system.ini", "larger"}, {}},
        {"a stale mark, then another program's line", "flush-profiles",
         [&] { WriteTestFile("system.ini", applied + driver); }, false, same, original,
         {"system.ini", "hueline.mrk", "nother program", "HUELINE.OLD"}, {"put system.ini back"}},
        {"a stale mark, then another program's line, taken away", "flush-profiles",
         [&] { WriteTestFile("system.ini", applied + driver); }, true, applied + driver, "",
         {"system.ini", "HUELINE.OLD"}, {"put system.ini back"}},
        {"system.ini cut short, system.old over the size limit", "create system.ini",
         [&] { WriteTestFile("system.old", huge); }, false, same, "", {"system.old", "bytes long", "hueline.mrk"},
         {"will try again", "larger than"}},
        {"a damaged mark, system.ini cut short, taken away", "create system.ini", damageMark, true, "", "",
         {"hueline.mrk", "HUELINE.OLD"}, {"put system.ini back"}},
        {"a mark cut short as it was written", "write hueline.mrk", [] {}, false, applied, original, {},
         {"Remove", "interrupted"}},
        {"the new copy holds the old content, system.old not (its rename lost), a full disk", "flush-profiles",
         [&] {
             WriteTestFile("system.old", earlier);
             WriteTestFile("hueline.bak", original);
             HostSetDiskRoom(0);
         }, false, same, original, {"disk"}, {"put system.ini back"}},
        {"UTF-16 without a byte-order mark, an empty first line", "", [&] { WriteTestFile("system.ini", wide); },
         false, same, earlier, {"system.ini", "UTF-16"}, {"[386Enh] line"}},
        {"a thousand [386Enh] lines", "", [&] { WriteTestFile("system.ini", headers); }, false,
         RewriteText(headers, true, "Green", "Yellow"), headers, {}, {"memory"}},
        {"the mark is a folder holding a file, taken away", "",
         [] {
             HostMakeFolder(TestPath("hueline.mrk"));
             WriteTestFile("hueline.mrk\\x", "x");
         }, true, same, earlier, {"hueline.mrk", "not empty"}, {"read-only"}},
    };
    unsigned keptAside = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteTestFile("system.ini", original);
        WriteTestFile("system.old", earlier);
        RemoveTestFile("hueline.mrk");
        RemoveTestFile("hueline.bak");
        if (*c.cutAfter != '\0') {
            // A first Apply, stopped by a power cut after the operation named.
            HostResetFileOperations(0);
            ApplyOrRestore(true);
            const std::vector<string> log = HostFileOperationLog();
            WriteTestFile("system.ini", original);
            auto at = std::find(log.rbegin(), log.rend(), c.cutAfter);
            ASSERT_NE(at, log.rend());
            HostCutPowerAfter((unsigned)(log.rend() - at));
            Install("Green", "Yellow");
            HostResetFileOperations(0);
        }
        c.damage();
        string before, oldBefore;
        ReadTestFile("system.ini", &before);
        const bool hadOld = ReadTestFile("system.old", &oldBefore);
        HostResetDialog(IDC_BACK_LIST, IDC_TEXT_LIST);
        Launch();
        Dialog().answerYes = c.answerYes;
        Dialog().selection[0] = 10;
        Dialog().selection[1] = 14;
        ApplySelection(Window(), false);
        std::vector<string> told = Dialog().messages;
        told.insert(told.end(), Dialog().questions.begin(), Dialog().questions.end());
        told.insert(told.end(), Dialog().warnings.begin(), Dialog().warnings.end());
        if (c.ini == same) {
            EXPECT_EQ(Ini(), before);
        } else if (!c.ini.empty()) {
            EXPECT_EQ(Ini(), c.ini);
        }
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
        // A journal discarded never lets the next change replace system.old.
        string kept;
        if (ReadTestFile("HUELINE.OLD", &kept)) {
            EXPECT_TRUE(c.answerYes && hadOld);
            EXPECT_EQ(kept, oldBefore);
            ++keptAside;
        }
        HostMakeImmutable(TestPath("hueline.mrk"), false);
        HostMakeImmutable(TestPath("system.old"), false);
        HostMakeImmutable(TestPath("system.ini"), false);
        HostSetDiskRoom(-1);
        RemoveTestFile("hueline.mrk");
        RemoveTestFile("hueline.bak");
        RemoveTestFile("system.old");
        RemoveTestFile("HUELINE.OLD");
        RemoveTestFile("HUELINE.CPY");
    }
    EXPECT_EQ(keptAside, 3u);
}
