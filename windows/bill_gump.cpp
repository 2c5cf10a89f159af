#include "windows/bill_gump.h"

#include "data/config_file.h"
#include "gump/button.h"
#include "gump/gump_canvas.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "gump/html_view.h"
#include "gump/thumb.h"
#include "text/ascii_font.h"
#include "text/unicode_font.h"
#include "windows/shop_gump.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace {

constexpr int32_t kBillThumbX = 236;
constexpr int32_t kBillThumbY = 66;
constexpr int32_t kBillThumbTrack = 154;
constexpr int32_t kBillNumberFont = 9;
constexpr int32_t kQuantityHue = 543;
constexpr int32_t kBillTotalHue = 902;
constexpr int32_t kQuantityEnd = 27;
constexpr int32_t kBillRowTextX = 37;
constexpr int32_t kRowTextWidth = 130;
constexpr int32_t kButtonsStart = 10;
constexpr int32_t kButtonHeight = 17;
constexpr int32_t kTotalsTop = 171;
constexpr int32_t kSellTotalTop = 172;
constexpr int32_t kBuyTotalX = 70;
constexpr int32_t kGoldX = 188;
constexpr int32_t kSignatureHue = 902;
constexpr int32_t kBillHitWrapWidth = 100;
constexpr char kNoName[] = "NoName";

// Where rows are drawn: the list area shrunk by 2 on every side.
constexpr ScreenRect kBillInnerArea { BillGump::kListLeft + 2, BillGump::kListTop + 2, BillGump::kListRight - 2,
    BillGump::kListBottom - 2 };

} // namespace

BillGump::BillGump(int32_t x, int32_t y, ShopGump& shop, bool sell)
    : DialogWindow(x, y, nullptr)
    , m_shop(&shop)
    , m_sell(sell)
{
    setTypeName("bill gump");
    addKind(GumpKind::BillGump);
    makePageFromArt(sell ? kSellArt : kBuyArt);
    for (HtmlView*& view : m_rows) {
        view = new HtmlView(this, 0, kTradeRowViewFlags, false, true);
        view->setRect(0, 0, kRowTextWidth, kRowHeight);
        view->setText(u" ", 0x7FFF);
        view->setVisible(false);
    }
    m_thumb = new Thumb(kBillThumbX, kBillThumbY, true, kBillThumbY + kBillThumbTrack, kThumbArt);
    gumpLink(m_thumb, this);
    gumpLink(Button::hotSpot(232, 50, 251, 62, ButtonBehaviour::RepeatOnPress, 0, scrollUp, false), this);
    gumpLink(Button::hotSpot(232, 156, 251, 171, ButtonBehaviour::RepeatOnPress, 0, scrollDown, false), this);
    gumpLink(Button::hotSpot(34, 196, 54, 218, ButtonBehaviour::ClickOnRelease, 0, onParent<&BillGump::startSigning>,
                 false),
        this);
    gumpLink(Button::hotSpot(207, 200, 223, 215, ButtonBehaviour::ClickOnRelease, 0, onParent<&BillGump::clearList>,
                 false),
        this);
    placeThumb();
    computeTotal();
    refreshRows();
}

BillGump::~BillGump() = default;

ShopGump* BillGump::shop() const { return static_cast<ShopGump*>(m_shop.get()); }

CGump* BillGump::partnerGump() { return m_shop.get(); }

const std::vector<ShoppingNode>& BillGump::nodes() const
{
    static const std::vector<ShoppingNode> kNone;
    const ShopGump* owner = shop();
    return owner ? owner->shoppingList().nodes() : kNone;
}

void BillGump::computeTotal()
{
    const ShopGump* owner = shop();
    uint64_t total = 0;
    for (const ShoppingNode& node : nodes())
        total += uint64_t(owner->priceOf(node)) * uint32_t(node.quantity);
    m_total = uint32_t(std::min<uint64_t>(total, UINT32_MAX));
}

bool BillGump::findItem(uint32_t serial) const
{
    return std::any_of(nodes().begin(), nodes().end(), [serial](const ShoppingNode& node) { return node.serial == serial; });
}

