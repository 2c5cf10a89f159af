#include "support/reading_window_packets.h"

#include "fixtures/server_packet.h"

namespace test {

namespace {

using fixture::ServerPacket;

// A text after its length byte, the length counting the text's NUL.
void putBoardText(ServerPacket& packet, const std::string& text)
{
    packet.u8(uint8_t(text.size() + 1));
    packet.text(text, text.size() + 1);
}

ServerPacket& putCounted(ServerPacket& packet, const std::string& text)
{
    packet.u16(uint16_t(text.size() + 1));
    return packet.text(text, text.size() + 1);
}

} // namespace

WirePacket bookHeaderPacket(uint32_t book, bool writable, bool editable, uint16_t pages, const std::string& title,
    const std::string& author)
{
    return ServerPacket(0x93, ServerPacket::Length::Fixed)
        .u32(book)
        .u8(writable)
        .u8(editable)
        .u16(pages)
        .text(title, 60)
        .text(author, 30)
        .bytes();
}

WirePacket bookHeaderTextPacket(uint32_t book, bool writable, bool editable, uint16_t pages,
    const std::string& title, const std::string& author)
{
    ServerPacket packet(0xD4);
    packet.u32(book).u8(writable).u8(editable).u16(pages);
    putCounted(packet, title);
    putCounted(packet, author);
    return packet.bytes();
}

WirePacket bookPagesPacket(uint32_t book, const std::vector<BookPageText>& pages)
{
    ServerPacket packet(0x66);
    packet.u32(book).u16(uint16_t(pages.size()));
    for (const BookPageText& page : pages) {
        packet.u16(page.number).u16(uint16_t(page.lines.size()));
        for (const std::string& line : page.lines)
            packet.text(line, line.size() + 1);
    }
    return packet.bytes();
}

WirePacket boardOpenPacket(uint32_t board, const std::string& name)
{
    return ServerPacket(0x71).u8(0).u32(board).text(name, 30).bytes();
}

WirePacket boardSummaryPacket(uint32_t board, uint32_t message, uint32_t parent, const std::string& poster,
    const std::string& subject, const std::string& time)
{
    ServerPacket packet(0x71);
    packet.u8(1).u32(board).u32(message).u32(parent);
    putBoardText(packet, poster);
    putBoardText(packet, subject);
    putBoardText(packet, time);
    return packet.bytes();
}

WirePacket boardMessagePacket(uint32_t board, uint32_t message, const std::string& poster,
    const std::string& subject, const std::string& time, const std::vector<std::string>& body)
{
    ServerPacket packet(0x71);
    packet.u8(2).u32(board).u32(message);
    putBoardText(packet, poster);
    putBoardText(packet, subject);
    putBoardText(packet, time);
    // Two words and one pair the client reads past.
    packet.u16(0x0190).u16(0x0021).u8(1).u16(0x203B).u16(0x044E);
    packet.u8(uint8_t(body.size()));
    for (const std::string& line : body)
        putBoardText(packet, line);
    return packet.bytes();
}

WirePacket signPacket(uint32_t serial, uint16_t art, const std::string& first, const std::string& second)
{
    ServerPacket packet(0x8B);
    packet.u32(serial).u16(art);
    putCounted(packet, first);
    putCounted(packet, second);
    return packet.bytes();
}

WirePacket helpTextPacket(uint32_t serial, const std::u16string& text)
{
    return ServerPacket(0xB7).u32(serial).unicode(text).bytes();
}

WirePacket questPointerPacket(uint8_t active, uint16_t x, uint16_t y)
{
    return ServerPacket(0xBA, ServerPacket::Length::Fixed).u8(active).u16(x).u16(y).bytes();
}

WirePacket mapPlotPacket(uint32_t map, uint8_t action, uint8_t value, uint16_t x, uint16_t y)
{
    return ServerPacket(0x56, ServerPacket::Length::Fixed).u32(map).u8(action).u8(value).u16(x).u16(y).bytes();
}

WirePacket webPagePacket(const std::string& url)
{
    return ServerPacket(0xA5).text(url, url.size() + 1).bytes();
}

} // namespace test
