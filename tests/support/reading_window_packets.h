#pragma once
// The server packets of the reading windows as the test server sends them:
// book headers and pages, the bulletin board's three forms, signs, help
// texts, the quest arrow, course-map pins and web pages. Each builder returns
// the whole packet.

#include "support/world_packets.h"

#include <cstdint>
#include <string>
#include <vector>

namespace test {

WirePacket bookHeaderPacket(uint32_t book, bool writable, bool editable, uint16_t pages, const std::string& title,
    const std::string& author);
WirePacket bookHeaderTextPacket(uint32_t book, bool writable, bool editable, uint16_t pages,
    const std::string& title, const std::string& author);
struct BookPageText {
    uint16_t number;
    std::vector<std::string> lines;
};
WirePacket bookPagesPacket(uint32_t book, const std::vector<BookPageText>& pages);
WirePacket boardOpenPacket(uint32_t board, const std::string& name);
WirePacket boardSummaryPacket(uint32_t board, uint32_t message, uint32_t parent, const std::string& poster,
    const std::string& subject, const std::string& time);
WirePacket boardMessagePacket(uint32_t board, uint32_t message, const std::string& poster,
    const std::string& subject, const std::string& time, const std::vector<std::string>& body);
WirePacket signPacket(uint32_t serial, uint16_t art, const std::string& first, const std::string& second);
WirePacket helpTextPacket(uint32_t serial, const std::u16string& text);
WirePacket questPointerPacket(uint8_t active, uint16_t x, uint16_t y);
WirePacket mapPlotPacket(uint32_t map, uint8_t action, uint8_t value, uint16_t x, uint16_t y);
WirePacket webPagePacket(const std::string& url);

} // namespace test
