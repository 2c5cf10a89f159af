#pragma once
// The equipment information popup of servers without property lists: a
// two-line text over an item (its localized name; then an optional crafter
// line and a bracketed list of up to ten localized attributes, or a
// bracketed fixed text for an unidentified item), outlined, stacked with the
// item's other overhead texts and gone after the overhead-text time. A newer
// popup of the same item replaces the older. Main thread only.

#include "protocol/world_packet_windows.h"
#include "windows/overhead_text.h"

#include <string>

class Item;

class EquipInfoGump final : public BarkGump {
public:
    static constexpr uint16_t kHue = 1153;
    static constexpr int32_t kLineHeight = 18;
    static constexpr int32_t kNameColourIndex = 30;
    static constexpr uint32_t kCrafterText = 1037009;
    static constexpr uint32_t kUnidentifiedText = 1038000;

    // The popup of the information, over its item; null when the item is
    // unknown or lies in a container whose window is closed (nothing shows).
    static EquipInfoGump* show(const EquipInfo& info);

    const std::u16string& firstLine() const { return m_firstLine; }
    const std::u16string& secondLine() const { return m_secondLine; }
    void redrawText(uint16_t hue) override;
    bool isAsciiBark() const override { return false; }

private:
    EquipInfoGump(Item& item, CGump* window);

    std::u16string m_firstLine;
    std::u16string m_secondLine;
};

// The second line of the information: the crafter (localized 1037009, a
// blank, the name and a blank) when one is given, then "[" the attributes'
// texts, each with ": " and its number unless the number is 0xFFFF, joined
// by "/" "]", or "[" the unidentified text "]".
std::u16string equipInfoSecondLine(const EquipInfo& info);
