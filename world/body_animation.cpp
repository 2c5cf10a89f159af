#include "world/body_animation.h"

#include "core/process_random.h"
#include "data/data_files.h"
#include "data/def_tables.h"
#include "gfx/art_cache.h"
#include "world/body_tables.h"
#include "world/def_table_world.h"
#include "world/mobile.h"
#include "world/tile_data.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<StoredFacing, 8> kStoredFacings { {
    { 3, true }, { 2, true }, { 1, true }, { 0, false }, { 1, false }, { 2, false }, { 3, false }, { 4, false },
} };

constexpr std::array<uint16_t, 9> kNotorietyHues { 0, 89, 63, 946, 946, 144, 34, 53, 1 };

constexpr std::array<int32_t, 19> kTwoHandedAnimations { 611, 612, 613, 614, 615, 616, 617, 621, 624, 626, 628, 634,
    636, 639, 641, 646, 648, 649, 651 };
constexpr std::array<int32_t, 9> kUnarmedRunningAnimations { 576, 577, 578, 579, 580, 581, 582, 992, 993 };

// Server actions of a body remapped from another type, by the pair of types:
// monster to human, monster to animal, monster to sea monster, animal to
// monster. Row 22 holds every action above 21.
enum ConversionColumn : int32_t { kMonsterToHuman, kMonsterToAnimal, kMonsterToSeaMonster, kAnimalToMonster };
constexpr int32_t kConversionRows = 23;
constexpr std::array<std::array<uint8_t, 4>, kConversionRows> kActionConversions { {
    { 0, 0, 0, 0 },
    { 4, 2, 2, 19 },
    { 21, 8, 8, 1 },
    { 22, 12, 8, 11 },
    { 9, 5, 5, 1 },
    { 11, 6, 6, 4 },
    { 13, 5, 5, 5 },
    { 18, 5, 5, 10 },
    { 19, 5, 5, 2 },
    { 9, 5, 5, 17 },
    { 20, 7, 7, 18 },
    { 4, 3, 2, 10 },
    { 16, 5, 5, 3 },
    { 17, 5, 5, 1 },
    { 16, 5, 5, 1 },
    { 30, 2, 2, 1 },
    { 30, 2, 2, 1 },
    { 5, 9, 3, 1 },
    { 6, 10, 4, 1 },
    { 1, 1, 1, 1 },
    { 4, 2, 2, 1 },
    { 20, 7, 7, 1 },
    { 4, 2, 2, 1 },
} };

int32_t convertAction(int32_t action, ConversionColumn column)
{
    return kActionConversions[size_t(std::clamp(action, 0, kConversionRows - 1))][size_t(column)];
}

// The column for a body of type `from` drawn with a body of type `to`, or -1.
int32_t conversionColumn(BodyType from, BodyType to)
{
    if (from == BodyType::Monster) {
        if (to == BodyType::Human)
            return kMonsterToHuman;
        if (to == BodyType::Animal)
            return kMonsterToAnimal;
        if (to == BodyType::SeaMonster)
            return kMonsterToSeaMonster;
    }
    if (from == BodyType::Animal && to == BodyType::Monster)
        return kAnimalToMonster;
    return -1;
}

template <size_t N> bool listedIn(const std::array<int32_t, N>& list, int32_t value)
{
    return std::find(list.begin(), list.end(), value) != list.end();
}

bool isTwoHandedAnimation(int32_t animation)
{
    return animation >= 611 && animation <= 651 && listedIn(kTwoHandedAnimations, animation);
}

bool isUnarmedRunningAnimation(int32_t animation)
{
    return animation >= 576 && animation <= 993 && listedIn(kUnarmedRunningAnimations, animation);
}

// The id a .def table maps `id` to, or `id` when it has no entry.
bool remapThroughTable(DefSlot slot, int32_t& id)
{
    const DefTable* table = defTable(slot);
    if (!table || id < 0 || id > 0xFFFF || !table->contains(uint16_t(id)))
        return false;
    id = table->translate(uint16_t(id), 0);
    return true;
}

} // namespace

