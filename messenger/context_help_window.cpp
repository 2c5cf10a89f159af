#include "messenger/context_help_window.h"

#include "gfx/gump_art.h"
#include "gump/button.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/gump_services.h"
#include "gump/html_view.h"
#include "gump/unicode_input_control.h"
#include "messenger/help_index.h"
#include "text/cliloc_table.h"
#include "text/unicode_font.h"

namespace {

constexpr int32_t kHelpFrameArt = 2600;
constexpr int32_t kWideButtonArt = 2445;
constexpr int32_t kNarrowButtonArt = 2443;
constexpr int32_t kSearchEntryArt = 3507;
constexpr int32_t kHelpTitleText = 3010000;
constexpr int32_t kFirstButtonLabel = 3010002;
constexpr int32_t kHelpTextHue = 902;
constexpr uint16_t kHelpLinkColour = 31;
constexpr int32_t kButtonRow = 260;
constexpr int32_t kSearchMaxLength = 80;

ContextHelpGump*& contextHelpSlot()
{
    static ContextHelpGump* window = nullptr;
    return window;
}

void keepOnScreenAndRaise(ContextHelpGump& window)
{
    window.clampToScreen();
    window.bringToFront(false);
}

} // namespace

ContextHelpButtonLayout contextHelpButtonLayout(int32_t wideArtWidth, int32_t narrowArtWidth)
{
    const bool narrow = 4 * wideArtWidth + 84 >= kContextHelpWidth;
    const int32_t width = narrow ? narrowArtWidth : wideArtWidth;
    return { narrow ? kNarrowButtonArt : kWideButtonArt, width, (79 - width) * 4 / 3 };
}

ContextHelpGump::ContextHelpGump()
    : CGump((gumpScreen().width - kContextHelpWidth) / 2, (gumpScreen().height - kContextHelpHeight) / 2, nullptr,
          2, kContextHelpWidth, kContextHelpHeight)
{
    setTypeName("Context Help");
    addKind(GumpKind::ContextHelp);
    page(0)->allocate(kContextHelpWidth, kContextHelpHeight);
    page(1)->allocate(kContextHelpWidth, kContextHelpHeight);
    drawNinePatchRecord(0, 0, kContextHelpWidth, kContextHelpHeight, kHelpFrameArt, *page(0), true);
    drawTitle();

    auto* view = new HtmlView(this, 0, HtmlViewFlag::kFrame3000 | HtmlViewFlag::kReadOnly, false, true);
    view->placeholderPending = false;
    view->setRect(20, 42, 362, 216);
    view->setText(u" ", 0);
    m_view = GumpHandle(view);

    const ContextHelpButtonLayout layout
        = contextHelpButtonLayout(gumpArtSize(kWideButtonArt).width, gumpArtSize(kNarrowButtonArt).width);
    static constexpr GumpCallback kCallbacks[4] = { onParent<&ContextHelpGump::onBackButton>,
        onParent<&ContextHelpGump::onIndexButton>, onParent<&ContextHelpGump::onRecentButton>,
        onParent<&ContextHelpGump::onSearchButton> };
    for (int32_t i = 0; i < 4; ++i) {
        auto* button = new LabelButton(42 + i * (layout.width + layout.spacing), kButtonRow,
            ButtonBehaviour::ClickOnRelease, 0, kCallbacks[i], layout.art, layout.art, false);
        button->setHoverArt(layout.art);
        button->setTextById(kFirstButtonLabel + i);
        gumpLink(button, this);
        m_buttons[i] = GumpHandle(button);
    }
    m_searchX = 3 * (layout.width + layout.spacing) + 38 - gumpArtSize(kSearchEntryArt).width;
    gumpLink(this, nullptr);
    helpButtonHighlighted() = false;
    contextHelpSlot() = this;
}

ContextHelpGump::~ContextHelpGump()
{
    if (contextHelpSlot() == this)
        contextHelpSlot() = nullptr;
}

void ContextHelpGump::drawTitle()
{
    WString title;
    getClilocString(title, kHelpTitleText, 0);
    if (title.isNull())
        return;
    GumpPage& face = *page(0);
    pushUnicodeStyle(0);
    drawUnicodeTextWrapped(face.surface(), kContextHelpWidth, title.c_str(), 0, 20, kHelpTextHue,
        TextClip { 0, 20, kContextHelpWidth, 40 }, true);
    popUnicodeStyle();
}

HtmlView* ContextHelpGump::view() const { return static_cast<HtmlView*>(m_view.get()); }

UnicodeInputControl* ContextHelpGump::searchEntry() const
{
    return static_cast<UnicodeInputControl*>(m_searchEntry.get());
}

void ContextHelpGump::setHtml(std::u16string_view html)
{
    HtmlView* shown = view();
    if (!shown)
        return;
    shown->setText(html, 0);
    if (HtmlDocument* document = shown->document())
        document->linkColour = kHelpLinkColour;
    shown->layout();
}

void ContextHelpGump::onLink(std::u16string_view href)
{
    if (href.empty() || href[0] != u'?')
        return;
    const std::u16string_view rest = href.substr(1);
    auto startsWithWord = [&](std::u16string_view word) {
        if (rest.size() < word.size())
            return false;
        for (size_t i = 0; i < word.size(); ++i) {
            char16_t c = rest[i];
            if (c >= u'A' && c <= u'Z')
                c = char16_t(c - u'A' + u'a');
            if (c != word[i])
                return false;
        }
        return true;
    };
    if (startsWithWord(u"relatedtopics")) {
        pushHelpPage(HelpPageKind::kRelated, helpLinkNumber(rest.substr(13)), u"");
    } else if (startsWithWord(u"index")) {
        pushHelpPage(HelpPageKind::kIndex, 0, u"");
    } else {
        const int32_t topic = helpLinkNumber(rest);
        if (topic == 0)
            return;
        pushHelpPage(HelpPageKind::kTopic, topic, u"");
    }
    setHtml(renderCurrentHelpPage());
}

