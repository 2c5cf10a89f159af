#pragma once
// The hover tooltip: a small window of tiled art holding a read-only HTML
// view, sized to its text (laid out at growing widths until it is wider than
// tall by the ratio below, never past the screen). The gump manager creates
// it through the TooltipWindow service this file provides, links, places and
// destroys it. A click raises it; a right click or the pointer leaving
// closes it. Main thread only.

#include "core/wide_string.h"
#include "gump/gump.h"
#include "gump/gump_services.h"

class HtmlView;

class TooltipGump final : public CGump {
public:
    static constexpr int32_t kFrameArt = 9274;
    // Read only, no scroll bar, no frame, outlined text.
    static constexpr uint32_t kViewFlags = 0x8086;
    // Texts this long or longer are shown as they are, others centred in the
    // tooltip font.
    static constexpr int32_t kPlainTextLength = 1000;
    static constexpr int32_t kFirstWidth = 65;
    static constexpr int32_t kWidthStep = 16;

    TooltipGump(int32_t x, int32_t y, const WString& text);

    void onLeftDown(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onMouseLeave() override;

    HtmlView* view() const;
    const std::u16string& markup() const { return m_markup; }

private:
    // The size the text needs: laid out at widths 65, 81, ... until the
    // width is at least twice the height (integer division), the layout has
    // no height, or the screen's width is reached.
    void layout(int32_t& width, int32_t& height);
    void drawFrame();

    std::u16string m_markup;
    GumpHandle m_view;
};

// The TooltipWindow service the program installs.
class TooltipGumpWindow final : public TooltipWindow {
public:
    CGump* createTooltip(int32_t x, int32_t y, const WString& text) override;
};
TooltipGumpWindow& tooltipGumpWindow();
