#pragma once
// The combat ability book: three index spreads listing the 29 weapon
// abilities with the icons of the two abilities of the weapon in hand, then
// one spread per ability with its icon and the weapons that grant it. The
// corners turn the spreads (a double click jumps to the first or last), a
// click on an index name opens that ability's spread, a double click on one
// of the two icons switches that ability on or off, and an icon dragged off
// the index becomes an ability icon window. A drag elsewhere moves the book;
// the strip at the left edge minimises it, a right click closes it. One book
// at a time. Main thread only.
//
// The spread shown (the odd number of its left page) is kept as the gump's
// current page, which the desktop file saves and restores; the open and
// minimised faces are pages 0 and 1, drawn by draw().

#include "windows/icon_page_book.h"

#include <cstdint>

class AbilityBookGump final : public IconPageBook {
public:
    static constexpr int32_t kWindowArt = 11010;
    static constexpr int32_t kMinimisedArt = 11013;
    static constexpr int32_t kIndexPages = 6;
    static constexpr int32_t kLeftIndexRows = 9;
    static constexpr int32_t kRightIndexRows = 4;
    static constexpr int32_t kPageCount = 64;
    static constexpr int32_t kIconX = 218;
    static constexpr int32_t kPrimaryIconY = 105;
    static constexpr int32_t kSecondaryIconY = 150;
    // The first index row's top: points above it are on no row.
    static constexpr int32_t kIndexFirstRow = 43;

    // x = -1 centres the book on the game area. Links itself on top.
    AbilityBookGump(int32_t x, int32_t y);
    ~AbilityBookGump() override;

    // The open book, or null.
    static AbilityBookGump* current();
    // Opens the book, or brings the open one to the front.
    static AbilityBookGump* open();

    int32_t spread() const { return currentPage(); }
    // The ability whose spread is shown, 0 on the index.
    int32_t shownAbility() const;
    // The ability of the index name under the point, 0 for none.
    int32_t abilityAtPoint(int32_t x, int32_t y) const;
    // Which of the weapon's icons on the index is under the point: 1 the
    // primary, 2 the secondary, 0 none.
    int32_t iconAtPoint(int32_t x, int32_t y) const;
    // The tooltip text id at the point (-1 for none).
    int32_t tooltipIdAt(int32_t x, int32_t y) const;

    void redraw();
    void turnTo(int32_t spread);

    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void onHoverTick() override;
    void kindAction() override { redraw(); }

private:
    int32_t iconAtPress(int32_t x, int32_t y) override { return iconAtPoint(x, y); }
    GumpKind pulledIconKind() const override { return GumpKind::AbilityIcon; }
    void singleClick(int32_t x, int32_t y) override;
    void doubleClick(int32_t x, int32_t y) override;
    bool inCorner(int32_t art, int32_t cornerX, int32_t x, int32_t y) const;
    void drawIndexSpread();
    void drawAbilitySpread(int32_t ability);

};
