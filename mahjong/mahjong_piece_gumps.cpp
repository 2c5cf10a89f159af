#include "mahjong/mahjong_piece_gumps.h"

#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"
#include "gump/entry_core.h"
#include "gump/generic_gump.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "mahjong/board_regions.h"
#include "mahjong/mahjong_board_gump.h"
#include "platform/clock.h"

#include <algorithm>

namespace mahjong {

namespace {

constexpr int32_t kWindTooltipBase = 1062710;
constexpr int32_t kPieceGrid = 1;

int32_t roundUpToEight(int32_t value) { return (value + 7) & ~7; }

uint32_t nowMs() { return platform::clock().systemMs(); }

// The art's size turned for a direction: as stored for 1 and 3, swapped for 0 and 2.
void turnedArtSize(int32_t art, uint8_t direction, int32_t& width, int32_t& height)
{
    width = height = 0;
    getGumpArtSize(art, width, height);
    if ((direction & 1) == 0)
        std::swap(width, height);
}

void drawTurnedArt(GumpPage& face, int32_t art, uint8_t direction)
{
    const ScreenRect clip { 0, 0, face.width, face.height };
    drawGumpArtRotated(
        copySpanTransparent, art, face.target(), &clip, 0, 0, QuarterTurn(pieceTurn(direction)));
}

int16_t toBoard(int32_t value) { return int16_t(std::clamp(value, -32768, 32767)); }

// An indicator's place as the gump stands, snapped onto the board.
BoardPosition snappedPlace(const CGump& gump, uint8_t direction, int16_t width, int16_t height)
{
    BoardPosition place { toBoard(gump.x()), toBoard(gump.y()), 0 };
    snapPiece(direction, width, height, kPieceGrid, kPieceGrid, place);
    return place;
}

} // namespace

int32_t pieceTurn(uint8_t direction) { return (int32_t(direction) + 3) & 3; }

int32_t windTooltipCliloc(uint8_t wind) { return kWindTooltipBase + ((int32_t(wind) + 3) & 3); }

// ---- the draggable picture ----

MahjongPieceGump::MahjongPieceGump(int32_t x, int32_t y)
    : CGump(x, y, nullptr, 1, 0, 0)
{
}

bool MahjongPieceGump::containsPoint(int32_t x, int32_t y)
{
    return x >= 0 && y >= 0 && x < width() && y < height();
}

void MahjongPieceGump::press(int32_t x, int32_t y)
{
    m_clicks.press();
    m_pressX = x;
    m_pressY = y;
    m_pressed = true;
    m_dragging = false;
}

void MahjongPieceGump::startDragAt(int32_t x, int32_t y)
{
    m_pressX = x;
    m_pressY = y;
    m_pressed = true;
    m_dragging = true;
    m_clicks.reset();
}

bool MahjongPieceGump::release()
{
    m_pressed = false;
    if (m_dragging) {
        m_dragging = false;
        m_clicks.reset();
        return true;
    }
    if (m_clicks.state < 2)
        return true;
    m_clicks.reset();
    GumpHandle self(this);
    activate();
    return bool(self);
}

void MahjongPieceGump::onHoverTick() { m_clicks.expire(); }

void MahjongPieceGump::releaseCapture() { service<GumpPointer>().clearPointerCaptureIf(this); }

void MahjongPieceGump::onLeftDown(int32_t x, int32_t y) { press(x, y); }

bool MahjongPieceGump::endPress()
{
    if (!release())
        return false;
    releaseCapture();
    return true;
}

void MahjongPieceGump::onLeftUp(int32_t, int32_t) { endPress(); }

void MahjongPieceGump::followPointer(int32_t x, int32_t y)
{
    if (!m_pressed || (x == m_pressX && y == m_pressY))
        return;
    m_dragging = true;
    moveBy(x - m_pressX, y - m_pressY, true, nullptr, true);
}

void MahjongPieceGump::onDrag(int32_t x, int32_t y) { followPointer(x, y); }

GumpPage* MahjongPieceGump::preparePage(int32_t pictureWidth, int32_t pictureHeight)
{
    const int32_t pageWidth = roundUpToEight(std::max(pictureWidth, 0));
    const int32_t pageHeight = std::max(pictureHeight, 0);
    setSize(pageWidth, pageHeight);
    GumpPage* face = page(0);
    if (face->width != pageWidth || face->height != pageHeight || !face->isAllocated())
        face->allocate(pageWidth, pageHeight);
    else
        std::fill(face->pixels.begin(), face->pixels.end(), uint16_t(0));
    markLookChanged();
    return face->isAllocated() ? face : nullptr;
}

// ---- tiles ----

MahjongTileGump::MahjongTileGump(MahjongBoardGump& board, const MahjongTile& tile)
    : MahjongPieceGump(tile.x, tile.y)
    , m_board(board)
    , m_number(tile.number)
{
    setTypeName("mahjong tile gump");
}

MahjongTileGump::~MahjongTileGump() { m_board.forgetTileGump(m_number); }

const MahjongTile* MahjongTileGump::tile() const
{
    const MahjongTable* table = m_board.table();
    return table ? table->findTile(m_number) : nullptr;
}

bool MahjongTileGump::isAllowed() const
{
    const MahjongTable* table = m_board.table();
    const MahjongTile* record = tile();
    return record && table->ownSeat()
        && canTakeTile(table->tiles(), 1, record->direction, record->position(), m_number);
}

bool MahjongTileGump::settle(BoardPosition& position) const
{
    const MahjongTable* table = m_board.table();
    const MahjongTile* record = tile();
    position = { toBoard(x()), toBoard(y()), 0 };
    return record && placeTile(table->tiles(), 1, record->direction, position, m_number);
}

void MahjongTileGump::draw(GumpCanvas& canvas)
{
    advanceSlide();
    MahjongPieceGump::draw(canvas);
}

void MahjongTileGump::advanceSlide()
{
    if (!m_sliding)
        return;
    const uint32_t elapsed = nowMs() - m_slideStartMs;
    if (elapsed >= kTileSlideMs) {
        m_sliding = false;
        setLocation(m_targetX, m_targetY);
        return;
    }
    const int64_t done = int64_t(elapsed);
    setLocation(m_startX + int32_t((m_targetX - m_startX) * done / int64_t(kTileSlideMs)),
        m_startY + int32_t((m_targetY - m_startY) * done / int64_t(kTileSlideMs)));
}

void MahjongTileGump::refresh()
{
    const MahjongTile* record = tile();
    if (!record)
        return;
    GumpHandle self(this);
    bringToFront(true);
    if (!self)
        return;
    const bool away = x() != record->x || y() != record->y;
    const bool elsewhere = m_sliding && (m_targetX != record->x || m_targetY != record->y);
    if ((away && !m_sliding) || elsewhere) {
        m_sliding = true;
        m_slideStartMs = nowMs();
        m_startX = x();
        m_startY = y();
        m_targetX = record->x;
        m_targetY = record->y;
    }
    int32_t pictureWidth = 0;
    int32_t pictureHeight = 0;
    turnedArtSize(kTileBackArt, record->direction, pictureWidth, pictureHeight);
    m_shownArt = record->isFaceUp() ? kTileBackArt + record->face : kTileBackArt;
    m_shownTurn = pieceTurn(record->direction);
    if (GumpPage* face = preparePage(pictureWidth, pictureHeight))
        drawTurnedArt(*face, m_shownArt, record->direction);
    if (CGump* wallBreak = m_board.wallBreakGump())
        wallBreak->bringToFront(true);
}

void MahjongTileGump::placeAt(int32_t x, int32_t y)
{
    m_sliding = false;
    setLocation(x, y);
    refresh();
}

void MahjongTileGump::onLeftDown(int32_t x, int32_t y)
{
    if (isAllowed())
        press(x, y);
}

void MahjongTileGump::onLeftUp(int32_t, int32_t)
{
    if (!endPress())
        return;
    BoardPosition settled;
    if (!isAllowed() || !settle(settled))
        return;
    setLocation(settled.x, settled.y);
    const MahjongTile* record = tile();
    if (settled.x != record->x || settled.y != record->y)
        m_board.table()->dropTile(m_number, settled);
    else
        m_board.table()->restack();
}

void MahjongTileGump::onRightUp(int32_t, int32_t)
{
    releaseCapture();
    MahjongTable* table = m_board.table();
    GumpHandle self(this);
    if (isAllowed()) {
        table->rotateTile(m_number);
        if (self)
            bringToFront(false);
        return;
    }
    if (table && table->ownSeat())
        return;
    bringToFront(false);
}

void MahjongTileGump::onDrag(int32_t x, int32_t y)
{
    if (!isAllowed() || !isPressed())
        return;
    if (x != pressX() || y != pressY()) {
        GumpHandle self(this);
        bringToFront(false);
        if (!self)
            return;
        followPointer(x, y);
    }
    BoardPosition settled;
    if (settle(settled))
        setLocation(settled.x, settled.y);
}

void MahjongTileGump::activate()
{
    if (!isAllowed())
        return;
    GumpHandle self(this);
    bringToFront(false);
    if (self)
        m_board.table()->flipTile(m_number);
}

// ---- dice ----

DiceGump::DiceGump(int32_t x, int32_t y, int32_t count)
    : MahjongPieceGump(x, y)
    , m_values(size_t(std::max(count, 0)), 1)
{
    setTypeName("dice gump");
    redrawDice();
}

void DiceGump::setValue(int32_t index, int32_t value, bool redraw)
{
    if (index < 0 || index >= count())
        return;
    m_values[size_t(index)] = value;
    if (redraw)
        redrawDice();
}

void DiceGump::redrawDice()
{
    int32_t dieWidth = 0;
    int32_t dieHeight = 0;
    getGumpArtSize(kDieSizeArt, dieWidth, dieHeight);
    GumpPage* face = preparePage(count() * dieWidth, dieHeight);
    if (!face)
        return;
    for (int32_t i = 0; i < count(); ++i)
        drawGumpArt(copySpanTransparent, kDieArtBase + m_values[size_t(i)], face->target(), i * dieWidth, 0);
}

void DiceGump::onRightUp(int32_t, int32_t)
{
    releaseCapture();
    bringToFront(false);
}

void DiceGump::onDrag(int32_t x, int32_t y)
{
    followPointer(x, y);
    keepInsideParent();
}

void DiceGump::activate()
{
    GumpHandle self(this);
    bringToFront(false);
    if (self && m_action)
        m_action(*this);
}

// ---- the dealer indicator ----

MahjongDealerIndicatorGump::MahjongDealerIndicatorGump(MahjongBoardGump& board)
    : MahjongPieceGump(0, 0)
    , m_board(board)
{
    setTypeName("mahjong dealer indicator gump");
}

MahjongDealerIndicatorGump::~MahjongDealerIndicatorGump() { m_board.forgetDealerGump(); }

namespace {

bool isAllowedForIndicators(const MahjongBoardGump& board)
{
    const MahjongTable* table = board.table();
    const MahjongSeat* own = table ? table->ownSeat() : nullptr;
    return own && own->kind == kSeatKindManager;
}

} // namespace

void MahjongDealerIndicatorGump::refresh()
{
    const MahjongTable* table = m_board.table();
    if (!table)
        return;
    const MahjongDealerIndicator& dealer = table->dealer();
    setLocation(dealer.x, dealer.y);
    m_shownArt = kWindArtBase + dealer.wind;
    int32_t pictureWidth = 0;
    int32_t pictureHeight = 0;
    turnedArtSize(m_shownArt, dealer.direction, pictureWidth, pictureHeight);
    if (GumpPage* face = preparePage(pictureWidth, pictureHeight))
        drawTurnedArt(*face, m_shownArt, dealer.direction);
}

void MahjongDealerIndicatorGump::onLeftDown(int32_t x, int32_t y)
{
    if (isAllowedForIndicators(m_board))
        press(x, y);
}

void MahjongDealerIndicatorGump::onLeftUp(int32_t, int32_t)
{
    if (!endPress())
        return;
    if (!isAllowedForIndicators(m_board))
        return;
    MahjongTable* table = m_board.table();
    const MahjongDealerIndicator& dealer = table->dealer();
    const BoardPosition snapped = snappedPlace(*this, dealer.direction, kDealerWidth, kDealerHeight);
    if (snapped.x != dealer.x || snapped.y != dealer.y)
        table->dropDealer(snapped.x, snapped.y);
    else
        table->restack();
}

void MahjongDealerIndicatorGump::onRightUp(int32_t, int32_t)
{
    releaseCapture();
    if (isAllowedForIndicators(m_board))
        m_board.table()->rotateDealer();
}

void MahjongDealerIndicatorGump::onDrag(int32_t x, int32_t y)
{
    if (!isAllowedForIndicators(m_board))
        return;
    followPointer(x, y);
    const BoardPosition snapped
        = snappedPlace(*this, m_board.table()->dealer().direction, kDealerWidth, kDealerHeight);
    setLocation(snapped.x, snapped.y);
}

WString MahjongDealerIndicatorGump::getTooltipText(int32_t, int32_t)
{
    const MahjongTable* table = m_board.table();
    return table ? WString(localizedText(windTooltipCliloc(table->dealer().wind)).c_str()) : WString();
}

void MahjongDealerIndicatorGump::activate()
{
    if (isAllowedForIndicators(m_board))
        m_board.table()->advanceWind();
}

// ---- the wall-break indicator ----

MahjongWallBreakIndicatorGump::MahjongWallBreakIndicatorGump(MahjongBoardGump& board)
    : MahjongPieceGump(0, 0)
    , m_board(board)
{
    setTypeName("mahjong wall break indicator gump");
}

MahjongWallBreakIndicatorGump::~MahjongWallBreakIndicatorGump() { m_board.forgetWallBreakGump(); }

void MahjongWallBreakIndicatorGump::refresh()
{
    const MahjongTable* table = m_board.table();
    if (!table)
        return;
    setLocation(table->wallBreak().x, table->wallBreak().y);
    int32_t pictureWidth = 0;
    int32_t pictureHeight = 0;
    getGumpArtSize(kWallBreakArt, pictureWidth, pictureHeight);
    if (GumpPage* face = preparePage(pictureWidth, pictureHeight))
        drawGumpArt(copySpanTransparent, kWallBreakArt, face->target(), 0, 0);
}

void MahjongWallBreakIndicatorGump::onLeftUp(int32_t, int32_t)
{
    if (!endPress())
        return;
    if (!isAllowedForIndicators(m_board))
        return;
    MahjongTable* table = m_board.table();
    const BoardPosition snapped = snappedPlace(*this, 0, kWallBreakSize, kWallBreakSize);
    if (snapped.x != table->wallBreak().x || snapped.y != table->wallBreak().y)
        table->moveWallBreak(snapped);
    else
        table->restack();
}

void MahjongWallBreakIndicatorGump::onRightUp(int32_t, int32_t)
{
    releaseCapture();
    bringToFront(false);
}

void MahjongWallBreakIndicatorGump::onDrag(int32_t x, int32_t y)
{
    if (!isAllowedForIndicators(m_board))
        return;
    followPointer(x, y);
    const BoardPosition snapped = snappedPlace(*this, 0, kWallBreakSize, kWallBreakSize);
    setLocation(snapped.x, snapped.y);
}

void MahjongWallBreakIndicatorGump::activate() { bringToFront(false); }

// ---- the score drag ----

MahjongScoreDragGump::MahjongScoreDragGump(MahjongBoardGump& board, uint32_t amount)
    : MahjongPieceGump(0, 0)
    , m_board(board)
    , m_amount(amount)
{
    setTypeName("mahjong score drag gump");
    int32_t pieceWidth = 0;
    int32_t pieceHeight = 0;
    getGumpArtSize(kScorePieceArt, pieceWidth, pieceHeight);
    if (GumpPage* face = preparePage(3 * pieceWidth, pieceHeight)) {
        for (int32_t i = 0; i < 3; ++i)
            drawGumpArt(copySpanTransparent, kScorePieceArt, face->target(), i * pieceWidth, 0);
    }
}

MahjongScoreDragGump::~MahjongScoreDragGump() { m_board.forgetScoreDrag(); }

void MahjongScoreDragGump::onLeftUp(int32_t x, int32_t y)
{
    if (!endPress())
        return;
    if (MahjongTable* table = m_board.table()) {
        int32_t boardX = x;
        int32_t boardY = y;
        localToScreen(boardX, boardY);
        m_board.screenToLocal(boardX, boardY);
        const int32_t seat = seatOfRegion(findRegion(toBoard(boardX), toBoard(boardY)));
        if (seat >= 0)
            table->sendGiveScore(uint8_t(seat), m_amount);
    }
    closeGump(this);
}

void MahjongScoreDragGump::onRightUp(int32_t, int32_t)
{
    releaseCapture();
    closeGump(this);
}

} // namespace mahjong
