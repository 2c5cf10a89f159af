#pragma once
// The house design on the wire: the server's whole design of a house (0xD8),
// compressed one of four ways, read into the design cache and shown on the
// house; and the design commands the client sends (0xD7 with the player's
// serial, a sub-command and number arguments). Main thread only.

#include "world/multi_components.h"

#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

class PacketBuffer;

namespace housing {

inline constexpr uint8_t kHouseDesignPacketId = 0xD8;

enum class DesignCommand : uint16_t {
    Backup = 2,
    Restore = 3,
    Commit = 4,
    EraseComponent = 5,
    PlaceComponent = 6,
    ExitDesign = 12,
    PlaceStairs = 13,
    Synch = 14,
    DesignReceived = 15,
    Clear = 16,
    SelectFloor = 18,
    PlaceComponentAtHeight = 19,
    EraseRoofComponent = 20,
    Revert = 26,
};

enum class DesignCompression : uint8_t { Raw = 0, Zlib = 1, Empty = 2, Planes = 3 };

// The fixed fields of a 0xD8 ahead of its data.
struct HouseDesignHeader {
    uint8_t compression = 0;
    uint8_t acknowledge = 0;
    uint32_t serial = 0;
    uint32_t revision = 0;
    uint16_t count = 0; // the components the design declares
};

// The rectangle of the house multi's own records (offsets from the house),
// over which raster planes lay their values.
struct RasterArea {
    int32_t minX = 0;
    int32_t minY = 0;
    int32_t maxX = 0;
    int32_t maxY = 0;
};

// Why a design was refused; Accepted when it was read whole.
enum class DesignRefusal : uint8_t {
    Accepted,
    CutShort, // the header or the data runs past the packet
    UnknownCompression,
    RecordsMissing, // fewer record bytes than the declared count needs
    InflateFailed, // a zlib stream that does not inflate to exactly its declared length
    BadPlaneLength, // a plane whose length is not a whole number of its records
    TooManyComponents, // more components than the declared count
    OutsideHouse, // a raster running past the house's rectangle
    NoRasterArea, // a raster for a house whose multi records are unknown
};

// Reads the header and finds the data of a whole 0xD8 (its length word
// already checked against the bytes by the framing).
DesignRefusal readHouseDesignHeader(const uint8_t* packet, HouseDesignHeader& header, std::span<const uint8_t>& data);

// Decodes the data into `out` (the decoded components only, without the
// fixed first record). Nothing is written to `out` unless the whole design
// reads: a stream that inflates to more or less than it declares, records
// beyond the declared count, or a raster outside the house refuse it whole.
// `area` is needed only by raster planes; null when the house's multi
// records are unknown.
DesignRefusal decodeHouseDesign(const HouseDesignHeader& header, std::span<const uint8_t> data,
    const RasterArea* area, std::vector<DesignRecord>& out);

// The z a plane level gives its plane records and raster values.
int32_t planeLevelZ(int32_t level);

// The 0xD8 handler: the design goes into the design cache and onto the house;
// the designer refreshes when it is the designed house; the server gets its
// acknowledgement when it asked. A design for no known house, or one that is
// refused, changes nothing and is not answered.
void handleHouseDesign(const uint8_t* packet);
void registerHouseDesignHandler();

// Arguments go out as number arguments in the order given.
bool buildDesignCommand(
    PacketBuffer& buffer, uint32_t playerSerial, DesignCommand command, std::initializer_list<uint32_t> arguments);
// Builds and queues the command with the player's serial on the game connection.
bool sendDesignCommand(DesignCommand command, std::initializer_list<uint32_t> arguments = {});

} // namespace housing
