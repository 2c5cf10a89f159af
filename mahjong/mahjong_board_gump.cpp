#include "mahjong/mahjong_board_gump.h"

#include "data/targeting.h"
#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"
#include "gump/generic_gump.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "gump/mahjong_board_parts.h"
#include "gump/property_cache.h"
#include "gump/prompt_windows.h"
#include "gump/toggle_control.h"
#include "mahjong/mahjong_piece_gumps.h"
#include "mahjong/mahjong_table_area_panel.h"
#include "text/unicode_font.h"
#include "world/item.h"
#include "world/object_manager.h"
#include "world/world_services.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace mahjong {

namespace {

constexpr int32_t kOwnSeatBoxX = 495;
constexpr int32_t kOwnSeatBoxY = 643;
constexpr int32_t kOwnSeatBoxTooltip = 1062707;
constexpr int32_t kDiceX = 515;
constexpr int32_t kDiceY = 530;
constexpr int32_t kDiceTooltip = 1062769;
constexpr int32_t kWallBreakTooltip = 1062770;
constexpr int32_t kLeaveX = 215;
constexpr int32_t kLeaveY = 260;
constexpr int32_t kLeaveWidth = 240;
constexpr int32_t kLeaveHeight = 140;
constexpr int32_t kLeavePromptCode = 0;
// The strip's height when the font cannot be measured.
constexpr int32_t kSeatStripLineHeight = 18;

MahjongBoardGump*& boardSlot()
{
    static MahjongBoardGump* board = nullptr;
    return board;
}

std::u16string asciiToWide(const std::string& text) { return std::u16string(text.begin(), text.end()); }

void rollDice(DiceGump&)
{
    if (MahjongTable* table = getMahjongTable())
        table->sendRollDice();
}

void scoreAmountChosen(int32_t amount)
{
    if (MahjongBoardGump* board = openMahjongBoardGump())
        board->startScoreDrag(amount);
}

// The board window for the packet handler.
class BoardWindowControl final : public MahjongBoardControl {
public:
    MahjongTable* openTable() override { return getMahjongTable(); }
    void openBoard(uint32_t tableSerial) override { openMahjongBoard(tableSerial); }
    void closeBoard() override { closeMahjongBoard(); }
    void destroyBoard() override
    {
        if (MahjongBoardGump* board = openMahjongBoardGump())
            closeGump(board);
    }
};

// A seated player's property list arriving redraws the seat strips (the
// names may come from it).
class SeatPropertyLists final : public PropertyListWindows {
public:
    explicit SeatPropertyLists(PropertyListWindows& next)
        : m_next(next)
    {
    }
    bool isPointerHeld() override { return m_next.isPointerHeld(); }
    bool isListedByShop(uint32_t serial) override { return m_next.isListedByShop(serial); }
    void propertyListArrived(uint32_t serial) override
    {
        MahjongTable* table = getMahjongTable();
        if (table && table->findSeatBySerial(serial))
            table->refreshBoard();
        m_next.propertyListArrived(serial);
    }
    int32_t playerStrength() override { return m_next.playerStrength(); }

private:
    PropertyListWindows& m_next;
};

// The table item leaving the world takes its board window with it.
class MahjongTableObjectViews final : public ObjectViews {
public:
    explicit MahjongTableObjectViews(ObjectViews& next)
        : m_next(next)
    {
    }
    void objectLeftWorld(Item& item) override
    {
        MahjongBoardGump* board = openMahjongBoardGump();
        MahjongTable* table = board ? board->table() : nullptr;
        if (table && table->tableSerial() == item.serial)
            closeGump(board);
        m_next.objectLeftWorld(item);
    }
    void mobileHidden(Mobile& mobile) override { m_next.mobileHidden(mobile); }
    void objectDestroyed(Item& item) override { m_next.objectDestroyed(item); }
    void refreshStatusBars(Item& item, int32_t kind) override { m_next.refreshStatusBars(item, kind); }
    void mobileMoved(Mobile& mobile, bool wasMoving) override { m_next.mobileMoved(mobile, wasMoving); }

private:
    ObjectViews& m_next;
};

BoardWindowControl g_boardControl;
std::unique_ptr<MahjongTableObjectViews> g_tableObjectViews;
ObjectViews* g_objectViewsBeforeMahjong = nullptr;
MahjongBoardControl* g_previousBoards = nullptr;
std::unique_ptr<SeatPropertyLists> g_seatLists;
PropertyListWindows* g_previousLists = nullptr;

} // namespace

