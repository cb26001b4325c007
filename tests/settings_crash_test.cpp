// Cuts the power at every file operation of Apply and of Restore in turn:
// nothing after it happens, no put-back, and what was written since the last
// flush is lost with the write cache. Then starts the program again and
// runs a second Apply, and checks that system.ini was never lost: after the
// cut it holds its whole old or whole new content, or system.old holds the
// whole old content and the mark stands; after the start and the second
// Apply it holds exactly that Apply's result, and system.old a whole earlier
// content. The same again with one operation failed first, the power cut at
// each operation after it, so that the cuts fall in the put-back too.
#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <vector>

#include "core/selection.h"
#include "core/selection_actions.h"
#include "resources/resource.h"
#include "settings/settings_writer.h"
#include "tests/support/dialog_fixture.h"

using std::string;

static const string RecoveredMessage =
    "Hueline|The last change to system.ini was interrupted, so Hueline put system.ini back "
    "as it was before that change.";

class SettingsCrash : public DialogTest {
protected:
    void TearDown() override
    {
        HostResetFileOperations(0);
        DialogTest::TearDown();
    }
    // One Apply or Restore of before with the power cut after operation cut
    // (and, when failAt is not 0, that operation failed first), then the next
    // start and a second Apply. after is what the call gives with no fault.
    // Tells whether the next start put system.ini back.
    bool CutAndRestart(const string& before, const string& after, bool apply, unsigned cut,
                       unsigned failAt)
    {
        WriteTestFile("system.ini", before);
        WriteTestFile("system.old", "backup of an earlier run");
        RemoveTestFile("hueline.mrk");
        HostCutPowerAfter(cut, failAt);
        ApplyOrRestore(apply);
        const string last = HostFileOperationLog()[cut - 1];
        HostResetFileOperations(0);
        SCOPED_TRACE("apply=" + std::to_string(apply) + ", operation " + std::to_string(failAt) +
                     " failed, power cut after operation " + std::to_string(cut) + " (" + last +
                     "), file of " + std::to_string(before.size()) + " bytes");
        const bool marked = MarkStands();
        const string ini = Ini();
        EXPECT_TRUE(ini == before || ini == after || (Old() == before && marked));

        // The program starts again: the window shows what system.ini now
        // holds, told when it was put back.
        Launch();
        const string now = Ini();
        EXPECT_TRUE(now == before || now == after);
        EXPECT_FALSE(MarkStands());
        EXPECT_EQ(Dialog().messages, marked ? std::vector<string>{RecoveredMessage} : std::vector<string>{});

        // A second Apply runs to its end on what is there.
        Dialog().selection[0] = 12;
        Dialog().selection[1] = 0;
        ApplySelection(Window(), false);
        unsigned headers = 0;
        EXPECT_EQ(Ini(), RewriteText(now, true, "Red", "Black", &headers));
        EXPECT_EQ(Old(), now);
        EXPECT_FALSE(MarkStands());
        // Nothing more to tell, but a file with no [386Enh] section.
        EXPECT_EQ(Dialog().messages.size(), (marked ? 1u : 0u) + (headers == 0 ? 1u : 0u));
        return marked;
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
    unsigned tried = 0, recovered = 0;
    for (const string& before : VariedSettingsFiles()) {
        for (bool apply : {true, false}) {
            string after;
            const unsigned operations = Operations(before, apply, 0, &after);
            ASSERT_FALSE(MarkStands());
            for (unsigned cut = 1; cut <= operations; ++cut, ++tried)
                recovered += CutAndRestart(before, after, apply, cut, 0);
        }
    }
    std::cout << "[ crash    ] " << tried << " power cuts tried on " << VariedSettingsFiles().size()
              << " files, " << recovered << " of them put back at the next start" << std::endl;
    EXPECT_GT(tried, 100u);
    EXPECT_GT(recovered, 20u);
}

// A failed operation leads to the put-back of system.old (or to an early
// stop): the power is cut at every operation after the failure, the put-back's
// own ones among them.
TEST_F(SettingsCrash, SystemIniSurvivesAPowerCutDuringThePutBack)
{
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
