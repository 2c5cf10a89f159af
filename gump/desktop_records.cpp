#include "gump/desktop_records.h"

#include "core/byte_cursor.h"
#include "core/byte_writer.h"

#include <array>

namespace {

namespace Type = DesktopRecordType;

constexpr int32_t kEnds = -1;

// Payload sizes by type, 0 to 24.
constexpr std::array<int32_t, Type::kLast + 1> kRecordSizes {
    9, // 0 paperdoll: x, y, minimised
    9, // 1 status bar
    13, // 2 text window: x, y, minimised, width, height
    13, // 3 container: x, y, serial, minimised
    13, // 4 skill window: as 2
    14, // 5 spellbook: x, y, minimised, page, serial
    9, // 6 options
    9, // 7 fighting style
    9, // 8 spell icon, older form: x, y, spell index
    8, // 9 help-text popup: x, y
    32, // 10 chat: x, y, width, height, two layout values, minimised, open
    24, // 11 window geometry, older form
    24, // 12 GM chat: x, y, width, height, minimised, open
    24, // 13 web page window
    24, // 14 message list
    9, // 15 radar: x, y, face
    25, // 16 window geometry: 11 and maximised
    17, // 17 sized container: x, y, serial, minimised, width, height
    kEnds, // 18
    24, // 19 skipped
    9, // 20 skill icon
    9, // 21 ability icon
    10, // 22 ability book: x, y, minimised, page
    8, // 23 item properties: x, y
    12, // 24 spell icon: x, y, spell
};

void writeGeometry(ByteWriter& out, const DesktopEntry& entry)
{
    out.u32(uint32_t(entry.x));
    out.u32(uint32_t(entry.y));
    out.u32(uint32_t(entry.windowLeft));
    out.u32(uint32_t(entry.windowTop));
    out.u32(uint32_t(entry.width));
    out.u32(uint32_t(entry.height));
}

void readGeometry(ByteCursor& in, DesktopEntry& entry)
{
    entry.x = in.readI32();
    entry.y = in.readI32();
    entry.windowLeft = in.readI32();
    entry.windowTop = in.readI32();
    entry.width = in.readI32();
    entry.height = in.readI32();
}

} // namespace

int32_t desktopRecordSize(uint8_t type) { return type <= Type::kLast ? kRecordSizes[type] : kEnds; }

bool splitDesktopFile(std::span<const uint8_t> bytes, DesktopFileImage& image)
{
    image = DesktopFileImage {};
    ByteCursor in(bytes);
    image.playerSerial = in.readU32();
    if (in.failed())
        return false;
    while (in.remaining() > 0) {
        const uint8_t type = in.readU8();
        const int32_t size = desktopRecordSize(type);
        if (size == kEnds || in.remaining() < size_t(size)) {
            image.complete = false;
            break;
        }
        DesktopRecord& record = image.records.emplace_back();
        record.type = type;
        record.payload.resize(size_t(size));
        in.readBytes(record.payload);
    }
    return true;
}

std::vector<uint8_t> joinDesktopFile(uint32_t playerSerial, const std::vector<DesktopRecord>& records)
{
    ByteWriter out;
    out.u32(playerSerial);
    for (const DesktopRecord& record : records) {
        out.u8(record.type);
        out.bytes().insert(out.bytes().end(), record.payload.begin(), record.payload.end());
    }
    return out.take();
}

