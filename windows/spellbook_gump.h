#pragma once
// The spellbook window of a spellbook item: index spreads listing the book's
// spells, then one spell per page with its icon, words, reagents and costs.
// The corners turn the spreads (a double click on them jumps to the first or
// last), a click on an index entry opens its spell's spread, a double click
// on a spell casts it and lays the book down minimised; the strip at the left
// edge minimises it too. A spell's icon dragged off its page becomes a spell
// icon window; a drag elsewhere moves the book. Main thread only.

#include "windows/icon_page_book.h"

#include <cstdint>

class SpellbookItem;

class SpellbookGump final : public IconPageBook {
public:
    static constexpr int32_t kTurnSound = 85;
    // The book kind whose spells cost tithing points.
    static constexpr uint8_t kPaladinBookKind = 3;
    static constexpr int32_t kPreviousCornerArt = 2235;
    static constexpr int32_t kNextCornerArt = 2236;
    static constexpr int32_t kIndexFirstRow = 48;

    // x = y = -1 centres the book on the game area.
    SpellbookGump(int32_t x, int32_t y, SpellbookItem& book);
    ~SpellbookGump() override;

    // The open window of the book, or null.
    static SpellbookGump* findFor(uint32_t bookSerial);
    // Opens the book's window, or redraws the one already open.
    static SpellbookGump* openFor(SpellbookItem& book);
    // Every open book shows its content again (new content or flags).
    static void redrawAll(bool showLastSpell);
    // Every open paladin book shows the player's tithing points again.
    static void redrawPaladinBooks();

    uint8_t bookKind() const { return m_kind; }
    int32_t spread() const { return m_spread; }
    int32_t spellCount() const { return m_spellCount; }
    int32_t indexPages() const { return m_indexPages; }
    // Index pages plus one page per spell, made even.
    int32_t spreadPageCount() const;
    // The page of the book's spell (its index page for index lookups).
    int32_t indexPageOfSpell(int32_t spell) const;
    // The content ordinal of the index entry under the point, -1 for none.
    int32_t indexEntryAtPoint(int32_t x, int32_t y) const;
    // The spell under the point: the index entry (none while dragging) or
    // the icon of a spell page; -1 for none.
    int32_t spellAtPoint(int32_t x, int32_t y, bool drag) const;

    void redrawBook();
    void showLastSpellIndex();
    void turnTo(int32_t spread);

    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override;
    WString getTooltipText(int32_t x, int32_t y) override;
    bool acceptsItemDrop() override { return true; }

private:
    SpellbookItem* book() const;
    int32_t iconAtPress(int32_t x, int32_t y) override { return spellAtPoint(x, y, true); }
    GumpKind pulledIconKind() const override { return GumpKind::SpellIcon; }
    void singleClick(int32_t x, int32_t y) override;
    void doubleClick(int32_t x, int32_t y) override;
    bool inCorner(int32_t art, int32_t cornerX, int32_t x, int32_t y) const;
    void drawIndexSpread();
    void drawSpellPage(int32_t spell, int32_t x0);

    uint32_t m_bookSerial;
    uint8_t m_kind;
    int32_t m_spread = 1;
    int32_t m_spellCount = 0;
    int32_t m_indexPages = 2;
};
