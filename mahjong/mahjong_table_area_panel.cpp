#include "mahjong/mahjong_table_area_panel.h"

#include "data/targeting.h"
#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"
#include "gump/button.h"
#include "gump/generic_gump.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "gump/toggle_control.h"
#include "mahjong/board_regions.h"
#include "mahjong/mahjong_board_gump.h"
#include "text/unicode_font.h"

#include <algorithm>

namespace mahjong {

namespace {

constexpr int32_t kPanelButtonX = 19;
constexpr uint16_t kPanelLabelColour = 31710;
constexpr uint16_t kPanelTextColour = 1;
constexpr int32_t kPanelTextX = 60;
constexpr int32_t kPanelBoxX = 25;
constexpr int32_t kPanelBoxY[2] = { 430, 470 };
constexpr int32_t kPanelBoxText[2] = { 1062701, 1062703 };
constexpr int32_t kPanelBoxTooltip[2] = { 1062764, 1062708 };
// The target type of a seat pick.
constexpr uint8_t kSeatPickTargetType = 3;
constexpr int32_t kSeatPickPointerType = 39;

void sendFirstTableRequest(CGump*)
{
    if (isTableManager())
        getMahjongTable()->sendTableRequest(kMahjongTableButton1);
}

void sendSecondTableRequest(CGump*)
{
    if (isTableManager())
        getMahjongTable()->sendTableRequest(kMahjongTableButton2);
}

template <uint16_t Subcommand>
void beginSeatPick(CGump*)
{
    if (!isTableManager())
        return;
    service<GumpPointer>().setCursorForGumpType(kSeatPickPointerType);
    TargetingState& targeting = targetingState();
    targeting.command = {};
    targeting.intent = TargetIntent::Neutral;
    targeting.callback = [](const std::optional<TargetChoice>&) { pickSeatAtPointer(Subcommand); };
    beginTargeting();
    targeting.targetType = kSeatPickTargetType;
}

struct PanelButtonRow {
    int32_t y;
    int32_t label;
    int32_t tooltip;
    GumpCallback action;
};
constexpr PanelButtonRow kPanelButtons[] = {
    { 80, 1062700, 1062768, sendFirstTableRequest },
    { 120, 1062702, 1062767, sendSecondTableRequest },
    { 160, 1062705, 1062765, beginSeatPick<kMahjongSeatButton3> },
    { 200, 1062706, 1062766, beginSeatPick<kMahjongSeatButton4> },
};

void endSeatPick()
{
    service<GumpPointer>().setCursorForGumpType(0);
    TargetingState& targeting = targetingState();
    targeting.callback = nullptr;
    targeting.command = {};
    endTargeting();
}

} // namespace

bool isTableManager()
{
    MahjongTable* table = getMahjongTable();
    const MahjongSeat* own = table ? table->ownSeat() : nullptr;
    return own && own->kind == kSeatKindManager;
}

void pickSeatAtPointer(uint16_t subcommand)
{
    MahjongBoardGump* board = openMahjongBoardGump();
    if (!board || !isTableManager())
        return;
    int32_t x = 0;
    int32_t y = 0;
    service<GumpPointer>().pointerPosition(x, y);
    board->screenToLocal(x, y);
    const int32_t seat = seatOfRegion(findRegion(int16_t(std::clamp(x, -32768, 32767)),
        int16_t(std::clamp(y, -32768, 32767))));
    if (seat >= 0)
        board->table()->sendSeatRequest(subcommand, uint8_t(seat));
    endSeatPick();
}

MahjongTableAreaPanel::MahjongTableAreaPanel(MahjongBoardGump& board)
    : CGump(0, 0, nullptr, 1, 0, 0)
    , m_board(&board)
{
    setTypeName("mahjong board gump");
    int32_t width = 0;
    int32_t height = 0;
    getGumpArtSize(kPanelArt, width, height);
    setSize(width, height);
    page(0)->allocate(width, height);
    for (const PanelButtonRow& row : kPanelButtons) {
        auto* button = new LabelButton(kPanelButtonX, row.y, ButtonBehaviour::ClickOnRelease, 0, row.action,
            kPanelButtonUpArt, kPanelButtonDownArt, false);
        button->setHoverArt(kPanelButtonHoverArt);
        button->setLabelColour(kPanelLabelColour);
        button->setTextById(row.label);
        button->setTooltipId(row.tooltip);
        gumpLink(button, this);
    }
    for (int32_t i = 0; i < 2; ++i) {
        m_boxes[i] = new ToggleControl(
            kPanelBoxX, kPanelBoxY[i], kPanelBoxOffArt, kPanelBoxOnArt, 0, 0, "", false, kPanelBoxOffArt, kPanelBoxOnArt);
        m_boxes[i]->setTooltipId(kPanelBoxTooltip[i]);
        gumpLink(m_boxes[i], this);
    }
    drawPicture();
    followBoard();
}

MahjongTableAreaPanel::~MahjongTableAreaPanel()
{
    endSeatPick();
    if (MahjongBoardGump* board = m_board) {
        m_board = nullptr;
        board->forgetPanel();
        closeGump(board);
    }
}

void MahjongTableAreaPanel::bringToFront(bool keepFocus)
{
    GumpHandle self(this);
    CGump::bringToFront(keepFocus);
    if (self && m_board)
        m_board->CGump::bringToFront(keepFocus);
}

void MahjongTableAreaPanel::tick() { followBoard(); }

void MahjongTableAreaPanel::followBoard()
{
    if (!m_board)
        return;
    setVisible(isTableManager());
    moveBy(m_board->x() + m_board->width() - x(), m_board->y() - y(), true, nullptr, false);
}

void MahjongTableAreaPanel::onLeftDown(int32_t x, int32_t y)
{
    bringToFront(false);
    m_pressed = true;
    m_pressX = x;
    m_pressY = y;
}

void MahjongTableAreaPanel::onLeftUp(int32_t, int32_t)
{
    m_pressed = false;
    service<GumpPointer>().clearPointerCaptureIf(this);
}

void MahjongTableAreaPanel::onRightUp(int32_t x, int32_t y)
{
    GumpHandle self(this);
    if (m_board)
        m_board->onRightUp(x, y);
    if (self)
        service<GumpPointer>().clearPointerCaptureIf(this);
}

void MahjongTableAreaPanel::onMouseOver(int32_t x, int32_t y)
{
    if (m_board)
        m_board->onMouseOver(x, y);
}

void MahjongTableAreaPanel::onDrag(int32_t x, int32_t y)
{
    if (m_pressed && m_board)
        m_board->moveBy(x - m_pressX, y - m_pressY, true, nullptr, true);
}

void MahjongTableAreaPanel::onControlChanged(CGump* control)
{
    MahjongTable* table = getMahjongTable();
    if (!table)
        return;
    for (uint32_t bit = 0; bit < 2; ++bit) {
        if (control == m_boxes[bit])
            table->setOption(bit, m_boxes[bit]->isChecked());
    }
}

void MahjongTableAreaPanel::setOptionBoxes(uint32_t options)
{
    for (uint32_t bit = 0; bit < 2; ++bit) {
        if (m_boxes[bit]) {
            m_boxes[bit]->setChecked((options >> bit) & 1);
            m_boxes[bit]->redraw();
        }
    }
}

void MahjongTableAreaPanel::drawPicture()
{
    GumpPage* face = page(0);
    if (!face || !face->isAllocated())
        return;
    drawGumpArt(copySpanTransparent, kPanelArt, face->target(), 0, 0);
    const TextSurface surface = face->surface();
    for (int32_t i = 0; i < 2; ++i) {
        const std::u16string text = localizedText(kPanelBoxText[i]);
        drawUnicodeTextLine(surface, text.c_str(), kPanelTextX, kPanelBoxY[i], kPanelTextColour, wholeSurface(surface));
    }
    markLookChanged();
}

} // namespace mahjong
