#include "gump/button.h"

#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"
#include "gump/gump_canvas.h"
#include "gump/gump_services.h"
#include "text/cliloc_table.h"
#include "text/unicode_font.h"

#include <algorithm>

namespace {

enum class FaceState : uint8_t {
    NotRendered = 0,
    Normal = 1,
    Highlighted = 2,
    Pressed = 3,
};

constexpr int32_t kLabelFont = 1;

// Keeps Unicode font 1 selected for the life of the object.
class LabelFont {
public:
    LabelFont()
        : m_previous(getUnicodeFont())
    {
        selectUnicodeFont(kLabelFont);
    }
    ~LabelFont() { selectUnicodeFont(m_previous); }

private:
    int32_t m_previous;
};

} // namespace

void forwardButtonToOwner(CGump* parent)
{
    if (parent)
        parent->onCommand(parent->lastCommandId());
}

void closeButtonParent(CGump* parent) { closeGump(parent); }

Button::Button(int32_t x, int32_t y, ButtonBehaviour behaviour, int32_t initialPage, GumpCallback callback,
    int32_t upArt, int32_t downArt, bool showWhileParentMinimised)
    : m_behaviour(behaviour)
    , m_downArt(downArt)
    , m_callback(callback)
{
    setTypeName("Button gump");
    addKind(GumpKind::Button);
    setLocation(x, y);
    setArtId(upArt);
    setPageCount(2);
    setCurrentPage(initialPage);
    setShowsWhileParentMinimised(showWhileParentMinimised);
    int32_t width = 0;
    int32_t height = 0;
    if (!(upArt != 0 && getGumpArtSize(upArt, width, height)) && downArt != 0)
        getGumpArtSize(downArt, width, height);
    setSize(width, height);
}

Button* Button::hotSpot(int32_t left, int32_t top, int32_t right, int32_t bottom, ButtonBehaviour behaviour,
    int32_t initialPage, GumpCallback callback, bool showWhileParentMinimised)
{
    auto* button = new Button(left, top, behaviour, initialPage, callback, 0, 0, showWhileParentMinimised);
    int32_t width = right - left + 1;
    if (width & 1)
        ++width;
    button->setSize(width, bottom - top + 1);
    return button;
}

bool Button::fire()
{
    GumpHandle self(this);
    CGump* window = parent();
    if (m_passId && window)
        window->setLastCommandId(m_id);
    if (m_callback && window)
        m_callback(window);
    return self.get() != nullptr;
}

void Button::onLeftDown(int32_t, int32_t)
{
    GumpHandle self(this);
    if (CGump* window = parent()) {
        if (!window->is(GumpKind::TextGump))
            window->bringToFront(false);
        if (!self.get())
            return;
        window->setSpareWord(0);
    }
    m_pressed = true;
    if (m_disabled)
        return;
    switch (m_behaviour) {
    case ButtonBehaviour::ClickOnRelease:
        setCurrentPage(1);
        break;
    case ButtonBehaviour::RepeatOnPress:
        setCurrentPage(1);
        if (!fire())
            return;
        m_repeatCountdown = kRepeatDelayTicks;
        break;
    case ButtonBehaviour::Toggle:
        break;
    }
}

void Button::onLeftUp(int32_t, int32_t)
{
    m_pressed = false;
    service<GumpPointer>().setPointerCapture(nullptr);
    if (CGump* window = parent())
        window->setSpareWord(0);
    if (m_disabled)
        return;
    switch (m_behaviour) {
    case ButtonBehaviour::ClickOnRelease:
        setCurrentPage(0);
        fire();
        break;
    case ButtonBehaviour::Toggle: {
        setCurrentPage(currentPage() == 0 ? 1 : 0);
        GumpHandle window(parent());
        // The callback may have closed the window: it is told of the change
        // only while it and this button still live.
        if (fire() && window.get())
            window.get()->onControlChanged(this);
        break;
    }
    case ButtonBehaviour::RepeatOnPress:
        setCurrentPage(0);
        break;
    }
}

void Button::onHoverTick()
{
    // Held, a repeating button waits its delay, then fires on every tick.
    if (!m_pressed || m_disabled || m_behaviour != ButtonBehaviour::RepeatOnPress)
        return;
    if (m_repeatCountdown > 0) {
        --m_repeatCountdown;
        return;
    }
    fire();
}

void Button::onRightDown(int32_t x, int32_t y)
{
    if (CGump* window = parent())
        window->onRightDown(x, y);
}

void Button::onRightUp(int32_t x, int32_t y)
{
    if (CGump* window = parent())
        window->onRightUp(x, y);
}

void Button::onMouseOver(int32_t, int32_t)
{
    m_hovered = true;
    service<GumpPointer>().setCursorForGumpType(0);
}

void Button::onMouseLeave() { m_hovered = false; }

void Button::tick()
{
    m_flashPhase = false;
    ++m_flashCounter;
    if (m_flashCounter > m_flashOffTicks) {
        if (m_flashCounter > m_flashOffTicks + m_flashOnTicks)
            m_flashCounter = 0;
        m_flashPhase = true;
    }
}

bool Button::containsPoint(int32_t x, int32_t y)
{
    if (!isVisible() || x < 0 || y < 0 || x >= width() || y >= height())
        return false;
    // A hot spot has no art to test: its rectangle is its face.
    if (!m_pixelHitTest || m_drawsOwnBuffer || artId() == 0)
        return true;
    return getGumpArtPixel(artId(), x, y) != 0;
}

