// The settings reader and writer on the host stand-in, with one file
// operation failed at a chosen place: what each failure leads to, written out
// case by case. (Host only: the Wine runner has the real file layer, which
// cannot be made to fail at a given call.)
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/selection.h"
#include "tests/host/host_control.h"
#include "settings/journal.h"
#include "settings/settings_messages.h"
#include "settings/settings_reader.h"
#include "settings/settings_writer.h"
#include "settings/whole_files.h"
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
// reports, what system.ini and system.old hold, and whether the journal
// stands, written out. The copy and the new file never outlast the call.
TEST_F(SettingsOutcomes, EachFailedOperationHasItsOwnOutcome)
{
    enum Backup { Earlier, Before };  // what system.old holds after the call
    struct Case {
        const char* operation;
        SettingsWriteResult result;  // SettingsWritten: system.ini holds the new content, else the old
        Backup old;
        bool journal;  // the journal stands
    } cases[] = {
        {"check hueline.mrk", SettingsWritten, Before, false},  // asked again
        {"check system.old", SettingsWritten, Before, false},  // taken to stand
        {"attributes system.ini", SettingsWritten, Before, false},  // taken not to be read-only
        {"flush-profiles", SettingsWritten, Before, false},
        {"open system.ini", SettingsUnchanged, Earlier, false},
        {"length system.ini", SettingsUnchanged, Earlier, false},
        {"allocate", SettingsUnchanged, Earlier, false},
        {"read system.ini", SettingsUnchanged, Earlier, false},
        {"close system.ini", SettingsWritten, Before, false},  // only read: nothing lost
        {"create hueline.bak", SettingsUnchanged, Earlier, false},  // the copy is removed again
        {"write hueline.bak", SettingsUnchanged, Earlier, false},
        {"flush hueline.bak", SettingsUnchanged, Earlier, false},
        {"length hueline.bak", SettingsUnchanged, Earlier, false},
        {"close hueline.bak", SettingsUnchanged, Earlier, false},
        {"open hueline.bak", SettingsUnchanged, Earlier, false},  // read back to check it
        {"length hueline.bak", SettingsUnchanged, Earlier, false},
        {"read hueline.bak", SettingsUnchanged, Earlier, false},
        {"close hueline.bak", SettingsWritten, Before, false},
        {"create hueline.new", SettingsUnchanged, Earlier, false},  // the new file and the copy are removed again
        {"write hueline.new", SettingsUnchanged, Earlier, false},
        {"flush hueline.new", SettingsUnchanged, Earlier, false},
        {"length hueline.new", SettingsUnchanged, Earlier, false},
        {"close hueline.new", SettingsUnchanged, Earlier, false},
        {"open hueline.new", SettingsUnchanged, Earlier, false},
        {"length hueline.new", SettingsUnchanged, Earlier, false},
        {"read hueline.new", SettingsUnchanged, Earlier, false},
        {"close hueline.new", SettingsWritten, Before, false},
        {"create hueline.mrk", SettingsUnchanged, Earlier, false},  // the journal goes again, then the files
        {"write hueline.mrk", SettingsUnchanged, Earlier, false},
        {"flush hueline.mrk", SettingsUnchanged, Earlier, false},
        {"length hueline.mrk", SettingsUnchanged, Earlier, false},
        {"close hueline.mrk", SettingsUnchanged, Earlier, false},
        {"open hueline.mrk", SettingsUnchanged, Earlier, false},
        {"length hueline.mrk", SettingsUnchanged, Earlier, false},
        {"read hueline.mrk", SettingsUnchanged, Earlier, false},
        {"close hueline.mrk", SettingsWritten, Before, false},
        {"commit-volume C:", SettingsWritten, Before, false},  // nothing more to do
        {"check system.old", SettingsWritten, Before, false},  // taken to stand: removed
        {"delete system.old", SettingsUnchanged, Earlier, false},  // still there: the change is taken back
        {"check system.old", SettingsWritten, Before, false},  // asked again
        {"commit-volume C:", SettingsWritten, Before, false},
        {"rename hueline.bak>system.old", SettingsUnchanged, Before, false},  // taken back: the copy takes its place then
        {"commit-volume C:", SettingsWritten, Before, false},
        {"delete system.ini", SettingsUnchanged, Before, false},  // still there: taken back, with system.old replaced
        {"check system.ini", SettingsWritten, Before, false},  // asked again
        {"commit-volume C:", SettingsWritten, Before, false},
        {"rename hueline.new>system.ini", SettingsWritten, Before, false},  // finished as the next start would
        {"commit-volume C:", SettingsWritten, Before, false},
        {"open-write system.ini", SettingsWritten, Before, false},  // its new entry written by a flush as well
        {"flush system.ini", SettingsWritten, Before, false},
        {"close system.ini", SettingsWritten, Before, false},
        {"flush-profiles", SettingsWritten, Before, false},
        {"delete hueline.mrk", SettingsWritten, Before, true},  // told; the next start takes it away
        {"check hueline.mrk", SettingsWritten, Before, false},  // asked again
        {"commit-volume C:", SettingsWritten, Before, false},
    };
    const unsigned count = sizeof cases / sizeof cases[0];
    for (unsigned n = 0; n <= count; ++n) {
        WriteTestFile("system.ini", ThreeLines);
        WriteTestFile("system.old", "earlier backup");
        HostResetFileOperations(n);
        SettingsWriteDetails details;
        const SettingsWriteResult result = Install("Red", "White", &details);
        const std::vector<string> log = HostFileOperationLog();
        HostResetFileOperations(0);
        if (n == 0) {  // no fault: the whole rewrite, in this order
            ASSERT_EQ(log.size(), count);
            for (unsigned k = 0; k < count; ++k)
                EXPECT_EQ(log[k], cases[k].operation) << k + 1;
            EXPECT_EQ(result, SettingsWritten);
            EXPECT_EQ(Ini(), ThreeLinesRed);
            continue;
        }
        const Case& c = cases[n - 1];
        SCOPED_TRACE(string(c.operation) + " (" + std::to_string(n) + ")");
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(Ini(), c.result == SettingsWritten ? ThreeLinesRed : ThreeLines);
        EXPECT_EQ(Old(), c.old == Earlier ? "earlier backup" : ThreeLines);
        EXPECT_EQ(MarkStands(), c.journal);
        EXPECT_EQ(details.journalStands, c.journal);
        string ignored;
        EXPECT_FALSE(ReadTestFile("hueline.bak", &ignored) || ReadTestFile("hueline.new", &ignored));
        RemoveTestFile("hueline.mrk");
    }
}

