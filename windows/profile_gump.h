#pragma once
// The character profile window: the title line, the character's own
// profile text and a fixed text, as the server sends them in packet 0xB8,
// on the art-2080 frame with a scroll thumb, a minimise button and a resize
// grip. The player's own profile text is edited in place; when the window
// closes with a changed text the new text goes back to the server in 0xB8.
// Texts hold at most 511 characters; longer ones from the server are cut.
// The gump manager owns the window. Main thread only.

#include "gump/gump.h"

#include <cstdint>
#include <string>

class Thumb;

class ProfileGump final : public CGump {
public:
    static constexpr size_t kMaxText = 511;
    static constexpr int32_t kFrameArt = 2080;
    static constexpr int32_t kMinimiseArt = 2093;
    static constexpr int32_t kGripArt = 2094;
    static constexpr int32_t kGripHoverArt = 2095;
    static constexpr int32_t kMinimisedArt = 2516;
    static constexpr int32_t kThumbArt = 31;
    static constexpr int32_t kHeight = 300;
    static constexpr uint16_t kTitleColour = 2144;

    ProfileGump(uint32_t serial, std::u16string title, std::u16string fixedText, std::u16string profile);
    ~ProfileGump() override;

    bool isEditable() const { return m_editable; }
    bool isEditing() const { return m_editing; }
    const std::u16string& profileText() const { return m_profile; }
    const std::u16string& fixedText() const { return m_fixed; }
    const std::u16string& title() const { return m_title; }
    int32_t caret() const { return m_caret; }
    int32_t scroll() const { return m_scroll; }
    int32_t largestScroll() const { return m_largestScroll; }
    // Lays the page out again.
    void redraw();
    void startEditing();

    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onSlider(int32_t position, int32_t range, CGump* thumb) override;
    void resize(int32_t width, int32_t height, bool flag) override;
    void onKey(uint32_t code) override;
    void onFocusLost() override;

private:
    // One layout pass; false when the scroll had to change (lay out again).
    bool layOut();
    Thumb* thumb() const;

    std::u16string m_title;
    std::u16string m_fixed;
    std::u16string m_profile;
    std::u16string m_unchanged;
    bool m_editable;
    bool m_editing = false;
    int32_t m_caret = 0;
    int32_t m_scroll = 0;
    int32_t m_largestScroll = 0;
    bool m_pressed = false;
    GumpHandle m_thumb;
};

// The open profile window of the serial, or null.
ProfileGump* findProfileGump(uint32_t serial);
// The server's profile packet (0xB8): serial, 8-bit title to its NUL, the
// fixed text and the profile text as 16-bit units each to a 0 unit. A packet
// missing a terminator is refused whole. An open window of the serial is
// only kept on the screen.
void handleProfilePacket(const uint8_t* packet);
void registerProfileHandler();
