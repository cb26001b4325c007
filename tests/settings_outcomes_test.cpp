// The settings reader and writer on the host stand-in, with one file
// operation failed at a chosen place: what each failure leads to, written out
// case by case. (Host only: the Wine runner has the real file layer, which
// cannot be made to fail at a given call.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/selection.h"
#include "tests/host/host_control.h"
#include "settings/settings_reader.h"
#include "settings/settings_writer.h"
#include "tests/support/settings_files.h"

using std::string;

namespace {

using SettingsOutcomes = SettingsFilesTest;

const string ThreeLines = "[boot]\r\n[386Enh]\r\ndevice=x\r\n";

}  // namespace

static const string ThreeLinesRed =
    "[boot]\r\n[386Enh]\r\n"
    ";; Following 2 lines by Hueline (hueline@hueline.org)\r\n"
    ";; They are used to change the color of the blue screen of death\r\n"
    "MessageBackColor=C\r\nMessageTextColor=F\r\n"
    ";; End of Hueline Lines\r\n"
    "device=x\r\n";

// Each file operation of one Apply failed in turn, one per run: what the call
// reports, what system.ini holds, and whether the mark stands, written out.
TEST_F(SettingsOutcomes, EachFailedOperationHasItsOwnOutcome)
{
    struct Case {
        const char* operation;
        SettingsWriteResult result;
        bool written;  // system.ini holds the new content, else the old
        bool marked;
    } cases[] = {
        {"check hueline.mrk", SettingsUnchanged, false, false},  // cannot tell: no rewrite
        {"open system.ini", SettingsUnchanged, false, false},
        {"length system.ini", SettingsUnchanged, false, false},
        {"allocate", SettingsUnchanged, false, false},
        {"read system.ini", SettingsUnchanged, false, false},
        {"close system.ini", SettingsWritten, true, false},  // only read: nothing lost
        {"create system.old", SettingsUnchanged, false, false},
        {"write system.old", SettingsUnchanged, false, false},
        {"flush system.old", SettingsUnchanged, false, false},
        {"length system.old", SettingsUnchanged, false, false},
        {"close system.old", SettingsUnchanged, false, false},
        {"create hueline.mrk", SettingsUnchanged, false, false},
        {"write hueline.mrk", SettingsUnchanged, false, false},
        {"flush hueline.mrk", SettingsUnchanged, false, false},
        {"length hueline.mrk", SettingsUnchanged, false, false},
        {"close hueline.mrk", SettingsUnchanged, false, false},
        {"create system.ini", SettingsUnchanged, false, false},
        {"write system.ini", SettingsUnchanged, false, false},  // put back
        {"flush system.ini", SettingsUnchanged, false, false},
        {"length system.ini", SettingsUnchanged, false, false},
        {"close system.ini", SettingsUnchanged, false, false},
        {"delete hueline.mrk", SettingsWritten, true, true},  // the next start puts the old one back
    };
    const unsigned count = sizeof cases / sizeof cases[0];
    WriteTestFile("system.ini", ThreeLines);
    RemoveTestFile("hueline.mrk");
    HostResetFileOperations(0);
    EXPECT_EQ(Install("Red", "White"), SettingsWritten);
    const std::vector<string> log = HostFileOperationLog();
    ASSERT_EQ(log.size(), count);
    for (unsigned n = 0; n < count; ++n)
        EXPECT_EQ(log[n], cases[n].operation) << n + 1;
    EXPECT_EQ(Ini(), ThreeLinesRed);

    for (unsigned n = 0; n < count; ++n) {
        const Case& c = cases[n];
        WriteTestFile("system.ini", ThreeLines);
        RemoveTestFile("hueline.mrk");
        HostResetFileOperations(n + 1);
        EXPECT_EQ(Install("Red", "White"), c.result) << c.operation << " (" << n + 1 << ")";
        HostResetFileOperations(0);
        string mark;
        EXPECT_EQ(Ini(), c.written ? ThreeLinesRed : ThreeLines) << c.operation << " (" << n + 1 << ")";
        EXPECT_EQ(ReadTestFile("hueline.mrk", &mark), c.marked) << c.operation << " (" << n + 1 << ")";
    }
    RemoveTestFile("hueline.mrk");
}

