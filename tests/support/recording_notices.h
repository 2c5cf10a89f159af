#pragma once
// A window-notices service for the tests that check what the player is told:
// it keeps every system message and every reload it is asked for, in order,
// and does nothing else.

#include "data/client_services.h"

#include <string>
#include <string_view>
#include <vector>

namespace test {

class RecordingNotices final : public WindowNotices {
public:
    void addSystemMessage(uint16_t, uint16_t, std::string_view text) override { messages.emplace_back(text); }
    void showWaitingBox(std::string_view) override { }
    void clearAbilityIcons() override { }
    void showPlayerWarMode(bool) override { }
    void clearPlacementPreview() override { }
    void reloadSkillGroups() override { reloads.push_back("skill groups"); }
    void reloadMacros() override { reloads.push_back("macros"); }

    std::vector<std::string> messages;
    std::vector<std::string> reloads;
};

} // namespace test
