// The Context Help window as the player and the server work it: F1's
// opening, the help links of HTML views, the Back, Index, Recent and Search
// buttons, the right click and the server's help control.

#include "gump/gump_manager.h"
#include "gump/html_view.h"
#include "gump/unicode_input_control.h"
#include "messenger/context_help_window.h"
#include "messenger/help_index.h"
#include "messenger/messenger_links.h"
#include "protocol/world_packet_windows.h"
#include "fixtures/language_files.h"
#include "support/messenger_desktop.h"
#include "text/cliloc_table.h"
#include "text/html_document.h"

#include <gtest/gtest.h>

namespace {

class ContextHelpWindowTest : public test::MessengerDesktop {
protected:
    void SetUp() override
    {
        test::MessengerDesktop::SetUp();
        const std::string image = fixture::clilocImage({ { 1001, "Walking" }, { 1011, "Fishing" }, { 1021, "Secrets" },
            { 1022, "hidden" }, { 1023, "Not in the index." }, { 3010011, "No topics found." } });
        auto table = std::make_unique<ClilocTable>();
        table->loadBytes(reinterpret_cast<const uint8_t*>(image.data()), image.size());
        setClilocTable(std::move(table));
        resetHelp();
        parseHelpIndex("1\t1001\t1002\t1003\t2\n2\t1011\t1012\t1013\n@3\t1021\t1022\t1023\n");
        pushHelpPage(HelpPageKind::kIndex, 0, u"");
        helpButtonHighlighted() = false;
    }
    void TearDown() override
    {
        if (ContextHelpGump* window = contextHelpWindow())
            closeGump(window);
        resetHelp();
        setClilocTable(nullptr);
        test::MessengerDesktop::TearDown();
    }
    // The texts and link targets of a document: what the view shows of a page.
    static std::u16string summary(const HtmlDocument* document)
    {
        std::u16string text;
        for (const HtmlRun& run : document->runs())
            text += run.text + u"|";
        for (const HtmlLink& link : document->links())
            text += link.href + u"|";
        return text;
    }
    static std::u16string shownText()
    {
        ContextHelpGump* window = contextHelpWindow();
        if (!window || !window->view() || !window->view()->document())
            return u"<closed>";
        return summary(window->view()->document());
    }
    static std::u16string page(const std::u16string& html)
    {
        HtmlDocument document(html, contextHelpWindow()->view()->flags(), 0);
        return summary(&document);
    }
    void clickButton(int32_t command)
    {
        CGump* button = contextHelpWindow()->button(command);
        ASSERT_TRUE(button && button->isVisible());
        int32_t x = button->width() / 2;
        int32_t y = button->height() / 2;
        button->localToScreen(x, y);
        click(x, y);
    }
    MessengerServices m_services;
};

TEST_F(ContextHelpWindowTest, F1OpensTheNewestPageOnceAndLinksLeadOn)
{
    openOrRaiseContextHelp();
    ContextHelpGump* window = contextHelpWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->x(), (gumpScreen().width - kContextHelpWidth) / 2);
    EXPECT_EQ(shownText(), page(buildHelpIndexPage()));
    ASSERT_NE(window->view()->document(), nullptr);
    EXPECT_EQ(window->view()->document()->linkColour, 31);
    openOrRaiseContextHelp();
    EXPECT_EQ(contextHelpWindow(), window);

    HtmlHelpLinks& links = service<HtmlHelpLinks>();
    EXPECT_TRUE(links.passToContextHelp(u"?RelatedTopics1"));
    EXPECT_EQ(shownText(), page(buildRelatedTopicsPage(1)));
    links.passToContextHelp(u"?0");
    EXPECT_EQ(shownText(), page(buildRelatedTopicsPage(1)));
    links.passToContextHelp(u"?-3");
    EXPECT_EQ(helpState().history.front().value, -3);
    EXPECT_EQ(shownText(), page(u""));
    links.passToContextHelp(u"?index");
    EXPECT_EQ(shownText(), page(buildHelpIndexPage()));
    links.openHelpTopic(2, false);
    EXPECT_EQ(shownText(), page(buildHelpTopicPage(2)));
}

TEST_F(ContextHelpWindowTest, ATopicForAClosedWindowHighlightsTheButtonUntilF1)
{
    service<HtmlHelpLinks>().openHelpTopic(2, false);
    EXPECT_EQ(contextHelpWindow(), nullptr);
    EXPECT_TRUE(helpButtonHighlighted());
    openOrRaiseContextHelp();
    EXPECT_FALSE(helpButtonHighlighted());
    EXPECT_EQ(shownText(), page(buildHelpTopicPage(2)));
    EXPECT_FALSE(service<HtmlHelpLinks>().passToContextHelp(u"?Index") && contextHelpWindow() == nullptr);
}