TEST_F(SettingsOutcomes, AShortReadOfSystemIniChangesNothing)
{
    WriteTestFile("system.ini", ThreeLines);
    WriteTestFile("system.old", "older backup");
    RemoveTestFile("hueline.mrk");
    HostResetFileOperations(5);  // "read system.ini", as the table above has it
    HostFailReadsShort();
    EXPECT_EQ(Install("Red", "White"), SettingsUnchanged);
    const std::vector<string> log = HostFileOperationLog();
    HostResetFileOperations(0);
    ASSERT_GE(log.size(), 5u);
    EXPECT_EQ(log[4], "read system.ini");
    EXPECT_EQ(Ini(), ThreeLines);
    EXPECT_EQ(Old(), "older backup");
    EXPECT_FALSE(MarkStands());
}

// The put-back of an interrupted rewrite, each operation failed in turn.
TEST_F(SettingsOutcomes, RecoveryKeepsTheMarkUntilSystemIniIsWhole)
{
    struct Case {
        const char* operation;
        SettingsRecovery result;
        bool putBack;
        bool marked;
    } cases[] = {
        {"check hueline.mrk", SettingsNothingToRecover, false, true},  // cannot tell: try next time
        {"open system.old", SettingsNotRecovered, false, true},
        {"length system.old", SettingsNotRecovered, false, true},
        {"allocate", SettingsNotRecovered, false, true},
        {"read system.old", SettingsNotRecovered, false, true},
        {"close system.old", SettingsRecovered, true, false},
        {"create system.ini", SettingsNotRecovered, false, true},
        {"write system.ini", SettingsNotRecovered, false, true},
        {"flush system.ini", SettingsNotRecovered, true, true},
        {"length system.ini", SettingsNotRecovered, true, true},
        {"close system.ini", SettingsNotRecovered, true, true},
        {"delete hueline.mrk", SettingsNotRecovered, true, true},
    };
    const unsigned count = sizeof cases / sizeof cases[0];
    const string half = "[boot]\r\n[38";
    for (unsigned n = 0; n <= count; ++n) {
        WriteTestFile("system.ini", half);
        WriteTestFile("system.old", ThreeLines);
        WriteTestFile("hueline.mrk", "mark\r\n");
        HostResetFileOperations(n);
        const SettingsRecovery result = RecoverInterruptedRewrite();
        const std::vector<string> log = HostFileOperationLog();
        HostResetFileOperations(0);
        string ini, mark;
        const bool hasIni = ReadTestFile("system.ini", &ini);
        const bool marked = ReadTestFile("hueline.mrk", &mark);
        if (n == 0) {  // no fault: the whole put-back, in this order
            ASSERT_EQ(log.size(), count);
            for (unsigned k = 0; k < count; ++k)
                EXPECT_EQ(log[k], cases[k].operation) << k + 1;
            EXPECT_EQ(result, SettingsRecovered);
            EXPECT_EQ(ini, ThreeLines);
            EXPECT_FALSE(marked);
            continue;
        }
        const Case& c = cases[n - 1];
        EXPECT_EQ(result, c.result) << c.operation;
        EXPECT_EQ(marked, c.marked) << c.operation;
        if (c.putBack) {
            EXPECT_EQ(ini, ThreeLines) << c.operation;
        } else if (string(c.operation) == "write system.ini") {
            EXPECT_EQ(ini, ThreeLines.substr(0, ThreeLines.size() / 2)) << c.operation;  // half written
        } else if (string(c.operation) != "create system.ini") {
            EXPECT_EQ(ini, half) << c.operation;
        }
        EXPECT_TRUE(hasIni);
    }
    RemoveTestFile("hueline.mrk");
}

TEST_F(SettingsOutcomes, WhatWasReadCountsWhenALaterReadFails)
{
    const string ini = "[386Enh]\r\nMessageBackColor=4\r\nMessageTextColor=E\r\n" + string(5000, 'x') +
                       "\r\nMessageBackColor=2\r\n";
    WriteTestFile("system.ini", ini);
    HostResetFileOperations(0);
    ReadInstalledColors();
    const std::vector<string> log = HostFileOperationLog();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[0], "open system.ini");
    EXPECT_EQ(log[1], "read system.ini");
    EXPECT_EQ(log[2], "read system.ini");
    EXPECT_STREQ(ColorSelection.InstalledBack, "Dark Green");
    HostResetFileOperations(3);  // the second read fails
    ReadInstalledColors();
    HostResetFileOperations(0);
    EXPECT_STREQ(ColorSelection.InstalledBack, "Dark Red");
    EXPECT_STREQ(ColorSelection.InstalledText, "Yellow");
}
