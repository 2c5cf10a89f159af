#pragma once
// What the shop and bill windows share: the shopping list with its rules,
// the vendor's offer as rows (the items of its two sale containers, or the
// records of a sell list), and the text a row shows. Main thread only.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class Item;
class Mobile;

// The vendor's two sale containers: what it sells in stock, and what it
// sells one at a time.
inline constexpr uint8_t kStockLayer = 26;
inline constexpr uint8_t kSingleLayer = 27;
// The most a shopping-list change leaves in a row (a new row may start above
// it, from a whole stack taken at once).
inline constexpr int32_t kMaxListQuantity = 999;

// One item the vendor would buy from the player, as the sell list names it.
struct SellRecord {
    uint32_t serial = 0;
    uint16_t graphic = 0;
    uint16_t hue = 0;
    uint16_t amount = 0;
    uint16_t price = 0;
    std::string name;
};

// One picked row of the shopping list: a vendor item (buy: by serial, with
// the container it was picked from) or a sell record (by index).
struct ShoppingNode {
    uint8_t layer = kStockLayer;
    uint32_t serial = 0;
    int32_t recordIndex = -1;
    int32_t quantity = 0;
};

class ShoppingList {
public:
    // Changes the row of `serial` (buy, `recordIndex` -1) or of the record
    // (sell) by `delta`, within `limit` (the item's or record's amount; 1
    // for a single-layer item). An existing row is held to the limit and
    // then to 999, and goes at 0 or less; a new one comes only for a
    // positive delta and a limit above 0, with the delta held to the limit
    // alone.
    void change(uint8_t layer, uint32_t serial, int32_t recordIndex, int32_t limit, int32_t delta);
    const ShoppingNode* find(uint32_t serial, int32_t recordIndex) const;
    void remove(uint32_t serial, int32_t recordIndex);
    // A row's quantity lowered (buy: the vendor's stock shrank).
    void setQuantity(size_t index, int32_t quantity) { m_nodes[index].quantity = quantity; }
    const std::vector<ShoppingNode>& nodes() const { return m_nodes; }
    bool empty() const { return m_nodes.empty(); }
    size_t size() const { return m_nodes.size(); }
    void clear() { m_nodes.clear(); }

private:
    std::vector<ShoppingNode> m_nodes;
};

// A row of the buy list: a vendor item and the container it lies in.
struct VendorRow {
    uint8_t layer = kStockLayer;
    Item* item = nullptr;
};
// The items of the vendor's stock container, then of its single container,
// in content order.
std::vector<VendorRow> vendorRows(const Mobile& vendor);
// The item of `serial` in the vendor's container of `layer`, or null.
Item* vendorItem(const Mobile& vendor, uint8_t layer, uint32_t serial);
// The amount a row offers: a single-layer item counts as 1.
int32_t offeredAmount(uint8_t layer, const Item& item);

// Whether the client speaks English (its language code begins with "en").
bool isEnglishClient();
// The number a name stands for when it is a localized message number (not 0,
// printing back as the same text); 0 otherwise.
int32_t messageNumberOfName(std::string_view name);
// Whether a row shows localized text: the item has a property list, or its
// name is a message number.
bool hasLocalizedName(uint32_t serial, std::string_view name);
// The text of a row: the item's property-list name, else the localized text
// of a numbered name, each followed by " at " and the price and "gp" in
// English (" : " and the price otherwise); else "<name> at <price>gp".
std::u16string vendorRowText(uint32_t serial, std::string_view name, uint32_t price);
// The text the hit test measures a row by: the localized or property text
// with " at <price> gp" (the Unicode font), or "<name> at <price> gp" in the
// ASCII font; its height wrapped at 100 pixels.
int32_t vendorRowHitHeight(uint32_t serial, std::string_view name, uint32_t price);
// The height of a row's text laid out as HTML `width` pixels wide.
int32_t htmlTextHeight(const std::u16string& text, int32_t width);
