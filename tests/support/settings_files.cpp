#include "tests/support/settings_files.h"

#include <stdio.h>

#include "core/selection.h"
#include "settings/journal.h"
#include "settings/marker_block.h"
#include "settings/settings_rewrite.h"

std::string TestPath(const std::string& name)
{
    std::string upper = name;
    for (char& c : upper)
        c = c >= 'a' && c <= 'z' ? (char)(c - 'a' + 'A') : c;
    return PrepareTestWindowsDirectory() + TestPathSeparator() + upper;
}

void SettingsFilesTest::SetUp()
{
    hadIni_ = ReadTestFile("system.ini", &savedIni_);
    hadOld_ = ReadTestFile("system.old", &savedOld_);
}

void SettingsFilesTest::TearDown()
{
    RemoveTestFile("hueline.mrk");
    if (hadIni_)
        WriteTestFile("system.ini", savedIni_);
    else
        RemoveTestFile("system.ini");
    if (hadOld_)
        WriteTestFile("system.old", savedOld_);
    else
        RemoveTestFile("system.old");
}

static std::string Contents(const char* name)
{
    std::string bytes;
    return ReadTestFile(name, &bytes) ? bytes : std::string("<missing>");
}

std::string SettingsFilesTest::Ini() { return Contents("system.ini"); }
std::string SettingsFilesTest::Old() { return Contents("system.old"); }

std::string RewriteText(const std::string& input, bool apply, const char* back, const char* text,
                        unsigned* headers)
{
    char block[MarkerBlockSize];
    unsigned blockLength = apply ? BuildMarkerBlock(block, back, text) : 0;
    unsigned length = RewriteSettingsText(input.data(), (unsigned)input.size(), block, blockLength,
                                          nullptr, 0, nullptr);
    // Exactly the room it asked for, then guard bytes that must stay as they are.
    std::string output(length + 16, '?');
    EXPECT_EQ(RewriteSettingsText(input.data(), (unsigned)input.size(), block, blockLength,
                                  &output[0], length, headers),
              length);
    EXPECT_EQ(output.substr(length), std::string(16, '?')) << "written past its room";
    output.resize(length);
    return output;
}

std::vector<std::string> VariedSettingsFiles()
{
    std::string large;
    for (int i = 0; large.size() < 9000; ++i)  // three reads of 4 KiB
        large += "key" + std::to_string(i) + "=value\r\n" + (i % 300 == 0 ? "[386Enh]\r\n" : "");
    return {
        "[boot]\r\n[386Enh]\r\ndevice=x\r\nMessageBackColor=4\r\n",
        "[boot]\n[386Enh]\nMessageTextColor=E\ndevice=x\n",
        "[386Enh]\r\na=1\r\n[386Enh]\r\nb=2\r\n",
        "[boot]\r\nshell=Explorer.exe\r\n",
        "[386Enh]\rMessageBackColor=2\ra=1\r",
        "[386Enh]\r\n" + std::string(700, 'L') + "\r\nMessageBackColor=1\r\n",
        std::string("[386Enh]\r\na\0b\r\n\0MessageTextColor=2\r\n", 33),
        "[boot]\r\n[386Enh]\r\nlast=line",
        "[386Enh]\r\nwindow=x.386\r\n",  // as long as the crash test's earlier system.old
        "",
        large,
    };
}

SettingsWriteResult SettingsFilesTest::Install(const char* back, const char* text, SettingsWriteDetails* details)
{
    ColorSelection.InstalledBack = back;
    ColorSelection.InstalledText = text;
    return WriteColorSettings(true, details);
}

SettingsWriteResult SettingsFilesTest::ApplyOrRestore(bool apply, SettingsWriteDetails* details)
{
    ColorSelection.InstalledBack = apply ? "Dark Cyan" : "Blue";
    ColorSelection.InstalledText = apply ? "Brown" : "White";
    return WriteColorSettings(apply, details);
}

bool SettingsFilesTest::MarkStands()
{
    std::string ignored;
    return ReadTestFile("hueline.mrk", &ignored);
}

bool SettingsFilesTest::TrustedJournalStands()
{
    std::string journal;
    JournalRecord record;
    return ReadTestFile("hueline.mrk", &journal) && ReadJournal(journal.data(), (unsigned)journal.size(), &record);
}

std::string JournalFor(const std::string& before, const std::string& after, unsigned version)
{
    const uint32_t numbers[] = {(uint32_t)before.size(), Crc32(0, before.data(), (unsigned)before.size()),
                                (uint32_t)after.size(), Crc32(0, after.data(), (unsigned)after.size())};
    if (version == JournalReplacesWhole) {
        char journal[JournalSize];
        BuildJournal(JournalRecord{numbers[0], numbers[1], numbers[2], numbers[3], version}, journal);
        return std::string(journal, JournalSize);
    }
    // The layouts of 1.0.0, which wrote system.ini in place.
    auto hex = [](uint32_t n) {
        char text[9];
        snprintf(text, sizeof text, "%08X", n);
        return std::string(text);
    };
    auto dir = [](uint32_t n) {
        std::string digits = std::to_string(n);
        for (size_t at = digits.size(); at > 3; at -= 3)
            digits.insert(at - 3, ",");
        return std::string(13 - digits.size(), ' ') + digits;
    };
    std::string text = "Hueline journal, version " + std::to_string(version) + "\r\nHueline keeps this file while it "
                       "changes " + (version == 1 ? "system.ini" : "SYSTEM.INI") + "; see README.TXT.\r\n"
                       "system.ini before: " + hex(numbers[0]) + " " + hex(numbers[1]) + "\r\n"
                       "system.ini after:  " + hex(numbers[2]) + " " + hex(numbers[3]) + "\r\n";
    if (version == 2)
        text += "length before, as DIR shows it: " + dir(numbers[0]) + " bytes\r\nlength after, as DIR shows it:  " +
                dir(numbers[2]) + " bytes\r\nchange: 00000000\r\n";
    text += "check: ";
    return text + hex(Crc32(0, text.data(), (unsigned)text.size())) + "\r\n";
}
