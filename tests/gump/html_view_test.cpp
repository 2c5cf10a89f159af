// The HTML view: editing keys, the placeholder, links (web, messenger,
// anchors, and the flags that stop them), scrolling, moving and resizing.
#include "gump_test_support.h"

#include "data/settings_services.h"
#include "data/targeting.h"
#include "gump/entry_core.h"
#include "gump/html_view.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using gump_test::Desktop;
using gump_test::PageGump;
using namespace GumpKey;

// Plain text, no frame, no scroll bar: characters are 6 pixels wide from x 0.
constexpr uint32_t kPlainEditor = HtmlViewFlag::kNoLinks | HtmlViewFlag::kNoFrame | HtmlViewFlag::kNoScrollBar;

class ViewWindow : public PageGump {
public:
    ViewWindow()
        : PageGump(40, 40, 400, 300, 0x0001)
    {
    }
    void onTab() override { ++tabs; }
    void onCommand(int32_t id) override { commands.push_back(id); }
    void onLeftDown(int32_t, int32_t) override { ++presses; }
    void onLeftUp(int32_t, int32_t) override { ++releases; }
    int32_t tabs = 0;
    int32_t presses = 0;
    int32_t releases = 0;
    std::vector<int32_t> commands;
};

class RecordingMessenger final : public HtmlViewMessenger {
public:
    void sendMessengerCommand(int32_t command, const std::u16string& text) override { sent.emplace_back(command, text); }
    uint32_t gmCurrentPlayerSerial() override { return 0; }
    void showGmPlayerMenu(int32_t, int32_t) override { ++menus; }
    std::vector<std::pair<int32_t, std::u16string>> sent;
    int32_t menus = 0;
};

class RecordingDisplay final : public DisplaySettingsService {
public:
    void setDisplayMode(bool on) override { fullScreen = on; }
    bool isFullScreen() override { return fullScreen; }
    void setGameWindowSize(int32_t, int32_t) override { }
    void setFullScreenRes(std::string_view) override { }
    void setShadedFonts(bool) override { }
    void setUse565(bool) override { }
    void setCensoredBloodColour(uint16_t) override { }
    void setEditServerMode(bool) override { }
    bool fullScreen = true;
};

class Views : public Desktop {
protected:
    Views()
    {
        for (int32_t i = 0; i < 9; ++i)
            art.add(3000 + i, fixture::solidPicture(i == 4 ? 4 : 6, i == 4 ? 4 : 6, uint16_t(0x0100 + i)));
        for (int32_t i = 0; i < 4; ++i)
            art.add(250 + i, fixture::solidPicture(10, 8, uint16_t(0x1000 + i)));
        art.add(256, fixture::solidPicture(10, 4, 0x0421));
        art.install();
        window = new ViewWindow;
        gumpLink(window, nullptr);
        htmlCutBuffer().clear();
        previousOpener = installUrlOpener([this](const std::string& url) {
            opened.push_back(url);
            return true;
        });
    }
    ~Views() override { installUrlOpener(previousOpener); }

    HtmlView* editor(const std::u16string& text, uint32_t extraFlags = 0)
    {
        auto* view = new HtmlView(window, 5, kPlainEditor | extraFlags, false, true);
        view->setRect(10, 10, 200, 100);
        view->setText(text, 0x7FFF);
        view->placeholderPending = false;
        return view;
    }

    ViewWindow* window;
    std::vector<std::string> opened;
    UrlOpener previousOpener;
};

struct EditCase {
    const char* name;
    uint32_t flags = 0;
    std::u16string text {};
    int32_t selStart = 0;
    int32_t selEnd = 0;
    // A key with `shift` held (Shift alone) or not.
    std::vector<std::pair<uint32_t, bool>> keys {};
    std::u16string expectedText {};
    int32_t expectedStart = 0;
    int32_t expectedEnd = 0;
};

class EditingKeys : public Views, public testing::WithParamInterface<EditCase> { };