SeatStripTexts seatStripTexts(const MahjongTable& table, uint8_t viewSeat)
{
    SeatStripTexts texts;
    const MahjongSeat* seat = table.findSeat(viewSeat);
    const bool showScore = seat && ((viewSeat == 1 && table.ownSeat()) || (table.options() & 1) != 0);
    texts.score = showScore ? asciiToWide(std::to_string(seat->score)) : u"----";
    if (!seat || seat->serial == 0) {
        texts.name = u"[---]";
    } else if (seat->nameFlags & 1) {
        texts.name = seat->name.empty() ? u"[???]" : u"[" + asciiToWide(seat->name) + u"]";
    } else {
        texts.name = seat->name.empty() ? u"???" : asciiToWide(seat->name);
    }
    if (seat && seat->kind == kSeatKindManager)
        texts.nameColour = kManagerNameColour;
    return texts;
}

MahjongBoardGump::MahjongBoardGump(uint32_t tableSerial)
    : CGump(kBoardX, kBoardY, nullptr, 1, kBoardSize, kBoardSize)
{
    setTypeName("mahjong board gump");
    addKind(GumpKind::MahjongBoard);
    boardSlot() = this;
    page(0)->allocate(kBoardSize, kBoardSize);
    if (!getGumpArtSize(kBoardArt, m_artWidth, m_artHeight))
        m_artWidth = m_artHeight = kBoardSize;
    getGumpArtSize(kScorePieceArt, m_pieceWidth, m_pieceHeight);

    m_table = std::make_unique<MahjongTable>(tableSerial, *this);
    m_textLog = GumpHandle(service<MahjongBoardParts>().openTextLog(*this));
    m_panel = new MahjongTableAreaPanel(*this);
    gumpLink(m_panel, nullptr);
    m_ownSeatBox = new ToggleControl(kOwnSeatBoxX, kOwnSeatBoxY, kOwnSeatBoxOffArt, kOwnSeatBoxOnArt, 0, 0, "",
        false, kOwnSeatBoxOffArt, kOwnSeatBoxOnArt);
    m_ownSeatBox->setTooltipId(kOwnSeatBoxTooltip);
    gumpLink(m_ownSeatBox, this);
    for (const MahjongTile& tile : m_table->tiles()) {
        auto* gump = new MahjongTileGump(*this, tile);
        m_tiles[tile.number] = gump;
        gumpLink(gump, this);
        gump->refresh();
    }
    m_dice = new DiceGump(kDiceX, kDiceY, 2);
    m_dice->setAction(rollDice);
    m_dice->setTooltipId(kDiceTooltip);
    gumpLink(m_dice, this);
    m_dealer = new MahjongDealerIndicatorGump(*this);
    gumpLink(m_dealer, this);
    m_dealer->refresh();
    m_wallBreak = new MahjongWallBreakIndicatorGump(*this);
    m_wallBreak->setTooltipId(kWallBreakTooltip);
    gumpLink(m_wallBreak, this);
    m_wallBreak->refresh();
    refreshBoard();
}

MahjongBoardGump::~MahjongBoardGump()
{
    // A seat pick of the table-area panel ends with the board.
    GumpPointer& pointer = service<GumpPointer>();
    pointer.setCursorForGumpType(0);
    TargetingState& targeting = targetingState();
    targeting.callback = nullptr;
    targeting.command = {};
    endTargeting();
    if (boardSlot() == this)
        boardSlot() = nullptr;
    if (MahjongTableAreaPanel* panel = m_panel) {
        m_panel = nullptr;
        panel->forgetBoard();
        closeGump(panel);
    }
    // The score drag is top-level: it goes with the board it carries score for.
    if (MahjongScoreDragGump* drag = m_scoreDrag) {
        m_scoreDrag = nullptr;
        closeGump(drag);
    }
    if (m_table) {
        m_table->sendBoardClosed();
        m_table.reset();
    }
    // The pieces clear their names here while the board is still whole.
    deleteChildren();
}

