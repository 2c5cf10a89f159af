#pragma once
// Named clean-ups on the process clean-up stack. Each service that lives for
// the whole run registers its clean-up as soon as it has started; an orderly
// exit runs them in reverse order. The names let a diagnostic observer see
// the order in which they run. Main thread only.

#include <functional>

void registerCleanup(const char* name, std::function<void()> cleanup);

// Called with each clean-up's name just before it runs; null for none.
void setCleanupObserver(std::function<void(const char*)> observer);
