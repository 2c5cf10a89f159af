#pragma once
// What a target answer says of a picked world object: an item or a mobile
// by its serial (with its picture), a land tile by its place, a static by
// its place and picture. Main thread only.

#include "data/targeting.h"

class WorldObject;

TargetChoice targetChoiceOf(const WorldObject& object);
