#include "windows/ability_book_gump.h"

#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"
#include "gump/button.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/gump_services.h"
#include "text/ascii_font.h"
#include "windows/icon_gumps.h"
#include "windows/weapon_abilities.h"
#include "world/tile_data.h"
#include "world/world_services.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace {

constexpr int32_t kAbilityBookTurnSound = 85;
constexpr int32_t kAbilityBookPreviousCorner = 2235;
constexpr int32_t kAbilityBookNextCorner = 2236;
constexpr int32_t kAbilityBookRuleArt = 2101;
constexpr int32_t kAbilityBookTitleFont = 6;
constexpr int32_t kAbilityBookListFont = 9;
constexpr int32_t kAbilityBookListHue = 648;
constexpr int32_t kAbilityBookLeftX = 56;
constexpr int32_t kAbilityBookRightX = 218;
constexpr int32_t kAbilityBookFirstSpread = 7;
constexpr int32_t kAbilityBookLastSpread = 63;
constexpr int32_t kAbilityBookLeftWeapons = 6;

AbilityBookGump*& currentAbilityBook()
{
    static AbilityBookGump* book = nullptr;
    return book;
}

void playAbilityBookSound()
{
    worldService<WorldSounds>().playSound(kAbilityBookTurnSound, 0, 0, false, 0, false);
}

void abilityBookArtSize(int32_t art, int32_t& width, int32_t& height)
{
    width = height = 0;
    getGumpArtSize(art, width, height);
}

// The baseline and the height of "Aq" in the ASCII list font.
void abilityBookListMetrics(int32_t& baseline, int32_t& height)
{
    int32_t width = 0;
    baseline = height = 0;
    measureAsciiText(kAbilityBookListFont, "Aq", width, height, baseline);
}

// The tile-data name of a weapon with every word capitalised; graphic 0
// stands for bare hands.
std::string abilityBookWeaponName(uint16_t graphic)
{
    if (graphic == 0)
        return "bare hands";
    std::string name(tileNameText(tileData().item(graphic).name));
    bool wordStart = true;
    for (char& c : name) {
        if (wordStart)
            c = char(std::toupper(static_cast<unsigned char>(c)));
        wordStart = c == ' ';
    }
    return name;
}

// The ability number the index row shows on the spread: rows 0..8 are the
// left page, 9..12 the right.
int32_t abilityOfIndexRow(int32_t spread, int32_t row) { return row + 13 * ((spread - 1) / 2) + 1; }

} // namespace

AbilityBookGump::AbilityBookGump(int32_t x, int32_t y)
    : IconPageBook(x, y, nullptr, 2, 0, 0)
{
    setTypeName("combat ability book gump");
    addKind(GumpKind::AbilityBook);
    int32_t width = 0, height = 0;
    abilityBookArtSize(kWindowArt, width, height);
    setSize(width, height + 20);
    page(0)->allocate(width, height + 20);
    int32_t minimisedWidth = 0, minimisedHeight = 0;
    abilityBookArtSize(kMinimisedArt, minimisedWidth, minimisedHeight);
    setMinimisedSize(minimisedWidth, minimisedHeight);
    page(1)->allocate(minimisedWidth, minimisedHeight);
    drawGumpArt(copySpanTransparent, kMinimisedArt, page(1)->target(), 0, 0);
    if (x == -1) {
        const GumpScreen& screen = gumpScreen();
        moveTo(screen.gameViewX + (screen.gameWidth - width) / 2, screen.gameViewY + (screen.gameHeight - height) / 2,
            true, nullptr, false);
    }
    setCurrentPage(1);
    currentAbilityBook() = this;
    auto* strip = Button::hotSpot(
        3, 100, 21, 118, ButtonBehaviour::ClickOnRelease, 0, [](CGump* parent) { parent->minimize(); }, false);
    gumpLink(strip, this);
    redraw();
    playAbilityBookSound();
    gumpLink(this, nullptr);
}

AbilityBookGump::~AbilityBookGump()
{
    if (currentAbilityBook() == this)
        currentAbilityBook() = nullptr;
    deleteChildren();
    service<GumpPointer>().clearPointerCaptureIf(this);
}

AbilityBookGump* AbilityBookGump::current()
{
    AbilityBookGump* book = currentAbilityBook();
    return book && isValidGump(book) ? book : nullptr;
}

AbilityBookGump* AbilityBookGump::open()
{
    if (AbilityBookGump* book = current()) {
        book->bringToFront(false);
        return book;
    }
    return new AbilityBookGump(-1, -1);
}

int32_t AbilityBookGump::shownAbility() const
{
    return spread() > kIndexPages ? (spread() - kIndexPages) / 2 + 1 : 0;
}

void AbilityBookGump::turnTo(int32_t spread)
{
    setCurrentPage(spread);
    redraw();
}

