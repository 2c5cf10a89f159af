#pragma once
// The character creation the character selection opens: the profession
// window, then the appearance window, then the start location. This is the
// real form of the CharacterCreation service; the program installs it.
// Main thread only.

#include "frontend/front_end_shell.h"

CharacterCreation& characterCreationWindows();