TEST_P(EditingKeys, ChangeTextAndSelection)
{
    const EditCase& c = GetParam();
    HtmlView* view = editor(c.text, c.flags);
    view->setSelection(c.selStart, c.selEnd);
    for (const auto& [key, shift] : c.keys) {
        pointer.shift = shift;
        view->onKey(key);
    }
    pointer.shift = false;
    EXPECT_EQ(view->text(), c.expectedText);
    EXPECT_EQ(view->selStart(), c.expectedStart);
    EXPECT_EQ(view->selEnd(), c.expectedEnd);
}

std::vector<std::pair<uint32_t, bool>> typed(const std::u16string& text)
{
    std::vector<std::pair<uint32_t, bool>> keys;
    for (char16_t c : text)
        keys.emplace_back(c, false);
    return keys;
}

const EditCase kEditCases[] = {
    // A private-use character (from the clipboard) is a character, never the
    // Home key.
    { .name = "PrivateUseCharacterIsNoKey", .text = u"ab", .selStart = 2, .selEnd = 2, .keys = typed(u"\uE024"),
        .expectedText = u"ab", .expectedStart = 2, .expectedEnd = 2 },
    { .name = "TypeAtTheCaret", .text = u"ac", .selStart = 1, .selEnd = 1, .keys = typed(u"b"), .expectedText = u"abc",
        .expectedStart = 2, .expectedEnd = 2 },
    { .name = "TypingReplacesTheSelection", .text = u"abcd", .selStart = 1, .selEnd = 3, .keys = typed(u"x"),
        .expectedText = u"axd", .expectedStart = 2, .expectedEnd = 2 },
    // Shift+Delete cuts, Shift+Insert pastes: the text moves.
    { .name = "CutAndPasteMovesText", .text = u"hello world", .selStart = 6, .selEnd = 0,
        .keys = { { kDelete, true }, { kEnd, false }, { kInsert, true } }, .expectedText = u"worldhello ",
        .expectedStart = 11, .expectedEnd = 11 },
    { .name = "PasteOfNothing", .text = u"abc", .selStart = 1, .selEnd = 1, .keys = { { kInsert, true } },
        .expectedText = u"abc", .expectedStart = 1, .expectedEnd = 1 },
    { .name = "InsertWithoutShiftDoesNothing", .text = u"abc", .selStart = 0, .selEnd = 2,
        .keys = { { kDelete, true }, { kInsert, false } }, .expectedText = u"c", .expectedStart = 0, .expectedEnd = 0 },
    { .name = "DeleteWithoutShiftDoesNotCut", .text = u"abc", .selStart = 0, .selEnd = 2,
        .keys = { { kDelete, false }, { kInsert, true } }, .expectedText = u"c", .expectedStart = 0, .expectedEnd = 0 },
    { .name = "BackspaceAtTheStart", .text = u"abc", .selStart = 0, .selEnd = 0, .keys = { { kBackspace, false } },
        .expectedText = u"abc", .expectedStart = 0, .expectedEnd = 0 },
    { .name = "BackspaceBeforeTheCaret", .text = u"abc", .selStart = 2, .selEnd = 2, .keys = { { kBackspace, false } },
        .expectedText = u"ac", .expectedStart = 1, .expectedEnd = 1 },
    { .name = "DeleteAtTheEnd", .text = u"abc", .selStart = 3, .selEnd = 3, .keys = { { kDelete, false } },
        .expectedText = u"abc", .expectedStart = 3, .expectedEnd = 3 },
    // Flag 0x1: refused once the text holds more than 100 characters.
    { .name = "SmallEntryTakesItsHundredAndFirst", .flags = 0x1, .text = std::u16string(100, u'a'), .selStart = 100,
        .selEnd = 100, .keys = typed(u"bc"), .expectedText = std::u16string(100, u'a') + u"b", .expectedStart = 101,
        .expectedEnd = 101 },
    { .name = "SmallEntryIgnoresEnterUpAndDown", .flags = 0x1, .text = u"ab", .selStart = 1, .selEnd = 1,
        .keys = { { kEnter, false }, { kUp, false }, { kDown, false } }, .expectedText = u"ab", .expectedStart = 1,
        .expectedEnd = 1 },
    { .name = "EnterInsertsALineFeed", .text = u"ab", .selStart = 1, .selEnd = 1, .keys = { { kEnter, false } },
        .expectedText = u"a\nb", .expectedStart = 2, .expectedEnd = 2 },
    { .name = "TabInsertsFourBlanks", .text = u"ab", .selStart = 0, .selEnd = 2, .keys = { { kTab, false } },
        .expectedText = u"    ", .expectedStart = 4, .expectedEnd = 4 },
    { .name = "ReadOnlyTakesNothing", .flags = HtmlViewFlag::kReadOnly, .text = u"ab", .selStart = 1, .selEnd = 1,
        .keys = { { 'x', false }, { kBackspace, false }, { kDelete, false }, { kTab, false }, { kLeft, false } },
        .expectedText = u"ab", .expectedStart = 1, .expectedEnd = 1 },
    { .name = "ShiftExtendsTheSelection", .text = u"abcd", .selStart = 1, .selEnd = 1,
        .keys = { { kRight, true }, { kRight, true }, { kLeft, true } }, .expectedText = u"abcd", .expectedStart = 1,
        .expectedEnd = 2 },
    { .name = "ArrowsCollapseTheSelection", .text = u"abcd", .selStart = 1, .selEnd = 3, .keys = { { kRight, false } },
        .expectedText = u"abcd", .expectedStart = 2, .expectedEnd = 2 },
    { .name = "HomeAndShiftEnd", .text = u"abcd", .selStart = 2, .selEnd = 2, .keys = { { kHome, false }, { kEnd, true } },
        .expectedText = u"abcd", .expectedStart = 0, .expectedEnd = 4 },
    { .name = "DownMovesALine", .text = u"ab\ncd", .selStart = 1, .selEnd = 1, .keys = { { kDown, false } },
        .expectedText = u"ab\ncd", .expectedStart = 4, .expectedEnd = 4 },
    { .name = "UpFromTheFirstLineCollapses", .text = u"ab\ncd", .selStart = 1, .selEnd = 2, .keys = { { kUp, false } },
        .expectedText = u"ab\ncd", .expectedStart = 1, .expectedEnd = 1 },
    { .name = "NavigationNeedsACaret", .text = u"ab", .selStart = -1, .selEnd = -1, .keys = { { kEnd, false } },
        .expectedText = u"ab", .expectedStart = -1, .expectedEnd = -1 },
    { .name = "EscapeClearsTheSelection", .text = u"ab", .selStart = 0, .selEnd = 1, .keys = { { kEscape, false } },
        .expectedText = u"ab", .expectedStart = -1, .expectedEnd = -1 },
    { .name = "GlyphlessCharactersRefused", .text = u"ab", .selStart = 2, .selEnd = 2,
        .keys = { { 0x4E00, false }, { 0x10000, false }, { 1, false } }, .expectedText = u"ab", .expectedStart = 2,
        .expectedEnd = 2 },
};

