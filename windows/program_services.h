#pragma once
// The one set of a family's window services the running program keeps: made
// anew by install (a program run again in one process, as the tests do,
// installs it again over the defaults it installed anew) and destroyed, which
// puts the services it replaced back, by uninstall. Main thread only.

#include <memory>

template <typename Services> std::unique_ptr<Services>& programServices()
{
    static std::unique_ptr<Services> services;
    return services;
}

template <typename Services> void installProgramServices()
{
    std::unique_ptr<Services>& services = programServices<Services>();
    services.reset();
    services = std::make_unique<Services>();
}

template <typename Services> void uninstallProgramServices() { programServices<Services>().reset(); }
