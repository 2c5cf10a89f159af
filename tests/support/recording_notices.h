#pragma once
// A window-notices service for the tests that check what the player is told:
// it keeps every system message and every reload it is asked for, in order,
// and does nothing else.

#include "data/client_services.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace test {

class RecordingNotices final : public WindowNotices {
public:
    void addSystemMessage(uint16_t hue, uint16_t font, std::string_view text) override
    {
        messages.emplace_back(text);
        hues.push_back(hue);
        fonts.push_back(font);
    }
    void showWaitingBox(std::string_view) override { }
    void clearAbilityIcons() override { }
    void showPlayerWarMode(bool) override { }
    void clearPlacementPreview() override { }
    void reloadSkillGroups() override { reloads.push_back("skill groups"); }
    void reloadMacros() override { reloads.push_back("macros"); }

    std::vector<std::string> messages;
    // The hue and font of each message, in the same order.
    std::vector<uint16_t> hues;
    std::vector<uint16_t> fonts;
    std::vector<std::string> reloads;
};

} // namespace test
