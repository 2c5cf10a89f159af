#pragma once
// The bill ("bill gump"): the shopping list of its shop window with a
// quantity, the text and "+" and "-" buttons per row, the total, and in buy
// mode the player's gold. Accepting it plays the signature (the character's
// name revealed a few pixels per update) and then has the shop send the
// request. The shop creates the bill at (shop x + 170, shop y + 214),
// deletes it with itself, and the two move together. Main thread only;
// points are local pixels.

#include "windows/dialog_window.h"
#include "windows/window_clicks.h"

#include <array>
#include <cstdint>
#include <vector>

class Button;
class HtmlView;
class ShopGump;
class Thumb;
struct ShoppingNode;

class BillGump final : public DialogWindow {
public:
    static constexpr int32_t kBuyArt = 2161;
    static constexpr int32_t kSellArt = 2163;
    static constexpr int32_t kThumbArt = 2088;
    static constexpr int32_t kPlusArt = 55;
    static constexpr int32_t kMinusArt = 56;
    static constexpr int32_t kRowViews = 10;
    static constexpr int32_t kListLeft = 17;
    static constexpr int32_t kListTop = 66;
    static constexpr int32_t kListRight = 243;
    static constexpr int32_t kListBottom = 156;
    static constexpr int32_t kRowHeight = 35;
    static constexpr int32_t kSignatureX = 72;
    static constexpr int32_t kSignatureY = 194;
    static constexpr int32_t kSignatureFont = 5;
    static constexpr int32_t kSignatureStep = 6;
    static constexpr int32_t kSignatureWidest = 124;

    BillGump(int32_t x, int32_t y, ShopGump& shop, bool sell);
    ~BillGump() override;

    // Draws the rows, the totals and the row buttons again (nothing is
    // computed again).
    void refreshRows();
    // The sum of price times quantity over the list.
    void computeTotal();
    // Whether the serial is listed on the bill.
    bool findItem(uint32_t serial) const;
    // Starts the signature (the accept button); nothing while it runs.
    void startSigning();
    // Removes every row (the clear button).
    void clearList();

    void draw(GumpCanvas& canvas) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onMouseOver(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onHoverTick() override;
    void onSlider(int32_t position, int32_t range, CGump* thumb) override;
    void tick() override;
    bool acceptsItemDrop() override { return true; }
    CGump* partnerGump() override;

    ShopGump* shop() const;
    bool isSell() const { return m_sell; }
    uint32_t total() const { return m_total; }
    bool isSigning() const { return m_signing; }
    int32_t revealedWidth() const { return m_revealed; }
    int32_t firstVisible() const { return m_firstVisible; }
    HtmlView* rowView(int32_t index) const { return m_rows[size_t(index)]; }
    // The "+" and "-" buttons of a listed serial (null when it has none).
    Button* plusButton(uint32_t serial) const;
    Button* minusButton(uint32_t serial) const;
    // Moves the first visible row by one (the scroll buttons).
    void scrollBy(int32_t step);

private:
    struct RowButtons {
        uint32_t serial = 0;
        Button* plus = nullptr;
        Button* minus = nullptr;
    };
    const std::vector<ShoppingNode>& nodes() const;
    void placeRowButtons();
    // The listed serial under a local point, or 0.
    uint32_t serialAt(int32_t x, int32_t y) const;
    void drawSignature();
    void placeThumb();
    void changeRow(int32_t sign);
    static void rowPlus(CGump* bill);
    static void rowMinus(CGump* bill);
    static void scrollUp(CGump* bill);
    static void scrollDown(CGump* bill);

    GumpHandle m_shop;
    bool m_sell;
    uint32_t m_total = 0;
    int32_t m_firstVisible = 0;
    std::array<HtmlView*, kRowViews> m_rows {};
    std::vector<RowButtons> m_buttons;
    Thumb* m_thumb = nullptr;
    bool m_signing = false;
    int32_t m_revealed = 0;
    WindowClicks m_clicks;
    bool m_clickSuppressed = false;
    uint32_t m_hoverSerial = 0;
};
