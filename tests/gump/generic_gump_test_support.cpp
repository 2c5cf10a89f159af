#include "generic_gump_test_support.h"

#include "fixtures/art_writer.h"
#include "fixtures/data_file_writer.h"
#include "fixtures/language_files.h"
#include "gfx/art_cache.h"
#include "net/shard_sessions.h"
#include "platform/sockets.h"
#include "text/cliloc_table.h"

namespace gump_test {

uint16_t tilePixel(int32_t x, int32_t y)
{
    // Transparent corners, distinct colours elsewhere.
    if ((x == 0 || x == kTileWidth - 1) && (y == 0 || y == kTileHeight - 1))
        return 0;
    return uint16_t(0x4000 | (x << 5) | (y << 10) | 0x11);
}

std::vector<GenericGump*> openGenericGumps()
{
    std::vector<GenericGump*> gumps;
    for (CGump* gump = gumpListHead(); gump; gump = gump->next()) {
        if (gump->is(GumpKind::GenericGump))
            gumps.push_back(static_cast<GenericGump*>(gump));
    }
    return gumps;
}

GenericGumpDesktop::GenericGumpDesktop()
{
    std::vector<uint16_t> pixels;
    for (int32_t y = 0; y < kTileHeight; ++y)
        for (int32_t x = 0; x < kTileWidth; ++x)
            pixels.push_back(tilePixel(x, y));
    std::vector<fixture::IndexedRecord> records(size_t(ArtImageCache::kStaticArtBase + kTileGraphic + 1));
    std::vector<uint8_t> tile = fixture::artRecordFromPixels(uint16_t(kTileWidth), uint16_t(kTileHeight), pixels);
    records.back() = { std::string(tile.begin(), tile.end()), 0 };
    fixture::writeIndexedPair(client.root(), "client", "artidx.mul", "art.mul", records);
    // A virtue's picture.
    art.add(108, fixture::solidPicture(12, 12, 0x3333));
    art.install();
    artImageCache().clear();

    std::string messages = fixture::clilocImage({ { kHtmlMessage, "<b>Localized</b> words" },
        { 1051000, "Humility" }, { 1051008, "Seeker of Humility" }, { 1051016, "Follower of Humility" } });
    auto table = std::make_unique<ClilocTable>();
    table->loadBytes(reinterpret_cast<const uint8_t*>(messages.data()), messages.size());
    setClilocTable(std::move(table));
}

GenericGumpDesktop::~GenericGumpDesktop()
{
    // The gumps go first: an HTML area's view holds its document until then.
    gumpSystemShutdown();
    setClilocTable(nullptr);
    artImageCache().clear();
    masterGumpMapsClear();
}

GenericGump* GenericGumpDesktop::open(
    const std::string& layout, std::vector<std::u16string> lines, int32_t x, int32_t y, uint32_t sender,
    uint32_t typeId)
{
    return openGenericGump(x, y, layout, std::move(lines), sender, typeId);
}

void GenericGumpDesktop::click(GenericGump* gump, int32_t x, int32_t y)
{
    GumpHandle alive(gump);
    gump->onLeftDown(x, y);
    if (alive)
        gump->onLeftUp(x, y);
}

LoopbackServer::LoopbackServer()
{
    m_previousHandler = installSessionRouting();
    if (!m_peer.isListening() || !createGameConnection())
        return;
    GameConnection& connection = *currentGameConnection();
    connection.setGameServer(true);
    if (!connection.connect(test::TestServerPeer::address(), m_peer.port()) || !m_peer.accept())
        return;
    connection.setCompressed(true);
    uint32_t seed = 0;
    m_ready = m_peer.readSeed(seed, true);
}

LoopbackServer::~LoopbackServer()
{
    destroyAllConnections();
    setGameConnectionHandler(m_previousHandler);
}

std::vector<uint8_t> LoopbackServer::sent(size_t count)
{
    std::vector<uint8_t> bytes;
    if (GameConnection* connection = currentGameConnection())
        connection->flush();
    if (!m_peer.readGameCiphered(bytes, count))
        bytes.clear();
    return bytes;
}

std::vector<uint8_t> LoopbackServer::sentWithin(uint32_t waitMs)
{
    if (GameConnection* connection = currentGameConnection())
        connection->flush();
    return m_peer.readAvailable(waitMs);
}

void LoopbackServer::deliver(const std::vector<std::vector<uint8_t>>& packets)
{
    GameConnection* connection = currentGameConnection();
    if (!connection)
        return;
    std::vector<uint8_t> stream = m_peer.compress(packets);
    const int64_t expected = connection->receiveMeter().total() + int64_t(stream.size());
    if (!m_peer.sendRaw(stream))
        return;
    for (int i = 0; i < 200 && connection->receiveMeter().total() < expected; ++i) {
        platform::SocketPoll entry;
        entry.socket = connection->handle();
        entry.wantRead = true;
        if (platform::pollSockets({ &entry, 1 }, 10) > 0)
            connection->onReadable();
    }
}

} // namespace gump_test
