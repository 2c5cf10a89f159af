#include "windows/equip_info_gump.h"

#include "data/settings_registry.h"
#include "gfx/hue_table.h"
#include "gump/gump_factory.h"
#include "gump/gump_manager.h"
#include "platform/clock.h"
#include "text/cliloc_table.h"
#include "text/text_surface.h"
#include "text/unicode_font.h"
#include "world/item.h"
#include "world/object_manager.h"

#include <algorithm>

namespace {

constexpr uint16_t kNoNumber = 0xFFFF;
constexpr int32_t kMsPerModifierUnit = 40;
constexpr size_t kMaxAttributes = 10;

std::u16string localized(uint32_t id)
{
    WString text;
    getClilocString(text, int32_t(id), 1);
    return std::u16string(text.c_str());
}

int32_t popupFont() { return settings().getFontSetting(u"BarkFontNumber"); }

int32_t lineWidth(const std::u16string& line) { return line.empty() ? 0 : measureUnicodeString(line.c_str()); }

} // namespace

std::u16string equipInfoSecondLine(const EquipInfo& info)
{
    std::u16string line;
    if (info.hasCrafter) {
        line += localized(EquipInfoGump::kCrafterText);
        line += u' ';
        for (char c : info.crafter)
            line += char16_t(uint8_t(c));
        line += u' ';
    }
    if (!info.identified) {
        line += u'[';
        line += localized(EquipInfoGump::kUnidentifiedText);
        line += u']';
    } else if (!info.attributes.empty()) {
        line += u'[';
        const size_t count = std::min(info.attributes.size(), kMaxAttributes);
        for (size_t i = 0; i < count; ++i) {
            if (i > 0)
                line += u'/';
            line += localized(info.attributes[i].first);
            if (info.attributes[i].second != kNoNumber) {
                line += u": ";
                for (char c : std::to_string(info.attributes[i].second))
                    line += char16_t(c);
            }
        }
        line += u']';
    }
    return line;
}

EquipInfoGump::EquipInfoGump(Item& item, CGump* window)
    : BarkGump(&item, kHue, uint16_t(popupFont()), window, 0)
{
    addKind(GumpKind::EquipInfo);
}

EquipInfoGump* EquipInfoGump::show(const EquipInfo& info)
{
    Item* item = findItemBySerial(info.serial);
    if (!item)
        return nullptr;
    // A newer popup of the item takes the place of the older one.
    for (BarkGump* text = newestText(item); text; text = text->olderText()) {
        if (text->is(GumpKind::EquipInfo)) {
            closeGump(text);
            break;
        }
    }
    // Everything is composed before the popup exists, so that a popup that
    // cannot be shown (its container's window is closed) is discarded whole.
    auto* popup = new EquipInfoGump(*item, gumpFindPaperdollOrContainer(item));
    popup->m_firstLine = localized(info.nameText);
    popup->m_secondLine = equipInfoSecondLine(info);
    const int32_t previousFont = getUnicodeFont();
    selectUnicodeFont(popupFont());
    const int32_t width = std::max(lineWidth(popup->m_firstLine), lineWidth(popup->m_secondLine)) + 4;
    selectUnicodeFont(previousFont);
    if (!popup->finishText(0, width, 2 * kLineHeight)) {
        delete popup;
        return nullptr;
    }
    const int32_t modifier = settings().getIntSetting(u"BarkTimeModifier");
    popup->setTimes(platform::clock().tickMs(), modifier * kMsPerModifierUnit);
    return popup;
}

void EquipInfoGump::redrawText(uint16_t hue)
{
    GumpPage* face = page(0);
    if (!face || !face->isAllocated())
        return;
    std::fill(face->pixels.begin(), face->pixels.end(), uint16_t(0));
    const int32_t previousFont = getUnicodeFont();
    selectUnicodeFont(popupFont());
    TextSurface surface = face->surface();
    const TextClip whole = wholeSurface(surface);
    const uint16_t nameColour = hueTable().entry(hue - 1).colours[kNameColourIndex];
    const uint16_t white = isTextPixelFormat565() ? 0xFFFF : 0x7FFF;
    drawUnicodeTextLine(
        surface, m_firstLine.c_str(), (face->width - lineWidth(m_firstLine)) / 2, 0, nameColour, whole);
    drawUnicodeTextLine(
        surface, m_secondLine.c_str(), (face->width - lineWidth(m_secondLine)) / 2, kLineHeight, white, whole);
    outlineText(face->pixels.data(), face->width, face->height, UnicodeBarkGump::kOutlineColour);
    selectUnicodeFont(previousFont);
}