int32_t Button::faceArt(bool& disabledLook) const
{
    disabledLook = false;
    if (currentPage() == 1) {
        disabledLook = m_disabled;
        return m_downArt;
    }
    if (m_hovered && m_hoverArt != 0 && !m_disabled)
        return m_hoverArt;
    if (artId() == 0)
        return 0;
    if (m_flashPhase && m_flashArt != 0)
        return m_flashArt;
    disabledLook = m_disabled;
    return artId();
}

bool Button::lookKey(uint64_t& key)
{
    // Pixels drawn into its own page by others cannot be told apart here.
    if (m_drawsOwnBuffer)
        return false;
    CGump* window = parent();
    const bool hidden = window && window->isMinimised() && !showsWhileParentMinimised();
    bool disabledLook = false;
    const int32_t art = hidden ? 0 : faceArt(disabledLook);
    key = (uint64_t(uint32_t(art)) << 2) | (uint64_t(disabledLook) << 1) | uint64_t(hidden);
    return true;
}

void Button::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    CGump* window = parent();
    if (window && window->isMinimised() && !showsWhileParentMinimised())
        return;
    int32_t x = 0;
    int32_t y = 0;
    localToScreen(x, y);
    if (!rectIntersects({ x, y, x + width(), y + height() }, canvas.clip()))
        return;
    if (m_drawsOwnBuffer) {
        GumpPage* shown = page(currentPage());
        if (shown && shown->isAllocated())
            drawImageClipped(copySpanTransparent, shown->pixels.data(), shown->width, shown->height, canvas.target(),
                &canvas.clip(), x, y);
        return;
    }
    bool disabledLook = false;
    int32_t art = faceArt(disabledLook);
    if (art == 0)
        return;
    PixelSpanFn fn = copySpanTransparent;
    if (disabledLook) {
        setCurrentHue(kDisabledHue);
        fn = hueSpanByRed;
    }
    drawGumpArtClipped(fn, art, canvas.target(), &canvas.clip(), x, y);
}

LabelButton::LabelButton(int32_t x, int32_t y, ButtonBehaviour behaviour, int32_t initialPage, GumpCallback callback,
    int32_t upArt, int32_t downArt, bool showWhileParentMinimised)
    : Button(x, y, behaviour, initialPage, callback, upArt, downArt, showWhileParentMinimised)
{
    m_flashOnTicks = 5;
    if (GumpPage* face = page(0))
        face->allocate(width(), height());
}

void LabelButton::centreLabel()
{
    LabelFont font;
    m_labelX = std::max((width() - measureUnicodeString(m_label.c_str() ? m_label.c_str() : u"")) / 2, 0);
    m_labelY = std::max((height() - 16) / 2 - 1, 0);
    if (m_labelX < 1)
        m_labelX = 0;
    if (m_labelY < 1)
        m_labelY = 0;
}

void LabelButton::setText(const WString& text)
{
    m_label = text;
    centreLabel();
}

void LabelButton::setTextById(int32_t messageId)
{
    getClilocString(m_label, messageId, 0);
    centreLabel();
}

void LabelButton::tick()
{
    if (m_flashArt == 0) {
        m_flashPhase = false;
        m_flashCounter = m_flashOffTicks;
        return;
    }
    ++m_flashCounter;
    if (m_flashCounter > m_flashOffTicks && !m_flashPhase) {
        m_flashCounter = 0;
        m_flashPhase = true;
    } else if (m_flashCounter > m_flashOnTicks && m_flashPhase) {
        m_flashCounter = 0;
        m_flashPhase = false;
    }
}

void LabelButton::renderFace(int32_t art, int32_t labelTop, uint16_t colour)
{
    GumpPage* face = page(0);
    std::fill(face->pixels.begin(), face->pixels.end(), uint16_t(0));
    drawGumpArt(copySpanTransparent, art, face->target(), 0, 0);
    if (m_label.c_str())
        drawUnicodeTextLine(face->surface(), m_label.c_str(), m_labelX, labelTop, colour, wholeSurface(face->surface()));
}

uint8_t LabelButton::wantedFaceState() const
{
    if (currentPage() == 1)
        return uint8_t(FaceState::Pressed);
    if ((m_hovered || (m_flashPhase && m_flashArt != 0)) && m_hoverArt != 0)
        return uint8_t(FaceState::Highlighted);
    return uint8_t(FaceState::Normal);
}

bool LabelButton::lookKey(uint64_t& key)
{
    if (m_flashArt != 0)
        return false;
    // The face is rendered again only when its state changes (a new label
    // shows then too), so the state names the pixels.
    key = wantedFaceState();
    return true;
}

void LabelButton::draw(GumpCanvas& canvas)
{
    GumpPage* face = page(0);
    if (!isVisible() || !face || !face->isAllocated())
        return;
    LabelFont font;
    int32_t x = 0;
    int32_t y = 0;
    localToScreen(x, y);
    tick();
    if (!rectIntersects({ x, y, x + width(), y + height() }, canvas.clip()))
        return;
    const uint8_t wanted = wantedFaceState();
    if (m_faceState != wanted) {
        m_faceState = wanted;
        if (wanted == uint8_t(FaceState::Pressed)) {
            if (m_downArt != 0)
                renderFace(m_downArt, m_labelY + 2, kHighlightColour);
        } else if (wanted == uint8_t(FaceState::Highlighted)) {
            renderFace(m_hoverArt, m_labelY, kHighlightColour);
        } else if (artId() != 0) {
            renderFace(artId(), m_labelY, m_labelColour);
        }
    }
    drawImageClipped(
        copySpanTransparent, face->pixels.data(), face->width, face->height, canvas.target(), &canvas.clip(), x, y);
}