INSTANTIATE_TEST_SUITE_P(Keys, EditingKeys, testing::ValuesIn(kEditCases),
    [](const testing::TestParamInfo<EditCase>& test) { return std::string(test.param.name); });

TEST_F(Views, ShiftWithCtrlIsNoShift)
{
    HtmlView* view = editor(u"abc");
    view->setSelection(0, 2);
    pointer.shift = true;
    pointer.control = true;
    view->onKey(kDelete);
    EXPECT_EQ(view->text(), u"c");
    EXPECT_TRUE(htmlCutBuffer().empty()) << "Ctrl+Shift+Delete deletes without cutting";
}

TEST_F(Views, TabGoesToTheParentWhenAsked)
{
    auto* view = new HtmlView(window, 5, kPlainEditor, true, true);
    view->setRect(0, 0, 100, 50);
    view->setText(u"ab", 0x7FFF);
    view->setSelection(1, 1);
    view->onKey(kTab);
    EXPECT_EQ(window->tabs, 1);
    EXPECT_EQ(view->text(), u"ab");
}

TEST_F(Views, TheFirstClickClearsThePlaceholder)
{
    auto* view = new HtmlView(window, 5, kPlainEditor, false, true);
    view->setRect(10, 10, 200, 100);
    view->setText(u"Type your message here", 0x7FFF);
    ASSERT_TRUE(view->placeholderPending);
    view->onLeftDown(100, 5);
    EXPECT_EQ(view->text(), u"");
    EXPECT_EQ(view->selStart(), 0);
    EXPECT_EQ(gumpFocus(), view);
    EXPECT_EQ(window->presses, 1) << "the press goes on to the parent";
    view->onKey('x');
    EXPECT_EQ(view->text(), u"x");
    view->onLeftDown(0, 5);
    EXPECT_EQ(view->text(), u"x") << "only the first click clears";
}

