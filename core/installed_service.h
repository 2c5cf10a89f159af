#pragma once
// The slot through which a lower layer reaches a service that a higher layer,
// or a window built later, provides. Each service is a small abstract class
// declared by the layer that calls it, with a do-nothing form that answers
// "nothing there" (null, false, 0) declared beside it through
// ServiceFallback. Until something is installed the do-nothing form answers;
// the program installs the real services at start-up, and the do-nothing form
// of each service not built yet by one line in app/service_defaults.cpp
// (installServiceDefault), so that what remains is listed in one place.
// Installed objects are owned by the installer and must outlive their use.
// Main thread only.

#include <utility>

// Specialised beside each service: `using Type = NoSomething;`.
template <typename Service>
struct ServiceFallback;

template <typename Service>
Service*& installedServiceSlot()
{
    static Service* installed = nullptr;
    return installed;
}

template <typename Service>
typename ServiceFallback<Service>::Type& serviceFallback()
{
    static typename ServiceFallback<Service>::Type fallback;
    return fallback;
}

template <typename Service>
Service& service()
{
    if (Service* installed = installedServiceSlot<Service>())
        return *installed;
    return serviceFallback<Service>();
}

// Installs `replacement` (null goes back to the do-nothing form); returns the
// previous one.
template <typename Service>
Service* installService(Service* replacement)
{
    return std::exchange(installedServiceSlot<Service>(), replacement);
}

// Installs the do-nothing form explicitly: the service is known to be missing.
template <typename Service>
void installServiceDefault()
{
    installService<Service>(&serviceFallback<Service>());
}

// Installs a service for the life of the object (tests).
template <typename Service>
class ScopedService {
public:
    explicit ScopedService(Service& replacement)
        : m_previous(installService<Service>(&replacement))
    {
    }
    ~ScopedService() { installService<Service>(m_previous); }
    ScopedService(const ScopedService&) = delete;
    ScopedService& operator=(const ScopedService&) = delete;

private:
    Service* m_previous;
};