void MahjongBoardGump::bringToFront(bool keepFocus)
{
    GumpHandle self(this);
    CGump::bringToFront(keepFocus);
    if (self && m_panel)
        m_panel->CGump::bringToFront(keepFocus);
}

void MahjongBoardGump::onLeftDown(int32_t x, int32_t y)
{
    bringToFront(false);
    m_pressed = true;
    m_pressX = x;
    m_pressY = y;
}

void MahjongBoardGump::onLeftUp(int32_t, int32_t)
{
    GumpHandle self(this);
    TargetingState& targeting = targetingState();
    if (targeting.targetingActive && targeting.callback) {
        // The pick clears the callback it runs in: run a copy.
        auto pick = targeting.callback;
        TargetChoice player;
        player.serial = ::playerSerial();
        player.isMobile = player.isPlayer = true;
        pick(player);
    }
    if (!self)
        return;
    m_pressed = false;
    service<GumpPointer>().clearPointerCaptureIf(this);
}

void MahjongBoardGump::onRightUp(int32_t, int32_t)
{
    GumpHandle self(this);
    CGump* question = service<PromptWindows>().openPrompt(this, kLeaveX, kLeaveY, kLeaveWidth, kLeaveHeight,
        kLeavePromptCode, localizedText(kLeaveQuestionCliloc), true);
    if (!self)
        return;
    if (question)
        m_leaveQuestion = GumpHandle(question);
    service<GumpPointer>().clearPointerCaptureIf(this);
}

void MahjongBoardGump::onMouseOver(int32_t, int32_t)
{
    GumpPointer& pointer = service<GumpPointer>();
    if (targetingState().targetingActive && !isMinimised())
        pointer.setCursorKind(kTargetCursorKind);
    else
        pointer.setCursorForGumpType(0);
}

void MahjongBoardGump::onDrag(int32_t x, int32_t y)
{
    if (!m_pressed)
        return;
    if (isInOwnScoreArea(m_pressX, m_pressY) && m_table && m_table->ownSeat()) {
        if (std::abs(x - m_pressX) <= kScoreDragThreshold && std::abs(y - m_pressY) <= kScoreDragThreshold)
            return;
        m_pressed = false;
        openScoreChooser();
        return;
    }
    moveBy(x - m_pressX, y - m_pressY, true, nullptr, true);
}

void MahjongBoardGump::onControlChanged(CGump* control)
{
    if (control == m_ownSeatBox && m_table && m_table->ownSeat())
        m_table->setOwnSeatFlag(m_ownSeatBox->isChecked());
}

bool MahjongBoardGump::onMessengerEvent(int32_t code, int32_t, int32_t)
{
    if (code != kLeavePromptCode)
        return true;
    // OK on the leave question: the board goes, and the question with it.
    m_leaveQuestion = GumpHandle();
    closeGump(this);
    return false;
}

WString MahjongBoardGump::getTooltipText(int32_t x, int32_t y)
{
    if (isInOwnScoreArea(x, y))
        return WString(localizedText(kOwnScoreTooltipCliloc).c_str());
    return {};
}

bool MahjongBoardGump::isInOwnScoreArea(int32_t x, int32_t y) const
{
    return x > 234 && x <= 3 * m_pieceWidth + 234 && y >= m_artHeight - m_pieceHeight - 152
        && y <= m_artHeight - 153;
}

uint32_t MahjongBoardGump::playerSerial() const { return ::playerSerial(); }

void MahjongBoardGump::sendRequest(uint32_t tableSerial, const MahjongRequest& request)
{
    sendMahjongRequest(tableSerial, request);
}

void MahjongBoardGump::tileChanged(const MahjongTile& tile)
{
    if (MahjongTileGump* gump = tileGump(tile.number))
        gump->refresh();
}