TEST_F(Views, AClickPlacesTheCaretAndADragSelects)
{
    HtmlView* view = editor(u"abcdef");
    view->onLeftDown(13, 5);
    EXPECT_EQ(view->selStart(), 2);
    view->onDrag(31, 5);
    EXPECT_EQ(view->selStart(), 2);
    EXPECT_EQ(view->selEnd(), 5);
}

TEST_F(Views, AClickCommandReachesTheParent)
{
    HtmlView* view = editor(u"row", HtmlViewFlag::kClickCommand | HtmlViewFlag::kReadOnly);
    view->onLeftDown(3, 3);
    EXPECT_EQ(window->commands, std::vector<int32_t> { 5 });
}

class Links : public Views {
protected:
    HtmlView* linkView(uint32_t flags)
    {
        auto* view = new HtmlView(window, 1, flags | HtmlViewFlag::kNoFrame | HtmlViewFlag::kNoScrollBar, false, true);
        view->setRect(0, 0, 300, 60);
        view->setText(u"<A HREF=\"http://example.net/\">web</A> <A INT HREF=\"chat\">msg</A> <A HREF=\"javascript:alert(1)\">f</A>",
            0x7FFF);
        return view;
    }
    RecordingMessenger messenger;
    ScopedService<HtmlViewMessenger> scopedMessenger { messenger };
};

TEST_F(Links, AWebLinkLeavesFullScreenAndOpensInTheBrowser)
{
    RecordingDisplay display;
    DisplaySettingsService* previous = installDisplaySettings(&display);
    HtmlView* view = linkView(HtmlViewFlag::kReadOnly);
    view->onLeftDown(2, 2);
    view->onLeftUp(2, 2);
    EXPECT_EQ(opened, std::vector<std::string> { "http://example.net/" });
    EXPECT_FALSE(display.fullScreen);
    EXPECT_EQ(window->releases, 1);
    installDisplaySettings(previous);
}

TEST_F(Links, AMessengerLinkGoesToTheMessenger)
{
    HtmlView* view = linkView(HtmlViewFlag::kReadOnly);
    // "web " is 3 x 6 + 8 = 26 pixels: "msg" starts there.
    view->onLeftUp(28, 2);
    ASSERT_EQ(messenger.sent.size(), 1u);
    EXPECT_EQ(messenger.sent[0].first, 1);
    EXPECT_EQ(messenger.sent[0].second, u"chat");
    EXPECT_TRUE(opened.empty());
}

// A link the browser will not be given leaves the player in full screen.
TEST_F(Links, OnlyWebLinksReachTheBrowser)
{
    RecordingDisplay display;
    DisplaySettingsService* previous = installDisplaySettings(&display);
    HtmlView* view = linkView(HtmlViewFlag::kReadOnly);
    // "web msg " is 26 + 18 + 8 = 52.
    view->onLeftDown(53, 2);
    view->onLeftUp(53, 2);
    EXPECT_TRUE(opened.empty());
    EXPECT_TRUE(display.fullScreen);
    installDisplaySettings(previous);
}

TEST_F(Links, FlagsStopLinks)
{
    for (uint32_t flag : { HtmlViewFlag::kNoLinks, HtmlViewFlag::kNoLinksToo }) {
        HtmlView* view = linkView(HtmlViewFlag::kReadOnly | flag);
        view->onLeftDown(2, 2);
        view->onLeftUp(2, 2);
        closeGump(view);
    }
    EXPECT_TRUE(opened.empty());
}

