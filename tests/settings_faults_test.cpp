// Makes each file operation of Apply and Restore, and each pair of them, fail
// (counted on the faulty run, so the put-back and the next start's recovery
// fail too), and checks the promise behind the writer: system.ini always
// holds all of its old or all of its new content, or system.old holds all of
// the old content and the mark of an interrupted rewrite stands; and the
// result says so.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "core/color_table.h"
#include "core/selection.h"
#include "tests/host/host_control.h"
#include "settings/settings_path.h"
#include "settings/settings_reader.h"
#include "settings/settings_writer.h"
#include "tests/support/settings_files.h"

using std::string;

// How a run starts: after a rewrite that ended, or with the mark of an
// interrupted one standing (system.ini cut short, system.old whole).
enum class Start { Clean, Interrupted };

// What one run with faults did and left.
struct FaultRun {
    unsigned operations = 0;           // file operations done in all
    std::vector<string> failed;        // the operations that failed
    SettingsWriteResult result = SettingsUnchanged;
    bool putBackFailed = false;        // a fault hit the put-back or the recovery
};

class SettingsFaults : public SettingsFilesTest {
protected:
    void TearDown() override
    {
        HostResetFileOperations(0);
        SettingsFilesTest::TearDown();
    }

    // Apply or Restore as the program runs it (recovery first, then the
    // rewrite), then the next start's recovery, with the file operations in
    // failing failed; before is the whole old content, after the new one, done
    // the result of the run with no fault. Checks the promise after the
    // rewrite and after the recovery, then recovers with no fault and checks
    // that everything is whole again.
    FaultRun TryFaults(Start start, const string& before, const string& after, bool apply,
                       SettingsWriteResult done, const std::set<unsigned>& failing)
    {
        FaultRun run;
        RemoveTestFile("hueline.mrk");
        if (start == Start::Clean) {
            WriteTestFile("system.ini", before);
            WriteTestFile("system.old", "backup of an earlier run");
        } else {
            WriteTestFile("system.ini", before.substr(0, before.size() / 2));
            WriteTestFile("system.old", before);
            WriteTestFile("hueline.mrk", "interrupted");
        }
        HostFailFileOperations(failing);
        const SettingsRecovery first = RecoverInterruptedRewrite();
        run.result = ApplyOrRestore(apply);
        const string ini = Ini(), old = Old();
        const bool marked = MarkStands();
        const SettingsRecovery next = RecoverInterruptedRewrite();
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
                     ", file of " + std::to_string(before.size()) + " bytes");

        // After the rewrite: system.ini is whole, old or new, or system.old
        // holds the whole old content and the mark stands.
        const bool whole = ini == before || ini == after;
        EXPECT_TRUE(whole || (old == before && marked)) << "system.ini: " << ini.size() << " bytes";
        // The result tells the truth about what system.ini holds.
        if (!whole) {
            EXPECT_TRUE(run.result == SettingsNotPutBack || (start == Start::Interrupted && marked))
                << run.result;
        }
        switch (run.result) {
        case SettingsWritten:
        case SettingsNoSection:
            EXPECT_EQ(run.result, done);
            EXPECT_EQ(ini, after);
            break;
        case SettingsUnchanged:
            if (!marked) {
                EXPECT_EQ(ini, before);
            }
            break;
        case SettingsNotPutBack:
            EXPECT_TRUE(marked);
            EXPECT_EQ(old, before);
            run.putBackFailed = true;
            break;
        }
        if (first == SettingsNotRecovered)
            run.putBackFailed = true;

