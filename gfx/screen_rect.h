#pragma once
// The world layer's name for the half-open rectangle of platform/screen_rect.h.

#include "platform/screen_rect.h"

using ScreenRect = platform::ScreenRect;
