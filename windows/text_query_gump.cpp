#include "windows/text_query_gump.h"

#include "gump/button.h"
#include "gump/entry_core.h"
#include "gump/gump_manager.h"
#include "gump/input_control.h"
#include "protocol/packet_reader.h"
#include "protocol/text_query_reply.h"
#include "text/ascii_font.h"

#include <algorithm>
#include <climits>

namespace {

constexpr int32_t kQueryTextFont = 2;
constexpr int32_t kEntryFont = 1;
constexpr int32_t kQueryTextHue = 902;
constexpr int32_t kQueryTitleX = 60;
constexpr int32_t kQueryTitleTop = 50;
constexpr int32_t kDescriptionTop = 125;
constexpr int32_t kEntryX = 60;
constexpr int32_t kEntryY = 130;
constexpr int32_t kButtonsY = 190;

// What the server's limit may be in the entry: a text fits the entry's own
// buffer; a number keeps within 32 signed bits.
int32_t entryLimit(uint8_t style, uint32_t limit)
{
    if (style == StringQueryGump::kNumberStyle)
        return int32_t(std::min<uint32_t>(limit, INT32_MAX));
    return int32_t(std::min<uint32_t>(limit, uint32_t(InputControl::kCapacity - 1)));
}

std::string cutAtNul(std::string text)
{
    text.resize(std::min(text.size(), text.find('\0')));
    return text;
}

} // namespace

StringQueryGump::StringQueryGump(uint32_t serial, uint16_t parentId, std::string_view title, bool cancelAllowed,
    uint8_t style, uint32_t limit, std::string_view description)
    : DialogWindow(kX, kY, nullptr)
    , m_serial(serial)
    , m_parentId(parentId)
    , m_cancelAllowed(cancelAllowed)
{
    setTypeName("Stringquery gump");
    makePageFromArt(kFaceArt);
    if (GumpPage* face = page(0); face && face->isAllocated()) {
        const TextSurface surface = face->surface();
        drawAsciiTextWrapped(kQueryTitleX, kQueryTitleTop, kQueryTextFont, kQueryTextHue, std::string(title).c_str(), width() - 120, surface,
            wholeSurface(surface), 0, 0, false);
        drawAsciiLine(*face, kQueryTextFont, kQueryTextHue, kQueryTitleX, kDescriptionTop, description);
    }
    if (style == kTextStyle || style == kNumberStyle) {
        const EntryArt art { kEntryArt, 0, 0 };
        const int32_t mode = style == kNumberStyle ? int32_t(EntryMode::Number) : int32_t(EntryMode::Text);
        m_entry = new InputControl(kEntryX, kEntryY, art, mode, entryLimit(style, limit), kEntryFont, kQueryTextHue, true,
            false);
        m_entry->options.hoverArt = kEntryArt + 1;
        m_entry->options.selectedArt = kEntryArt + 2;
        gumpLink(m_entry, this);
        gumpSetFocus(m_entry);
        m_entry->redraw();
    } else {
        // Enter and Escape still reach the window.
        gumpSetFocus(this);
    }
    Button* ok = new Button(cancelAllowed ? 117 : 161, kButtonsY, ButtonBehaviour::ClickOnRelease, 0,
        onParent<&StringQueryGump::accept>, 1147, 1148, false);
    ok->setHoverArt(1149);
    gumpLink(ok, this);
    if (cancelAllowed) {
        Button* cancelButton = new Button(204, kButtonsY, ButtonBehaviour::ClickOnRelease, 0,
            onParent<&StringQueryGump::cancel>, 1144, 1145, false);
        cancelButton->setHoverArt(1146);
        gumpLink(cancelButton, this);
    }
}

StringQueryGump::~StringQueryGump() { gumpClearModalIf(this); }

void StringQueryGump::onLeftDown(int32_t x, int32_t y)
{
    DialogWindow::onLeftDown(x, y);
    if (m_entry)
        gumpSetFocus(m_entry);
}

void StringQueryGump::onRightUp(int32_t, int32_t) { releaseCapture(); }

void StringQueryGump::onKey(uint32_t code)
{
    if (code == GumpKey::kEnter)
        onEnter();
    else if (code == GumpKey::kEscape)
        onEscape();
}

void StringQueryGump::onEnter() { accept(); }

void StringQueryGump::onEscape()
{
    if (m_cancelAllowed)
        cancel();
}

void StringQueryGump::accept() { answer(true); }

void StringQueryGump::cancel() { answer(false); }

void StringQueryGump::answer(bool ok)
{
    sendTextQueryReply(m_serial, m_parentId, m_entry, ok ? TextQueryButton::Ok : TextQueryButton::Cancel);
    closeGump(this);
}

void handleTextEntryGump(const uint8_t* packet)
{
    PacketReader reader(packet);
    const uint32_t serial = reader.u32();
    const uint16_t parentId = reader.u16();
    const std::string title = cutAtNul(reader.bytes(reader.u16()));
    const uint8_t cancelFlag = reader.u8();
    const uint8_t style = reader.u8();
    const uint32_t limit = reader.u32();
    const std::string description = cutAtNul(reader.bytes(reader.u16()));
    if (!reader.ok())
        return;
    auto* query = new StringQueryGump(serial, parentId, title, (cancelFlag & 1) != 0, style, limit, description);
    gumpLink(query, nullptr);
    gumpSetModal(query);
}