void BillGump::refreshRows()
{
    GumpPage* face = page(0);
    const ShopGump* owner = shop();
    if (!face || !face->isAllocated() || !owner)
        return;
    for (HtmlView* view : m_rows)
        view->setVisible(false);
    drawArt(m_sell ? kSellArt : kBuyArt, 0, 0);
    const std::vector<ShoppingNode>& listed = nodes();
    int32_t views = 0;
    int32_t top = kListTop + 2;
    for (size_t i = size_t(m_firstVisible); i < listed.size() && top < kBillInnerArea.bottom; ++i, top += kRowHeight) {
        const std::string quantity = std::to_string(listed[i].quantity);
        const int32_t x = std::max(kListLeft + 2, kListLeft + kQuantityEnd - asciiLineWidth(kBillNumberFont, quantity));
        drawAsciiLine(*face, kBillNumberFont, kQuantityHue, x, top + 4, quantity);
        if (views < kRowViews) {
            HtmlView* view = m_rows[size_t(views++)];
            view->setRect(kListLeft + kBillRowTextX, top, kRowTextWidth, kRowHeight);
            view->setText(owner->textOf(listed[i]), ShopGump::kRowColour);
            view->setVisible(true);
        }
    }
    const std::string total = std::to_string(m_total);
    if (m_sell) {
        drawAsciiLine(*face, kBillNumberFont, kBillTotalHue, kGoldX, kSellTotalTop, total);
    } else {
        drawAsciiLine(*face, kBillNumberFont, kBillTotalHue, kBuyTotalX, kTotalsTop, total);
        drawAsciiLine(*face, kBillNumberFont, kBillTotalHue, kGoldX, kTotalsTop, std::to_string(owner->gold()));
    }
    placeRowButtons();
    if (m_signing)
        drawSignature();
}

void BillGump::placeRowButtons()
{
    const std::vector<ShoppingNode>& listed = nodes();
    // The buttons of rows that left the list go with them.
    std::erase_if(m_buttons, [&listed](const RowButtons& row) {
        const bool kept = std::any_of(
            listed.begin(), listed.end(), [&row](const ShoppingNode& node) { return node.serial == row.serial; });
        if (!kept) {
            closeGump(row.plus);
            closeGump(row.minus);
        }
        return !kept;
    });
    std::vector<uint32_t> placed;
    int32_t top = kListTop + kButtonsStart;
    for (size_t i = size_t(m_firstVisible); i < listed.size(); ++i, top += kRowHeight) {
        const uint32_t serial = listed[i].serial;
        auto found = std::find_if(
            m_buttons.begin(), m_buttons.end(), [serial](const RowButtons& row) { return row.serial == serial; });
        if (found == m_buttons.end()) {
            RowButtons row { serial, nullptr, nullptr };
            row.plus = new Button(kListRight - 42, top, ButtonBehaviour::RepeatOnPress, 0, rowPlus, kPlusArt, kPlusArt,
                false);
            row.minus = new Button(kListRight - 22, top, ButtonBehaviour::RepeatOnPress, 0, rowMinus, kMinusArt,
                kMinusArt, false);
            for (Button* button : { row.plus, row.minus }) {
                button->setId(int32_t(serial));
                button->setPassId(true);
                gumpLink(button, this);
            }
            m_buttons.push_back(row);
            found = m_buttons.end() - 1;
        }
        const bool shown = top <= kBillInnerArea.bottom;
        for (Button* button : { found->plus, found->minus }) {
            button->setLocation(button->x(), top);
            button->setSize(button->width(), std::min(kButtonHeight, kBillInnerArea.bottom - top));
            button->setVisible(shown);
        }
        if (shown)
            placed.push_back(serial);
    }
    // The rows scrolled out of view keep their buttons hidden.
    for (RowButtons& row : m_buttons) {
        if (std::find(placed.begin(), placed.end(), row.serial) == placed.end()) {
            row.plus->setVisible(false);
            row.minus->setVisible(false);
        }
    }
}

