// Server-described gumps from arbitrary bytes: as a layout text with a few
// text lines, or as the payload of packet 0xB0 or 0xDD. A built gump is then
// worked the way a player would: presses and releases, drags, hovering,
// keys, the reply; and what it holds is checked against its bounds.
//
// Input: byte 0 picks the form (0 layout text, 1 packet 0xB0, 2 packet 0xDD,
// others layout text again); byte 1 is the number of input steps; the rest
// is the layout or the payload. Input steps take their points and keys from
// the input's last bytes.

#include "gump/entry_core.h"
#include "gump/generic_gump.h"
#include "gump/generic_gump_packets.h"
#include "gump/gump_manager.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void checkElement(const GenericGumpElement& element)
{
    const int32_t limit = GenericGump::kMaxLayoutCoordinate;
    if (element.x < -limit || element.x > limit || element.y < -limit || element.y > limit || element.width < 0
        || element.width > limit + 2 || element.height < 0 || element.height > limit + 2)
        abort();
    if (element.text.size() > 65535)
        abort();
    for (const auto& child : element.children) {
        if (child->parent != &element)
            abort();
        checkElement(*child);
    }
}

void checkGump(GenericGump& gump)
{
    GumpPage& page = *gump.page(0);
    if (page.width < 1 || page.height < 1 || page.width > GenericGump::kMaxPageSize
        || page.height > GenericGump::kMaxPageSize || page.pixels.size() != size_t(page.width) * size_t(page.height))
        abort();
    if (gump.elementCount() > GenericGump::kMaxElements + 1)
        abort();
    for (const auto& element : gump.elements())
        checkElement(*element);
    std::vector<uint8_t> reply = gump.replyPacket(uint32_t(gump.elementCount()));
    if (reply.size() > 65535 || (!reply.empty() && size_t(reply[1] << 8 | reply[2]) != reply.size()))
        abort();
}

// Works the newest gump with `steps` actions drawn from `controls`.
void play(const uint8_t* controls, size_t size, uint8_t steps)
{
    GumpHandle handle(gumpListHead());
    for (uint8_t step = 0; step < steps && size >= 3; ++step) {
        auto* gump = static_cast<GenericGump*>(handle.get());
        if (!gump)
            return;
        const uint8_t what = controls[(step * 3) % size];
        const int32_t x = int32_t(controls[(step * 3 + 1) % size]) - 16;
        const int32_t y = int32_t(controls[(step * 3 + 2) % size]) - 16;
        switch (what % 8) {
        case 0:
            gump->onLeftDown(x, y);
            break;
        case 1:
            gump->onLeftUp(x, y);
            break;
        case 2:
            gump->onDrag(x, y);
            break;
        case 3:
            gump->onMouseOver(x, y);
            break;
        case 4:
            gump->onKey(uint32_t(x + 16) | (what & 0x80 ? GumpKey::kKeyBase : 0u));
            break;
        case 5:
            gump->getTooltipText(x, y);
            gump->containsPoint(x, y);
            gump->findChildAt(x, y, nullptr);
            break;
        case 6:
            gump->onFocusLost();
            break;
        default:
            if (what & 0x40)
                gump->onRightUp(x, y);
            break;
        }
        if (handle)
            checkGump(*static_cast<GenericGump*>(handle.get()));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool started = [] {
        gumpSystemStartup();
        return true;
    }();
    (void)started;
    if (size < 2)
        return 0;
    const uint8_t form = data[0];
    const uint8_t steps = data[1];
    const uint8_t* body = data + 2;
    const size_t bodySize = size - 2;

    if (form == 1 || form == 2) {
        const size_t length = std::min<size_t>(bodySize + 3, 65535);
        std::vector<uint8_t> packet { uint8_t(form == 1 ? 0xB0 : 0xDD), uint8_t(length >> 8), uint8_t(length) };
        packet.insert(packet.end(), body, body + (length - 3));
        GenericGumpContent content;
        bool read = form == 1 ? readGenericGumpPacket(packet.data(), content)
                              : readCompressedGumpPacket(packet.data(), content);
        if (read && content.layout.size() > kMaxUnpackedBlock)
            abort();
        if (form == 1)
            handleGenericGump(packet.data());
        else
            handleCompressedGump(packet.data());
    } else {
        std::string layout(reinterpret_cast<const char*>(body), bodySize);
        std::vector<std::u16string> lines { u"one", u"", std::u16string(300, u'w') };
        openGenericGump(0, 0, layout, std::move(lines), 0x01020304, 0x0BAD);
    }
    if (CGump* top = gumpListHead()) {
        checkGump(*static_cast<GenericGump*>(top));
        play(body + (bodySize > 48 ? bodySize - 48 : 0), std::min<size_t>(bodySize, 48), steps);
    }
    gumpSystemShutdown();
    gumpSystemStartup();
    return 0;
}