bool decodeDesktopRecord(const DesktopRecord& record, DesktopEntry& entry)
{
    entry = DesktopEntry {};
    entry.type = record.type;
    const int32_t size = desktopRecordSize(record.type);
    if (size == kEnds || record.payload.size() != size_t(size))
        return false;
    ByteCursor in(record.payload);
    switch (record.type) {
    case Type::kOldWindowGeometry:
    case Type::kWindowGeometry:
        readGeometry(in, entry);
        if (record.type == Type::kWindowGeometry)
            entry.maximised = in.readU8();
        return !in.failed();
    case Type::kChat:
        entry.x = in.readI32();
        entry.y = in.readI32();
        entry.width = in.readI32();
        entry.height = in.readI32();
        entry.layoutA = in.readI32();
        entry.layoutB = in.readI32();
        entry.minimised = in.readI32();
        entry.open = in.readU32();
        return !in.failed();
    case Type::kGmChat:
    case Type::kWebPage:
    case Type::kMessageList:
        entry.x = in.readI32();
        entry.y = in.readI32();
        entry.width = in.readI32();
        entry.height = in.readI32();
        entry.minimised = in.readI32();
        entry.open = in.readU32();
        return !in.failed();
    case Type::kSkipped:
        return true;
    default:
        break;
    }
    entry.x = in.readI32();
    entry.y = in.readI32();
    switch (record.type) {
    case Type::kContainer:
    case Type::kSizedContainer:
        entry.serial = in.readU32();
        entry.minimised = in.readU8();
        if (record.type == Type::kSizedContainer) {
            entry.width = in.readU16();
            entry.height = in.readU16();
        }
        break;
    case Type::kTextWindow:
    case Type::kSkillWindow:
        entry.minimised = in.readU8();
        entry.width = in.readU16();
        entry.height = in.readU16();
        break;
    case Type::kSpellbook:
    case Type::kAbilityBook:
        entry.minimised = in.readU8();
        entry.page = in.readU8();
        if (record.type == Type::kSpellbook)
            entry.serial = in.readU32();
        break;
    case Type::kOldSpellIcon:
    case Type::kSkillIcon:
    case Type::kAbilityIcon:
    case Type::kRadar:
        entry.number = in.readU8();
        break;
    case Type::kSpellIcon:
        entry.number = in.readU32();
        break;
    case Type::kHelpPopup:
    case Type::kItemProperties:
        break;
    default:
        entry.minimised = in.readU8();
        break;
    }
    return !in.failed();
}

DesktopRecord encodeDesktopRecord(const DesktopEntry& entry)
{
    ByteWriter out;
    switch (entry.type) {
    case Type::kOldWindowGeometry:
    case Type::kWindowGeometry:
        writeGeometry(out, entry);
        if (entry.type == Type::kWindowGeometry)
            out.u8(entry.maximised);
        break;
    case Type::kChat:
        for (int32_t value : { entry.x, entry.y, entry.width, entry.height, entry.layoutA, entry.layoutB,
                 entry.minimised })
            out.u32(uint32_t(value));
        out.u32(entry.open);
        break;
    case Type::kGmChat:
    case Type::kWebPage:
    case Type::kMessageList:
        for (int32_t value : { entry.x, entry.y, entry.width, entry.height, entry.minimised })
            out.u32(uint32_t(value));
        out.u32(entry.open);
        break;
    case Type::kSkipped:
        out.zeros(size_t(kRecordSizes[Type::kSkipped]));
        break;
    default:
        if (desktopRecordSize(entry.type) == kEnds)
            return { entry.type, {} };
        out.u32(uint32_t(entry.x));
        out.u32(uint32_t(entry.y));
        switch (entry.type) {
        case Type::kContainer:
        case Type::kSizedContainer:
            out.u32(entry.serial);
            out.u8(uint32_t(entry.minimised));
            if (entry.type == Type::kSizedContainer) {
                out.u16(uint32_t(entry.width));
                out.u16(uint32_t(entry.height));
            }
            break;
        case Type::kTextWindow:
        case Type::kSkillWindow:
            out.u8(uint32_t(entry.minimised));
            out.u16(uint32_t(entry.width));
            out.u16(uint32_t(entry.height));
            break;
        case Type::kSpellbook:
        case Type::kAbilityBook:
            out.u8(uint32_t(entry.minimised));
            out.u8(entry.page);
            if (entry.type == Type::kSpellbook)
                out.u32(entry.serial);
            break;
        case Type::kOldSpellIcon:
        case Type::kSkillIcon:
        case Type::kAbilityIcon:
        case Type::kRadar:
            out.u8(entry.number);
            break;
        case Type::kSpellIcon:
            out.u32(entry.number);
            break;
        case Type::kHelpPopup:
        case Type::kItemProperties:
            break;
        default:
            out.u8(uint32_t(entry.minimised));
            break;
        }
        break;
    }
    return { entry.type, out.take() };
}
