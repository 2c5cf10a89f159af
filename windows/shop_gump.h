#pragma once
// The shop window ("shop gump"): what a vendor sells to the player (buy
// mode: the items of its two sale containers, priced by the buy list) or
// buys from the player (sell mode: the records of the sell list). A double
// click puts a row into the shopping list, which the shop's bill (its
// partner window, bill_gump.h) shows and finally sends; the shop sends the
// buy (0x3B) or sell (0x9F) request when the bill is signed and waits for
// the server's answer. The buy window opens from the server's open request
// for the vendor (factory kind 48) at (150, 5); the sell window from the
// sell list at (100, 0). The shop names its vendor as its owner and finds
// the vendor's items again by serial; the bill is its own top-level window,
// which the shop creates and deletes. Main thread only; points are local.

#include "gump/html_view.h"
#include "windows/dialog_window.h"
#include "windows/shopping_list.h"
#include "windows/window_clicks.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The text views of the shop's, the bill's and the shopping list's rows:
// read-only, without scroll bar or frame.
inline constexpr uint32_t kTradeRowViewFlags
    = HtmlViewFlag::kReadOnly | HtmlViewFlag::kNoScrollBar | HtmlViewFlag::kNoFrame;

class ArtImage;
class BillGump;
class Button;
class HtmlView;
class Item;
class Mobile;
class Thumb;

class ShopGump final : public DialogWindow {
public:
    enum class Mode : uint8_t { Buy, Sell };

    static constexpr int32_t kBuyArt = 2160;
    static constexpr int32_t kSellArt = 2162;
    static constexpr int32_t kThumbArt = 2088;
    static constexpr int32_t kRowViews = 10;
    // The list area; its right and bottom edges are inside it, as the hit
    // test takes them.
    static constexpr int32_t kListLeft = 30;
    static constexpr int32_t kListTop = 58;
    static constexpr int32_t kListRight = 228;
    static constexpr int32_t kListBottom = 236;
    static constexpr int32_t kBillOffsetX = 170;
    static constexpr int32_t kBillOffsetY = 214;
    static constexpr int32_t kRowTextWidth = 110;
    static constexpr int32_t kMinimumRowHeight = 44;
    static constexpr int32_t kSeparatorHeight = 18;
    static constexpr uint16_t kSelectedColour = 0x4800;
    static constexpr uint16_t kRowColour = 13540;

    ShopGump(int32_t x, int32_t y, Mobile& vendor);
    ShopGump(int32_t x, int32_t y, Mobile& vendor, std::vector<SellRecord> records);
    ~ShopGump() override;

    // Draws the list from the first visible row again.
    void refreshRows();
    // A vendor item changed or went away (buy mode): its row of the shopping
    // list follows it, with a system message.
    void onItemChanged(uint32_t serial);
    // Changes the shopping list by the list rules; the bill follows.
    void addToList(uint8_t layer, uint32_t serial, int32_t recordIndex, int32_t delta);
    // The buy or sell request for the shopping list; the shop then waits.
    void sendTransaction();
    // Whether the serial is one of the vendor's rows.
    bool findItem(uint32_t serial) const;
    // The server answered: the selection goes and the rows are drawn again.
    void transactionAccepted();

    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onMouseOver(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onHoverTick() override;
    void onSlider(int32_t position, int32_t range, CGump* thumb) override;
    bool acceptsItemDrop() override { return true; }
    CGump* partnerGump() override;

    Mode mode() const { return m_mode; }
    uint32_t vendorSerial() const { return m_vendorSerial; }
    Mobile* vendor() const;
    const ShoppingList& shoppingList() const { return m_list; }
    const std::vector<SellRecord>& records() const { return m_records; }
    BillGump* bill() const;
    bool isWaiting() const { return m_waiting; }
    uint32_t gold() const { return m_gold; }
    // The player's gold as the status packet gave it; the bill shows it.
    void setGold(uint32_t gold);
    int32_t firstVisible() const { return m_firstVisible; }
    uint32_t selectedSerial() const { return m_selectedSerial; }
    int32_t selectedIndex() const { return m_selectedIndex; }
    HtmlView* rowView(int32_t index) const { return m_rows[size_t(index)]; }
    // The repeats of double clicks and row buttons (the spare word every
    // child button's press and release sets to 0).
    int32_t repeatCount() const { return spareWord(); }
    // The price of a listed row (the bill's total).
    uint32_t priceOf(const ShoppingNode& node) const;
    // The text and the name of a listed row.
    std::u16string textOf(const ShoppingNode& node) const;
    std::string nameOf(const ShoppingNode& node) const;
    // The amount a row of the list may reach.
    int32_t limitOf(const ShoppingNode& node) const;
    // Moves the first visible row by one (the scroll buttons).
    void scrollBy(int32_t step);
    // The step of the next double click or row button of `window`: 1 for the
    // first ten repeats, then 2, 5 from the twenty-first and 10 from the
    // fifty-first (the counter rises by one up to 100).
    static int32_t repeatStep(CGump& window);

private:
    // One row of the list as shown: its item or record.
    struct Row {
        uint8_t layer = kStockLayer;
        uint32_t serial = 0;
        int32_t recordIndex = -1;
    };
    void build();
    std::vector<Row> rows() const;
    int32_t rowCount() const;
    // The row under a local point, or -1.
    int32_t rowAt(int32_t x, int32_t y) const;
    // What a row shows: its picture, name, price, amount offered and hue.
    struct RowFacts {
        const ArtImage* image = nullptr;
        std::string name;
        uint32_t price = 0;
        int32_t amount = 0;
        uint16_t hue = 0;
        uint16_t graphic = 0;
    };
    RowFacts factsOf(const Row& row) const;
    // The serial of the row under a local point, or 0.
    uint32_t serialAt(int32_t x, int32_t y) const;
    bool isSelected(const Row& row) const;
    void drawSeparator(int32_t top);
    void select(int32_t rowIndex);
    bool isBillSigning() const;
    void placeThumb();
    static void scrollUp(CGump* shop);
    static void scrollDown(CGump* shop);

    Mode m_mode;
    uint32_t m_vendorSerial = 0;
    std::vector<SellRecord> m_records;
    ShoppingList m_list;
    std::array<HtmlView*, kRowViews> m_rows {};
    Thumb* m_thumb = nullptr;
    GumpHandle m_bill;
    int32_t m_firstVisible = 0;
    uint32_t m_selectedSerial = 0;
    uint8_t m_selectedLayer = kStockLayer;
    int32_t m_selectedIndex = -1;
    bool m_waiting = false;
    uint32_t m_gold = 0;
    WindowClicks m_clicks;
    bool m_clickSuppressed = false;
    int32_t m_pressX = 0;
    int32_t m_pressY = 0;
    uint32_t m_hoverSerial = 0;
};

// The open shop window of a vendor, or null.
ShopGump* findShopGump(uint32_t vendorSerial);