TEST_F(SettingsOutcomes, AShortReadOfSystemIniChangesNothing)
{
    WriteTestFile("system.ini", ThreeLines);
    WriteTestFile("system.old", "older backup");
    RemoveTestFile("hueline.mrk");
    HostResetFileOperations(8);  // "read system.ini", as the table above has it
    HostFailReadsShort();
    EXPECT_EQ(Install("Red", "White"), SettingsUnchanged);
    const std::vector<string> log = HostFileOperationLog();
    HostResetFileOperations(0);
    ASSERT_GE(log.size(), 8u);
    EXPECT_EQ(log[7], "read system.ini");
    EXPECT_EQ(Ini(), ThreeLines);
    EXPECT_EQ(Old(), "older backup");
    EXPECT_FALSE(MarkStands());
}

// A journal's check that cannot tell twice over: an interrupted change may
// stand, so nothing is written, and its journal above all not written over.
TEST_F(SettingsOutcomes, AJournalThatCannotBeCheckedStopsTheChange)
{
    WriteTestFile("system.ini", ThreeLines);
    WriteTestFile("system.old", "older backup");
    WriteTestFile("hueline.mrk", "an interrupted change's journal");
    HostFailFileOperations({1, 2});  // "check hueline.mrk" and the check again
    SettingsWriteDetails details;
    EXPECT_EQ(Install("Red", "White", &details), SettingsUnchanged);
    HostResetFileOperations(0);
    EXPECT_EQ(details.problem.cause, SettingsNotChecked);
    EXPECT_EQ(Ini(), ThreeLines);
    EXPECT_EQ(Old(), "older backup");
    string journal;
    EXPECT_TRUE(ReadTestFile("hueline.mrk", &journal));
    EXPECT_EQ(journal, "an interrupted change's journal");
}

TEST_F(SettingsOutcomes, WhatWasReadCountsWhenALaterReadFails)
{
    const string ini = "[386Enh]\r\nMessageBackColor=4\r\nMessageTextColor=E\r\n" + string(5000, 'x') +
                       "\r\nMessageBackColor=2\r\n";
    WriteTestFile("system.ini", ini);
    HostResetFileOperations(0);
    ReadInstalledColors();
    const std::vector<string> log = HostFileOperationLog();
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log[0], "flush-profiles");
    EXPECT_EQ(log[1], "open system.ini");
    EXPECT_EQ(log[2], "read system.ini");
    EXPECT_EQ(log[3], "read system.ini");
    EXPECT_STREQ(ColorSelection.InstalledBack, "Dark Green");
    HostResetFileOperations(4);  // the second read fails
    ReadInstalledColors();
    HostResetFileOperations(0);
    EXPECT_STREQ(ColorSelection.InstalledBack, "Dark Red");
    EXPECT_STREQ(ColorSelection.InstalledText, "Yellow");
}