void ContextHelpGump::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    drawOwnBuffer(canvas);
    drawChildren(canvas);
}

// The frame covers the whole window, whatever the art holds.
bool ContextHelpGump::containsPoint(int32_t x, int32_t y)
{
    return x >= 0 && y >= 0 && x < width() && y < height();
}

void ContextHelpGump::onLeftDown(int32_t x, int32_t y)
{
    setDragAnchor(x, y);
    m_pressed = true;
    bringToFront(false);
}

void ContextHelpGump::onLeftUp(int32_t, int32_t)
{
    m_pressed = false;
    service<GumpPointer>().setPointerCapture(nullptr);
}

void ContextHelpGump::onRightUp(int32_t, int32_t)
{
    service<GumpPointer>().setPointerCapture(nullptr);
    if (!keptOnRightClick)
        closeGump(this);
}

void ContextHelpGump::onDrag(int32_t x, int32_t y)
{
    if (m_pressed && movable)
        moveBy(x - dragAnchorX(), y - dragAnchorY(), true, nullptr, true);
}

void ContextHelpGump::onEnter() { onCommand(ContextHelpCommand::kSearch); }

void ContextHelpGump::onCommand(int32_t command)
{
    switch (command) {
    case ContextHelpCommand::kBack:
        setHtml(helpBack());
        break;
    case ContextHelpCommand::kIndex:
        pushHelpPage(HelpPageKind::kIndex, 0, u"");
        setHtml(renderCurrentHelpPage());
        break;
    case ContextHelpCommand::kRecent:
        setHtml(buildRecentTopicsPage());
        break;
    case ContextHelpCommand::kSearch:
        if (UnicodeInputControl* entry = searchEntry()) {
            const std::u16string query = entry->text();
            pushHelpPage(HelpPageKind::kSearch, 0, query);
            setHtml(renderCurrentHelpPage());
            closeGump(entry);
            for (int32_t i = ContextHelpCommand::kBack; i < ContextHelpCommand::kSearch; ++i) {
                if (CGump* shown = button(i))
                    shown->setVisible(true);
            }
        } else {
            auto* made = new UnicodeInputControl(m_searchX, 258, EntryArt { kSearchEntryArt, kSearchEntryArt, 0}, 0,
                kSearchMaxLength, 2, kHelpTextHue, true, false);
            gumpLink(made, this);
            m_searchEntry = GumpHandle(made);
            for (int32_t i = ContextHelpCommand::kBack; i < ContextHelpCommand::kSearch; ++i) {
                if (CGump* hidden = button(i))
                    hidden->setVisible(false);
            }
            made->onLeftDown(0, 0);
            made->onLeftUp(0, 0);
        }
        break;
    default:
        break;
    }
}

ContextHelpGump* contextHelpWindow() { return contextHelpSlot(); }

bool& helpButtonHighlighted()
{
    static bool highlighted = false;
    return highlighted;
}

void openOrRaiseContextHelp()
{
    if (ContextHelpGump* open = contextHelpWindow()) {
        keepOnScreenAndRaise(*open);
        return;
    }
    const std::u16string page = renderCurrentHelpPage();
    auto* made = new ContextHelpGump();
    made->setHtml(page);
}

void openHelpTopic(int32_t topic, bool create)
{
    if (topic == 0)
        return;
    pushHelpPage(HelpPageKind::kTopic, topic, u"");
    const std::u16string page = renderCurrentHelpPage();
    ContextHelpGump* window = contextHelpWindow();
    if (!window) {
        if (!create) {
            helpButtonHighlighted() = true;
            return;
        }
        window = new ContextHelpGump();
    }
    if (!page.empty()) {
        if (HtmlView* view = window->view())
            view->setText(page, 0);
    }
    keepOnScreenAndRaise(*window);
}

bool contextHelpKeypadPlace(int32_t position, int32_t width, int32_t height, int32_t& x, int32_t& y)
{
    if (position < 1 || position > 9)
        return false;
    const int32_t column = (position - 1) % 3;
    const int32_t row = (position - 1) / 3;
    const int32_t columns[3] = { 0, (width - kContextHelpWidth) / 2, width - kContextHelpWidth };
    const int32_t rows[3] = { 0, (height - kContextHelpHeight) / 2, height - kContextHelpHeight };
    x = columns[column];
    y = rows[row];
    return true;
}

void helpControl(uint8_t command, uint32_t topic, uint8_t value)
{
    ContextHelpGump* window = contextHelpWindow();
    switch (command) {
    case 1:
        openHelpTopic(int32_t(topic), value != 0);
        break;
    case 2:
        helpButtonHighlighted() = false;
        break;
    case 3:
        if (window) {
            int32_t x = window->x();
            int32_t y = window->y();
            contextHelpKeypadPlace(value, gumpScreen().width, gumpScreen().height, x, y);
            window->setLocation(x, y);
            keepOnScreenAndRaise(*window);
        }
        break;
    case 4:
        if (window)
            window->movable = value == 0;
        break;
    case 5:
        if (window)
            window->keptOnRightClick = value != 0;
        break;
    default:
        break;
    }
}