Button* BillGump::plusButton(uint32_t serial) const
{
    for (const RowButtons& row : m_buttons) {
        if (row.serial == serial)
            return row.plus;
    }
    return nullptr;
}

Button* BillGump::minusButton(uint32_t serial) const
{
    for (const RowButtons& row : m_buttons) {
        if (row.serial == serial)
            return row.minus;
    }
    return nullptr;
}

void BillGump::changeRow(int32_t sign)
{
    ShopGump* owner = shop();
    if (!owner || m_signing)
        return;
    const uint32_t serial = uint32_t(lastCommandId());
    for (const ShoppingNode& node : nodes()) {
        if (node.serial == serial) {
            const ShoppingNode picked = node;
            owner->addToList(picked.layer, picked.serial, picked.recordIndex, sign * ShopGump::repeatStep(*this));
            return;
        }
    }
}

void BillGump::rowPlus(CGump* bill) { static_cast<BillGump*>(bill)->changeRow(1); }

void BillGump::rowMinus(CGump* bill) { static_cast<BillGump*>(bill)->changeRow(-1); }

void BillGump::placeThumb()
{
    const int32_t count = int32_t(nodes().size());
    m_thumb->setPosition(m_firstVisible, std::max(1, count));
}

void BillGump::scrollBy(int32_t step)
{
    if (m_signing)
        return;
    const int32_t count = int32_t(nodes().size());
    m_firstVisible = std::clamp(m_firstVisible + step, 0, std::max(0, count - 1));
    placeThumb();
    refreshRows();
}

void BillGump::scrollUp(CGump* bill) { static_cast<BillGump*>(bill)->scrollBy(-1); }

void BillGump::scrollDown(CGump* bill) { static_cast<BillGump*>(bill)->scrollBy(1); }

void BillGump::onSlider(int32_t position, int32_t range, CGump*)
{
    const int32_t count = int32_t(nodes().size());
    // An empty bill has no first row: it stays 0.
    const int32_t first = range > 0 ? int32_t(int64_t(position) * count / range) : 0;
    m_firstVisible = std::clamp(first, 0, std::max(0, count - 1));
    refreshRows();
}

void BillGump::startSigning()
{
    if (m_signing || nodes().empty())
        return;
    m_signing = true;
    m_revealed = 0;
}

void BillGump::clearList()
{
    ShopGump* owner = shop();
    if (!owner || m_signing)
        return;
    const std::vector<ShoppingNode> listed = nodes();
    for (const ShoppingNode& node : listed)
        owner->addToList(node.layer, node.serial, node.recordIndex, -node.quantity);
    m_firstVisible = 0;
    m_thumb->setPosition(0, 1);
    owner->refreshRows();
    refreshRows();
}

void BillGump::drawSignature()
{
    GumpPage* face = page(0);
    std::string name = configFiles().characterName();
    if (name.empty())
        name = kNoName;
    int32_t width = 0;
    int32_t height = 0;
    int32_t baseline = 0;
    measureAsciiText(kSignatureFont, name.c_str(), width, height, baseline);
    const int32_t full = std::min(width + 2, kSignatureWidest);
    if (!face || full <= 0 || height <= 0)
        return;
    std::vector<uint16_t> scratch(size_t(full) * size_t(height), 0);
    const TextSurface surface { scratch.data(), full, full, height };
    drawAsciiText(0, baseline, kSignatureFont, kSignatureHue, name.c_str(), surface, wholeSurface(surface));
    const int32_t shown = std::min(m_revealed, full);
    for (int32_t row = 0; row < height && kSignatureY + row < face->height; ++row) {
        for (int32_t column = 0; column < shown && kSignatureX + column < face->width; ++column) {
            const uint16_t pixel = scratch[size_t(row) * size_t(full) + size_t(column)];
            if (pixel)
                face->pixels[size_t(kSignatureY + row) * size_t(face->width) + size_t(kSignatureX + column)] = pixel;
        }
    }
}

