#pragma once
// The records of the desktop file, the saved window layout of one character:
// a 32-bit player serial, then typed records to the end of the file, each a
// type byte and a payload of the type's fixed size, little-endian. This is
// the file format alone: splitting a file into records, and each record's
// fields read and written with explicit sizes. What the records mean to the
// windows is gump/desktop_file.h. Pure functions; any thread.

#include <cstdint>
#include <span>
#include <vector>

namespace DesktopRecordType {
constexpr uint8_t kPaperdoll = 0;
constexpr uint8_t kStatusBar = 1;
constexpr uint8_t kTextWindow = 2;
constexpr uint8_t kContainer = 3;
constexpr uint8_t kSkillWindow = 4;
constexpr uint8_t kSpellbook = 5;
constexpr uint8_t kOptions = 6;
constexpr uint8_t kFightingStyle = 7;
constexpr uint8_t kOldSpellIcon = 8;
constexpr uint8_t kHelpPopup = 9;
constexpr uint8_t kChat = 10;
constexpr uint8_t kOldWindowGeometry = 11;
constexpr uint8_t kGmChat = 12;
constexpr uint8_t kWebPage = 13;
constexpr uint8_t kMessageList = 14;
constexpr uint8_t kRadar = 15;
constexpr uint8_t kWindowGeometry = 16;
constexpr uint8_t kSizedContainer = 17;
constexpr uint8_t kInvalid = 18;
constexpr uint8_t kSkipped = 19;
constexpr uint8_t kSkillIcon = 20;
constexpr uint8_t kAbilityIcon = 21;
constexpr uint8_t kAbilityBook = 22;
constexpr uint8_t kItemProperties = 23;
constexpr uint8_t kSpellIcon = 24;
constexpr uint8_t kLast = 24;
} // namespace DesktopRecordType

// The payload size of a record type; -1 for a type that ends the reading
// (18 and anything above 24).
int32_t desktopRecordSize(uint8_t type);

// One record as it lies in the file.
struct DesktopRecord {
    uint8_t type = 0;
    std::vector<uint8_t> payload;

    bool operator==(const DesktopRecord&) const = default;
};

// A file split into its records. Reading stops at a type that ends it and
// at a record the file cuts short (which is dropped): the records before
// either are kept.
struct DesktopFileImage {
    uint32_t playerSerial = 0;
    std::vector<DesktopRecord> records;
    // False when the reading stopped early (an ending type or a cut record).
    bool complete = true;
};
// False when the file cannot hold the player serial.
bool splitDesktopFile(std::span<const uint8_t> bytes, DesktopFileImage& image);
// The file's bytes: the serial, then each record's type and payload.
std::vector<uint8_t> joinDesktopFile(uint32_t playerSerial, const std::vector<DesktopRecord>& records);

// The fields of every record type in one form; each type uses some of them
// (see desktop_records.cpp for which).
struct DesktopEntry {
    uint8_t type = 0;
    int32_t x = 0;
    int32_t y = 0;
    int32_t minimised = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint32_t serial = 0;
    uint8_t page = 0;
    // A spell, skill or ability number; the radar's face.
    uint32_t number = 0;
    // The chat window's two layout values (record 10).
    int32_t layoutA = 0;
    int32_t layoutB = 0;
    uint32_t open = 0;
    // The main window (records 11 and 16): x and y are the game view's
    // offset, width and height the screen size.
    int32_t windowLeft = 0;
    int32_t windowTop = 0;
    // The byte as stored (1 = maximised).
    uint8_t maximised = 0;
};

// The fields of a record; false when the payload is not of the type's size.
bool decodeDesktopRecord(const DesktopRecord& record, DesktopEntry& entry);
// The record of an entry; an empty payload for a type without one.
DesktopRecord encodeDesktopRecord(const DesktopEntry& entry);
