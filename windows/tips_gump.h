#pragma once
// The tip of the day and the server's notices: lines of 8-bit text in the
// framed text window of the journal, scrolled a line at a time. A tip also
// has previous and next buttons, which only close it, and the "Don't show
// again" box, which sets the ShowTips setting when the window closes. A
// notice stands at (20, 20) without them. The window keeps at most 100
// lines of 79 characters. Several may be open at once; the gump manager
// owns them. Main thread only.

#include "gump/gump.h"
#include "windows/text_window_presses.h"

#include <cstdint>
#include <string>
#include <vector>

class Thumb;
class ToggleControl;

class TipsGump final : public CGump {
public:
    static constexpr size_t kMaxLines = 100;
    static constexpr size_t kMaxLineLength = 79;
    static constexpr int32_t kLineHeight = 14;
    static constexpr int32_t kFont = 6;
    static constexpr int32_t kNoticeX = 20;
    static constexpr int32_t kNoticeY = 20;
    static constexpr int32_t kPageLines = 10;

    TipsGump(int32_t x, int32_t y, const std::vector<std::string>& lines, bool isTip);
    ~TipsGump() override;

    bool isTip() const { return m_isTip; }
    const std::vector<std::string>& lines() const { return m_lines; }
    int32_t firstLine() const { return m_first; }
    // Null for a notice.
    ToggleControl* hideBox() const;
    Thumb* thumb() const;
    // The arrows: one line back or on.
    void stepLines(int32_t delta);
    void pageAt(int32_t x, int32_t y);

    void draw(GumpCanvas& canvas) override;
    // Its face is page 0 as redraw paints it, or page 1 while minimised.
    bool lookKey(uint64_t& key) override
    {
        key = faceLookKey();
        return true;
    }
    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onHoverTick() override;
    void onSlider(int32_t position, int32_t range, CGump* thumb) override;
    void resize(int32_t width, int32_t height, bool flag) override;

private:
    void redraw();
    void syncThumb();
    void setFirst(int32_t line);

    std::vector<std::string> m_lines;
    bool m_isTip;
    int32_t m_first = 0;
    int32_t m_textRight = 0;
    TextWindowPresses m_presses;
    GumpHandle m_thumb;
    GumpHandle m_hideBox;
};

// Opens a tip window with the service's lines.
void openTipWindow(const std::vector<std::string>& lines, int32_t x, int32_t y, bool dockOutside);
