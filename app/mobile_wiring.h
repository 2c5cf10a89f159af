#pragma once
// Brings the mobile animation stepping into the running program: the world's
// animator is the real list of animating mobiles from start-up on, and the
// present step of every drawn frame advances it. Also the highlight sources
// the mobile drawing reads (the target cursor, the combatant and the marked
// serials the server announces). Main thread only.

struct FrameServices;

// Start-up: installs the animating-mobile list as the world's animator.
void startMobileAnimation();
// Start-up: installs the highlight sources of the mobile drawing.
void installMobileHighlights();
// Wraps the present step of `services` so that each drawn frame first
// advances the animating mobiles by one call.
void wireMobileAnimationStep(FrameServices& services);
