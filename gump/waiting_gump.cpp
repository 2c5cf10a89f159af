#include "gump/waiting_gump.h"

#include "gfx/gump_art.h"
#include "gump/button.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/gump_services.h"
#include "text/ascii_font.h"
#include "text/unicode_font.h"

#include <algorithm>

namespace {

constexpr int32_t kLargeInnerWidth = 320;
constexpr int32_t kLargeInnerHeight = 200;
constexpr int32_t kSmallInnerWidth = 115;
constexpr int32_t kSmallInnerHeight = 33;
constexpr int32_t kWaitingTextLeft = 44;
constexpr int32_t kWaitingTextTop = 44;
constexpr int32_t kLargeWrapWidth = 312;
constexpr int32_t kSmallWrapWidth = 115;
constexpr int32_t kNarrowTextHue = 902;
constexpr int32_t kNarrowTextFont = 1;
constexpr int32_t kWideTextFont = 0;
constexpr int32_t kWideSpaceWidth = 6;
constexpr uint16_t kWideTextColour = 1;
// The front end's screen, on which boxes outside the world are centred.
constexpr int32_t kWaitingScreenWidth = 640;
constexpr int32_t kWaitingScreenHeight = 480;
constexpr uint32_t kEnterKey = 13;

// The Unicode text state the box changes while drawing, put back after.
class SavedUnicodeState {
public:
    SavedUnicodeState()
        : m_font(getUnicodeFont())
        , m_spaceWidth(getSpaceWidth())
        , m_tight(getUnicodeTightFlag())
    {
    }
    ~SavedUnicodeState()
    {
        selectUnicodeFont(m_font);
        setSpaceWidth(m_spaceWidth);
        setUnicodeTightFlag(m_tight);
    }

private:
    int32_t m_font;
    int32_t m_spaceWidth;
    bool m_tight;
};

} // namespace

WaitingGump::WaitingGump(const Options& options, bool unicode)
    : m_large(options.large)
    , m_returnToMenu(options.returnToMenu)
    , m_covered(isValidGump(options.covered) ? options.covered : nullptr)
    , m_unicode(unicode)
{
    setTypeName("waiting gump");
    addKind(GumpKind::WaitingGump);
    // The frame's first piece; it gives the box its border size.
    setArtId(kFrameArt);
}

WaitingGump::WaitingGump(const std::u16string& text, const Options& options)
    : WaitingGump(options, true)
{
    m_wideText = text.substr(0, kMaxWideText);
    build(options);
}

WaitingGump::WaitingGump(const std::string& text, const Options& options)
    : WaitingGump(options, false)
{
    m_narrowText = text.substr(0, kMaxNarrowText);
    build(options);
}

void WaitingGump::build(const Options& options)
{
    m_previousFocus = GumpHandle(gumpFocus());
    if (gumpFocus() != this)
        gumpSetFocus(this);

    int32_t frameWidth = 0;
    int32_t frameHeight = 0;
    getGumpArtSize(kFrameArt, frameWidth, frameHeight);
    const int32_t innerWidth = m_large ? kLargeInnerWidth : kSmallInnerWidth;
    const int32_t innerHeight = m_large ? kLargeInnerHeight : kSmallInnerHeight;
    setSize(innerWidth + 2 * frameWidth, innerHeight + 2 * frameHeight);
    if (service<GameSession>().isInWorld()) {
        const GumpScreen& screen = gumpScreen();
        setLocation(screen.gameWidth / 2 - width() / 2, screen.gameHeight / 2 - height() / 2);
    } else {
        setLocation(kWaitingScreenWidth / 2 - width() / 2, kWaitingScreenHeight / 2 - height() / 2);
    }

    setPageCount(2);
    GumpPage& background = *page(1);
    background.allocate(width(), height());
    drawNinePatch(kFrameArt, background, false);
    if (options.framed) {
        drawNinePatchRecord(frameWidth - 15, frameHeight - 15, innerWidth + 30, innerHeight + 30, kInnerFrameArt,
            background, false);
    }
    GumpPage& face = *page(0);
    face = background;
    layOutText(face);

    const int32_t firstArt = options.busy ? kBusyButtonArt : kButtonArt;
    int32_t buttonWidth = 0;
    int32_t buttonHeight = 0;
    getGumpArtSize(kBusyButtonArt, buttonWidth, buttonHeight);
    auto* button = new Button((width() - buttonWidth) / 2, height() - 2 * buttonHeight, ButtonBehaviour::ClickOnRelease,
        0, onParent<&WaitingGump::onCancel>, firstArt, firstArt + 1, false);
    button->setHoverArt(firstArt + 2);
    gumpLink(button, this);

    if (options.busy && m_large) {
        service<GumpPointer>().beginBusyCursor();
        service<GumpPointer>().setCursorKind(kBusyCursorKind);
        m_busy = true;
    }
}