int32_t selectAnimationFileSet(int32_t body)
{
    int32_t fileBody = body;
    uint8_t set = 0;
    if (body >= 0 && body < BodyTypeTable::kBodyCount) {
        for (int32_t candidate = 1; candidate <= BodyConversionTable::kSetCount; ++candidate) {
            int32_t alternative = bodyConversions().alternative(body, candidate);
            if (alternative != -1 && defTableWorld().isAnimSetEnabled(candidate)) {
                fileBody = alternative;
                set = uint8_t(candidate);
                break;
            }
        }
    }
    setAnimationFileSet(set);
    return fileBody;
}

int32_t remappedBody(int32_t body)
{
    remapThroughTable(DefSlot::Body, body);
    return body;
}

namespace {

RecordLayout layoutOf(BodyType type, int32_t body)
{
    const BodyTypeTable& types = bodyTypes();
    switch (type) {
    case BodyType::Human:
    case BodyType::Equipment:
        return RecordLayout::Long;
    case BodyType::SeaMonster:
        return RecordLayout::Standard;
    case BodyType::Animal:
        if (!types.hasFlag(body, 0x20))
            return RecordLayout::Short;
        break;
    default:
        break;
    }
    if (types.hasFlag(body, 0x400))
        return RecordLayout::Long;
    if (types.hasFlag(body, 0x40))
        return RecordLayout::Short;
    return RecordLayout::Standard;
}

struct StateAction {
    int32_t action;
    // Frames of the cycle plus one; 1 shows frame 0 only.
    int32_t divisor;
};

StateAction humanStateAction(int32_t body, const AnimationState& state, const Mobile* mobile)
{
    Item* mount = mobile ? mobile->layerItem(Mobile::kMountLayer) : nullptr;
    Item* leftHand = mobile ? mobile->layerItem(Mobile::kHandLayerOne) : nullptr;
    Item* rightHand = mobile ? mobile->layerItem(Mobile::kHandLayerTwo) : nullptr;
    bool mounted = mount && bodyTypes().getBodyType(mobile->graphic) == BodyType::Human;
    bool peaceOrDead = !mobile || !mobile->warMode || mobile->isDead();
    // A held item that is itself this body and carries the light-source flag.
    bool heldBody = rightHand && itemAnimationId(*rightHand) == body && (rightHand->tileFlags() & kTileLightSource);
    bool armedForRunning = rightHand && !isUnarmedRunningAnimation(itemAnimationId(*rightHand));
    if (state.standingStill) {
        if (mounted)
            return heldBody ? StateAction { 28, 7 } : StateAction { 25, 1 };
        if (peaceOrDead)
            return heldBody ? StateAction { 0, 10 } : StateAction { 4, 1 };
        if (heldBody)
            return { 2, 10 };
        bool twoHanded = (leftHand && isTwoHandedAnimation(itemAnimationId(*leftHand)))
            || (rightHand && isTwoHandedAnimation(itemAnimationId(*rightHand)));
        return { twoHanded ? 8 : 7, 1 };
    }
    if (mounted)
        return { state.running ? 24 : 23, 5 };
    if (state.running)
        return { armedForRunning ? 3 : 2, 10 };
    if (peaceOrDead)
        return { armedForRunning ? 1 : 0, 10 };
    return { 15, 10 };
}

StateAction stateAction(int32_t body, BodyType type, RecordLayout layout, const AnimationState& state,
    const Mobile* mobile)
{
    const BodyTypeTable& types = bodyTypes();
    bool still = state.standingStill;
    if (type == BodyType::SeaMonster) {
        if (still)
            return { 2, 1 };
        return { state.running ? 1 : 0, 10 };
    }
    if (type == BodyType::Human || type == BodyType::Equipment)
        return humanStateAction(body, state, mobile);
    switch (layout) {
    case RecordLayout::Short:
        if (still)
            return { 2, 1 };
        return { state.running ? 1 : 0, 5 };
    case RecordLayout::Long:
        return { 0, 10 };
    case RecordLayout::Standard:
        break;
    }
    if (still)
        return types.hasFlag(body, 0x4) ? StateAction { 8, 6 } : StateAction { 1, 1 };
    if (state.running)
        return { types.hasFlag(body, 0x8) ? 19 : 0, 10 };
    return { 0, 10 };
}

// A server action as the resolved body shows it; `state.action` takes the
// converted action of a body remapped from another type.
int32_t serverAction(int32_t body, BodyType type, bool convertedFromOther, BodyType fromType, AnimationState& state)
{
    const BodyTypeTable& types = bodyTypes();
    int32_t action = state.action + state.repetition;
    if (action == 12 && !types.isHumanLike(body)) {
        if (type == BodyType::Monster)
            action = 4;
        else if (type == BodyType::SeaMonster || type == BodyType::Animal)
            action = 5;
        else
            action = 16;
    }
    DefSlot slot = DefSlot::Anim2;
    if (type == BodyType::Monster)
        slot = DefSlot::Anim3;
    else if (type == BodyType::SeaMonster)
        slot = DefSlot::Anim4;
    else if (type == BodyType::Animal)
        slot = DefSlot::Anim1;
    bool remapped = remapThroughTable(slot, action);
    if (type == BodyType::Monster && action > 21)
        action = 1;
    else if (type == BodyType::SeaMonster && action > 8)
        action = 2;
    else if (type == BodyType::Animal && action > 12)
        action = 2;
    if (convertedFromOther && !remapped) {
        int32_t column = conversionColumn(fromType, type);
        if (column >= 0)
            action = convertAction(action, ConversionColumn(column));
        state.action = action;
    }

    if (types.hasFlag(body, 0x80) && action == 4)
        action = 5;
    if (types.hasFlag(body, 0x200)) {
        if (action >= 7 && action <= 16)
            action = 4;
        else if (action == 19)
            action = 0;
        else if (action > 19)
            action = 1;
    } else if (types.hasFlag(body, 0x100)) {
        if (action == 10 || action == 15 || action == 16)
            action = 1;
        else if (action == 11)
            action = 17;
    } else if (types.hasFlag(body, 0x1)) {
        if (action == 21)
            action = 10;
    } else if (types.hasFlag(body, 0x400)) {
        action = action == 11 ? 3 : convertAction(action, kMonsterToHuman);
    }

    if (types.hasFlag(body, 0x20)) {
        bool twoStep = types.hasFlag(body, 0x2);
        switch (action) {
        case 0:
            return 0;
        case 1:
            return 19;
        case 5:
        case 6:
            if (twoStep)
                return 4;
            return (nextRandom() & 1) ? 5 : 6;
        case 8:
            return 2;
        case 9:
            return 17;
        case 10:
            return twoStep ? 17 : 18;
        case 12:
            return 3;
        default:
            return 1;
        }
    }
    if (types.hasFlag(body, 0x40))
        return convertAction(action, kMonsterToAnimal);
    return action;
}

uint32_t positiveModulo(int32_t value, int32_t divisor) { return uint32_t(value) % uint32_t(divisor); }

} // namespace

