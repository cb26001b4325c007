// Makes each file operation of Apply and Restore, and each pair of them, fail
// (counted on the faulty run, so the put-back and the next start's recovery
// fail too), and checks the promises behind the writer and the recovery:
// system.ini holds all of its old or all of its new content, or a copy of the
// old content stands that the journal vouches for; system.old is the earlier
// backup or a whole copy of the old content, never a part; the recovery never
// writes system.ini from a copy it has not checked and never turns a finished
// change back; and every result says what was done.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "core/color_table.h"
#include "core/selection.h"
#include "settings/journal.h"
#include "settings/settings_messages.h"
#include "settings/settings_path.h"
#include "settings/settings_reader.h"
#include "settings/settings_writer.h"
#include "tests/host/host_control.h"
#include "tests/support/failure_cap.h"
#include "tests/support/settings_files.h"

using std::string;

// How a run starts: after a rewrite that ended, or after one that a crash
// stopped (system.ini cut short, system.old whole, the journal standing).
enum class Start { Clean, Interrupted };

// What one run with faults did and left.
struct FaultRun {
    unsigned operations = 0;           // file operations done in all
    std::vector<string> failed;        // the operations that failed
    bool putBackFailed = false;        // a fault hit the put-back or the recovery
};

static const string Earlier = "backup of an earlier run";

class SettingsFaults : public SettingsFilesTest {
protected:
    void TearDown() override
    {
        HostResetFileOperations(0);
        SettingsFilesTest::TearDown();
    }

    // What the user is told after a call, and the paths it must name: the
    // file that failed, the copy put back, the journal that stays.
    struct Told {
        string text;  // "" when nothing is told
        std::vector<string> names;
    };
    static string PathOf(SettingsFile file) { return TestPath(SettingsFileFormats[file] + 3); }
    static void AddProblem(Told* told, const SettingsProblem& problem)
    {
        if (problem.cause != SettingsFine && problem.cause != SettingsNoDirectory &&
            problem.cause != SettingsNotColors)
            told->names.push_back(PathOf(problem.file));
    }
    static Told Tell(bool apply, SettingsWriteResult result, const SettingsWriteDetails& details)
    {
        const char* text = WriteMessage(apply, result, details).text;
        Told told = {text == nullptr ? "" : text, {}};
        EXPECT_EQ(told.text.empty(), result == SettingsWritten && !details.journalStands);
        if (result == SettingsUnchanged || result == SettingsUnfinished)
            AddProblem(&told, details.problem);
        if (result == SettingsNoSection)
            told.names.push_back(PathOf(SettingsIni));
        if (result == SettingsWritten && details.journalStands)
            told.names.push_back(PathOf(SettingsJournal));
        return told;
    }
    static Told Tell(SettingsRecovery result, const SettingsRecoveryDetails& details)
    {
        const char* text = RecoveryMessage(result, details).text;
        Told told = {text == nullptr ? "" : text, {}};
        const bool quiet = result == SettingsNothingToRecover || result == SettingsTidied;
        EXPECT_EQ(told.text.empty(), quiet && !details.kept[1]);
        if (result == SettingsNotRecovered)
            AddProblem(&told, details.problem);
        if (result == SettingsPutBack)
            told.names.push_back(PathOf(details.copy));
        return told;
    }

    string File(const char* name)
    {
        string bytes;
        return ReadTestFile(name, &bytes) ? bytes : string("<missing>");
    }

    // system.ini whole, or missing beside the journal and a whole copy;
    // system.old the earlier backup or the whole old content, never a part;
    // content, system.ini's when the change began, whole somewhere. After an
    // interrupted change, which the start finishes or takes back, the content
    // it had is earlier, and the change tried goes from either content.
    void ExpectWhole(const string& before, const string& after, const string& earlier, const string& content,
                     bool interrupted)
    {
        const string ini = Ini(), old = File("system.old"), copy = File("hueline.bak"), made = File("hueline.new");
        auto whole = [&](const string& content) { return content == before || content == after; };
        EXPECT_TRUE(whole(ini) || (ini == "<missing>" && TrustedJournalStands() && (whole(made) || old == before || copy == before)))
            << "system.ini: " << ini.size() << " bytes";
        EXPECT_TRUE(old == earlier || old == before || (interrupted && old == after) || old == "<missing>")
            << "system.old: " << old.size() << " bytes";
        EXPECT_TRUE(ini == content || old == content || copy == content || made == content) << "the old content is lost";
    }

