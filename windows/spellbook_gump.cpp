#include "windows/spellbook_gump.h"

#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"
#include "gump/button.h"
#include "gump/gump_canvas.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/gump_services.h"
#include "protocol/world_packet_windows.h"
#include "text/ascii_font.h"
#include "windows/icon_gumps.h"
#include "windows/spell_table.h"
#include "world/container_item.h"
#include "world/object_manager.h"
#include "world/world_services.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct BookArt {
    uint8_t kind;
    int32_t window;
    int32_t minimised;
};

constexpr BookArt kSpellbookArts[] = {
    { 1, 2220, 2234 },
    { 2, 11008, 11011 },
    { 3, 11009, 11012 },
    { 5, 11015, 11017 },
    { 6, 11014, 11016 },
    { 7, 11055, 11053 },
};

constexpr int32_t kSpellbookTitleFont = 6;
constexpr int32_t kSpellbookListFont = 9;
constexpr int32_t kSpellbookListHue = 648;
constexpr int32_t kSpellbookLeftX = 56;
constexpr int32_t kSpellbookRightX = 223;
constexpr int32_t kSpellbookRuleArt = 2101;
constexpr int32_t kSpellbookHighlightHue = 33;
constexpr std::array<int32_t, 8> kCircleTabX { 58, 93, 130, 164, 227, 260, 297, 332 };
constexpr int32_t kCircleTabY = 175;
constexpr int32_t kCircleTabArt = 2225;
constexpr std::array<const char*, 8> kCircleNames { "First Circle", "Second Circle", "Third Circle",
    "Fourth Circle", "Fifth Circle", "Sixth Circle", "Seventh Circle", "Eighth Circle" };

const BookArt& artOf(uint8_t kind)
{
    for (const BookArt& art : kSpellbookArts) {
        if (art.kind == kind)
            return art;
    }
    return kSpellbookArts[0];
}

std::vector<SpellbookGump*>& openSpellbooks()
{
    static std::vector<SpellbookGump*> books;
    return books;
}

// The baseline (ascent minus one) and height of "Aq" in an ASCII font.
void spellbookTextMetrics(int32_t font, int32_t& baseline, int32_t& height)
{
    int32_t width = 0;
    baseline = 0;
    height = 0;
    measureAsciiText(font, "Aq", width, height, baseline);
}

void playTurnSound() { worldService<WorldSounds>().playSound(SpellbookGump::kTurnSound, 0, 0, false, 0, false); }

int32_t spellbookArtWidth(int32_t art)
{
    int32_t width = 0, height = 0;
    getGumpArtSize(art, width, height);
    return width;
}

int32_t spellbookArtHeight(int32_t art)
{
    int32_t width = 0, height = 0;
    getGumpArtSize(art, width, height);
    return height;
}

// Where a heading of the page starts: centred over the left page but clear
// of the previous corner, over the right page but clear of the next corner.
int32_t pageHeadingX(const char* text, bool left)
{
    int32_t width = 0, height = 0, baseline = 0;
    measureAsciiText(kSpellbookListFont, text, width, height, baseline);
    if (left)
        return std::max(kSpellbookLeftX + (139 - width) / 2, 50 + spellbookArtWidth(SpellbookGump::kPreviousCornerArt));
    return std::clamp(kSpellbookRightX + (129 - width) / 2, kSpellbookRightX, std::max(321 - width, kSpellbookRightX));
}

} // namespace