TEST_F(ContextHelpWindowTest, ButtonsGoBackListRecentsAndSearch)
{
    openHelpTopic(1, true);
    openHelpTopic(2, true);
    clickButton(ContextHelpCommand::kBack);
    EXPECT_EQ(shownText(), page(buildHelpTopicPage(1)));
    clickButton(ContextHelpCommand::kRecent);
    EXPECT_EQ(shownText(), page(buildRecentTopicsPage()));
    clickButton(ContextHelpCommand::kIndex);
    EXPECT_EQ(shownText(), page(buildHelpIndexPage()));

    clickButton(ContextHelpCommand::kSearch);
    UnicodeInputControl* entry = contextHelpWindow()->searchEntry();
    ASSERT_NE(entry, nullptr);
    EXPECT_FALSE(contextHelpWindow()->button(ContextHelpCommand::kBack)->isVisible());
    ASSERT_EQ(gumpFocus(), entry);
    for (char16_t c : std::u16string_view(u"hidden"))
        gumpFocus()->onKey(c);
    clickButton(ContextHelpCommand::kSearch);
    EXPECT_EQ(helpState().results, std::vector<int32_t>({ 3 }));
    EXPECT_EQ(shownText(), page(buildSearchResultsPage()));
    EXPECT_EQ(contextHelpWindow()->searchEntry(), nullptr);
    EXPECT_TRUE(contextHelpWindow()->button(ContextHelpCommand::kBack)->isVisible());

    // An empty search records an empty query and shows an empty page.
    clickButton(ContextHelpCommand::kSearch);
    clickButton(ContextHelpCommand::kSearch);
    EXPECT_EQ(helpState().history.front().kind, HelpPageKind::kSearch);
    EXPECT_EQ(shownText(), page(u""));
}

TEST_F(ContextHelpWindowTest, TheServerPlacesFixesAndKeepsTheWindow)
{
    GeneralInfoWindows& server = service<GeneralInfoWindows>();
    server.helpControl(1, 2, 1);
    ContextHelpGump* window = contextHelpWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(shownText(), page(buildHelpTopicPage(2)));
    server.helpControl(3, 0, 9);
    EXPECT_EQ(window->x(), gumpScreen().width - kContextHelpWidth);
    EXPECT_EQ(window->y(), gumpScreen().height - kContextHelpHeight);
    server.helpControl(3, 0, 0); // no keypad place: stays
    EXPECT_EQ(window->x(), gumpScreen().width - kContextHelpWidth);

    server.helpControl(4, 0, 1);
    pressLeft(window->x() + 5, window->y() + 5);
    pointAt(window->x() - 40, window->y() - 40);
    releaseLeft(window->x() - 40, window->y() - 40);
    EXPECT_EQ(window->x(), gumpScreen().width - kContextHelpWidth);

    server.helpControl(5, 0, 1);
    pressRight(window->x() + 5, window->y() + 5);
    releaseRight(window->x() + 5, window->y() + 5);
    ASSERT_EQ(contextHelpWindow(), window);
    server.helpControl(5, 0, 0);
    pressRight(window->x() + 5, window->y() + 5);
    releaseRight(window->x() + 5, window->y() + 5);
    EXPECT_EQ(contextHelpWindow(), nullptr);
}

TEST(ContextHelpLayout, ButtonArtAndKeypadPlaces)
{
    const ContextHelpButtonLayout wide = contextHelpButtonLayout(88, 60);
    EXPECT_EQ(wide.art, 2443);
    const ContextHelpButtonLayout narrow = contextHelpButtonLayout(60, 50);
    EXPECT_EQ(narrow.art, 2445);
    EXPECT_EQ(narrow.spacing, 25);
    EXPECT_EQ(42 + 3 * (narrow.width + narrow.spacing), 297);
    int32_t x = -1;
    int32_t y = -1;
    ASSERT_TRUE(contextHelpKeypadPlace(5, 800, 600, x, y));
    EXPECT_EQ(x, 200);
    EXPECT_EQ(y, 150);
    EXPECT_FALSE(contextHelpKeypadPlace(10, 800, 600, x, y));
    EXPECT_EQ(x, 200);
}

} // namespace