    // Apply or Restore as the program runs it (recovery first, then the
    // rewrite), then the next start's recovery, with the file operations in
    // failing failed; before is the whole old content, after the new one.
    // Checks the promises after each, then starts with no fault (discarding
    // a journal that cannot be trusted, as the user may) and checks that
    // everything is whole again.
    FaultRun TryFaults(Start start, const string& before, const string& after, bool apply,
                       const std::set<unsigned>& failing, long room = -1)
    {
        FaultRun run;
        for (const char* name : {"hueline.bak", "hueline.old", "hueline.cpy", "hueline.ini"})
            RemoveTestFile(name);
        string earlier = Earlier;
        if (start == Start::Clean) {
            WriteTestFile("system.ini", before);
            WriteTestFile("system.old", Earlier);
            RemoveTestFile("hueline.mrk");
            RemoveTestFile("hueline.new");
        } else {
            // Between the removal of system.ini and the rename of the new content.
            RemoveTestFile("system.ini");
            WriteTestFile("system.old", before);
            WriteTestFile("hueline.new", after);
            WriteTestFile("hueline.mrk", JournalFor(before, after));
            earlier = before;
        }
        const bool interrupted = start == Start::Interrupted;
        string faults;
        for (unsigned n : failing)
            faults += " " + std::to_string(n);
        SCOPED_TRACE(string(interrupted ? "interrupted" : "clean") + " start, apply=" + std::to_string(apply) +
                     ", failing" + faults + (room >= 0 ? ", room " + std::to_string(room) : string()));
        HostFailFileOperations(failing);
        HostSetDiskRoom(room);
        SettingsRecoveryDetails details;
        const SettingsRecovery first = RecoverInterruptedRewrite(&details);
        const Told toldFirst = Tell(first, details);
        const string atWrite = Ini();
        SettingsWriteDetails written;
        const SettingsWriteResult result = ApplyOrRestore(apply, &written);
        const Told toldWrite = Tell(apply, result, written);
        const string ini = Ini();
        const bool marked = MarkStands();
        const string& content = atWrite == "<missing>" ? before : atWrite;
        ExpectWhole(before, after, earlier, content, interrupted);
        const SettingsRecovery next = RecoverInterruptedRewrite(&details);
        const Told toldNext = Tell(next, details);
        const string recovered = Ini();
        HostSetDiskRoom(-1);
        run.operations = HostFileOperationCount();
        const std::vector<string> log = HostFileOperationLog();
        HostResetFileOperations(0);
        string trace;
        for (unsigned n : failing) {
            if (n <= log.size()) {
                run.failed.push_back(log[n - 1]);
                trace += " " + std::to_string(n) + " (" + log[n - 1] + ")";
            }
        }
        SCOPED_TRACE(string(start == Start::Clean ? "clean" : "interrupted") + " start, apply=" +
                     std::to_string(apply) + ", failing" + trace + " of " + std::to_string(run.operations) +
                     (room >= 0 ? ", the disk full after " + std::to_string(room) + " bytes" : string()) +
                     ", file of " + std::to_string(before.size()) + " bytes");

        // Every message names, in full, the files it is about.
        for (const Told* told : {&toldFirst, &toldWrite, &toldNext}) {
            for (const string& path : told->names)
                EXPECT_NE(told->text.find(path), string::npos) << told->text << " does not name " << path;
        }

        // The result tells the truth about what system.ini holds.
        switch (result) {
        case SettingsWritten:
        case SettingsNoSection:
            EXPECT_EQ(ini, after);
            break;
        case SettingsUnchanged:
            EXPECT_EQ(ini, atWrite);
            break;
        case SettingsUnfinished:
            EXPECT_TRUE(marked);
            EXPECT_TRUE(ini != before && ini != after);
            break;
        }
        EXPECT_EQ(written.journalStands, marked);
        run.putBackFailed = result == SettingsUnfinished || first == SettingsNotRecovered ||
                            next == SettingsNotRecovered;

        // The next start's recovery: system.ini written only where it was
        // missing, and only with a whole content.
        if (recovered != ini) {
            EXPECT_EQ(ini, "<missing>");
            EXPECT_TRUE(next == SettingsFinished || next == SettingsPutBack || next == SettingsNotRecovered) << next;
        }
        ExpectWhole(before, after, earlier, content, interrupted);

        // A start with nothing failing puts everything right, asking nothing.
        EXPECT_NE(RecoverInterruptedRewrite(&details), SettingsNotRecovered);
        EXPECT_FALSE(MarkStands());
        const string final = Ini();
        EXPECT_TRUE(final == before || final == after) << final.size() << " bytes";
        ExpectWhole(before, after, earlier, content, interrupted);
        return run;
    }
};

