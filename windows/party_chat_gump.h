#pragma once
// The party chat: a small framed, scrolling, resizable window that collects
// the party's messages while it is open. It opens only while the player is
// in a party, once at a time, and its grip starts a resize outline. The gump
// manager owns it. Main thread only.

#include "gump/popup_list.h"

#include <cstdint>
#include <string_view>

class PartyChatGump final : public FramedList {
public:
    static constexpr int32_t kMaxLines = 128;
    static constexpr int32_t kGripArt = 2703;

    // Made with its title as the first line, laid out and linked on top.
    PartyChatGump(int32_t x, int32_t y, int32_t width, int32_t height, std::u16string_view title);
    ~PartyChatGump() override;

    // A line in the party message colour.
    void addLine(std::u16string_view text);
    // The pieces placed for a window of that size.
    void relayout(int32_t width, int32_t height);
    Button* grip() const;

    void resize(int32_t width, int32_t height, bool flag) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;

private:
    GumpHandle m_grip;
    bool m_dragging = false;
};

// The open party chat raised, or a new one at (1, 1) while the player is in
// a party; null outside a party.
PartyChatGump* openPartyChat();
PartyChatGump* currentPartyChat();
