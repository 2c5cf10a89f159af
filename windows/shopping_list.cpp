#include "windows/shopping_list.h"

#include "core/wide_string.h"
#include "gump/html_view.h"
#include "gump/property_cache.h"
#include "protocol/protocol_text.h"
#include "windows/shop_gump.h"
#include "text/ascii_font.h"
#include "text/html_document.h"
#include "text/localization.h"
#include "text/unicode_font.h"
#include "world/container_item.h"
#include "world/mobile.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr int32_t kHitFont = 9;
constexpr int32_t kHitWrapWidth = 100;
// The rows' views: read-only, no frame, no scroll bar.

std::u16string widened(std::string_view text)
{
    std::u16string wide;
    for (char c : text)
        wide.push_back(char16_t(uint8_t(c)));
    return wide;
}

std::u16string numberText(uint32_t value)
{
    const std::string digits = std::to_string(value);
    return widened(digits);
}

// The localized or property text of a row, before its price.
std::u16string localizedName(uint32_t serial, std::string_view name)
{
    if (propertyListEntryCount(serial) > 0) {
        WString html;
        buildPropertyNameHtml(serial, html, false, false);
        return std::u16string(html.c_str() ? html.c_str() : u"", size_t(html.length()));
    }
    return clilocText(messageNumberOfName(name));
}

// " at <price>gp" in English (with a blank before "gp" when `spaced`), else
// " : <price>".
std::u16string priceSuffix(uint32_t price, bool spaced)
{
    const bool english = isEnglishClient();
    std::u16string text = english ? u" at " : u" : ";
    text += numberText(price);
    if (english)
        text += spaced ? u" gp" : u"gp";
    return text;
}

ContainerItem* saleContainer(const Mobile& vendor, uint8_t layer)
{
    Item* container = vendor.layerItem(layer);
    return container && container->isContainer() ? static_cast<ContainerItem*>(container) : nullptr;
}

} // namespace

void ShoppingList::change(uint8_t layer, uint32_t serial, int32_t recordIndex, int32_t limit, int32_t delta)
{
    auto node = std::find_if(m_nodes.begin(), m_nodes.end(),
        [serial, recordIndex](const ShoppingNode& one) { return one.serial == serial && one.recordIndex == recordIndex; });
    if (node != m_nodes.end()) {
        int64_t quantity = int64_t(node->quantity) + delta;
        quantity = std::min<int64_t>(quantity, limit);
        quantity = std::min<int64_t>(quantity, kMaxListQuantity);
        if (quantity <= 0)
            m_nodes.erase(node);
        else
            node->quantity = int32_t(quantity);
        return;
    }
    if (delta <= 0 || limit <= 0)
        return;
    m_nodes.push_back({ layer, serial, recordIndex, std::min(delta, limit) });
}

const ShoppingNode* ShoppingList::find(uint32_t serial, int32_t recordIndex) const
{
    for (const ShoppingNode& node : m_nodes) {
        if (node.serial == serial && node.recordIndex == recordIndex)
            return &node;
    }
    return nullptr;
}

void ShoppingList::remove(uint32_t serial, int32_t recordIndex)
{
    std::erase_if(m_nodes,
        [serial, recordIndex](const ShoppingNode& node) { return node.serial == serial && node.recordIndex == recordIndex; });
}

std::vector<VendorRow> vendorRows(const Mobile& vendor)
{
    std::vector<VendorRow> rows;
    for (uint8_t layer : { kStockLayer, kSingleLayer }) {
        const ContainerItem* container = saleContainer(vendor, layer);
        if (!container)
            continue;
        for (Item* item = container->contents().head(); item; item = ContentList::next(item))
            rows.push_back({ layer, item });
    }
    return rows;
}

Item* vendorItem(const Mobile& vendor, uint8_t layer, uint32_t serial)
{
    const ContainerItem* container = saleContainer(vendor, layer);
    if (!container)
        return nullptr;
    for (Item* item = container->contents().head(); item; item = ContentList::next(item)) {
        if (item->serial == serial)
            return item;
    }
    return nullptr;
}

int32_t offeredAmount(uint8_t layer, const Item& item) { return layer == kSingleLayer ? 1 : item.amount; }

bool isEnglishClient()
{
    const std::string& code = getLanguageCode();
    return code.size() >= 2 && (code[0] | 0x20) == 'e' && (code[1] | 0x20) == 'n';
}

int32_t messageNumberOfName(std::string_view name)
{
    const std::string text(name);
    const long value = std::atol(text.c_str());
    if (value == 0 || value > INT32_MAX || value < INT32_MIN || std::to_string(value) != text)
        return 0;
    return int32_t(value);
}

bool hasLocalizedName(uint32_t serial, std::string_view name)
{
    return propertyListEntryCount(serial) > 0 || messageNumberOfName(name) != 0;
}

std::u16string vendorRowText(uint32_t serial, std::string_view name, uint32_t price)
{
    if (hasLocalizedName(serial, name))
        return localizedName(serial, name) + priceSuffix(price, false);
    return widened(name) + u" at " + numberText(price) + u"gp";
}

int32_t vendorRowHitHeight(uint32_t serial, std::string_view name, uint32_t price)
{
    int32_t widest = 0;
    int32_t height = 0;
    int32_t zero = 0;
    if (hasLocalizedName(serial, name)) {
        const std::u16string text = localizedName(serial, name) + priceSuffix(price, true);
        measureUnicodeTextWrapped(text.c_str(), kHitWrapWidth, widest, height, zero);
        return height;
    }
    const std::string plain = std::string(name) + " at " + std::to_string(price) + " gp";
    wrapAsciiText(kHitFont, plain.c_str(), kHitWrapWidth, widest, height, zero, 0);
    return height;
}

int32_t htmlTextHeight(const std::u16string& text, int32_t width)
{
    HtmlDocument document(text, kTradeRowViewFlags, 0);
    int32_t measuredWidth = 0;
    int32_t height = 0;
    document.measure(width, measuredWidth, height, 0, 0, false);
    return height;
}
