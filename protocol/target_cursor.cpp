#include "protocol/target_cursor.h"

#include "gump/input_control.h"
#include "net/client_packets.h"
#include "net/game_connection.h"
#include "protocol/packet_reader.h"
#include "protocol/world_packet_windows.h"
#include "world/multi_preview.h"

#include <vector>

namespace {

constexpr uint8_t kCancelFlag = 3;
constexpr uint8_t kObjectAnswer = 0;
constexpr uint8_t kLocationAnswer = 1;
constexpr uint16_t kNoPlace = 0xFFFF;
// The values of one object-list record on the wire, and the 16-bit words the
// preview keeps of it (each value in the low word of a 32-bit slot).
constexpr int32_t kObjectListValues = 5;
static_assert(MultiPreview::kPacketRecordWords == 2 * kObjectListValues);

void sendAnswer(uint8_t type, uint32_t serial, uint16_t x, uint16_t y, uint16_t z, uint16_t graphic)
{
    const ServerTargetCursor& cursor = serverTargetCursor();
    PacketStorage<19> packet;
    if (buildTargetResponsePacket(packet, type, cursor.cursorId, cursor.cursorFlag, serial, x, y, z, graphic))
        sendPacket(packet);
}

// The cursor flag as the world view's intent: 1 harmful, 2 beneficial,
// anything else neutral.
TargetIntent intentOfFlag(uint8_t flag)
{
    switch (flag) {
    case 1: return TargetIntent::Harmful;
    case 2: return TargetIntent::Beneficial;
    default: return TargetIntent::Neutral;
    }
}

// Targeting ends after an answer: the callback goes, the flag becomes 0.
void finishAnswer()
{
    TargetingState& state = targetingState();
    state.callback = nullptr;
    state.command = {};
    endTargeting();
    serverTargetCursor().cursorFlag = 0;
}

} // namespace

ServerTargetCursor& serverTargetCursor()
{
    static ServerTargetCursor cursor;
    return cursor;
}

LastTarget& lastTarget()
{
    static LastTarget last;
    return last;
}

void beginServerTargeting(uint32_t cursorId, uint8_t targetType)
{
    ServerTargetCursor& cursor = serverTargetCursor();
    cursor.cursorId = cursorId;
    cursor.targetType = targetType;
    TargetingState& state = targetingState();
    state.command = {};
    state.callback = sendTargetResponse;
    state.targetType = targetType;
    state.intent = intentOfFlag(cursor.cursorFlag);
    beginTargeting();
}

void sendTargetResponse(const std::optional<TargetChoice>& choice)
{
    if (!choice)
        return;
    LastTarget& last = lastTarget();
    const uint16_t x = uint16_t(choice->x);
    const uint16_t y = uint16_t(choice->y);
    const uint16_t z = uint16_t(choice->z);
    switch (choice->kind) {
    case TargetKind::Land:
        last = { LastTargetKind::Land, 0, x, y, z, 0 };
        sendAnswer(kLocationAnswer, 0, x, y, z, 0);
        break;
    case TargetKind::Object:
        if (!choice->isPlayer) {
            const bool newMobile
                = choice->isMobile && (last.kind != LastTargetKind::Object || last.serial != choice->serial);
            last = { LastTargetKind::Object, choice->serial, x, y, z, choice->graphic };
            if (newMobile)
                service<StatusWindows>().showLastTarget(choice->serial);
        }
        sendAnswer(kObjectAnswer, choice->serial, x, y, z, choice->graphic);
        break;
    case TargetKind::Static:
        last = { LastTargetKind::Static, 0, x, y, z, choice->graphic };
        sendAnswer(kLocationAnswer, 0, x, y, z, choice->graphic);
        break;
    }
    finishAnswer();
}

void sendTargetCancel()
{
    sendAnswer(kObjectAnswer, 0, kNoPlace, kNoPlace, 0, 0);
    finishAnswer();
    clearPendingPickEntry();
}

void handleTargetCursor(const uint8_t* packet)
{
    PacketReader reader(packet);
    const uint8_t targetType = reader.u8();
    const uint32_t cursorId = reader.u32();
    const uint8_t flag = reader.u8();
    if (!reader.ok())
        return;
    // The server takes its cursor back: the answer carries what was stored.
    if (flag == kCancelFlag) {
        sendTargetCancel();
        return;
    }
    serverTargetCursor().cursorFlag = flag;
    beginServerTargeting(cursorId, targetType);
}

void handleMultiPlacement(const uint8_t* packet)
{
    PacketReader reader(packet);
    const uint8_t targetType = reader.u8();
    const uint32_t cursorId = reader.u32();
    // What the server means by the next twelve bytes is its own.
    reader.skip(12);
    const uint16_t multiId = reader.u16();
    const uint16_t offsetX = reader.u16();
    const uint16_t offsetY = reader.u16();
    const uint16_t offsetZ = reader.u16();
    if (!reader.ok())
        return;
    beginServerTargeting(cursorId, targetType);
    if (MultiPreview* preview = multiPreview())
        preview->loadFromMulti(multiId, offsetX, offsetY, offsetZ);
}

void handleObjectListPlacement(const uint8_t* packet)
{
    PacketReader reader(packet);
    const uint8_t targetType = reader.u8();
    const uint32_t cursorId = reader.u32();
    const uint16_t baseX = reader.u16();
    const uint16_t baseY = reader.u16();
    const uint16_t baseZ = reader.u16();
    const uint16_t count = reader.u16();
    // The records are read whole before anything changes: a count the packet
    // does not hold refuses the packet. The packet's own length bounds them.
    std::vector<uint16_t> words;
    for (uint32_t n = 0; reader.ok() && n < count; ++n) {
        for (int32_t value = 0; value < kObjectListValues; ++value) {
            words.push_back(reader.u16());
            words.push_back(0);
        }
    }
    if (!reader.ok())
        return;
    beginServerTargeting(cursorId, targetType);
    if (MultiPreview* preview = multiPreview())
        preview->loadFromPacket(count, words, baseX, baseY, baseZ);
}