SpellbookGump::SpellbookGump(int32_t x, int32_t y, SpellbookItem& book)
    : IconPageBook(x, y, &book, 2, 0, 0)
    , m_bookSerial(book.serial)
    , m_kind(spellbookKindForGraphic(book.graphic))
{
    setTypeName("spellbook gump");
    addKind(GumpKind::Spellbook);
    setOwnerSerial(book.serial);
    m_indexPages = spellbookIndexPages(m_kind);
    const BookArt& art = artOf(m_kind);
    int32_t width = 0, height = 0;
    getGumpArtSize(art.window, width, height);
    setSize(width, height + 20);
    page(0)->allocate(width, height + 20);
    int32_t minimisedWidth = 0, minimisedHeight = 0;
    getGumpArtSize(art.minimised, minimisedWidth, minimisedHeight);
    setMinimisedSize(minimisedWidth, minimisedHeight);
    page(1)->allocate(minimisedWidth, minimisedHeight);
    drawGumpArt(copySpanTransparent, art.minimised, page(1)->target(), 0, 0);
    if (x == -1 && y == -1) {
        const GumpScreen& screen = gumpScreen();
        moveTo(screen.gameViewX + (screen.gameWidth - width) / 2, screen.gameViewY + (screen.gameHeight - height) / 2,
            true, nullptr, false);
    }
    openSpellbooks().push_back(this);
    auto* strip = Button::hotSpot(
        3, 100, 21, 118, ButtonBehaviour::ClickOnRelease, 0, [](CGump* parent) { parent->minimize(); }, false);
    gumpLink(strip, this);
    showLastSpellIndex();
    redrawBook();
    playTurnSound();
}

SpellbookGump::~SpellbookGump()
{
    auto& books = openSpellbooks();
    books.erase(std::remove(books.begin(), books.end(), this), books.end());
    deleteChildren();
    service<GumpPointer>().clearPointerCaptureIf(this);
    if (!gumpManager().bulkClosing)
        playTurnSound();
}

SpellbookGump* SpellbookGump::findFor(uint32_t bookSerial)
{
    for (SpellbookGump* gump : openSpellbooks()) {
        if (gump->m_bookSerial == bookSerial)
            return gump;
    }
    return nullptr;
}

SpellbookGump* SpellbookGump::openFor(SpellbookItem& book)
{
    if (SpellbookGump* open = findFor(book.serial)) {
        open->redrawBook();
        open->bringToFront(false);
        return open;
    }
    auto* gump = new SpellbookGump(-1, -1, book);
    gumpLink(gump, nullptr);
    return gump;
}

void SpellbookGump::redrawAll(bool showLastSpell)
{
    for (SpellbookGump* gump : std::vector<SpellbookGump*>(openSpellbooks())) {
        if (showLastSpell)
            gump->showLastSpellIndex();
        gump->redrawBook();
    }
}

void SpellbookGump::redrawPaladinBooks()
{
    for (SpellbookGump* gump : std::vector<SpellbookGump*>(openSpellbooks())) {
        if (gump->m_kind == kPaladinBookKind)
            gump->redrawBook();
    }
}

SpellbookItem* SpellbookGump::book() const
{
    Item* object = findItemBySerial(m_bookSerial);
    return object && object->isSpellbook() ? static_cast<SpellbookItem*>(object) : nullptr;
}

int32_t SpellbookGump::spreadPageCount() const { return m_spellCount + m_indexPages + (m_indexPages & 1); }

int32_t SpellbookGump::indexPageOfSpell(int32_t spell) const
{
    return std::clamp(spellCircle(spell), 1, m_indexPages);
}

void SpellbookGump::showLastSpellIndex()
{
    const SpellbookItem* shown = book();
    const int32_t last = lastSpell();
    if (!shown || last == 0)
        return;
    const int32_t count = spellbookSpellCount(*shown);
    for (int32_t i = 0; i < count; ++i) {
        if (spellbookSpellAt(*shown, i) == last) {
            int32_t page = indexPageOfSpell(last);
            m_spread = (page & 1) ? page : page - 1;
            return;
        }
    }
}

void SpellbookGump::turnTo(int32_t spread)
{
    m_spread = std::max(1, (spread & 1) ? spread : spread - 1);
    redrawBook();
}