TEST_F(Links, AnAnchorScrollsToItsTarget)
{
    auto* view = new HtmlView(window, 1, HtmlViewFlag::kReadOnly | HtmlViewFlag::kNoFrame, false, true);
    view->setRect(0, 0, 200, 40);
    std::u16string markup = u"<A HREF=\"#end\">jump</A>";
    for (int i = 0; i < 10; ++i)
        markup += u"<BR>line";
    markup += u"<BR><A NAME=\"end\">end</A>";
    view->setText(markup, 0x7FFF);
    ASSERT_GT(view->contentHeight(), 100);
    view->onLeftUp(2, 2);
    EXPECT_EQ(view->scrollPos(), std::min(11 * 18, view->contentHeight()));
}

TEST_F(Views, ScrollStepsStopAtTheContentHeight)
{
    auto* view = new HtmlView(window, 1, HtmlViewFlag::kReadOnly | HtmlViewFlag::kNoFrame, false, true);
    view->setRect(0, 0, 200, 40);
    std::u16string markup;
    for (int i = 0; i < 20; ++i)
        markup += u"line<BR>";
    view->setText(markup, 0x7FFF);
    const int32_t content = view->contentHeight();
    view->scrollTo(content - 5, content, nullptr);
    EXPECT_EQ(view->scrollPos(), content - 5);
    view->scrollStep(1, nullptr);
    EXPECT_EQ(view->scrollPos(), content);
    view->scrollStep(0, nullptr);
    EXPECT_EQ(view->scrollPos(), content - 18);
    view->scrollTo(5, 0, nullptr);
    EXPECT_EQ(view->scrollPos(), content - 18) << "a range of 0 is no position";
    ASSERT_NE(view->scrollBar(), nullptr);
    EXPECT_EQ(view->scrollBar()->parts().thumb()->position() > 0, true);
}

TEST_F(Views, WithoutAScrollBarTheTextUsesTheFullWidth)
{
    auto* framed = new HtmlView(window, 1, 0, false, true);
    framed->setRect(0, 0, 100, 60);
    EXPECT_EQ(framed->textRect(), (TextClip { 10, 10, 100 - 10 - 10, 50 })) << "frame 3500 is 10 wide; the arrow 10";
    auto* plain = new HtmlView(window, 1, HtmlViewFlag::kNoScrollBar, false, true);
    plain->setRect(0, 0, 100, 60);
    EXPECT_EQ(plain->textRect(), (TextClip { 10, 10, 90, 50 }));
    auto* small = new HtmlView(window, 1, HtmlViewFlag::kSmallEntry | HtmlViewFlag::kNoScrollBar, false, true);
    small->setRect(0, 0, 100, 60);
    EXPECT_EQ(small->textRect(), (TextClip { 6, 6, 94, 54 })) << "frame 3000 is 6 wide";
}

TEST_F(Views, ShiftResizeKeepsThePlaceAndRefusesBelowThirty)
{
    HtmlView* view = editor(u"text");
    view->resizable = true;
    pointer.shift = true;
    view->onLeftDown(190, 90);
    view->onDrag(170, 95);
    EXPECT_EQ(view->x(), 10) << "the view stays where it is";
    EXPECT_EQ(view->y(), 10);
    EXPECT_EQ(view->width(), 180);
    EXPECT_EQ(view->height(), 105);
    EXPECT_EQ(htmlViewGeometry().width, 180);
    view->onDrag(0, 95);
    EXPECT_EQ(view->width(), 180) << "below 30 pixels nothing changes";
    view->onDrag(170, 0);
    EXPECT_EQ(view->height(), 105);
    // Shift let go: the drag moves the view instead.
    pointer.shift = false;
    view->onDrag(180, 105);
    EXPECT_EQ(view->x(), 20);
    EXPECT_EQ(view->y(), 20);
    view->onLeftUp(180, 105);
    EXPECT_EQ(htmlViewGeometry().x, 40 + 20);
    EXPECT_EQ(htmlViewGeometry().y, 40 + 20);
}

TEST_F(Views, TheGmMenuOpensOnARightPress)
{
    RecordingMessenger messenger;
    ScopedService<HtmlViewMessenger> scoped(messenger);
    HtmlView* view = editor(u"x");
    view->onRightDown(1, 1);
    EXPECT_EQ(messenger.menus, 0);
    view->gmMenu = true;
    view->onRightDown(1, 1);
    EXPECT_EQ(messenger.menus, 1);
}

} // namespace
