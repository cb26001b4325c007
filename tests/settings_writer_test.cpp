#include <gtest/gtest.h>

#include <string>

#include "core/selection.h"
#include "settings/settings_messages.h"
#include "settings/settings_writer.h"
#include "tests/support/settings_files.h"

using std::string;

using SettingsWriter = SettingsFilesTest;

static const string ThreeLines = "[boot]\r\n[386Enh]\r\ndevice=x\r\n";

TEST_F(SettingsWriter, ApplyBacksUpAndInstallsThePair)
{
    WriteTestFile("system.ini", ThreeLines);
    EXPECT_EQ(Install("Dark Green", "Yellow"), SettingsWritten);
    EXPECT_EQ(Old(), ThreeLines);
    EXPECT_EQ(Ini(),
              "[boot]\r\n[386Enh]\r\n"
              ";; Following 2 lines by Hueline (hueline@hueline.org)\r\n"
              ";; They are used to change the color of the blue screen of death\r\n"
              "MessageBackColor=2\r\nMessageTextColor=E\r\n"
              ";; End of Hueline Lines\r\n"
              "device=x\r\n");
    const string applied = Ini();

    EXPECT_EQ(WriteColorSettings(false), SettingsWritten);
    EXPECT_EQ(Ini(), ThreeLines);
    EXPECT_EQ(Old(), applied);
}

TEST_F(SettingsWriter, EveryCallRewritesBothFiles)
{
    WriteTestFile("system.ini", "[boot]\r\n");
    WriteTestFile("system.old", "stale backup");
    WriteColorSettings(false);
    EXPECT_EQ(Ini(), "[boot]\r\n");
    EXPECT_EQ(Old(), "[boot]\r\n");
    WriteTestFile("system.ini", "");
    EXPECT_EQ(Install("Red", "Red"), SettingsNoSection);
    EXPECT_EQ(Ini(), "");
    EXPECT_EQ(Old(), "");
}

TEST_F(SettingsWriter, MissingSystemIniIsLeftAlone)
{
    RemoveTestFile("system.ini");
    WriteTestFile("system.old", "older backup");
    EXPECT_EQ(Install("Red", "White"), SettingsUnchanged);
    EXPECT_EQ(Ini(), "<missing>");
    EXPECT_EQ(Old(), "older backup");
}

TEST_F(SettingsWriter, LargeFileSurvivesApplyAndRestore)
{
    string big;
    for (int i = 0; big.size() < (1u << 20); ++i)
        big += "[section" + std::to_string(i) + "]\r\nkey" + std::to_string(i) + "=value\r\n" +
               (i % 1000 == 0 ? "[386Enh]\r\nMessageTextColor=2\r\n" : "");
    big += string(3000, 'z');  // a long last line with no line end
    WriteTestFile("system.ini", big);
    EXPECT_EQ(Install("Cyan", "Dark Red"), SettingsWritten);
    const string applied = Ini();
    EXPECT_EQ(Old(), big);
    EXPECT_NE(applied.find("MessageBackColor=B\r\nMessageTextColor=4\r\n"), string::npos);
    EXPECT_EQ(applied.find("MessageTextColor=2"), string::npos);
    WriteColorSettings(false);
    string expected = big;
    for (size_t at; (at = expected.find("MessageTextColor=2\r\n")) != string::npos;)
        expected.erase(at, 20);
    EXPECT_EQ(Ini(), expected);
}

TEST_F(SettingsWriter, NamesThatAreNotColoursChangeNothing)
{
    WriteTestFile("system.ini", ThreeLines);
    WriteTestFile("system.old", "older backup");
    SettingsWriteDetails details;
    EXPECT_EQ(Install("Blue [default]", "White", &details), SettingsUnchanged);
    EXPECT_EQ(Ini(), ThreeLines);
    EXPECT_EQ(Old(), "older backup");
    EXPECT_STREQ(WriteMessage(true, SettingsUnchanged, details).text,
                 "The new colors were not installed.\nThose are not colors Hueline knows.\n"
                 "SYSTEM.INI is as it was.");
}