void WaitingGump::layOutText(GumpPage& page)
{
    if (!page.isAllocated())
        return;
    const TextClip clip = m_large ? TextClip { kWaitingTextLeft, kWaitingTextTop, 356, 244 } : TextClip { kWaitingTextLeft, kWaitingTextTop, 159, 77 };
    const int32_t wrapWidth = m_large ? kLargeWrapWidth : kSmallWrapWidth;
    if (m_unicode) {
        SavedUnicodeState saved;
        selectUnicodeFont(kWideTextFont);
        setSpaceWidth(kWideSpaceWidth);
        setUnicodeTightFlag(false);
        drawUnicodeTextWrapped(
            page.surface(), wrapWidth, m_wideText.c_str(), kWaitingTextLeft, kWaitingTextTop, kWideTextColour, clip, true);
        return;
    }
    drawAsciiTextWrapped(kWaitingTextLeft, kWaitingTextTop, kNarrowTextFont, kNarrowTextHue, m_narrowText.c_str(), wrapWidth,
        page.surface(), clip, 0, 0, true);
}

WaitingGump::~WaitingGump()
{
    if (m_busy) {
        service<GumpPointer>().endBusyCursor();
        service<GumpPointer>().setCursorKind(kBusyCursorKind);
    }
    gumpClearModalIf(this);
    service<FrontEnd>().forgetWaitingGump(this);
    if (CGump* previous = m_previousFocus.get()) {
        gumpReleaseFocus();
        gumpSetFocus(previous);
        if (isValidGump(previous)
            && (previous->is(GumpKind::InputControl) || previous->is(GumpKind::UnicodeInputControl)))
            previous->kindAction();
    } else {
        gumpReleaseFocus();
    }
}

void WaitingGump::onCancel()
{
    if (isValidGump(m_covered))
        m_covered->setVisible(true);
    service<FrontEnd>().forgetWaitingGump(this);
    if (m_returnToMenu)
        service<FrontEnd>().logoutToMainMenu();
    else
        closeGump(this);
}

void WaitingGump::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    setCurrentPage(0);
    drawPage(canvas);
    drawChildren(canvas);
}

bool WaitingGump::containsPoint(int32_t x, int32_t y)
{
    // A large box swallows every click while it is up.
    if (m_large)
        return true;
    GumpPage* face = page(0);
    if (!face || !face->isAllocated() || x < 0 || y < 0 || x >= face->width || y >= face->height)
        return false;
    return face->pixel(x, y) != 0;
}

void WaitingGump::onLeftDown(int32_t x, int32_t y)
{
    if (gumpModal() != this) {
        GumpHandle self(this);
        bringToFront(false);
        if (!self.get())
            return;
    }
    m_dragging = true;
    setDragAnchor(x, y);
}

void WaitingGump::onLeftUp(int32_t, int32_t)
{
    m_dragging = false;
    service<GumpPointer>().setPointerCapture(nullptr);
}

void WaitingGump::onDrag(int32_t x, int32_t y)
{
    if (m_large || !m_dragging)
        return;
    moveBy(x - dragAnchorX(), y - dragAnchorY(), true, nullptr, true);
}

void WaitingGump::onKey(uint32_t code)
{
    if (code == kEnterKey)
        onCancel();
}

void WaitingGump::forgetGump(CGump* dying)
{
    if (m_covered == dying)
        m_covered = nullptr;
}

namespace {

template <typename Text>
WaitingGump* showWaiting(const Text& text, CGump* covered, bool large, bool returnToMenu, bool framed)
{
    WaitingGump::Options options;
    options.covered = covered;
    options.large = large;
    options.returnToMenu = returnToMenu;
    options.framed = framed;
    auto* box = new WaitingGump(text, options);
    gumpSetModal(box);
    gumpLink(box, nullptr);
    return box;
}

} // namespace

WaitingGump* gumpShowWaiting(const std::u16string& text, CGump* covered, bool large, bool returnToMenu, bool framed)
{
    return showWaiting(text, covered, large, returnToMenu, framed);
}

WaitingGump* gumpShowWaiting(const std::string& text, CGump* covered, bool large, bool returnToMenu, bool framed)
{
    return showWaiting(text, covered, large, returnToMenu, framed);
}
