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
// stands, written out.
TEST_F(SettingsOutcomes, EachFailedOperationHasItsOwnOutcome)
{
    enum Backup { Earlier, Before, Missing };  // what system.old holds after the call
    struct Case {
        const char* operation;
        SettingsWriteResult result;
        bool written;  // system.ini holds the new content, else the old
        Backup old;
        bool journal;  // the journal stands
    } cases[] = {
        {"check hueline.mrk", SettingsUnchanged, false, Earlier, false},  // cannot tell: no rewrite
        {"check system.old", SettingsWritten, true, Before, false},       // taken to stand
        {"flush-profiles", SettingsWritten, true, Before, false},
        {"open system.ini", SettingsUnchanged, false, Earlier, false},
        {"length system.ini", SettingsUnchanged, false, Earlier, false},
        {"allocate", SettingsUnchanged, false, Earlier, false},
        {"read system.ini", SettingsUnchanged, false, Earlier, false},
        {"close system.ini", SettingsWritten, true, Before, false},  // only read: nothing lost
        {"create hueline.bak", SettingsUnchanged, false, Earlier, false},
        {"write hueline.bak", SettingsUnchanged, false, Earlier, false},
        {"flush hueline.bak", SettingsUnchanged, false, Earlier, false},
        {"length hueline.bak", SettingsUnchanged, false, Earlier, false},
        {"close hueline.bak", SettingsUnchanged, false, Earlier, false},
        {"create hueline.mrk", SettingsUnchanged, false, Earlier, false},
        {"write hueline.mrk", SettingsUnchanged, false, Earlier, false},
        {"flush hueline.mrk", SettingsUnchanged, false, Earlier, false},
        {"length hueline.mrk", SettingsUnchanged, false, Earlier, false},
        {"close hueline.mrk", SettingsUnchanged, false, Earlier, false},
        {"commit-volume C:", SettingsWritten, true, Before, false},  // nothing more to do
        {"delete system.old", SettingsUnchanged, false, Earlier, false},  // still there: the rename fails
        {"rename hueline.bak>system.old", SettingsUnchanged, false, Missing, false},  // the copy stays
        {"create system.ini", SettingsUnchanged, false, Before, false},  // the rest are put back
        {"write system.ini", SettingsUnchanged, false, Before, false},
        {"flush system.ini", SettingsUnchanged, false, Before, false},
        {"length system.ini", SettingsUnchanged, false, Before, false},
        {"close system.ini", SettingsUnchanged, false, Before, false},
        {"flush-profiles", SettingsWritten, true, Before, false},
        {"commit-volume C:", SettingsWritten, true, Before, false},
        {"delete hueline.mrk", SettingsWritten, true, Before, true},  // told; the next start takes it away
        {"check hueline.mrk", SettingsWritten, true, Before, false},  // cannot tell: told as still there
    };
    const unsigned count = sizeof cases / sizeof cases[0];
    for (unsigned n = 0; n <= count; ++n) {
        WriteTestFile("system.ini", ThreeLines);
        WriteTestFile("system.old", "earlier backup");
        RemoveTestFile("hueline.mrk");
        RemoveTestFile("hueline.bak");
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
        EXPECT_EQ(Ini(), c.written ? ThreeLinesRed : ThreeLines);
        EXPECT_EQ(Old(), c.old == Earlier ? "earlier backup" : c.old == Before ? ThreeLines : "<missing>");
        EXPECT_EQ(MarkStands(), c.journal);
        // A copy is left only where system.old is gone, and then it is whole.
        string copy;
        EXPECT_EQ(ReadTestFile("hueline.bak", &copy), c.old == Missing);
        if (c.old == Missing) {
            EXPECT_EQ(copy, ThreeLines);
        }
        // The journal, when it is told to stay, is what the failure left.
        EXPECT_EQ(details.left.cause != SettingsFine, n == count - 1 || n == count) << details.left.cause;
    }
}

TEST_F(SettingsOutcomes, AShortReadOfSystemIniChangesNothing)
{
    WriteTestFile("system.ini", ThreeLines);
    WriteTestFile("system.old", "older backup");
    RemoveTestFile("hueline.mrk");
    HostResetFileOperations(7);  // "read system.ini", as the table above has it
    HostFailReadsShort();
    EXPECT_EQ(Install("Red", "White"), SettingsUnchanged);
    const std::vector<string> log = HostFileOperationLog();
    HostResetFileOperations(0);
    ASSERT_GE(log.size(), 7u);
    EXPECT_EQ(log[6], "read system.ini");
    EXPECT_EQ(Ini(), ThreeLines);
    EXPECT_EQ(Old(), "older backup");
    EXPECT_FALSE(MarkStands());
}