void SpellbookGump::redrawBook()
{
    GumpPage& face = *page(0);
    if (!face.isAllocated())
        return;
    const SpellbookItem* shown = book();
    m_spellCount = shown ? spellbookSpellCount(*shown) : 0;
    std::fill(face.pixels.begin(), face.pixels.end(), uint16_t(0));
    drawGumpArt(copySpanTransparent, artOf(m_kind).window, face.target(), 0, 0);
    if (m_spread > 1)
        drawGumpArt(copySpanTransparent, kPreviousCornerArt, face.target(), 50, 8);
    if (m_spread + 1 < spreadPageCount())
        drawGumpArt(copySpanTransparent, kNextCornerArt, face.target(), 321, 8);
    if (m_kind == 1) {
        for (size_t tab = 0; tab < kCircleTabX.size(); ++tab)
            drawGumpArt(copySpanTransparent, kCircleTabArt + int32_t(tab), face.target(), kCircleTabX[tab], kCircleTabY);
    }
    if (m_spread <= m_indexPages) {
        drawIndexSpread();
        return;
    }
    if (!shown)
        return;
    const int32_t left = m_spread - m_indexPages - (m_indexPages & 1) - 1;
    drawSpellPage(spellbookSpellAt(*shown, left), kSpellbookLeftX);
    drawSpellPage(spellbookSpellAt(*shown, left + 1), kSpellbookRightX);
}

void SpellbookGump::drawIndexSpread()
{
    GumpPage& face = *page(0);
    const TextSurface surface = face.surface();
    const TextClip whole = wholeSurface(surface);
    int32_t ascent = 0, height = 0, listHeight = 0, unused = 0;
    spellbookTextMetrics(7, ascent, height);
    spellbookTextMetrics(kSpellbookListFont, unused, listHeight);
    drawAsciiText(100, ascent + 10, kSpellbookTitleFont, 0, "INDEX", surface, whole);
    drawAsciiText(267, ascent + 10, kSpellbookTitleFont, 0, "INDEX", surface, whole);
    for (int32_t side = 0; side < 2; ++side) {
        const int32_t pageNumber = m_spread + side;
        const int32_t x = side == 0 ? kSpellbookLeftX : kSpellbookRightX;
        if (m_kind == 1) {
            const char* circle = pageNumber >= 1 && pageNumber <= 8 ? kCircleNames[size_t(pageNumber - 1)] : "Bad Circle";
            drawAsciiText(x, ascent + 30, kSpellbookTitleFont, 0, circle, surface, whole);
        }
        const SpellbookItem* shown = book();
        if (!shown)
            continue;
        int32_t y = ascent + 46;
        for (int32_t i = 0; i < m_spellCount; ++i) {
            const int32_t spell = spellbookSpellAt(*shown, i);
            if (indexPageOfSpell(spell) != pageNumber)
                continue;
            const std::string name(spellName(spell));
            drawAsciiTextClipped(x, y, kSpellbookListFont, kSpellbookListHue, name.c_str(), surface,
                TextClip { x, 0, x + 139, face.height });
            y += listHeight;
        }
    }
    if (m_kind == kPaladinBookKind) {
        drawAsciiText(56, 170, kSpellbookTitleFont, 0, "Tithing Points", surface, whole);
        char available[48];
        std::snprintf(available, sizeof available, "Available: %u", unsigned(statusRecord().tithing));
        drawAsciiText(56, 172 + listHeight, kSpellbookTitleFont, 0, available, surface, whole);
    }
}

