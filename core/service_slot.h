#pragma once
// One installable service: lower layers call a higher layer's service through
// an interface, and the higher layer installs its implementation at start-up.
// Until something is installed the slot answers with its do-nothing default,
// so a caller never tests for a missing service. Main thread only; installed
// objects are not owned.

template <typename Service> class ServiceSlot {
public:
    explicit ServiceSlot(Service& doNothing)
        : m_doNothing(doNothing)
    {
    }
    Service& get() const { return m_installed ? *m_installed : m_doNothing; }
    // Installs `service` (null: back to the do-nothing default); returns the
    // one installed before.
    Service* install(Service* service)
    {
        Service* previous = m_installed;
        m_installed = service;
        return previous;
    }

private:
    Service& m_doNothing;
    Service* m_installed = nullptr;
};

// Installs a service for the life of the guard (tests, nested start-ups).
template <typename Service> class ScopedService {
public:
    ScopedService(Service* (*install)(Service*), Service& service)
        : m_install(install)
        , m_previous(install(&service))
    {
    }
    ~ScopedService() { m_install(m_previous); }
    ScopedService(const ScopedService&) = delete;
    ScopedService& operator=(const ScopedService&) = delete;

private:
    Service* (*m_install)(Service*);
    Service* m_previous;
};

// The one slot of a service, with its do-nothing default, for the accessor and
// installer functions that a service's header declares.
template <typename Service, typename DoNothing> ServiceSlot<Service>& serviceSlot()
{
    static DoNothing doNothing;
    static ServiceSlot<Service> slot(doNothing);
    return slot;
}
