#include "windows/amount_chooser.h"

#include "gump/button.h"
#include "gump/entry_core.h"
#include "gump/gump_manager.h"
#include "gump/thumb.h"
#include "world/item.h"
#include "world/object_interaction.h"
#include "world/object_manager.h"

#include <cstdlib>

namespace {

constexpr int32_t kAmountThumbX = 28;
constexpr int32_t kAmountThumbY = 16;
constexpr int32_t kTrackLength = 136;
constexpr int32_t kAmountOkX = 102;
constexpr int32_t kAmountOkY = 37;
constexpr int32_t kAmountTextX = 29;
constexpr int32_t kAmountTextTop = 42;
constexpr int32_t kCaretGap = 30;

} // namespace

StackGump::StackGump(int32_t x, int32_t y, Item* item)
    : DialogWindow(x, y, item)
{
    setTypeName("stack gump");
    addKind(GumpKind::StackGump);
    if (item) {
        m_itemSerial = item->serial;
        m_maximum = item->amount;
        m_amount = m_maximum;
    }
    m_text = std::to_string(m_amount);
    makePageFromArt(kFaceArt);
    gumpSetFocus(this);
    m_thumb = new Thumb(kAmountThumbX, kAmountThumbY, false, kAmountThumbX + kTrackLength, kThumbArt);
    m_thumb->setHoverArt(kThumbHoverArt);
    m_thumb->setPosition(m_amount, m_maximum);
    gumpLink(m_thumb, this);
    m_ok = new Button(kAmountOkX, kAmountOkY, ButtonBehaviour::ClickOnRelease, 0, onParent<&StackGump::accept>, kOkArt,
        kOkPressedArt, false);
    m_ok->setHoverArt(kOkHoverArt);
    gumpLink(m_ok, this);
    redraw();
}

StackGump::~StackGump()
{
    // The children go first: nothing may reach this window while it dies.
    deleteChildren();
}

void StackGump::redraw()
{
    GumpPage* face = page(0);
    if (!face || !face->isAllocated())
        return;
    drawArt(kFaceArt, 0, 0);
    drawAsciiLine(*face, kTextFont, kTextHue, kAmountTextX, kAmountTextTop, m_text);
    if (gumpFocus() == this)
        drawAsciiLine(*face, kTextFont, kTextHue, asciiLineWidth(kTextFont, m_text) + kCaretGap, kAmountTextTop, "_");
}

void StackGump::onLeftDown(int32_t x, int32_t y)
{
    DialogWindow::onLeftDown(x, y);
    gumpSetFocus(this);
    redraw();
}

void StackGump::onSlider(int32_t position, int32_t range, CGump*)
{
    m_amount = range > 0 ? int32_t(int64_t(position) * m_maximum / range) : 0;
    m_text = std::to_string(m_amount);
    redraw();
}

void StackGump::onKey(uint32_t code)
{
    if (code == GumpKey::kEnter) {
        accept();
        return;
    }
    const bool digit = code >= '0' && code <= '9';
    if (!digit && code != GumpKey::kBackspace)
        return;
    if (!m_typed) {
        m_typed = true;
        m_text.clear();
    }
    if (code == GumpKey::kBackspace) {
        if (!m_text.empty())
            m_text.pop_back();
    } else if (!(code == '0' && m_text.empty())) {
        m_text.push_back(char(code));
        // A number over the stack takes the digit back; the text never grows
        // past the stack's digits, so it always reads as a number.
        if (std::atol(m_text.c_str()) > m_maximum)
            m_text.pop_back();
    }
    m_amount = int32_t(std::atol(m_text.c_str()));
    redraw();
    m_thumb->setPosition(m_amount, m_maximum);
}

void StackGump::setMaximum(int32_t maximum)
{
    m_maximum = maximum > 0 ? maximum : 0;
    m_amount = 0;
    m_text = std::to_string(m_amount);
    m_typed = false;
    m_thumb->setPosition(m_amount, m_maximum);
    redraw();
}

void StackGump::accept()
{
    const AmountAction action = m_action;
    const uint32_t serial = m_itemSerial;
    const int32_t chosen = m_amount;
    closeGump(this);
    action(serial, chosen);
}

void StackGump::liftAmount(uint32_t itemSerial, int32_t amount)
{
    Item* item = itemSerial ? findItemBySerial(itemSerial) : nullptr;
    if (item && amount > 0)
        pickUpItem(*item, uint16_t(amount));
}
