#include "world/target_choice.h"

#include "world/item.h"

TargetChoice targetChoiceOf(const WorldObject& object)
{
    TargetChoice choice;
    choice.x = object.x;
    choice.y = object.y;
    choice.z = object.z;
    if (object.isLand()) {
        choice.kind = TargetKind::Land;
        return choice;
    }
    choice.kind = TargetKind::Static;
    if (!object.hasItemTile())
        return choice;
    choice.graphic = static_cast<const StaticObject&>(object).graphic;
    if (object.isDynamic()) {
        const auto& item = static_cast<const Item&>(object);
        choice.kind = TargetKind::Object;
        choice.serial = item.serial;
        choice.isMobile = object.isMobile();
        choice.isPlayer = object.isPlayer();
    }
    return choice;
}
