#include "protocol/packet_fields.h"

#include "core/file_name_sanitizer.h"
#include "net/packet_table.h"

#include <string_view>

bool readFixedText(const uint8_t* packet, int32_t& offset, int32_t fieldSize, size_t maxLength, std::string& out)
{
    std::string_view text;
    if (!packetGetFixedText(packet, offset, fieldSize, text)) {
        out.clear();
        return false;
    }
    out.assign(text.substr(0, maxLength));
    return true;
}

namespace {

constexpr int32_t kCharacterField = 30;
constexpr size_t kCharacterTextLength = 29;
constexpr int32_t kCityField = 31;
constexpr size_t kCityLength = 30;

} // namespace

void readCharacterEntry(const uint8_t* packet, int32_t& offset, std::string& name, std::string& password)
{
    readFixedText(packet, offset, kCharacterField, kCharacterTextLength, name);
    readFixedText(packet, offset, kCharacterField, kCharacterTextLength, password);
    // A name goes into the settings files and the per-character folder names:
    // nothing of the server's may break a line there.
    removeControlBytes(name);
    removeControlBytes(password);
}

void readStartLocationEntry(const uint8_t* packet, int32_t& offset, StartLocationEntry& entry)
{
    packetGetByte(packet, offset, entry.index);
    readFixedText(packet, offset, kCityField, kCityLength, entry.city);
    readFixedText(packet, offset, kCityField, kCityLength, entry.building);
}