void AbilityBookGump::redraw()
{
    // Any page number (the desktop file's too) shows the spread holding it.
    int32_t shown = std::clamp(currentPage(), 1, kAbilityBookLastSpread);
    setCurrentPage((shown & 1) ? shown : shown - 1);
    GumpPage& face = *page(0);
    if (!face.isAllocated())
        return;
    std::fill(face.pixels.begin(), face.pixels.end(), uint16_t(0));
    drawGumpArt(copySpanTransparent, kWindowArt, face.target(), 0, 0);
    if (spread() > 1)
        drawGumpArt(copySpanTransparent, kAbilityBookPreviousCorner, face.target(), 50, 8);
    if (spread() + 1 < kPageCount)
        drawGumpArt(copySpanTransparent, kAbilityBookNextCorner, face.target(), 321, 8);
    if (spread() <= kIndexPages)
        drawIndexSpread();
    else
        drawAbilitySpread(shownAbility());
    markLookChanged();
}

void AbilityBookGump::drawIndexSpread()
{
    GumpPage& face = *page(0);
    const TextSurface surface = face.surface();
    const TextClip whole = wholeSurface(surface);
    int32_t baseline = 0, rowHeight = 0;
    abilityBookListMetrics(baseline, rowHeight);
    drawAsciiText(100, baseline + 10, kAbilityBookTitleFont, 0, "INDEX", surface, whole);
    drawAsciiText(262, baseline + 10, kAbilityBookTitleFont, 0, "INDEX", surface, whole);
    for (int32_t row = 0; row < kLeftIndexRows + kRightIndexRows; ++row) {
        const int32_t ability = abilityOfIndexRow(spread(), row);
        if (ability >= 30)
            break;
        const bool left = row < kLeftIndexRows;
        const int32_t x = left ? kAbilityBookLeftX : kAbilityBookRightX;
        const int32_t y = baseline + 41 + (left ? row : row - kLeftIndexRows) * rowHeight;
        const std::string name(abilityName(ability));
        drawAsciiTextClipped(x, y, kAbilityBookListFont, kAbilityBookListHue, name.c_str(), surface,
            TextClip { x, 0, x + 144, face.height });
    }
    int32_t iconWidth = 0, iconHeight = 0;
    abilityBookArtSize(AbilityIconGump::kSizeArt, iconWidth, iconHeight);
    iconWidth += 4;
    drawGumpArt(copySpanTransparent, abilityIconArt(currentPrimaryAbility()), face.target(), kIconX, kPrimaryIconY);
    drawAsciiTextWrapped(kIconX + 2 + iconWidth, kPrimaryIconY, kAbilityBookTitleFont, 0, "Primary Ability Icon",
        141 - iconWidth, surface, whole, 0, 0, false);
    drawGumpArt(
        copySpanTransparent, abilityIconArt(currentSecondaryAbility()), face.target(), kIconX, kSecondaryIconY);
    drawAsciiTextWrapped(kIconX + 2 + iconWidth, kSecondaryIconY, kAbilityBookTitleFont, 0, "Secondary Ability Icon",
        141 - iconWidth, surface, whole, 0, 0, false);
}

void AbilityBookGump::drawAbilitySpread(int32_t ability)
{
    GumpPage& face = *page(0);
    const TextSurface surface = face.surface();
    const TextClip whole = wholeSurface(surface);
    int32_t baseline = 0, rowHeight = 0;
    abilityBookListMetrics(baseline, rowHeight);
    int32_t iconWidth = 0, iconHeight = 0;
    abilityBookArtSize(AbilityIconGump::kSizeArt, iconWidth, iconHeight);
    iconWidth += 4;
    const std::string name(abilityName(ability));
    drawAsciiTextWrapped(iconWidth + 58, 29, kAbilityBookTitleFont, 0, name.c_str(), 141 - iconWidth, surface, whole, 0,
        0, false);
    drawGumpArt(copySpanTransparent, abilityIconArt(ability), face.target(), kAbilityBookLeftX, 35);
    const int32_t ruleY = iconHeight + 39;
    int32_t ruleWidth = 0, ruleHeight = 0;
    abilityBookArtSize(kAbilityBookRuleArt, ruleWidth, ruleHeight);
    tileGumpArtArea(copySpanTransparent, kAbilityBookRuleArt, face,
        ScreenRect { kAbilityBookLeftX, ruleY, 189, ruleY + std::max(ruleHeight, 1) }, kAbilityBookLeftX, ruleY);
    const std::span<const uint16_t> weapons = weaponsWithAbility(ability);
    for (size_t j = 0; j < weapons.size(); ++j) {
        const int32_t entry = int32_t(j);
        const bool left = entry < kAbilityBookLeftWeapons;
        const int32_t x = left ? kAbilityBookLeftX : kAbilityBookRightX;
        const int32_t y = left ? 85 + (entry + 1) * (rowHeight + 2) : 20 + (entry - 5) * (rowHeight + 2);
        const std::string weapon = abilityBookWeaponName(weapons[j]);
        drawAsciiText(x, y, kAbilityBookListFont, kAbilityBookListHue, weapon.c_str(), surface, whole);
    }
}

