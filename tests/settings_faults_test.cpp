// Makes each file operation of Apply and Restore fail in turn, and checks the
// promise behind the writer: system.ini always holds either all of its old
// content or all of its new content, and when it has changed, system.old
// holds all of the old content.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "core/color_table.h"
#include "core/selection.h"
#include "platform/host_control.h"
#include "settings/settings_path.h"
#include "settings/settings_reader.h"
#include "settings/settings_writer.h"
#include "tests/support/settings_files.h"

using std::string;

static std::vector<string> VariedFiles()
{
    string large;
    for (int i = 0; large.size() < 20000; ++i)
        large += "key" + std::to_string(i) + "=value\r\n" + (i % 300 == 0 ? "[386Enh]\r\n" : "");
    return {
        "[boot]\r\n[386Enh]\r\ndevice=x\r\nMessageBackColor=4\r\n",
        "[boot]\n[386Enh]\nMessageTextColor=E\ndevice=x\n",
        "[386Enh]\r\na=1\r\n[386Enh]\r\nb=2\r\n",
        "[boot]\r\nshell=Explorer.exe\r\n",
        "[386Enh]\r\n" + string(700, 'L') + "\r\nMessageBackColor=1\r\n",
        string("[386Enh]\r\na\0b\r\n\0MessageTextColor=2\r\n", 33),
        "[boot]\r\n[386Enh]\r\nlast=line",
        "",
        large,
    };
}

class SettingsFaults : public SettingsFilesTest {
protected:
    void TearDown() override
    {
        HostResetFileOperations(0);
        SettingsFilesTest::TearDown();
    }

    SettingsWriteResult Run(bool apply)
    {
        ColorSelection.InstalledBack = apply ? "Dark Cyan" : "Blue";
        ColorSelection.InstalledText = apply ? "Brown" : "White";
        return WriteColorSettings(apply);
    }
};

TEST_F(SettingsFaults, SystemIniIsNeverLostOrHalfWritten)
{
    unsigned tried = 0;
    std::set<string> failedKinds;
    for (const string& before : VariedFiles()) {
        for (bool apply : {true, false}) {
            // A run with no fault gives the new content and the number of operations.
            WriteTestFile("system.ini", before);
            HostResetFileOperations(0);
            const SettingsWriteResult done = Run(apply);
            const unsigned operations = HostFileOperationCount();
            const string after = Ini();
            ASSERT_EQ(Old(), before);
            ASSERT_NE(done, SettingsUnchanged);
            // The file is held in one block, and the new content goes out in one write.
            const std::vector<string> log = HostFileOperationLog();
            EXPECT_EQ(std::count(log.begin(), log.end(), "allocate"), 1);
            EXPECT_EQ(std::count(log.begin(), log.end(), "write system.ini"), after.empty() ? 0 : 1);
            EXPECT_EQ(std::count(log.begin(), log.end(), "write system.old"), before.empty() ? 0 : 1);

            for (unsigned failAt = 1; failAt <= operations; ++failAt, ++tried) {
                WriteTestFile("system.ini", before);
                WriteTestFile("system.old", "backup of an earlier run");
                HostResetFileOperations(failAt);
                const SettingsWriteResult result = Run(apply);
                const string failed = HostFileOperationLog()[failAt - 1];
                HostResetFileOperations(0);
                const string ini = Ini();
                string mark;
                const bool marked = ReadTestFile("hueline.mrk", &mark);
                RemoveTestFile("hueline.mrk");
                SCOPED_TRACE("apply=" + std::to_string(apply) + " failing operation " +
                             std::to_string(failAt) + " of " + std::to_string(operations) + " (" +
                             failed + "), file of " + std::to_string(before.size()) + " bytes");
                EXPECT_TRUE(ini == before || ini == after);
                if (ini != before || marked) {
                    EXPECT_EQ(Old(), before);
                }
                // The result tells the truth about what system.ini holds.
                if (result == SettingsUnchanged) {
                    EXPECT_EQ(ini, before);
                } else if (result != SettingsNotPutBack) {
                    EXPECT_EQ(result, done);
                    EXPECT_EQ(ini, after);
                }
                failedKinds.insert(failed.substr(0, failed.find(' ')));
            }
        }
    }
    std::cout << "[ faults   ] " << tried << " fault points tried on " << VariedFiles().size()
              << " files" << std::endl;
    EXPECT_GT(tried, 100u);
    EXPECT_EQ(failedKinds, (std::set<string>{"allocate", "close", "create", "delete", "flush", "length",
                                             "open", "read", "write"}));
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
    EXPECT_EQ(Run(true), SettingsUnchanged);
    const std::vector<string> log = HostFileOperationLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), "allocate"), 0);
    EXPECT_EQ(Ini().size(), huge.size());
    EXPECT_EQ(Old(), "earlier");
}