void MahjongBoardGump::tilePlaced(const MahjongTile& tile)
{
    if (MahjongTileGump* gump = tileGump(tile.number))
        gump->placeAt(tile.x, tile.y);
}

void MahjongBoardGump::dealerChanged()
{
    if (m_dealer)
        m_dealer->refresh();
}

void MahjongBoardGump::wallBreakChanged()
{
    if (m_wallBreak)
        m_wallBreak->refresh();
}

void MahjongBoardGump::refreshBoard()
{
    drawPicture();
    if (!m_table)
        return;
    if (m_dice) {
        m_dice->setValue(0, m_table->die1(), false);
        m_dice->setValue(1, m_table->die2(), true);
    }
    if (m_panel)
        m_panel->setOptionBoxes(m_table->options());
    const MahjongSeat* own = m_table->ownSeat();
    if (m_ownSeatBox && own) {
        m_ownSeatBox->setChecked((own->seatFlags & 1) != 0);
        m_ownSeatBox->redraw();
    }
}

void MahjongBoardGump::restack(std::span<const uint8_t> tilesBottomToTop)
{
    GumpHandle self(this);
    auto raise = [&](CGump* gump) {
        if (self && gump && isValidGump(gump))
            gump->bringToFront(true);
    };
    raise(m_textLog.get());
    raise(m_dealer);
    for (uint8_t number : tilesBottomToTop)
        raise(tileGump(number));
    raise(m_dice);
    raise(m_wallBreak);
    raise(m_leaveQuestion.get());
}

void MahjongBoardGump::forgetTileGump(uint8_t number)
{
    if (number < m_tiles.size())
        m_tiles[number] = nullptr;
}

void MahjongBoardGump::openScoreChooser()
{
    const MahjongSeat* own = m_table ? m_table->ownSeat() : nullptr;
    if (!own)
        return;
    GumpPointer& pointer = service<GumpPointer>();
    int32_t x = 0;
    int32_t y = 0;
    pointer.pointerPosition(x, y);
    CGump* chooser = service<MahjongBoardParts>().openAmountChooser(x, y, own->score, scoreAmountChosen);
    if (!chooser)
        return;
    chooser->setDragAnchor(chooser->width() / 2, chooser->height() / 2);
    pointer.setPointerCapture(chooser);
}

void MahjongBoardGump::startScoreDrag(int32_t amount)
{
    if (amount == 0 || !m_table)
        return;
    if (!m_scoreDrag) {
        m_scoreDrag = new MahjongScoreDragGump(*this, uint32_t(amount));
        gumpLink(m_scoreDrag, nullptr);
    } else {
        m_scoreDrag->setAmount(uint32_t(amount));
        m_scoreDrag->bringToFront(false);
    }
    GumpPointer& pointer = service<GumpPointer>();
    int32_t x = 0;
    int32_t y = 0;
    pointer.pointerPosition(x, y);
    const int32_t anchorX = m_scoreDrag->width() / 2;
    const int32_t anchorY = m_scoreDrag->height() / 2;
    m_scoreDrag->setLocation(x - anchorX, y - anchorY);
    m_scoreDrag->startDragAt(anchorX, anchorY);
    pointer.setPointerCapture(m_scoreDrag);
}

void MahjongBoardGump::drawPicture()
{
    GumpPage* face = page(0);
    if (!face || !face->isAllocated())
        return;
    std::fill(face->pixels.begin(), face->pixels.end(), uint16_t(0));
    const BlitTarget target = face->target();
    const ScreenRect clip { 0, 0, face->width, face->height };
    drawGumpArt(copySpanTransparent, kBoardArt, target, 0, 0);
    const int32_t a0 = m_artWidth;
    const int32_t b0 = m_artHeight;
    const int32_t a1 = m_pieceWidth;
    const int32_t b1 = m_pieceHeight;
    for (int32_t k = 0; k < 3; ++k) {
        drawGumpArtRotated(copySpanTransparent, kScorePieceArt, target, &clip, a0 - (3 - k) * a1 - 236, 152,
            QuarterTurn::Half);
        drawGumpArtRotated(
            copySpanTransparent, kScorePieceArt, target, &clip, k * a1 + 235, b0 - b1 - 152, QuarterTurn::None);
        drawGumpArtRotated(
            copySpanTransparent, kScorePieceArt, target, &clip, 152, k * a1 + 235, QuarterTurn::Clockwise);
        drawGumpArtRotated(copySpanTransparent, kScorePieceArt, target, &clip, a0 - b1 - 153,
            b0 - (3 - k) * a1 - 236, QuarterTurn::Anticlockwise);
    }
    if (m_table && hasAnyUnicodeFont()) {
        for (uint8_t seat = 0; seat < 4; ++seat)
            drawSeatStrip(*face, seat);
    }
    markLookChanged();
}