int32_t AbilityBookGump::abilityAtPoint(int32_t x, int32_t y) const
{
    // Points above the first row are on none (the row would come out 0 or
    // negative there).
    if (spread() > kIndexPages || y < kIndexFirstRow || y > 199)
        return 0;
    int32_t baseline = 0, rowHeight = 0;
    abilityBookListMetrics(baseline, rowHeight);
    int32_t row = (y - kIndexFirstRow) / std::max(rowHeight, 1);
    if (x >= kAbilityBookLeftX && x <= 199) {
        if (row >= kLeftIndexRows)
            return 0;
    } else if (x >= kAbilityBookRightX && x <= 361) {
        if (row >= kRightIndexRows)
            return 0;
        row += kLeftIndexRows;
    } else {
        return 0;
    }
    const int32_t ability = abilityOfIndexRow(spread(), row);
    return ability >= 1 && ability <= kWeaponAbilityCount ? ability : 0;
}

int32_t AbilityBookGump::iconAtPoint(int32_t x, int32_t y) const
{
    if (spread() > kIndexPages)
        return 0;
    int32_t width = 0, height = 0;
    abilityBookArtSize(AbilityIconGump::kSizeArt, width, height);
    if (x < kIconX || x > kIconX + width)
        return 0;
    if (y >= kPrimaryIconY && y <= kPrimaryIconY + height)
        return AbilityIconGump::kPrimary;
    if (y >= kSecondaryIconY && y <= kSecondaryIconY + height)
        return AbilityIconGump::kSecondary;
    return 0;
}

int32_t AbilityBookGump::tooltipIdAt(int32_t x, int32_t y) const
{
    if (isMinimised())
        return -1;
    if (spread() > kIndexPages) {
        int32_t width = 0, height = 0;
        abilityBookArtSize(AbilityIconGump::kSizeArt, width, height);
        const bool overIcon
            = x >= kAbilityBookLeftX && x <= kAbilityBookLeftX + width && y >= 35 && y <= 35 + height;
        return overIcon ? abilityDescriptionCliloc(shownAbility()) : -1;
    }
    switch (iconAtPoint(x, y)) {
    case AbilityIconGump::kPrimary:
        return abilityNameCliloc(currentPrimaryAbility());
    case AbilityIconGump::kSecondary:
        return abilityNameCliloc(currentSecondaryAbility());
    default:
        return -1;
    }
}

bool AbilityBookGump::inCorner(int32_t art, int32_t cornerX, int32_t x, int32_t y) const
{
    int32_t width = 0, height = 0;
    abilityBookArtSize(art, width, height);
    return x >= cornerX && x < cornerX + width && y >= 8 && y < 8 + height;
}

void AbilityBookGump::singleClick(int32_t x, int32_t y)
{
    if (isMinimised())
        return;
    if (spread() > 1 && inCorner(kAbilityBookPreviousCorner, 50, x, y)) {
        turnTo(spread() - 2);
        playAbilityBookSound();
        return;
    }
    if (spread() + 1 < kPageCount && inCorner(kAbilityBookNextCorner, 321, x, y)) {
        turnTo(spread() + 2);
        playAbilityBookSound();
        return;
    }
    const int32_t ability = abilityAtPoint(x, y);
    if (ability > 0)
        turnTo(2 * ability + 5);
}

void AbilityBookGump::doubleClick(int32_t x, int32_t y)
{
    if (isMinimised()) {
        restore();
        return;
    }
    if (spread() > 1 && inCorner(kAbilityBookPreviousCorner, 50, x, y)) {
        turnTo(1);
        playAbilityBookSound();
        return;
    }
    if (spread() + 1 < kPageCount && inCorner(kAbilityBookNextCorner, 321, x, y)) {
        turnTo(kAbilityBookLastSpread);
        playAbilityBookSound();
        return;
    }
    switch (iconAtPoint(x, y)) {
    case AbilityIconGump::kPrimary:
        activateWeaponAbility(currentPrimaryAbility());
        break;
    case AbilityIconGump::kSecondary:
        activateWeaponAbility(currentSecondaryAbility());
        break;
    default:
        break;
    }
}

void AbilityBookGump::draw(GumpCanvas& canvas)
{
    // The spread lives in the current page; the base draws the face page
    // chosen for the moment and the spread is put back.
    const int32_t shown = currentPage();
    setCurrentPage(isMinimised() ? 1 : 0);
    CGump::draw(canvas);
    setCurrentPage(shown);
}

bool AbilityBookGump::containsPoint(int32_t x, int32_t y)
{
    GumpPage* shown = page(isMinimised() ? 1 : 0);
    if (!shown || !shown->isAllocated() || x < 0 || y < 0 || x >= shown->width || y >= shown->height)
        return false;
    return shown->pixel(x, y) != 0;
}

void AbilityBookGump::onHoverTick()
{
    IconPageBook::onHoverTick();
    int32_t x = 0, y = 0;
    service<GumpPointer>().pointerPosition(x, y);
    screenToLocal(x, y);
    setTooltipId(tooltipIdAt(x, y));
}