void BillGump::tick()
{
    if (!m_signing)
        return;
    std::string name = configFiles().characterName();
    if (name.empty())
        name = kNoName;
    const int32_t full = std::min(asciiLineWidth(kSignatureFont, name) + 2, kSignatureWidest);
    const int32_t grown = m_revealed + kSignatureStep;
    m_revealed = std::min(grown, full);
    drawSignature();
    if (grown < full)
        return;
    m_signing = false;
    if (ShopGump* owner = shop())
        owner->sendTransaction();
}

uint32_t BillGump::serialAt(int32_t x, int32_t y) const
{
    const ShopGump* owner = shop();
    if (!owner || x < kListLeft + 2 || x >= kListRight - 2)
        return 0;
    const std::vector<ShoppingNode>& listed = nodes();
    int32_t top = kListTop + 2;
    for (size_t i = size_t(m_firstVisible); i < listed.size() && top < kBillInnerArea.bottom; ++i) {
        int32_t height = kRowHeight;
        if (hasLocalizedName(listed[i].serial, owner->nameOf(listed[i]))) {
            const std::u16string text = owner->textOf(listed[i]);
            int32_t widest = 0;
            int32_t measured = 0;
            int32_t zero = 0;
            measureUnicodeTextWrapped(text.c_str(), kBillHitWrapWidth, widest, measured, zero);
            if (measured > kRowHeight)
                height = measured;
        }
        if (y >= top && y < top + height)
            return listed[i].serial;
        top += height;
    }
    return 0;
}

void BillGump::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    drawPage(canvas);
    // The row views stay inside the list area.
    int32_t left = kListLeft;
    int32_t top = kListTop;
    localToScreen(left, top);
    BlitTarget narrowed = canvas.target();
    narrowed.bounds = canvas.clip().intersected(
        { left, top, left + (kListRight - kListLeft), top + (kListBottom - kListTop) });
    GumpCanvas listCanvas(narrowed, nullptr, nullptr, canvas.screenWidth(), canvas.screenHeight());
    forEachChildBottomUp([this, &canvas, &listCanvas](CGump* child) {
        const bool rowView = std::find(m_rows.begin(), m_rows.end(), child) != m_rows.end();
        child->draw(rowView ? listCanvas : canvas);
    });
}

void BillGump::onLeftDown(int32_t x, int32_t y)
{
    DialogWindow::onLeftDown(x, y);
    if (ShopGump* owner = shop())
        owner->bringToFront(false);
    m_clicks.press();
}

void BillGump::onLeftUp(int32_t x, int32_t y)
{
    if (m_clickSuppressed) {
        m_clickSuppressed = false;
        m_clicks.clickState = 0;
    } else if (m_clicks.clickState == 2) {
        m_clicks.clickState = 0;
    }
    m_clicks.leftDown = false;
    DialogWindow::onLeftUp(x, y);
}

void BillGump::onHoverTick()
{
    const ClickEvent event = m_clicks.expire();
    if (event == ClickEvent::Hold)
        m_clickSuppressed = true;
    else if (event == ClickEvent::Single && m_hoverSerial)
        service<ItemProperties>().showItemProperties(m_hoverSerial, true, true);
}

void BillGump::onMouseOver(int32_t x, int32_t y)
{
    DialogWindow::onMouseOver(x, y);
    const uint32_t serial = serialAt(x, y);
    if (serial == m_hoverSerial)
        return;
    m_hoverSerial = serial;
    if (serial)
        service<ItemProperties>().showItemProperties(serial, false, true);
    else
        service<ItemProperties>().hideItemProperties();
}

void BillGump::onDrag(int32_t x, int32_t y)
{
    if (m_clicks.clickState > 0 && WindowClicks::movedBeyondThreshold(x, y, dragAnchorX(), dragAnchorY())) {
        m_clicks.clickState = 0;
        m_clickSuppressed = true;
    }
    DialogWindow::onDrag(x, y);
    if (ShopGump* owner = shop())
        owner->moveTo(this->x() - ShopGump::kBillOffsetX, this->y() - ShopGump::kBillOffsetY, true, nullptr, false);
}