void MahjongBoardGump::drawSeatStrip(GumpPage& face, uint8_t viewSeat)
{
    const SeatStripTexts texts = seatStripTexts(*m_table, viewSeat);
    ScopedUnicodeFont font(kSeatStripFont);
    int32_t scoreWidth = 0;
    int32_t height = 0;
    int32_t zero = 0;
    measureUnicodeText(texts.score.c_str(), scoreWidth, height, zero);
    if (height <= 0)
        height = kSeatStripLineHeight;
    std::vector<uint16_t> strip(size_t(kSeatStripWidth) * size_t(height), 0);
    const TextSurface surface { strip.data(), kSeatStripWidth, kSeatStripWidth, height };
    const TextClip whole = wholeSurface(surface);
    drawUnicodeTextLine(surface, texts.score.c_str(), 0, 0, kSeatTextColour, whole);
    const int32_t nameWidth = measureUnicodeString(texts.name.c_str());
    drawUnicodeTextLine(surface, texts.name.c_str(), kSeatStripWidth - nameWidth, 0, texts.nameColour, whole);

    const int32_t a0 = m_artWidth;
    const int32_t b0 = m_artHeight;
    const int32_t a1 = m_pieceWidth;
    int32_t x = 0;
    int32_t y = 0;
    switch (viewSeat) {
    case 0:
        x = 152, y = 4 * a1 + 234;
        break;
    case 1:
        x = 4 * a1 + 234, y = b0 - height - 152;
        break;
    case 2:
        x = a0 - height - 152, y = b0 - 4 * a1 - 413;
        break;
    default:
        x = a0 - 4 * a1 - 413, y = 152;
        break;
    }
    const ScreenRect clip { 0, 0, face.width, face.height };
    drawImageClippedRotated(copySpanTransparent, strip.data(), kSeatStripWidth, height, face.target(), &clip, x, y,
        QuarterTurn((viewSeat + 3) % 4));
}

MahjongBoardGump* openMahjongBoardGump() { return boardSlot(); }

MahjongTable* getMahjongTable()
{
    MahjongBoardGump* board = boardSlot();
    return board ? board->table() : nullptr;
}

void openMahjongBoard(uint32_t tableSerial)
{
    if (boardSlot())
        return;
    auto* board = new MahjongBoardGump(tableSerial);
    gumpLink(board, nullptr);
    board->bringToFront(true);
}

void closeMahjongBoard()
{
    if (MahjongBoardGump* board = boardSlot()) {
        board->dropTable();
        closeGump(board);
    }
}

void installMahjongBoardWindow()
{
    g_previousBoards = installMahjongBoards(&g_boardControl);
    g_seatLists = std::make_unique<SeatPropertyLists>(service<PropertyListWindows>());
    g_previousLists = installService<PropertyListWindows>(g_seatLists.get());
    g_tableObjectViews = std::make_unique<MahjongTableObjectViews>(worldService<ObjectViews>());
    g_objectViewsBeforeMahjong = installWorldService<ObjectViews>(g_tableObjectViews.get());
}

void uninstallMahjongBoardWindow()
{
    closeMahjongBoard();
    installWorldService<ObjectViews>(g_objectViewsBeforeMahjong);
    g_tableObjectViews.reset();
    installService<PropertyListWindows>(g_previousLists);
    g_seatLists.reset();
    installMahjongBoards(g_previousBoards);
}

} // namespace mahjong
