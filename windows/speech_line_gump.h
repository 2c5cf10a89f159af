#pragma once
// The line at the bottom of the game area that shows what the player is
// typing (8-bit in an ASCII font, or UTF-16 in the BarkFontNumber Unicode
// font with an outline); with the FrameCounter setting it starts with the
// frame rate. The speech entry sets its text; it is never closed by closing
// all gumps. Owned by the gump manager; game-view pixels. Main thread only.

#include "gump/gump.h"

#include <cstdint>
#include <string>
#include <string_view>

class SpeechLineGump final : public CGump {
public:
    SpeechLineGump(std::string_view text, uint16_t hue, uint16_t font);
    SpeechLineGump(std::u16string_view text, uint16_t hue);
    ~SpeechLineGump() override;

    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightDown(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    bool isInGameView() override { return true; }
    bool isClosableByCloseAll() override { return false; }
    bool lookKey(uint64_t& key) override
    {
        key = faceLookKey();
        return true;
    }

    void setText(std::string_view text, uint16_t hue, uint16_t font);
    void setTextUnicode(std::u16string_view text, uint16_t hue);

    const std::string& shownText() const { return m_shown; }
    const std::string& text() const { return m_text; }
    uint16_t hue() const { return m_hue; }
    uint16_t font() const { return m_font; }

private:
    void releaseCapture();

    std::string m_text;
    std::string m_shown;
    uint16_t m_hue = 0;
    uint16_t m_font = 0;
    uint32_t m_lastFrameTime = 0;
};

// The open line, or null.
SpeechLineGump* speechLineGump();
// Once per frame: with FrameCounter on, the line is set again so that its
// rate follows the frames.
void refreshFrameCounterLine();
