#include "gump/popup_list.h"

#include "data/settings_registry.h"
#include "gfx/gump_art.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/text_list.h"
#include "text/unicode_font.h"

#include <algorithm>

namespace {

enum Pane { Top, Bottom, Left, Right };

constexpr int32_t kArrowArt = ScrollBarParts::kDownArt;
constexpr int32_t kItemHeight = 18;

} // namespace

PopupList::PopupList(
    CGump* parent, const std::vector<std::u16string>& items, int32_t background, const std::vector<int32_t>& colours)
{
    setTypeName("popup list");
    makePanes();
    auto* list = new TextList(this, false, true, kMaxLines, 0, background);
    m_list = GumpHandle(list);
    m_scrollBar = GumpHandle(new ScrollBar(this));
    const int32_t colour = settings().getColourSetting(WString(u"ChatColorMenuOption"));
    for (size_t i = 0; i < items.size(); ++i)
        list->addLine(items[i], i < colours.size() && colours[i] != -1 ? colours[i] : colour, 0, -1, -1);
    int32_t width = 0;
    int32_t height = 0;
    const int32_t maxWidth = parent ? parent->width() : INT32_MAX;
    const int32_t maxHeight
        = parent ? parent->height() - gumpArtSize(kArrowArt).height - gumpArtSize(kEdgeArt).height : INT32_MAX;
    computeSize(items, maxWidth, maxHeight, width, height);
    resizePage(width, height);
    layout();
    if (parent)
        gumpLink(this, parent);
}

PopupList::~PopupList()
{
    if (CGump* owner = parent())
        owner->forgetGump(this);
}

void PopupList::computeSize(
    const std::vector<std::u16string>& items, int32_t maxWidth, int32_t maxHeight, int32_t& width, int32_t& height)
{
    int32_t widest = 0;
    for (const std::u16string& item : items) {
        int32_t itemWidth = 0;
        int32_t itemHeight = 0;
        int32_t zero = 0;
        measureUnicodeText(item.c_str(), itemWidth, itemHeight, zero);
        widest = std::max(widest, itemWidth);
    }
    const GumpArtSize edge = gumpArtSize(kEdgeArt);
    const GumpArtSize side = gumpArtSize(kSideArt);
    const GumpArtSize arrow = gumpArtSize(kArrowArt);
    width = widest + 2 * side.width + arrow.width + 4;
    height = 2 * edge.height + kItemHeight * std::min<int32_t>(int32_t(items.size()), kMaxShownItems);
    height = std::max(height, gumpArtSize(ScrollBarParts::kThumbArt).height + 2 * edge.height + 2 * arrow.height);
    width = std::min(width, maxWidth);
    height = std::min(height, maxHeight);
}

TextList* FramedList::list() const { return static_cast<TextList*>(m_list.get()); }
ScrollBar* FramedList::scrollBar() const { return static_cast<ScrollBar*>(m_scrollBar.get()); }

void FramedList::makePanes()
{
    for (GumpHandle& pane : m_panes)
        pane = GumpHandle(new TextPane(this));
}

void FramedList::layout()
{
    const GumpArtSize edge = gumpArtSize(kEdgeArt);
    const GumpArtSize side = gumpArtSize(kSideArt);
    const GumpArtSize arrow = gumpArtSize(kArrowArt);
    const int32_t innerHeight = height() - 2 * edge.height;
    auto pane = [this](Pane which) { return static_cast<TextPane*>(m_panes[which].get()); };
    if (TextPane* top = pane(Top))
        top->setGeometry(false, kEdgeArt, 0, 0, width());
    if (TextPane* bottom = pane(Bottom))
        bottom->setGeometry(false, kEdgeArt, 0, height() - edge.height, width());
    if (TextPane* left = pane(Left))
        left->setGeometry(true, kSideArt, 0, edge.height, innerHeight);
    if (TextPane* right = pane(Right))
        right->setGeometry(true, kSideArt, width() - side.width, edge.height, innerHeight);
    if (ScrollBar* bar = scrollBar())
        bar->setGeometry(side.width, edge.height, innerHeight);
    if (TextList* lines = list()) {
        lines->setGeometry(side.width + arrow.width, edge.height, width() - 2 * side.width - arrow.width, innerHeight);
        lines->setScrollPos(0);
    }
}

void FramedList::draw(GumpCanvas& canvas)
{
    if (isVisible())
        drawChildren(canvas);
}

bool FramedList::containsPoint(int32_t x, int32_t y)
{
    bool hit = false;
    forEachChildBottomUp([&](CGump* child) {
        if (!hit && child->isVisible())
            hit = child->containsPoint(x - child->x(), y - child->y());
    });
    return hit;
}

void FramedList::setScrollRange(int32_t position, int32_t maximum, int32_t)
{
    if (ScrollBar* bar = scrollBar())
        bar->setThumbPosition(position, maximum);
}

void FramedList::scrollTo(int32_t position, int32_t range, CGump* sender)
{
    if (TextList* lines = list())
        lines->scrollTo(position, range, sender);
}

void FramedList::scrollStep(int32_t direction, CGump* sender)
{
    if (TextList* lines = list())
        lines->scrollStep(direction, sender);
}

void PopupList::fitToParent()
{
    CGump* owner = parent();
    if (!owner)
        return;
    const int32_t maxHeight = owner->height() - gumpArtSize(kArrowArt).height - gumpArtSize(kEdgeArt).height;
    if (height() <= maxHeight && width() <= owner->width())
        return;
    resizePage(std::min(width(), owner->width()), std::min(height(), maxHeight));
    layout();
}

void PopupList::onRightUp(int32_t, int32_t) { closeGump(this); }
void PopupList::onLeftDown(int32_t x, int32_t y) { passToParent(&CGump::onLeftDown, x, y); }
void PopupList::onLeftUp(int32_t x, int32_t y) { passToParent(&CGump::onLeftUp, x, y); }
void PopupList::onDrag(int32_t x, int32_t y) { passToParent(&CGump::onDrag, x, y); }