TEST_F(SettingsFaults, SystemIniIsNeverLostOrHalfWritten)
{
    const FailureCap cap;
    const std::vector<string> files = VariedSettingsFiles();
    // Two faults in every pair of positions on these files.
    const std::set<size_t> pairFiles = {0, 1, 3};
    unsigned singles = 0, pairs = 0, fullDisks = 0, putBacksFailed = 0;
    std::set<string> failedKinds;
    for (size_t f = 0; f < files.size(); ++f) {
        const string& before = files[f];
        for (bool apply : {true, false}) {
            // A run with no fault gives the new content.
            WriteTestFile("system.ini", before);
            RemoveTestFile("hueline.mrk");
            HostResetFileOperations(0);
            ASSERT_NE(ApplyOrRestore(apply), SettingsUnchanged);
            const string after = Ini();
            ASSERT_EQ(Old(), before);
            // The file is held in one block, each copy goes out in one
            // write, and system.ini is never written into.
            const std::vector<string> log = HostFileOperationLog();
            EXPECT_EQ(std::count(log.begin(), log.end(), "allocate"), 1);
            EXPECT_EQ(std::count(log.begin(), log.end(), "create system.ini"), 0);
            EXPECT_EQ(std::count(log.begin(), log.end(), "write hueline.new"), after.empty() ? 0 : 1);
            EXPECT_EQ(std::count(log.begin(), log.end(), "write hueline.bak"), before.empty() ? 0 : 1);

            for (Start start : {Start::Clean, Start::Interrupted}) {
                if (start == Start::Interrupted && pairFiles.count(f) == 0)
                    continue;
                // The n-th operation of the faulty run fails, until a run
                // ends before its n-th operation.
                for (unsigned n = 1;; ++n) {
                    const FaultRun run = TryFaults(start, before, after, apply, {n});
                    if (run.operations < n)
                        break;
                    ++singles;
                    putBacksFailed += run.putBackFailed;
                    for (const string& failed : run.failed)
                        failedKinds.insert(failed.substr(0, failed.find(' ')));
                    if (HasFailure())
                        return;
                }
                if (pairFiles.count(f) == 0)
                    continue;
                // The disk fills at every byte the run writes, until a run
                // has room for all it writes.
                for (long room = 0;; ++room) {
                    TryFaults(start, before, after, apply, {}, room);
                    ++fullDisks;
                    if (HasFailure())
                        return;
                    if (Ini() == after && !MarkStands() && room > (long)(2 * before.size() + after.size() + JournalSize))
                        break;
                }
                for (unsigned i = 1;; ++i) {
                    unsigned j = i + 1;
                    for (;; ++j) {
                        const FaultRun run = TryFaults(start, before, after, apply, {i, j});
                        if (run.operations < j) {
                            if (j == i + 1 && run.operations < i)
                                j = 0;  // the first fault is past the end too
                            break;
                        }
                        ++pairs;
                        putBacksFailed += run.putBackFailed;
                        if (HasFailure())
                            return;
                    }
                    if (j == 0)
                        break;
                }
            }
        }
    }
    std::cout << "[ faults   ] " << singles << " single faults, " << pairs << " pairs and " << fullDisks
              << " disks filling at every byte tried on " << files.size() << " files (pairs and disks on "
              << pairFiles.size() << "), " << putBacksFailed << " of them failing a put-back or a recovery"
              << std::endl;
    EXPECT_GT(singles, 300u);
    EXPECT_GT(pairs, 1000u);
    EXPECT_GT(fullDisks, 500u);
    EXPECT_GT(putBacksFailed, 200u);
    EXPECT_EQ(failedKinds, (std::set<string>{"allocate", "attributes", "check", "close", "commit-volume", "create",
                                             "delete", "flush", "flush-profiles", "length", "open", "open-write", "read", "rename",
                                             "write"}));
}

TEST_F(SettingsFaults, ReaderKeepsToTableNamesWhenOperationsFail)
{
    WriteTestFile("system.ini", "MessageBackColor=4\r\nMessageTextColor=E\r\n");
    for (unsigned failAt = 1; failAt <= 5; ++failAt) {
        HostResetFileOperations(failAt);
        ReadInstalledColors();
        const std::vector<string> log = HostFileOperationLog();
        ASSERT_GE(log.size(), failAt);
        // A failed open or first read leaves the defaults; a failed flush of
        // the profile cache or a failed close changes nothing of what is read.
        const string result = string(ColorSelection.InstalledBack) + " on " + ColorSelection.InstalledText;
        const bool defaults = log[failAt - 1] == "open system.ini" ||
                              (log[failAt - 1] == "read system.ini" && log[failAt - 2] != "read system.ini");
        EXPECT_EQ(result, defaults ? "Blue on White" : "Dark Red on Yellow") << log[failAt - 1];
    }
}

TEST_F(SettingsFaults, AFileTooLargeToHoldIsLeftAlone)
{
    const string huge = "[386Enh]\r\n" + string(LargestSettingsFile, 'x') + "\r\n";
    WriteTestFile("system.ini", huge);
    WriteTestFile("system.old", "earlier");
    HostResetFileOperations(0);
    EXPECT_EQ(ApplyOrRestore(true), SettingsUnchanged);
    const std::vector<string> log = HostFileOperationLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), "allocate"), 0);
    EXPECT_EQ(Ini().size(), huge.size());
    EXPECT_EQ(Old(), "earlier");
}