// The put-back of an interrupted rewrite, each operation failed in turn:
// what the recovery reports, what system.ini holds after it, and whether the
// journal stands.
TEST_F(SettingsOutcomes, RecoveryKeepsTheJournalUntilSystemIniIsWhole)
{
    const string half = "[boot]\r\n[38";
    enum Content { Half, Whole, HalfOfWhole };  // of system.ini after
    struct Case {
        const char* operation;
        SettingsRecovery result;
        Content ini;
        bool journal;
    } cases[] = {
        {"check hueline.mrk", SettingsRecovered, Whole, false},  // cannot tell: read to see
        {"open hueline.mrk", SettingsNeedsDecision, Half, true},
        {"read hueline.mrk", SettingsNeedsDecision, Half, true},
        {"close hueline.mrk", SettingsRecovered, Whole, false},
        {"flush-profiles", SettingsRecovered, Whole, false},
        {"open system.ini", SettingsNotRecovered, Half, true},  // what it holds is not known
        {"length system.ini", SettingsNotRecovered, Half, true},
        {"close system.ini", SettingsRecovered, Whole, false},
        {"open system.old", SettingsNeedsDecision, Half, true},  // no other copy: asked
        {"length system.old", SettingsNeedsDecision, Half, true},
        {"allocate", SettingsNeedsDecision, Half, true},
        {"read system.old", SettingsNeedsDecision, Half, true},
        {"close system.old", SettingsRecovered, Whole, false},
        {"open system.ini", SettingsNotRecovered, Half, true},  // whether it is a part is not known
        {"length system.ini", SettingsNotRecovered, Half, true},
        {"read system.ini", SettingsNotRecovered, Half, true},
        {"close system.ini", SettingsRecovered, Whole, false},
        {"create system.ini", SettingsNotRecovered, Half, true},
        {"write system.ini", SettingsNotRecovered, HalfOfWhole, true},
        {"flush system.ini", SettingsNotRecovered, Whole, true},  // written, but not known to be
        {"length system.ini", SettingsNotRecovered, Whole, true},
        {"close system.ini", SettingsNotRecovered, Whole, true},
        {"flush-profiles", SettingsRecovered, Whole, false},
        {"open system.ini", SettingsNotRecovered, Whole, true},  // read back to check it
        {"length system.ini", SettingsNotRecovered, Whole, true},
        {"read system.ini", SettingsNotRecovered, Whole, true},
        {"close system.ini", SettingsRecovered, Whole, false},
        {"check hueline.bak", SettingsRecovered, Whole, false},
        {"delete hueline.mrk", SettingsRecovered, Whole, true},  // told: it stays
        {"check hueline.mrk", SettingsRecovered, Whole, false},  // cannot tell: told as staying
    };
    const unsigned count = sizeof cases / sizeof cases[0];
    const string journal = JournalFor(ThreeLines, ThreeLinesRed, JournalInstalls + 0xCF);
    for (unsigned n = 0; n <= count; ++n) {
        WriteTestFile("system.ini", half);
        WriteTestFile("system.old", ThreeLines);
        WriteTestFile("hueline.mrk", journal);
        HostResetFileOperations(n);
        SettingsRecoveryDetails details;
        const SettingsRecovery result = RecoverInterruptedRewrite(&details);
        const std::vector<string> log = HostFileOperationLog();
        HostResetFileOperations(0);
        if (n == 0) {  // no fault: the whole put-back, in this order
            ASSERT_EQ(log.size(), count);
            for (unsigned k = 0; k < count; ++k)
                EXPECT_EQ(log[k], cases[k].operation) << k + 1;
            EXPECT_EQ(result, SettingsRecovered);
            EXPECT_EQ(details.copy, SettingsOld);
            EXPECT_EQ(Ini(), ThreeLines);
            EXPECT_FALSE(MarkStands());
            continue;
        }
        const Case& c = cases[n - 1];
        SCOPED_TRACE(string(c.operation) + " (" + std::to_string(n) + ")");
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(Ini(), c.ini == Half ? half : c.ini == Whole ? ThreeLines : ThreeLines.substr(0, ThreeLines.size() / 2));
        EXPECT_EQ(MarkStands(), c.journal);
        EXPECT_EQ(Old(), ThreeLines);
    }
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

// Every message whole, for each outcome that names more than one file: each
// file it names is the one concerned, and nothing in it claims what did not
// happen.
TEST_F(SettingsOutcomes, EachMessageNamesTheRightFiles)
{
    ASSERT_TRUE(FindSettingsPaths());
    const string w = "C:\\WINDOWS\\";
    const SettingsProblem none = {SettingsJournal, SettingsRemoving, SettingsFine};
    const SettingsProblem standing = {SettingsJournal, SettingsRemoving, SettingsNotRemoved};
    SettingsRecoveryDetails found = {SettingsOld, {SettingsOld, SettingsReading, SettingsNoMatchingCopy}, none,
                                     false, true, 68, 214, 40, {SettingsOtherLength, SettingsOtherContent}, {30, 68},
                                     {true, true}};
    string keep;
    for (auto kept : {std::make_pair("SYSTEM.OLD", "HUELINE.OLD"), std::make_pair("HUELINE.BAK", "HUELINE.CPY")})
        keep += string(keep.empty() ? "" : " ") + w + kept.first + " may hold the only whole copy of "
                "system.ini: if you choose Yes, Hueline keeps it as " + w + kept.second +
                ", where the next change cannot replace it.";
    keep += "\n";
    const string no = "If you choose No, every file stays as it is, and Hueline will not change system.ini.";
    struct Case {
        std::function<const char*()> message;
        string text;
    } cases[] = {
        {[&] { return WriteMessage(true, SettingsUnchanged, {{SettingsOld, SettingsReplacing, SettingsNotRenamed},
                                                              none, 0}); },
         "The new colors were not installed.\nHueline removed " + w + "SYSTEM.OLD to put a new copy of system.ini in "
         "its place, but could not give that copy its name: the copy of system.ini as it is now stays in " + w +
         "HUELINE.BAK.\nsystem.ini is as it was."},
        {[&] { return WriteMessage(false, SettingsWritten, {{SettingsIni, SettingsReading, SettingsFine}, standing,
                                                             2}); },
         "The default colors were restored.\nHueline could not remove " + w + "HUELINE.MRK (Hueline's record of a "
         "change to system.ini under way); remove that file by hand."},
        {[&] { found.copy = SettingsCopy; return RecoveryMessage(SettingsRecovered, found); },
         "The last change to system.ini was interrupted, so Hueline put system.ini back as it was before that "
         "change, from " + w + "HUELINE.BAK."},
        {[&] { found.finished = true; found.left = standing; return RecoveryMessage(SettingsTidied, found); },
         "The last change to system.ini was finished, and system.ini holds it whole.\nHueline could not remove " +
         w + "HUELINE.MRK (Hueline's record of a change to system.ini under way); remove that file by hand. Until "
         "then Hueline will not change system.ini."},
        {[&] { found.left = none; return RecoveryMessage(SettingsNeedsDecision, found); },
         "The last change to system.ini was interrupted. " + w + "SYSTEM.INI now holds neither its content from "
         "before that change (68 bytes) nor the new one (214 bytes), and no copy holds its earlier content: " + w +
         "SYSTEM.OLD is 30 bytes long, and " + w + "HUELINE.BAK is as long, but holds other bytes.\nHueline has changed nothing.\n\n" +
         keep + "Remove Hueline's record of that change, " + w + "HUELINE.MRK, and go on with system.ini as it is? " +
         no},
        {[&] {
             found.problem = {SettingsIni, SettingsReading, SettingsChangedElsewhere};
             found.copy = SettingsOld;
             return RecoveryMessage(SettingsNeedsDecision, found);
         },
         "Hueline's record of a change to system.ini, " + w + "HUELINE.MRK, is still there, but " + w + "SYSTEM.INI "
         "now holds neither its content from before that change (68 bytes) nor the new one (214 bytes), nor a part "
         "of either: it is 40 bytes long. Another program may have changed it since. " + w + "SYSTEM.OLD holds "
         "system.ini as it was before Hueline's change.\nHueline has changed nothing.\n\n" + keep + "Remove "
         "Hueline's record, " + w + "HUELINE.MRK, and go on with system.ini as it is? " + no},
        {[&] { return DiscardFailedMessage({SettingsOld, SettingsKeeping, SettingsNameTaken}); },
         "Hueline could not keep " + w + "SYSTEM.OLD as " + w + "HUELINE.OLD: a file of that name is there already. "
         "Move it elsewhere first.\nHueline has not removed its record, " + w + "HUELINE.MRK, and will not change "
         "system.ini until it can."},
        {[&] { return DiscardFailedMessage({SettingsJournal, SettingsRemoving, SettingsFolder}); },
         "Hueline could not remove " + w + "HUELINE.MRK (Hueline's record of a change to system.ini under way): a "
         "folder stands there in place of the file, and it could not be removed (it is not empty, or in use).\n"
         "Remove it by hand; until then Hueline will not change system.ini."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.message(), c.text);
}
