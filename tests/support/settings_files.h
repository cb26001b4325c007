// The Windows directory the settings code works in during tests, with helpers
// to put whole files there and read them back. Host runs use a fresh temporary
// directory; the Wine runner uses the private prefix's real Windows directory,
// saving and restoring what stood there.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/settings_writer.h"

// Makes the directory the settings code will use and returns it; set up once.
std::string PrepareTestWindowsDirectory();
const char* TestPathSeparator();

// A file of that directory, its name in upper case as the program writes it.
std::string TestPath(const std::string& name);
void WriteTestFile(const std::string& name, const std::string& bytes);
// False when the file does not exist.
bool ReadTestFile(const std::string& name, std::string* bytes);
void RemoveTestFile(const std::string& name);

// Saves system.ini and system.old before each test and puts them back after.
class SettingsFilesTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string Ini();  // system.ini now, "<missing>" when absent
    std::string Old();
    // Apply with the pair given as installed.
    SettingsWriteResult Install(const char* back, const char* text, SettingsWriteDetails* details = nullptr);
    // Apply of Dark Cyan on Brown, or Restore: the rewrite the fault and
    // power-cut loops run.
    SettingsWriteResult ApplyOrRestore(bool apply, SettingsWriteDetails* details = nullptr);
    bool MarkStands();  // the mark of an interrupted rewrite is there
    bool TrustedJournalStands();  // and it is a whole journal with a right check

private:
    bool hadIni_ = false, hadOld_ = false;
    std::string savedIni_, savedOld_;
};

// The copy ("HUELINE.NEW", "SYSTEM.OLD", "HUELINE.BAK") that README.TXT's
// recovery by hand at a DOS prompt puts in SYSTEM.INI's place while a
// journal stands, from what the user sees there: whether DIR lists
// SYSTEM.INI, the lengths on the journal's lines that README.TXT names, and
// the lengths DIR prints, the copies tried in README.TXT's order; "" when it
// takes none. Host only.
std::string CopyTheReadmeTakes();

// The rewrite on its own, text in and text out; headers, when given, receives
// how many lines took the block.
std::string RewriteText(const std::string& input, bool apply, const char* back, const char* text,
                        unsigned* headers = nullptr);

// The journal of a change of system.ini from before to after, as the writer
// records it, or, for version 1 or 2, as the released 1.0.0 did.
std::string JournalFor(const std::string& before, const std::string& after, unsigned version = 3);

// Files of every kind the writer meets: CR LF, LF and lone CR ends, two
// headers, none, a long line, NULs, a last line with no end, one as long as
// the power-cut loop's earlier system.old, an empty file and a 20 KB one with
// a header every 300 lines. The fault and power-cut loops run over them all.
std::vector<std::string> VariedSettingsFiles();
