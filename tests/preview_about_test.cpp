// The preview, the About box and the homepage on the stand-in dialog: what is
// drawn where and from which icons, which sounds go first, and what reaches
// the shell.
#include <gtest/gtest.h>

#include <string>

#include "core/selection.h"
#include "resources/resource.h"
#include "settings/marker_block.h"
#include "shell/about_box.h"
#include "shell/command_table.h"
#include "shell/preview.h"
#include "shell/sound_cues.h"
#include "tests/support/dialog_fixture.h"

class PreviewTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        LoadPreviewIcons();
    }
    HostShell& Shell() { return HostShellState(); }
    // The drawings so far as "x,y:under/over@sounds-before", joined by spaces.
    std::string Drawings()
    {
        std::string all;
        for (const HostDrawing& d : Shell().drawings)
            all += (all.empty() ? "" : " ") + std::to_string(d.x) + "," + std::to_string(d.y) + ":" +
                   std::to_string(d.under) + "/" + std::to_string(d.over) + "@" + std::to_string(d.soundsBefore);
        return all;
    }
};

TEST_F(PreviewTest, IconsAreLoadedByColourNumber)
{
    for (unsigned n = 0; n < ColorCount; ++n) {
        EXPECT_EQ(HostIconResource(BackIcons[n]), 107 + (int)n) << n;
        EXPECT_EQ(HostIconResource(TextIcons[n]), 124 + (int)n) << n;
    }
}

TEST_F(PreviewTest, RefreshSyncsFromTheListsThenSoundsThenDraws)
{
    for (unsigned command : {IDC_REFRESH, IDM_REFRESH}) {
        StartWith("[386Enh]\r\nMessageBackColor=4\r\nMessageTextColor=E\r\n");
        Dialog().selection[0] = 1;   // "Dark Blue" clicked in the background list
        Dialog().selection[1] = 14;  // "Yellow" in the text list
        EXPECT_TRUE(RunCommand(Window(), command));
        EXPECT_STREQ(ColorSelection.SelectedBack, "Dark Blue") << command;
        EXPECT_STREQ(ColorSelection.SelectedText, "Yellow") << command;
        EXPECT_EQ(Sounds(), "refresh.wav/1") << command;
        EXPECT_EQ(Drawings(), "258,195:108/138@1") << command;
    }
    SoundsEnabled = 0;
    HostResetShell();
    RunCommand(Window(), IDC_REFRESH);
    EXPECT_EQ(Drawings(), "258,195:108/138@1");  // drawn, with no new sound
    EXPECT_EQ(Sounds(), "refresh.wav/1");
}

TEST_F(PreviewTest, PaintDrawsTheSelectionAsItStandsWithoutASound)
{
    StartWith("[386Enh]\r\nMessageBackColor=4\r\nMessageTextColor=E\r\n");
    Dialog().selection[0] = 15;  // a list click alone is not part of the picture
    PaintPreview(Window());
    EXPECT_EQ(Drawings(), "258,195:111/138@0");
    EXPECT_EQ(Sounds(), "");

    // A colour menu pick changes the selection; the next paint shows it.
    RunCommand(Window(), IDM_BACK_RED);
    EXPECT_EQ(Drawings(), "258,195:111/138@0");
    PaintPreview(Window());
    EXPECT_EQ(Drawings(), "258,195:111/138@0 258,195:119/138@1");

    // Equal colours draw the same colour twice: the letter does not show.
    ColorSelection.SelectedBack = ColorSelection.SelectedText = "White";
    HostResetShell();
    RefreshPreview(Window());
    EXPECT_EQ(Drawings(), "258,195:122/139@2");
}

TEST_F(PreviewTest, AColourThatIsNoTableNameDrawsNothingOfItsPart)
{
    StartWith("[386Enh]\r\n");
    const char* notNames[] = {"white", "Blue [default]", "", "Dark Blue "};
    for (const char* name : notNames) {
        HostResetShell();
        ColorSelection.SelectedBack = name;
        ColorSelection.SelectedText = "Red";
        PaintPreview(Window());
        ColorSelection.SelectedBack = "Black";
        ColorSelection.SelectedText = name;
        PaintPreview(Window());
        EXPECT_EQ(Drawings(), "258,195:0/136@0 258,195:107/0@0") << '"' << name << '"';
    }
}

TEST_F(PreviewTest, AboutBoxOpensOverTheMainDialogAfterItsClicks)
{
    struct Case {
        unsigned command;
        const char* sounds;
    } cases[] = {
        {IDC_ABOUT, "click.wav/1"},
        {IDM_ABOUT, "click.wav/1 click.wav/1"},
        {IDM_ABOUT_HIDDEN, "click.wav/1 click.wav/1"},
    };
    for (const Case& c : cases) {
        for (int sounds = 1; sounds >= 0; --sounds) {
            StartWith("[386Enh]\r\n");
            SoundsEnabled = sounds;
            EXPECT_TRUE(RunCommand(Window(), c.command));
            ASSERT_EQ(Shell().aboutOwners.size(), 1u) << c.command;
            EXPECT_EQ(Shell().aboutOwners[0], Window()) << c.command;
            EXPECT_EQ(Sounds(), sounds ? c.sounds : "") << c.command;
            EXPECT_EQ(Shell().aboutSoundsBefore[0], Dialog().sounds.size()) << c.command;  // the box comes last
            EXPECT_TRUE(Dialog().ended.empty());
            EXPECT_TRUE(Shell().drawings.empty());
        }
    }
}

TEST_F(PreviewTest, HomepageOpensTheAddressInTheContactAddressDomain)
{
    StartWith("[386Enh]\r\n");
    EXPECT_TRUE(RunCommand(Window(), IDM_HOMEPAGE));
    ASSERT_EQ(Shell().addresses.size(), 1u);
    EXPECT_EQ(Shell().addresses[0], HomepageAddress);
    EXPECT_EQ(Sounds(), "click.wav/1");
    EXPECT_TRUE(Shell().aboutOwners.empty());

    std::string address = HomepageAddress;
    ASSERT_EQ(address.rfind("http://", 0), 0u);
    std::string host = address.substr(7);
    EXPECT_EQ(host, HOMEPAGE_HOST);  // what the About box shows
    std::string contact = MarkerBlockLine1;
    std::string domain = contact.substr(contact.find('@') + 1);
    domain = domain.substr(0, domain.find(')'));
    EXPECT_EQ(domain, "hueline.org");
    EXPECT_EQ(host.substr(host.size() - domain.size() - 1), "." + domain);

    // ShellExecuteA's result: above 32 it opened, and 28-30 (a browser that
    // failed its DDE conversation yet shows the page) are not told; below 32
    // the address and the cause are.
    std::vector<std::string> told;
    for (const auto& result : {std::make_pair(33u, ""), std::make_pair(28u, ""), std::make_pair(30u, ""),
                               std::make_pair(2u, "No web browser is set up to open it."),
                               std::make_pair(31u, "No web browser is set up to open it."),
                               std::make_pair(0u, "There is not enough memory."),
                               std::make_pair(27u, "Windows gave error 0x1B."),
                               std::make_pair(32u, "Windows gave error 0x20.")}) {
        Shell().openResult = result.first;
        RunCommand(Window(), IDM_HOMEPAGE);
        if (*result.second)
            told.push_back(std::string("Hueline|The homepage ") + HomepageAddress + " could not be opened. " +
                           result.second);
        EXPECT_EQ(Dialog().failures, told) << result.first;
    }
}
