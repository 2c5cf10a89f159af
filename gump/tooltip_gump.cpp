#include "gump/tooltip_gump.h"

#include "data/settings_registry.h"
#include "gump/control_gump.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/html_view.h"
#include "text/html_document.h"

namespace {

// The ratio of width to height the layout stops at, in integer division.
constexpr int32_t kWidthPerHeight = 2;

std::u16string tooltipMarkup(const WString& text)
{
    std::u16string body = text.c_str() ? text.c_str() : u"";
    if (int32_t(body.size()) >= TooltipGump::kPlainTextLength)
        return body;
    const int32_t font = settings().getFontSetting(WString(u"ToolTipFont"));
    const char16_t* size = font == 0 ? u"7" : font == 1 ? u"4" : u"1";
    return std::u16string(u"<CENTER><BASEFONT SIZE ") + size + u">" + body + u"</CENTER>";
}

} // namespace

TooltipGump::TooltipGump(int32_t x, int32_t y, const WString& text)
    : CGump(x, y, nullptr, 1, 1, 1)
    , m_markup(tooltipMarkup(text))
{
    setTypeName("TooltipGump");
    addKind(GumpKind::Tooltip);
    auto* view = new HtmlView(this, 0, kViewFlags, false, true);
    m_view = GumpHandle(view);
    view->setText(m_markup, settings().getColourSetting(WString(u"ToolTipTextColor")));
    int32_t width = 0;
    int32_t height = 0;
    layout(width, height);
    setSize(width + 6, height + 2);
    drawFrame();
    view->setRect(2, 2, this->width() - 4, this->height() - 4);
}

HtmlView* TooltipGump::view() const { return static_cast<HtmlView*>(m_view.get()); }

void TooltipGump::layout(int32_t& width, int32_t& height)
{
    width = height = 0;
    HtmlView* shown = view();
    HtmlDocument* document = shown ? shown->document() : nullptr;
    if (!document)
        return;
    const int32_t screenWidth = gumpScreen().width;
    for (int32_t tried = kFirstWidth;; tried += kWidthStep) {
        document->measure(tried, width, height, 0, 0, false);
        if (height <= 0 || tried / height >= kWidthPerHeight || tried >= screenWidth)
            return;
    }
}

void TooltipGump::drawFrame()
{
    GumpPage& frame = *page(0);
    frame.allocate(width(), height());
    tileGumpArt(kFrameArt, frame);
}

void TooltipGump::onLeftDown(int32_t, int32_t) { bringToFront(false); }
void TooltipGump::onRightUp(int32_t, int32_t) { closeGump(this); }
void TooltipGump::onMouseLeave() { closeGump(this); }

CGump* TooltipGumpWindow::createTooltip(int32_t x, int32_t y, const WString& text)
{
    return new TooltipGump(x, y, text);
}

TooltipGumpWindow& tooltipGumpWindow()
{
    static TooltipGumpWindow window;
    return window;
}
