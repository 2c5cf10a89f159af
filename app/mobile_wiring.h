#pragma once
// Brings the mobile animation stepping into the running program: the world's
// animator is the real list of animating mobiles from start-up on, and the
// present step of every drawn frame advances it. Main thread only.

struct FrameServices;

// Start-up: installs the animating-mobile list as the world's animator.
void startMobileAnimation();
// Wraps the present step of `services` so that each drawn frame first
// advances the animating mobiles by one call.
void wireMobileAnimationStep(FrameServices& services);