StoredFacing storedFacing(int32_t facing) { return kStoredFacings[size_t(facing & 7)]; }

int32_t animationRecordNumber(RecordLayout layout, int32_t fileBody, int32_t action, int32_t storedDirection)
{
    int32_t slot = action * 5 + storedDirection;
    switch (layout) {
    case RecordLayout::Short:
        return 22000 + (fileBody - 200) * 65 + slot;
    case RecordLayout::Long:
        return 35000 + (fileBody - 400) * 175 + slot;
    case RecordLayout::Standard:
        break;
    }
    return fileBody * 110 + slot;
}

AnimationState animationStateOf(const Mobile& mobile)
{
    AnimationState state;
    state.directionByte = mobile.direction;
    state.action = mobile.action;
    state.repetition = mobile.repetition;
    state.serverFrame = mobile.animationRunning ? mobile.frame : -1;
    state.running = mobile.running != 0;
    if (mobile.isPlayer()) {
        const auto& self = static_cast<const PlayerMobile&>(mobile);
        state.stepCounter = self.walkFrameCounter;
        state.standingStill = self.standing;
    } else {
        state.stepCounter = mobile.frameCounter;
    }
    return state;
}

int32_t resolveMobileAnimation(
    int32_t body, AnimationState& state, const Mobile* mobile, int32_t& outIndex, int32_t& outFrame)
{
    outIndex = 0;
    outFrame = 0;
    if (body == 0) {
        setAnimationFileSet(0);
        return 0;
    }
    const BodyTypeTable& types = bodyTypes();
    BodyType ownType = types.getBodyType(body);
    bool convertedFromOther = false;
    if (remapThroughTable(DefSlot::Body, body))
        convertedFromOther = types.getBodyType(body) != ownType;
    int32_t fileBody = selectAnimationFileSet(body);
    BodyType type = types.getBodyType(body);
    RecordLayout layout = layoutOf(type, body);

    int32_t action = 0;
    if (state.serverFrame == -1) {
        StateAction chosen = stateAction(body, type, layout, state, mobile);
        action = chosen.action;
        outFrame = chosen.divisor == 1 ? 0 : int32_t(positiveModulo(state.stepCounter, chosen.divisor - 1));
        state.action = action;
    } else {
        int32_t shown = serverAction(body, type, convertedFromOther, ownType, state);
        action = shown & 0x7F;
        if (action > 34) {
            action = 0;
            outFrame = 0;
        } else {
            outFrame = state.serverFrame;
        }
    }
    outIndex = animationRecordNumber(layout, fileBody, action, storedFacing(state.directionByte).direction);
    return fileBody;
}

