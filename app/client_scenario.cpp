#include "app/client_scenario.h"

#include <utility>

namespace {

ClientScenario* g_scenario = nullptr;

} // namespace

ClientScenario* installClientScenario(ClientScenario* scenario) { return std::exchange(g_scenario, scenario); }

ClientScenario* clientScenario() { return g_scenario; }
