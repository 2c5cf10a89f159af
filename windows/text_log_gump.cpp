#include "windows/text_log_gump.h"

#include "data/targeting.h"
#include "gump/button.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/gump_services.h"
#include "gump/thumb.h"

#include <algorithm>

namespace {

constexpr int32_t kLogThumbX = 302;
constexpr int32_t kLogLockX = 305;

} // namespace

TextGump::TextGump(CGump& board)
    : JournalLogGump(kX, kY, 2, kWidth, kHeight)
{
    setTypeName("text gump");
    addKind(GumpKind::TextGump);
    setMinimisedSize(kWidth, kHeight);
    setTextArea({ kMargin, kMargin, kWidth - kMargin, kHeight - kMargin });
    const int32_t thumbHeight = gumpArtSize(kThumbArt).height;
    auto* lock
        = new Button(kLogLockX, kHeight - thumbHeight, ButtonBehaviour::Toggle, 0, nullptr, 0, kLockArt, false);
    attachScrollControls(new Thumb(kLogThumbX, kMargin, true, kHeight - thumbHeight, kThumbArt), lock);
    gumpLink(this, &board);
    layoutToNewest();
    syncThumb();
    redrawText();
}

TextGump::~TextGump() { deleteChildren(); }

void TextGump::redrawText()
{
    GumpPage& face = *page(0);
    face.allocate(width(), height());
    if (!face.isAllocated())
        return;
    std::fill(face.pixels.begin(), face.pixels.end(), uint16_t(0));
    drawLines(face);
}

void TextGump::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    drawPage(canvas);
    drawChildren(canvas);
}

bool TextGump::containsPoint(int32_t x, int32_t y)
{
    GumpPage* face = page(0);
    if (!face || !face->isAllocated() || x < 0 || y < 0 || x >= face->width || y >= face->height)
        return false;
    return face->pixel(x, y) != 0;
}

void TextGump::onRightUp(int32_t x, int32_t y)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    if (CGump* board = parent())
        board->onRightUp(x, y);
}

void TextGump::onMouseOver(int32_t, int32_t)
{
    GumpPointer& pointer = service<GumpPointer>();
    if (targetingState().targetingActive && !isMinimised())
        pointer.setCursorKind(kTargetCursorKind);
    else
        pointer.setCursorKind(0);
}

void TextGump::moveWithPointer(int32_t dx, int32_t dy)
{
    if (CGump* board = parent())
        board->moveBy(dx, dy, true, nullptr, true);
}