int32_t resolveCorpseAnimation(int32_t body, uint8_t directionByte, int32_t& outIndex, int32_t& outFrame)
{
    remapThroughTable(DefSlot::Corpse, body);
    int32_t fileBody = selectAnimationFileSet(body);
    const BodyTypeTable& types = bodyTypes();
    BodyType type = types.getBodyType(body);
    int32_t fellOther = (directionByte & 0x80) ? 1 : 0;
    RecordLayout layout = RecordLayout::Standard;
    int32_t action = 8;
    outFrame = 5;
    switch (type) {
    case BodyType::SeaMonster:
        break;
    case BodyType::Human:
    case BodyType::Equipment:
        layout = RecordLayout::Long;
        action = 21 + fellOther;
        break;
    default:
        if (type == BodyType::Animal && !types.hasFlag(body, 0x20)) {
            layout = RecordLayout::Short;
            action = fellOther ? 12 : 8;
        } else if (types.hasFlag(body, 0x40)) {
            layout = RecordLayout::Short;
            action = fellOther ? 12 : 8;
        } else if (types.hasFlag(body, 0x400)) {
            layout = RecordLayout::Long;
            action = 21 + fellOther;
        } else {
            action = 2 + fellOther;
            outFrame = 3;
        }
        break;
    }
    outIndex = animationRecordNumber(layout, fileBody, action, storedFacing(directionByte).direction);
    return fileBody;
}

std::optional<AnimationFrameRecord> loadAnimationRecordFrame(int32_t index, int32_t frame, uint16_t* frameCount)
{
    if (index < 0) {
        setAnimationFileSet(0);
        return std::nullopt;
    }
    int32_t count = -1;
    std::optional<AnimationFrameRecord> record = getAnimationFrameRecord(index, frame, &count);
    if (frameCount && count >= 0)
        *frameCount = uint16_t(count);
    return record;
}

std::optional<AnimationFrameRecord> getAnimationFrame(
    int32_t body, AnimationState& state, const Mobile* wearer, uint16_t* frameCount)
{
    int32_t index = 0;
    int32_t frame = 0;
    resolveMobileAnimation(body, state, wearer, index, frame);
    return loadAnimationRecordFrame(index, frame, frameCount);
}

std::optional<AnimationFrameRecord> getCorpseFrame(int32_t body, uint8_t directionByte)
{
    int32_t index = 0;
    int32_t frame = 0;
    resolveCorpseAnimation(body, directionByte, index, frame);
    return loadAnimationRecordFrame(index, frame, nullptr);
}

uint16_t getNotorietyHue(const Mobile* mobile)
{
    if (!mobile)
        return 0;
    int32_t notoriety = mobile->getNotoriety();
    return notoriety >= 0 && notoriety < int32_t(kNotorietyHues.size()) ? kNotorietyHues[size_t(notoriety)] : 0;
}

bool isHairLayerItem(const Item* item)
{
    if (!item)
        return false;
    uint8_t layer = tileData().item(item->graphic).quality;
    return layer == 11 || layer == 16;
}

int32_t itemAnimationId(const Item& item) { return tileData().item(item.graphic).animationId; }

int32_t ghostBodyAnimation(int32_t body)
{
    switch (body) {
    case 402:
    case 403:
        return body - 2;
    case 607:
    case 608:
        return body - 2;
    default:
        return body;
    }
}
