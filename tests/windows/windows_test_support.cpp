#include "windows/windows_test_support.h"

#include "fixtures/font_writers.h"
#include "net/game_connection.h"
#include "net/packet_table.h"
#include "text/ascii_font.h"
#include "text/unicode_font.h"
#include "world/container_item.h"
#include "world/mobile.h"
#include "world/object_interaction.h"
#include "world/object_manager.h"
#include "world/world_screen.h"

#include <cstdio>

namespace windows_test {

std::string hexOf(const Bytes& bytes)
{
    std::string text;
    char digits[4];
    for (uint8_t byte : bytes) {
        std::snprintf(digits, sizeof digits, text.empty() ? "%02X" : " %02X", byte);
        text += digits;
    }
    return text;
}

void setTileRecord(uint16_t graphic, const TileDataItem& record)
{
    TileDataItemGroup data;
    for (int32_t i = 0; i < 32; ++i)
        data.records[size_t(i)] = tileData().item((graphic / 32) * 32 + i);
    data.records[size_t(graphic % 32)] = record;
    ItemGroupChange change;
    tileData().applyItemGroup(TileData::kFirstItemGroup + graphic / 32, data, change);
}

TileDataItem tileRecord(uint32_t flags, int32_t layer, int32_t animation, uint8_t height)
{
    TileDataItem record;
    record.flags = flags;
    record.quality = uint8_t(layer);
    record.animationId = uint16_t(animation);
    record.height = height;
    record.weight = 255;
    return record;
}

WindowDesktop::WindowDesktop()
{
    readAsciiFontFile();
    unicodeFace = fixture::UnicodeFontWriter().addTestFace().bytes();
    for (int32_t font = 0; font < 2; ++font)
        installUnicodeFont(font, reinterpret_cast<const uint8_t*>(unicodeFace.data()), unicodeFace.size());
    // A game connection that never connects: what is sent stays queued.
    createGameConnection();
    currentGameConnection()->setCompressed(true);
    gumpSystemStartup();
    buffer.create(640, 480, BufferFormat::Rgb555);
    buffer.renderWorldDirtyRects(nullptr);
    gumpAttachBackBuffer(&buffer);
    gumpBackBufferRecreated();
    GumpScreen screen;
    screen.width = buffer.width();
    screen.height = buffer.height();
    screen.gameWidth = buffer.gameWidth();
    screen.gameHeight = buffer.gameHeight();
    gumpSetScreen(screen);
    world.centreView(screen.gameWidth, screen.gameHeight);
    fillWorld();
}

WindowDesktop::~WindowDesktop()
{
    gumpSystemShutdown();
    gumpAttachBackBuffer(nullptr);
    setWorldBackBuffer(nullptr);
    destroyAllConnections();
    dragState() = DragState {};
    unloadUnicodeFonts();
    freeAsciiFonts();
}

void WindowDesktop::fillWorld()
{
    for (int64_t i = 0; i < buffer.pixelCount(); ++i)
        buffer.pixels()[i] = uint16_t((i * 13 + 7) & 0x7FFF);
}

uint16_t WindowDesktop::screenPixel(int32_t x, int32_t y) const { return buffer.pixels()[buffer.ringIndex(x, y)]; }

uint16_t WindowDesktop::worldPixel(int32_t x, int32_t y) const
{
    return uint16_t((buffer.ringIndex(x, y) * 13 + 7) & 0x7FFF);
}

std::vector<uint16_t> WindowDesktop::screenPicture() const { return fixture::unrollGameArea(buffer); }

Mobile* WindowDesktop::addMobile(uint32_t serial, int32_t x, int32_t y, uint16_t body)
{
    onObjectPacket(serial, body, 0, 1, x, y, 0, 0, 0, 0);
    Item* found = findItemBySerial(serial);
    return found && found->isMobile() ? static_cast<Mobile*>(found) : nullptr;
}

Item* WindowDesktop::addItem(uint32_t serial, uint16_t graphic, int32_t x, int32_t y, uint16_t amount, uint16_t hue)
{
    onObjectPacket(serial, graphic, 0, amount, x, y, 0, 0, hue, kObjectLiftable);
    return findItemBySerial(serial);
}

Item* WindowDesktop::addToContainer(
    uint32_t serial, uint16_t graphic, int32_t x, int32_t y, uint32_t container, uint16_t amount, uint16_t hue)
{
    addItemToContainer(serial, graphic, 0, amount, x, y, container, hue);
    return findItemBySerial(serial);
}

Item* WindowDesktop::equip(uint32_t mobile, uint32_t serial, uint16_t graphic, int32_t layer, uint16_t hue)
{
    equipItemOnMobile(mobile, serial, graphic, layer, hue);
    return findItemBySerial(serial);
}

ContainerItem* WindowDesktop::playerBackpack()
{
    Item* backpack = player()->layerItem(Mobile::kBackpackLayer);
    if (!backpack)
        backpack = equip(player()->serial, 0x40000100, 0x0E75, Mobile::kBackpackLayer);
    return backpack && backpack->isContainer() ? static_cast<ContainerItem*>(backpack) : nullptr;
}

namespace {

void toLocal(CGump* gump, int32_t& x, int32_t& y) { gump->screenToLocal(x, y); }

} // namespace

void WindowDesktop::pointAt(int32_t x, int32_t y)
{
    pointer.x = x;
    pointer.y = y;
    if (CGump* held = pointer.capture; isValidGump(held)) {
        int32_t lx = x, ly = y;
        toLocal(held, lx, ly);
        held->onDrag(lx, ly);
    }
    CGump* current = gumpHitTest(x, y, nullptr, false);
    if (m_hovered && isValidGump(m_hovered) && m_hovered != current)
        m_hovered->onMouseLeave();
    m_hovered = current;
    gumpSetHovered(current);
    if (current && isValidGump(current)) {
        int32_t lx = x, ly = y;
        toLocal(current, lx, ly);
        current->onMouseOver(lx, ly);
        if (isValidGump(current))
            current->onHoverTick();
    }
    if (CGump* held = pointer.capture; isValidGump(held))
        held->onHoverTick();
}

void WindowDesktop::button(int32_t x, int32_t y, bool press, void (CGump::*handler)(int32_t, int32_t))
{
    pointer.x = x;
    pointer.y = y;
    if (press && !isValidGump(pointer.capture))
        pointer.capture = gumpHitTest(x, y, nullptr, true);
    if (CGump* held = pointer.capture; isValidGump(held)) {
        int32_t lx = x, ly = y;
        toLocal(held, lx, ly);
        (held->*handler)(lx, ly);
    }
}

void WindowDesktop::pressLeft(int32_t x, int32_t y) { button(x, y, true, &CGump::onLeftDown); }
void WindowDesktop::releaseLeft(int32_t x, int32_t y) { button(x, y, false, &CGump::onLeftUp); }
void WindowDesktop::pressRight(int32_t x, int32_t y) { button(x, y, true, &CGump::onRightDown); }
void WindowDesktop::releaseRight(int32_t x, int32_t y) { button(x, y, false, &CGump::onRightUp); }

void WindowDesktop::advance(uint32_t milliseconds)
{
    clock.advance(milliseconds);
    pointAt(pointer.x, pointer.y);
}

std::vector<Bytes> WindowDesktop::takePackets()
{
    std::vector<Bytes> packets;
    const GameConnection* connection = currentGameConnection();
    if (!connection)
        return packets;
    const uint8_t* bytes = connection->queuedBytes();
    const uint32_t fill = connection->sendFill();
    while (m_packetsTaken < fill) {
        const uint8_t* packet = bytes + m_packetsTaken;
        uint32_t length = packetIsVariable(packet[0]) ? uint32_t(packet[1] << 8 | packet[2]) : packetFixedLength(packet[0]);
        if (length == 0 || m_packetsTaken + length > fill)
            break;
        packets.emplace_back(packet, packet + length);
        m_packetsTaken += length;
    }
    return packets;
}

} // namespace windows_test