void SpellbookGump::drawSpellPage(int32_t spell, int32_t x0)
{
    if (spell < 0)
        return;
    GumpPage& face = *page(0);
    const TextSurface surface = face.surface();
    const TextClip whole = wholeSurface(surface);
    int32_t ascent = 0, unused = 0;
    spellbookTextMetrics(7, ascent, unused);
    const int32_t iconArt = spellIconArt(spell);
    int32_t iconWidth = 0, iconHeight = 0;
    getGumpArtSize(m_kind == 5 ? 0x5400 : m_kind == 6 ? 0x5300 : 2240, iconWidth, iconHeight);
    iconWidth += 4;
    const std::string name(spellName(spell));
    const bool left = x0 == kSpellbookLeftX;
    if (m_kind == 1) {
        // The circle's name centred over the page, clear of the corners;
        // the spell's name beside its icon with the initials of its words.
        const char* circle = kCircleNames[size_t(std::clamp(spellCircle(spell), 1, 8) - 1)];
        const int32_t x = pageHeadingX(circle, left);
        drawAsciiTextClipped(x, ascent + 10, kSpellbookTitleFont, 0, circle, surface, TextClip { x, 0, 321, face.height });
        const int32_t nameHeight = drawAsciiTextWrapped(x0 + 2 + iconWidth, 34, kSpellbookTitleFont, 0, name.c_str(),
            (left ? 137 : 127) - iconWidth, surface, whole, 0, 0, false);
        drawAsciiText(x0 + 2 + iconWidth, 38 + std::max(nameHeight, 0) + ascent, 8, kSpellbookListHue,
            spellWordInitials(spell).c_str(), surface, whole);
    } else {
        // The spell's name heads the page; its words stand beside the icon.
        const int32_t x = left ? pageHeadingX(name.c_str(), true) : kSpellbookRightX;
        drawAsciiTextWrapped(x, 6, kSpellbookTitleFont, 0, name.c_str(), left ? 195 - x : 109, surface, whole, 0, 0,
            false);
        const std::string words(spellWords(spell));
        drawAsciiText(x0 + 2 + iconWidth, 38 + ascent, kSpellbookTitleFont, kSpellbookListHue, words.c_str(), surface,
            whole);
    }
    if (isSpellActive(spell)) {
        setCurrentHueNumber(kSpellbookHighlightHue);
        drawGumpArt(hueSpanByRed, iconArt, face.target(), x0, 40);
    } else {
        drawGumpArt(copySpanTransparent, iconArt, face.target(), x0, 40);
    }
    if (m_kind == 3) {
        char tithing[40];
        std::snprintf(tithing, sizeof tithing, "Tithing Cost:  %d", int(spellTithingCost(spell)));
        drawAsciiText(x0, 164, kSpellbookTitleFont, 0, tithing, surface, whole);
    }
    if (m_kind == 1 || m_kind == 2) {
        const int32_t ruleY = iconHeight + 44;
        tileGumpArtArea(copySpanTransparent, kSpellbookRuleArt, face,
            ScreenRect { x0, ruleY, x0 + 129, ruleY + std::max(spellbookArtHeight(kSpellbookRuleArt), 1) }, x0, ruleY);
        drawAsciiText(x0, ascent + iconHeight + 48, kSpellbookTitleFont, 0, "Reagents:", surface, whole);
        std::string_view reagents = spellReagents(spell);
        int32_t y = ascent + iconHeight + 64;
        while (!reagents.empty()) {
            const size_t end = reagents.find('\n');
            std::string line(reagents.substr(0, end));
            if (!line.empty() && line.front() == ' ')
                line.erase(0, 1);
            drawAsciiText(x0, y, kSpellbookListFont, kSpellbookListHue, line.c_str(), surface, whole);
            y += 14;
            reagents = end == std::string_view::npos ? std::string_view() : reagents.substr(end + 1);
        }
    }
    if (m_kind != 1) {
        char line[40];
        std::snprintf(line, sizeof line, "Mana Cost:  %d", int(spellManaCost(spell)));
        drawAsciiText(x0, 178, kSpellbookTitleFont, 0, line, surface, whole);
        std::snprintf(line, sizeof line, "Min. Skill:  %d", int(spellMinSkill(spell)));
        drawAsciiText(x0, 192, kSpellbookTitleFont, 0, line, surface, whole);
    }
}

int32_t SpellbookGump::indexEntryAtPoint(int32_t x, int32_t y) const
{
    // Points above the first row are no entry (the row would come out 0 or
    // negative there).
    if (m_spread > m_indexPages || y < kIndexFirstRow || y > 194)
        return -1;
    int32_t pageNumber = 0;
    if (x >= 56 && x <= 195)
        pageNumber = m_spread;
    else if (x >= 223 && x <= 352)
        pageNumber = m_spread + 1;
    else
        return -1;
    int32_t unused = 0, listHeight = 0;
    spellbookTextMetrics(kSpellbookListFont, unused, listHeight);
    const int32_t row = (y - kIndexFirstRow) / std::max(listHeight, 1);
    const SpellbookItem* shown = book();
    if (!shown)
        return -1;
    int32_t seen = 0;
    for (int32_t i = 0; i < m_spellCount; ++i) {
        if (indexPageOfSpell(spellbookSpellAt(*shown, i)) != pageNumber)
            continue;
        if (seen++ == row)
            return i;
    }
    return -1;
}

