// The command table against the menu as the resource file defines it: every
// colour item sets the colour its text names, every other command reaches its
// action, and every other number does nothing.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "core/color_table.h"
#include "core/selection.h"
#include "core/selection_actions.h"
#include "resources/resource.h"
#include "shell/command_table.h"
#include "tests/support/dialog_fixture.h"

using std::string;

static string SourceFile(const string& name)
{
    std::ifstream in(string(HUELINE_SOURCE_DIR) + "/" + name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct MenuItem {
    string popup;  // the submenu it stands in
    string text;
    unsigned id;
};

// The MENUITEMs of the menu resource, with the IDs resource.h gives them.
static std::vector<MenuItem> MenuItems()
{
    std::map<string, unsigned> ids;
    std::regex define(R"(#define\s+(\w+)\s+(\d+))");
    string header = SourceFile("resources/resource.h");
    for (std::sregex_iterator m(header.begin(), header.end(), define), end; m != end; ++m)
        ids[(*m)[1]] = (unsigned)std::stoul((*m)[2]);

    std::vector<MenuItem> items;
    std::regex line(R"re(^\s*(POPUP|MENUITEM)\s+"([^"]*)"(?:\s*,\s*(\w+))?)re");
    std::istringstream rc(SourceFile("resources/main_dialog.rc"));
    std::vector<string> popups;  // the submenus around the current line
    for (string text; std::getline(rc, text);) {
        std::smatch m;
        if (std::regex_match(text, std::regex(R"(\s*END\s*)")) && !popups.empty())
            popups.pop_back();
        if (!std::regex_search(text, m, line))
            continue;
        if (m[1] == "POPUP")
            popups.push_back(m[2]);
        else
            items.push_back({popups.empty() ? "" : popups.back(), m[2], ids.at(m[3])});
    }
    return items;
}

class CommandTableTest : public DialogTest {};

TEST_F(CommandTableTest, EveryColourItemPicksTheColourItNames)
{
    unsigned back = 0, text = 0;
    for (const MenuItem& item : MenuItems()) {
        bool isBack = item.popup == "Select &background color";
        bool isText = item.popup == "Select t&ext color";
        if (!isBack && !isText)
            continue;
        string name = std::regex_replace(item.text, std::regex(R"( \[default\]$)"), "");
        StartWith("[386Enh]\r\n");
        ColorSelection.SelectedBack = ColorSelection.SelectedText = "Black";
        EXPECT_TRUE(RunCommand(Window(), item.id)) << item.id;
        EXPECT_EQ(isBack ? ColorSelection.SelectedBack : ColorSelection.SelectedText, name) << item.id;
        EXPECT_EQ(isBack ? BackListSelection() : TextListSelection(), name) << item.id;
        EXPECT_EQ(Sounds(), "click.wav/1") << item.id;
        ++(isBack ? back : text);
    }
    EXPECT_EQ(back, 16u);
    EXPECT_EQ(text, 16u);
}

TEST_F(CommandTableTest, ButtonsAndMenuItemsReachTheirActions)
{
    const string ini = "[386Enh]\r\nMessageBackColor=4\r\n";
    struct Case {
        unsigned number;
        const char* sounds;
        bool writes, asks, ends;
    } cases[] = {
        {1006, "cancel.wav/1", false, false, false},
        {40011, "cancel.wav/1", false, false, false},
        {1007, "restore.wav/1", true, false, false},
        {40012, "restore.wav/1", true, false, false},
        {1008, "apply.wav/1", true, true, false},
        {40013, "apply.wav/1", true, false, false},
        {1010, "click.wav/0", false, false, true},
        {40033, "click.wav/0", false, false, true},
        {1005, "click.wav/1", false, false, false},   // test.exe cannot start here
        {40010, "click.wav/1", false, false, false},
        {40009, "", false, false, false},  // sounds off: silent
    };
    for (const Case& c : cases) {
        StartWith(ini);
        HostResetTestProgram();
        EXPECT_TRUE(RunCommand(Window(), c.number)) << c.number;
        EXPECT_EQ(Sounds(), c.sounds) << c.number;
        EXPECT_EQ(Old() != "<missing>", c.writes) << c.number;
        EXPECT_EQ(Dialog().questions.size(), c.asks ? 1u : 0u) << c.number;
        EXPECT_EQ(Dialog().ended.size(), c.ends ? 1u : 0u) << c.number;
    }
    EXPECT_EQ(Dialog().checks.size(), 1u);  // from 40009
    // The two full-screen commands tried to start test.exe.
    StartWith(ini);
    HostResetTestProgram();
    RunCommand(Window(), 1005);
    RunCommand(Window(), 40010);
    ASSERT_EQ(HostTestProgramState().calls.size(), 4u);
    EXPECT_EQ(HostTestProgramState().calls[1].rfind("start ", 0), 0u);
    EXPECT_EQ(HostTestProgramState().calls[3].rfind("start ", 0), 0u);
}

TEST_F(CommandTableTest, EverythingElseIsIgnored)
{
    std::vector<uintptr_t> ignored = {
        0, 1, 2,  // OK, and Cancel from Escape
        1011, 1012, 1003, 1004,
        (1u << 16) | 1003, (2u << 16) | 1003,  // list selection change, double click
        (0x300u << 16) | 1011,                 // an edit field's change
        (1u << 16) | 1006,                     // a button number with a code above it
        40000, 40056, 50000,
    };
    const std::vector<MenuItem> items = MenuItems();
    for (unsigned n = 40001; n <= 40055; ++n) {
        bool onMenu = false;
        for (const MenuItem& item : items)
            onMenu = onMenu || item.id == n;
        if (!onMenu && n != 40008)
            ignored.push_back(n);
    }
    EXPECT_EQ(ignored.size(), 14u + 13u);  // 40003-40007, 40014-40016, 40023, 40032, 40035, 40036, 40050
    StartWith("[386Enh]\r\nMessageBackColor=4\r\n");
    for (uintptr_t number : ignored) {
        EXPECT_FALSE(RunCommand(Window(), number)) << number;
    }
    EXPECT_EQ(Sounds(), "");
    EXPECT_TRUE(Dialog().ended.empty());
    EXPECT_TRUE(Dialog().questions.empty());
    EXPECT_STREQ(ColorSelection.SelectedBack, "Dark Red");
    EXPECT_EQ(Old(), "<missing>");
}
