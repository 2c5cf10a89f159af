#pragma once
// What the mobile steps ask of the body animation: the movement action and
// frame being shown, which choose the footstep sounds. Main thread only.

#include <cstdint>

class Mobile;

// False while no body animation answers (no footsteps sound then).
bool movementActionFrame(const Mobile& mobile, int32_t& action, int32_t& frame);
