#include "windows/dye_and_tip_packets.h"

#include "data/config_file.h"
#include "data/config_keys.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "protocol/packet_reader.h"
#include "text/ascii_font.h"
#include "windows/hue_gump.h"
#include "windows/window_services.h"

#include <algorithm>

namespace {

constexpr int32_t kTipFont = 6;
constexpr int32_t kTipWidth = 214;
constexpr size_t kTipLineLength = 80;
constexpr uint8_t kTipOfTheDay = 0;
constexpr uint8_t kUpdateNotice = 1;

} // namespace

void handleHuePicker(const uint8_t* packet)
{
    PacketReader reader(packet);
    const uint32_t serial = reader.u32();
    const uint16_t value = reader.u16();
    const uint16_t graphic = reader.u16();
    if (reader.ok())
        openDyePicker(serial, value, graphic);
}

std::vector<std::string> tipLines(std::string_view text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find('\r', start), text.size());
        std::string rest(text.substr(start, end - start));
        do {
            // The wrap gives the index of the piece's last character, or -1
            // when all of it fits. No line is longer than 80 bytes: the wrap
            // looks at no more. A line keeps at least one character, so that a
            // glyph wider than the line still moves on.
            const std::string head = rest.substr(0, kTipLineLength + 1);
            const int32_t last = asciiWrapIndex(kTipFont, head.c_str(), kTipWidth);
            size_t cut = last < 0 ? head.size() : size_t(last) + 1;
            cut = std::min({ std::max<size_t>(cut, 1), rest.size(), kTipLineLength });
            lines.push_back(rest.substr(0, cut));
            rest.erase(0, cut);
            // Only the blank a line broke at is dropped: a word cut for want
            // of one keeps every character.
            if (!rest.empty() && rest.front() == ' ')
                rest.erase(0, 1);
        } while (!rest.empty());
        start = end + 1;
    }
    return lines;
}

void handleTipWindow(const uint8_t* packet)
{
    PacketReader reader(packet);
    const uint8_t type = reader.u8();
    const uint32_t number = reader.u32();
    std::string text = reader.bytes(reader.u16());
    if (!reader.ok())
        return;
    text.resize(std::min(text.size(), text.find('\0')));
    if (type == kTipOfTheDay)
        setConfigValue(ConfigKeyKind::LastTip, std::to_string(number));
    if (type == kUpdateNotice) {
        setConfigValue(ConfigKeyKind::CurrentVer, std::to_string(number));
        return;
    }
    const GumpScreen& screen = gumpScreen();
    const bool docked = service<GameSession>().isInWorld() && screen.width >= 800 && screen.height >= 600;
    service<TipsWindows>().openTips(tipLines(text), docked ? 450 : 200, docked ? 500 : 100, docked);
}
