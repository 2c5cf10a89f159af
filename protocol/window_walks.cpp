#include "protocol/window_walks.h"

#include "gump/gump_manager.h"
#include "world/object_manager.h"

#include <array>
#include <vector>

namespace {

template <typename Match>
int32_t closeMatching(Match match)
{
    std::vector<CGump*> found;
    for (CGump* gump = gumpListHead(); gump; gump = gump->next()) {
        // The list is broken beyond a window that fails its mark.
        if (!isValidGump(gump))
            break;
        if (match(*gump))
            found.push_back(gump);
    }
    int32_t closed = 0;
    for (CGump* gump : found) {
        if (!isValidGump(gump))
            continue;
        closeGump(gump);
        ++closed;
    }
    return closed;
}

constexpr std::array<GumpKind, 12> kServerKinds = {
    GumpKind::Paperdoll,
    GumpKind::StatusGump,
    GumpKind::TextGump,
    GumpKind::SkillGump,
    GumpKind::Spellbook,
    GumpKind::OptionsGump,
    GumpKind::Radar,
    GumpKind::Profile,
    GumpKind::PartyGump,
    GumpKind::ChatWindow,
    GumpKind::ShopGump,
    GumpKind::ContainerGump,
};

} // namespace

int32_t closeTopLevelGumps(GumpKind kind)
{
    return closeMatching([kind](const CGump& gump) { return gump.is(kind); });
}

bool serverWindowKind(uint32_t kind, GumpKind& out)
{
    if (kind < 1 || kind > kServerKinds.size())
        return false;
    out = kServerKinds[kind - 1];
    return true;
}

int32_t closeWindowsByKind(uint32_t kind, uint32_t serial)
{
    GumpKind gumpKind {};
    if (!serverWindowKind(kind, gumpKind))
        return 0;
    // The owner is compared as the object the serial names now: a window
    // whose owner is gone (or is another object) never matches.
    const WorldObject* object = serial != 0 ? findObjectBySerial(serial) : nullptr;
    return closeMatching([&](const CGump& gump) {
        if (!gump.is(gumpKind))
            return false;
        if (serial == 0)
            return true;
        if (gumpKind == GumpKind::Profile)
            return gump.ownerSerial() == serial;
        return object && gump.owner() == object;
    });
}
