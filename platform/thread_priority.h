#pragma once
// Scheduling of the client's worker threads. A worker that only measures or
// polls in the background lowers its own priority so that it never competes
// with the main thread; one that must keep ahead of playback raises it.
// Called by the worker thread itself.

namespace platform {

// Gives the calling thread the lowest scheduling priority the system allows
// an unprivileged process; false when it could not be changed (the thread
// then keeps running at its priority).
bool lowerCurrentThreadPriority();
// Gives the calling thread a priority two steps above the one it has (a nice
// value 2 lower); false when the system refuses, as it does an unprivileged
// process (the thread then keeps running at its priority).
bool raiseCurrentThreadPriority();

} // namespace platform
