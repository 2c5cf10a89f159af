#include "windows/party_chat_gump.h"

#include "data/settings_registry.h"
#include "gfx/gump_art.h"
#include "gfx/hue_table.h"
#include "gump/button.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "gump/text_list.h"
#include "windows/party_words.h"
#include "windows/resize_gump.h"

namespace {

constexpr int32_t kPartyChatBackground = 1;
constexpr int32_t kPartyChatX = 1;
constexpr int32_t kPartyChatY = 1;
constexpr int32_t kPartyChatWidth = 200;
constexpr int32_t kPartyChatHeight = 100;

GumpHandle& currentPartyChatHandle()
{
    static GumpHandle chat;
    return chat;
}

// The setting holds a hue; the list draws in a colour, the hue's brightest.
int32_t partyChatColour()
{
    const int32_t hue = settings().getColourSetting(u"PartyMessageColor");
    if (hue <= 0 || hue > HueTable::kEntryCount)
        return hue;
    return hueTable().entry(hue - 1).colours.back();
}

int32_t partyChatArtWidth(int32_t art)
{
    int32_t width = 0;
    int32_t height = 0;
    getGumpArtSize(art, width, height);
    return width;
}

int32_t partyChatArtHeight(int32_t art)
{
    int32_t width = 0;
    int32_t height = 0;
    getGumpArtSize(art, width, height);
    return height;
}

} // namespace

PartyChatGump::PartyChatGump(int32_t x, int32_t y, int32_t width, int32_t height, std::u16string_view title)
{
    addKind(GumpKind::PartyChat);
    setLocation(x, y);
    currentPartyChatHandle() = GumpHandle(this);
    makePanes();
    m_scrollBar = GumpHandle(new ScrollBar(this));
    m_list = GumpHandle(new TextList(this, true, false, kMaxLines, 0, kPartyChatBackground));
    auto* grip = new Button(0, 0, ButtonBehaviour::ClickOnRelease, 0, [](CGump* parent) { startWindowResize(*parent); },
        kGripArt, kGripArt, false);
    gumpLink(grip, this);
    m_grip = GumpHandle(grip);
    addLine(title);
    relayout(width, height);
    gumpLink(this, nullptr);
}

PartyChatGump::~PartyChatGump()
{
    deleteChildren();
    if (currentPartyChatHandle().get() == this)
        currentPartyChatHandle() = GumpHandle();
}

Button* PartyChatGump::grip() const { return static_cast<Button*>(m_grip.get()); }

void PartyChatGump::addLine(std::u16string_view text)
{
    if (TextList* lines = list())
        lines->addLine(text, partyChatColour(), 0, -1, -1);
}

void PartyChatGump::relayout(int32_t newWidth, int32_t newHeight)
{
    resizePage(newWidth, newHeight);
    layout();
    if (Button* button = grip()) {
        button->setLocation(newWidth - partyChatArtWidth(kGripArt) - partyChatArtWidth(kSideArt),
            newHeight - partyChatArtHeight(kGripArt) - partyChatArtHeight(kEdgeArt));
    }
}

void PartyChatGump::resize(int32_t newWidth, int32_t newHeight, bool) { relayout(newWidth, newHeight); }

void PartyChatGump::onLeftDown(int32_t x, int32_t y)
{
    setDragAnchor(x, y);
    m_dragging = true;
}

void PartyChatGump::onLeftUp(int32_t, int32_t) { m_dragging = false; }

void PartyChatGump::onDrag(int32_t x, int32_t y)
{
    if (m_dragging)
        moveBy(x - dragAnchorX(), y - dragAnchorY(), true, nullptr, true);
}

void PartyChatGump::onRightUp(int32_t, int32_t)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    closeGump(this);
}

PartyChatGump* currentPartyChat() { return static_cast<PartyChatGump*>(currentPartyChatHandle().get()); }

PartyChatGump* openPartyChat()
{
    if (PartyChatGump* open = currentPartyChat()) {
        open->bringToFront(false);
        return open;
    }
    if (!isPlayerInParty())
        return nullptr;
    return new PartyChatGump(kPartyChatX, kPartyChatY, kPartyChatWidth, kPartyChatHeight, u"Party Chat");
}