int32_t SpellbookGump::spellAtPoint(int32_t x, int32_t y, bool drag) const
{
    const SpellbookItem* shown = book();
    if (!shown)
        return -1;
    if (m_spread <= m_indexPages) {
        if (drag)
            return -1;
        return spellbookSpellAt(*shown, indexEntryAtPoint(x, y));
    }
    const int32_t left = m_spread - m_indexPages - (m_indexPages & 1) - 1;
    int32_t width = 0, height = 0;
    getGumpArtSize(m_kind == 5 ? 0x5400 : m_kind == 6 ? 0x5300 : 2240, width, height);
    if (y < 40 || y > 40 + height)
        return -1;
    if (x >= kSpellbookLeftX && x <= kSpellbookLeftX + width)
        return spellbookSpellAt(*shown, left);
    if (x >= kSpellbookRightX && x <= kSpellbookRightX + width)
        return spellbookSpellAt(*shown, left + 1);
    return -1;
}

bool SpellbookGump::inCorner(int32_t art, int32_t cornerX, int32_t x, int32_t y) const
{
    return x >= cornerX && x < cornerX + spellbookArtWidth(art) && y >= 8 && y < 8 + spellbookArtHeight(art);
}

void SpellbookGump::singleClick(int32_t x, int32_t y)
{
    if (m_kind == 1 && y >= kCircleTabY && y < kCircleTabY + spellbookArtHeight(kCircleTabArt)) {
        for (size_t tab = 0; tab < kCircleTabX.size(); ++tab) {
            if (x >= kCircleTabX[tab] && x < kCircleTabX[tab] + spellbookArtWidth(kCircleTabArt)) {
                turnTo(int32_t(tab) + 1);
                return;
            }
        }
    }
    if (m_spread > 1 && inCorner(kPreviousCornerArt, 50, x, y)) {
        turnTo(m_spread - 2);
        playTurnSound();
        return;
    }
    if (m_spread + 1 < spreadPageCount() && inCorner(kNextCornerArt, 321, x, y)) {
        turnTo(m_spread + 2);
        playTurnSound();
        return;
    }
    const int32_t entry = indexEntryAtPoint(x, y);
    if (entry >= 0)
        turnTo(m_indexPages + entry + 1);
}

void SpellbookGump::doubleClick(int32_t x, int32_t y)
{
    if (isMinimised()) {
        restore();
        return;
    }
    if (m_spread > 1 && inCorner(kPreviousCornerArt, 50, x, y)) {
        turnTo(1);
        playTurnSound();
        return;
    }
    if (m_spread + 1 < spreadPageCount() && inCorner(kNextCornerArt, 321, x, y)) {
        turnTo(spreadPageCount() - 1);
        playTurnSound();
        return;
    }
    const int32_t spell = spellAtPoint(x, y, false);
    if (spell <= 0)
        return;
    castSpell(spell, 0, true);
    minimize();
    redrawBook();
}

void SpellbookGump::draw(GumpCanvas& canvas)
{
    setCurrentPage(isMinimised() ? 1 : 0);
    CGump::draw(canvas);
}

bool SpellbookGump::containsPoint(int32_t x, int32_t y)
{
    GumpPage* shown = page(isMinimised() ? 1 : 0);
    if (!shown || x < 0 || y < 0 || x >= shown->width || y >= shown->height)
        return false;
    return shown->pixels[size_t(y) * size_t(shown->width) + size_t(x)] != 0;
}

WString SpellbookGump::getTooltipText(int32_t x, int32_t y)
{
    const int32_t spell = isMinimised() ? -1 : spellAtPoint(x, y, true);
    const WString* text = spell > 0 ? gumpTooltipText(spellDescriptionClilocId(spell)) : nullptr;
    return text ? *text : WString();
}

