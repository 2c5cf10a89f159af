#include "windows/weapon_abilities.h"

#include "gump/gump_manager.h"
#include "net/client_packets.h"
#include "windows/icon_gumps.h"
#include "windows/window_packets.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include <algorithm>
#include <array>

namespace {

constexpr int32_t kBareHandsPrimary = 5;
constexpr int32_t kBareHandsSecondary = 11;
constexpr int32_t kFirstNameCliloc = 1028837;
constexpr int32_t kFirstDescriptionCliloc = 1061692;
constexpr int32_t kFirstIconArt = 20991;
constexpr uint16_t kActivateAbilityCommand = 0x19;

struct AbilityState {
    int32_t weaponGraphic = 0;
    int32_t active = 0;
};

AbilityState& abilityState()
{
    static AbilityState state;
    return state;
}

const WeaponAbilityPair* pairOf(int32_t graphic)
{
    const std::span<const WeaponAbilityPair> pairs = weaponAbilityPairs();
    const auto found = std::lower_bound(pairs.begin(), pairs.end(), graphic,
        [](const WeaponAbilityPair& pair, int32_t wanted) { return pair.graphic < wanted; });
    return found != pairs.end() && found->graphic == graphic ? &*found : nullptr;
}

bool validAbility(int32_t ability) { return ability >= 1 && ability <= kWeaponAbilityCount; }

// The ability book rebuilds itself, every ability icon draws anew.
void refreshAbilityWindows()
{
    for (CGump* gump = gumpListHead(); gump; gump = gump->next()) {
        if (gump->is(GumpKind::AbilityBook))
            gump->kindAction();
        else if (gump->is(GumpKind::AbilityIcon))
            static_cast<AbilityIconGump*>(gump)->redrawIcon();
    }
}

} // namespace

int32_t primaryAbility(int32_t weaponGraphic)
{
    const WeaponAbilityPair* pair = pairOf(weaponGraphic);
    return pair ? pair->primary : kBareHandsPrimary;
}

int32_t secondaryAbility(int32_t weaponGraphic)
{
    const WeaponAbilityPair* pair = pairOf(weaponGraphic);
    return pair ? pair->secondary : kBareHandsSecondary;
}

int32_t currentWeaponGraphic() { return abilityState().weaponGraphic; }
int32_t currentPrimaryAbility() { return primaryAbility(abilityState().weaponGraphic); }
int32_t currentSecondaryAbility() { return secondaryAbility(abilityState().weaponGraphic); }
int32_t activeWeaponAbility() { return abilityState().active; }

std::string_view abilityName(int32_t ability)
{
    const char* name = weaponAbilityNameOf(ability);
    return name ? std::string_view(name) : std::string_view("Invalid");
}

int32_t abilityNameCliloc(int32_t ability) { return kFirstNameCliloc + (validAbility(ability) ? ability : 1); }

int32_t abilityDescriptionCliloc(int32_t ability) { return kFirstDescriptionCliloc + ability; }

int32_t abilityIconArt(int32_t ability) { return kFirstIconArt + (validAbility(ability) ? ability : 1); }

std::span<const uint16_t> weaponsWithAbility(int32_t ability) { return weaponAbilityExamples(ability); }

void resetWeaponAbilities() { abilityState() = AbilityState {}; }

void updateWeaponAbilities()
{
    const PlayerMobile* self = player();
    if (!self)
        return;
    const Item* weapon = self->layerItem(Mobile::kHandLayerOne);
    if (!weapon)
        weapon = self->layerItem(Mobile::kHandLayerTwo);
    const int32_t graphic = weapon ? weapon->graphic : 0;
    AbilityState& state = abilityState();
    if (graphic == state.weaponGraphic)
        return;
    state.weaponGraphic = graphic;
    refreshAbilityWindows();
}

void activateWeaponAbility(int32_t ability)
{
    const PlayerMobile* self = player();
    if (!validAbility(ability) || !self)
        return;
    AbilityState& state = abilityState();
    state.active = state.active == ability ? 0 : ability;
    refreshAbilityWindows();
    const EncodedArgument argument { EncodedArgument::Type::Number, uint32_t(state.active) };
    std::array<uint8_t, 32> storage {};
    PacketBuffer packet(storage.data(), storage.size());
    if (buildEncodedCommandPacket(packet, self->serial, kActivateAbilityCommand, std::span(&argument, 1)))
        sendWindowPacket(packet);
}

void refreshAbilityGumps()
{
    abilityState().active = 0;
    refreshAbilityWindows();
}
