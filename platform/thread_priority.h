#pragma once
// Scheduling of the client's worker threads. A worker that only measures or
// polls in the background lowers its own priority so that it never competes
// with the main thread. Called by the worker thread itself.

namespace platform {

// Gives the calling thread the lowest scheduling priority the system allows
// an unprivileged process; false when it could not be changed (the thread
// then keeps running at its priority).
bool lowerCurrentThreadPriority();

} // namespace platform