        // After the next start's recovery: system.ini is whole and the mark
        // gone, or the recovery failed, the mark stands and system.old is whole.
        const string recovered = Ini();
        if (next == SettingsNotRecovered) {
            run.putBackFailed = true;
            EXPECT_TRUE(MarkStands());
            EXPECT_EQ(Old(), before);
        } else if (next == SettingsNothingToRecover && MarkStands()) {
            // The system could not tell that the mark stands: nothing was
            // done, and system.old is still the whole copy.
            EXPECT_EQ(Old(), before);
        } else {
            EXPECT_TRUE(recovered == before || recovered == after) << recovered.size() << " bytes";
            EXPECT_FALSE(MarkStands());
            if (next == SettingsRecovered) {
                EXPECT_EQ(recovered, before);
            }
        }
        // A start with nothing failing puts everything right.
        EXPECT_NE(RecoverInterruptedRewrite(), SettingsNotRecovered);
        EXPECT_FALSE(MarkStands());
        const string last = Ini();
        EXPECT_TRUE(last == before || last == after) << last.size() << " bytes";
        return run;
    }
};

TEST_F(SettingsFaults, SystemIniIsNeverLostOrHalfWritten)
{
    const std::vector<string> files = VariedSettingsFiles();
    // Two faults in every pair of positions on these files.
    const std::set<size_t> pairFiles = {0, 1, 3};
    unsigned singles = 0, pairs = 0, putBacksFailed = 0;
    std::set<string> failedKinds;
    for (size_t f = 0; f < files.size(); ++f) {
        const string& before = files[f];
        for (bool apply : {true, false}) {
            // A run with no fault gives the new content and the result.
            WriteTestFile("system.ini", before);
            RemoveTestFile("hueline.mrk");
            HostResetFileOperations(0);
            const SettingsWriteResult done = ApplyOrRestore(apply);
            const string after = Ini();
            ASSERT_EQ(Old(), before);
            ASSERT_NE(done, SettingsUnchanged);
            // The file is held in one block, and the new content goes out in one write.
            const std::vector<string> log = HostFileOperationLog();
            EXPECT_EQ(std::count(log.begin(), log.end(), "allocate"), 1);
            EXPECT_EQ(std::count(log.begin(), log.end(), "write system.ini"), after.empty() ? 0 : 1);
            EXPECT_EQ(std::count(log.begin(), log.end(), "write system.old"), before.empty() ? 0 : 1);

            for (Start start : {Start::Clean, Start::Interrupted}) {
                if (start == Start::Interrupted && pairFiles.count(f) == 0)
                    continue;
                // The n-th operation of the faulty run fails, until a run
                // ends before its n-th operation.
                for (unsigned n = 1;; ++n) {
                    const FaultRun run = TryFaults(start, before, after, apply, done, {n});
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
                for (unsigned i = 1;; ++i) {
                    unsigned j = i + 1;
                    for (;; ++j) {
                        const FaultRun run = TryFaults(start, before, after, apply, done, {i, j});
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
    std::cout << "[ faults   ] " << singles << " single faults and " << pairs << " pairs tried on "
              << files.size() << " files (pairs on " << pairFiles.size() << "), " << putBacksFailed
              << " of them failing a put-back or a recovery" << std::endl;
    EXPECT_GT(singles, 300u);
    EXPECT_GT(pairs, 1000u);
    EXPECT_GT(putBacksFailed, 200u);
    EXPECT_EQ(failedKinds, (std::set<string>{"allocate", "check", "close", "create", "delete", "flush",
                                             "length", "open", "read", "write"}));
}

TEST_F(SettingsFaults, ReaderKeepsToTableNamesWhenOperationsFail)
{
    WriteTestFile("system.ini", "MessageBackColor=4\r\nMessageTextColor=E\r\n");
    for (unsigned failAt = 1; failAt <= 4; ++failAt) {
        HostResetFileOperations(failAt);
        ReadInstalledColors();
        // A failed open or first read leaves the defaults; a failed close
        // comes after everything was read.
        const string result = string(ColorSelection.InstalledBack) + " on " + ColorSelection.InstalledText;
        EXPECT_TRUE(result == "Blue on White" || result == "Dark Red on Yellow") << result;
        if (failAt <= 2) {
            EXPECT_EQ(result, "Blue on White") << failAt;
        }
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
