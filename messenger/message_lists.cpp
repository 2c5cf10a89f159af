#include "messenger/message_lists.h"

#include "gump/entry_core.h"
#include "gump/gump_canvas.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/gump_services.h"
#include "gump/html_view.h"
#include "messenger/messenger_connection.h"
#include "messenger/messenger_protocol.h"
#include "messenger/messenger_window.h"
#include "text/text_surface.h"
#include "text/unicode_font.h"

#include <algorithm>

namespace {

constexpr int32_t kListFrameBase = 3500;
constexpr int32_t kFrameTopArt = 3501;
constexpr int32_t kFrameLeftArt = 3503;
constexpr int32_t kScrollArrowArt = 252;
// At most this many rows of each kind: headers up to the expanded group,
// its messages, the headers after it; and address rows.
constexpr int32_t kMaxRowsOfKind = 500;
constexpr uint32_t kStatusStyle = 4;
constexpr uint32_t kColumnTitleStyle = 36;
constexpr uint32_t kDateMeasureStyle = 2;
constexpr uint16_t kNotAvailableColour = 0x3C00;
constexpr uint16_t kGreyColour = 0x3DEF;
constexpr uint16_t kListTextColour = 1;
constexpr size_t kColumnTitleLength = 66;
constexpr int32_t kGroupCellX = 15;
constexpr int32_t kFromCellOffset = 30;

int32_t roundUpToRows(int32_t height)
{
    return height > 0 ? (height + kListRowHeight - 1) / kListRowHeight * kListRowHeight : 1;
}

void drawListText(GumpPage& face, std::u16string_view text, int32_t x, int32_t y, uint32_t style, uint16_t colour,
    const TextClip& clip)
{
    const std::u16string line(text);
    pushUnicodeStyle(style);
    drawUnicodeTextLine(face.surface(), line.c_str(), x, y, colour, clip);
    popUnicodeStyle();
}

std::u16string columnTitle(std::u16string_view name)
{
    std::u16string title(name);
    title.resize(std::max(title.size(), kColumnTitleLength), u' ');
    return title;
}

bool isShiftOnly()
{
    GumpPointer& keys = service<GumpPointer>();
    return keys.isShiftHeld() && !keys.isControlHeld() && !keys.isAltHeld();
}

} // namespace

std::u16string messageGroupText(int32_t count, const MessageRecord& first)
{
    const bool byRecipient = !first.toName.empty();
    std::u16string text = messengerDecimal(count);
    if (byRecipient)
        text += count == 1 ? u" Message for " : u" Messages for ";
    else
        text += count == 1 ? u" Message from " : u" Messages from ";
    text += byRecipient ? first.toName : first.fromName;
    return text;
}

MessengerList::MessengerList(MessengerWindow* window)
{
    setTypeName("messenger list");
    m_scrollBar = GumpHandle(new ScrollBar(this));
    gumpLink(this, window);
}

std::vector<CGump*> MessengerList::rows() const
{
    std::vector<CGump*> built;
    for (const GumpHandle& row : m_rows) {
        if (CGump* gump = row.get())
            built.push_back(gump);
    }
    return built;
}

void MessengerList::place(int32_t x, int32_t y, int32_t width, int32_t height)
{
    setLocation(x, y);
    resizePage(width, height);
    const int32_t top = gumpArtSize(kFrameTopArt).height;
    const int32_t side = gumpArtSize(kFrameLeftArt).width;
    const int32_t bar = gumpArtSize(kScrollArrowArt).width;
    m_left = side;
    m_top = top;
    m_right = this->width() - bar - side;
    m_bottom = this->height() - top;
    if (ScrollBar* scroll = scrollBar()) {
        const bool room = top < this->height() - top;
        scroll->setVisible(room);
        if (room)
            scroll->setGeometry(this->width() - bar, 0, this->height());
    }
}

void MessengerList::paintFrame()
{
    GumpPage& face = *page(0);
    std::fill(face.pixels.begin(), face.pixels.end(), uint16_t(0));
    drawNinePatchRecord(0, 0, face.width - gumpArtSize(kScrollArrowArt).width, face.height, kListFrameBase, face, true);
}

void MessengerList::deleteRows()
{
    for (GumpHandle& row : m_rows)
        closeGump(row.get());
    m_rows.clear();
}

void MessengerList::setContentHeight(int32_t rowsHeight)
{
    m_contentHeight = roundUpToRows(rowsHeight + m_top - m_bottom);
}

void MessengerList::syncScrollBar()
{
    if (ScrollBar* scroll = scrollBar())
        scroll->setThumbPosition(m_scrollOffset, m_contentHeight);
}

void MessengerList::scrollTo(int32_t position, int32_t range, CGump*)
{
    if (m_contentHeight <= 0 || range <= 0)
        return;
    const int64_t offset = int64_t(position) * m_contentHeight / range;
    m_scrollOffset = int32_t(std::clamp<int64_t>(offset, 0, m_contentHeight));
    m_scrollOffset -= m_scrollOffset % kListRowHeight;
    syncScrollBar();
    redraw();
}

void MessengerList::scrollStep(int32_t direction, CGump*)
{
    const int32_t before = m_scrollOffset;
    const int32_t moved = m_scrollOffset + (direction != 0 ? kListRowHeight : -kListRowHeight);
    const int32_t clamped = std::clamp(moved, 0, std::max(m_contentHeight, 0));
    if (clamped == before)
        return;
    m_scrollOffset = clamped - clamped % kListRowHeight;
    syncScrollBar();
    redraw();
}

void MessengerList::onLeftDown(int32_t x, int32_t y) { passToParent(&CGump::onLeftDown, x, y); }
void MessengerList::onLeftUp(int32_t x, int32_t y) { passToParent(&CGump::onLeftUp, x, y); }
void MessengerList::onRightUp(int32_t x, int32_t y) { passToParent(&CGump::onRightUp, x, y); }
void MessengerList::onDrag(int32_t x, int32_t y) { passToParent(&CGump::onDrag, x, y); }

void MessengerList::onKey(uint32_t code)
{
    if (code == GumpKey::kEscape)
        gumpReleaseFocus();
}

MessageListControl::MessageListControl(MessengerWindow* window)
    : MessengerList(window)
{
    setTypeName("message list");
}

void MessageListControl::layoutMessageList(
    int32_t x, int32_t y, int32_t width, int32_t height, int32_t fromX, int32_t subjectX, int32_t dateX)
{
    place(x, y, width, height);
    pushUnicodeStyle(kDateMeasureStyle);
    const int32_t dateWidth = measureUnicodeString(u"12/30/99    ");
    popUnicodeStyle();
    m_fromX = fromX == -1 ? m_left : fromX;
    m_subjectX = subjectX == -1 ? (m_left + m_right - dateWidth) / 2 : subjectX;
    m_dateX = dateX == -1 ? m_right - dateWidth : dateX;
    if (m_subjectX < 0)
        m_subjectX = 1;
    if (m_dateX < 0)
        m_dateX = 2;
    redraw();
}

void MessageListControl::drawStatusLine()
{
    GumpPage& face = *page(0);
    const TextClip clip { m_left, m_top, m_right, m_top + kListRowHeight };
    const MessengerState& state = messengerState();
    switch (state.status) {
    case MessengerStatus::NotAvailable:
        drawListText(face, u"Vardun Messenger not available", m_fromX + 2, m_top, kStatusStyle, kNotAvailableColour,
            clip);
        return;
    case MessengerStatus::Waiting:
        drawListText(face, u"Waiting for messages...", m_fromX + 2, m_top, kStatusStyle, kGreyColour, clip);
        return;
    case MessengerStatus::Processing:
        drawListText(face, u"Processing...", m_fromX + 2, m_top, kStatusStyle, kGreyColour, clip);
        return;
    case MessengerStatus::ListReceived:
        break;
    }
    if (messageStore().empty()) {
        drawListText(face, u"You have no messages.", m_fromX + 2, m_top, kStatusStyle, kListTextColour, clip);
        return;
    }
    drawListText(face, columnTitle(u"From"), m_fromX + 2, m_top, kColumnTitleStyle, kGreyColour, clip);
    drawListText(face, columnTitle(u"Subject"), m_subjectX + 2, m_top, kColumnTitleStyle, kGreyColour, clip);
    drawListText(face, columnTitle(u"Date"), m_dateX + 2, m_top, kColumnTitleStyle, kGreyColour, clip);
    rebuildMessageRows();
}

void MessageListControl::redraw()
{
    if (!page(0)->isAllocated())
        return;
    paintFrame();
    if (!isMessengerOpen())
        messengerState().status = MessengerStatus::NotAvailable;
    deleteRows();
    drawStatusLine();
    syncScrollBar();
}

bool MessageListControl::selectedRange(int32_t& first, int32_t& last) const
{
    first = last = -1;
    const int32_t start = m_selectionStart > 0 ? findMessage(m_selectionStart) : -1;
    if (start < 0)
        return false;
    const int32_t end = m_selectionEnd > 0 ? findMessage(m_selectionEnd) : -1;
    first = end < 0 ? start : std::min(start, end);
    last = end < 0 ? start : std::max(start, end);
    return true;
}

std::vector<int32_t> MessageListControl::selectedIds() const
{
    std::vector<int32_t> ids;
    int32_t first = 0;
    int32_t last = 0;
    if (!selectedRange(first, last))
        return ids;
    const std::vector<MessageRecord>& store = messageStore();
    for (int32_t index = first; index <= last; ++index)
        ids.push_back(store[size_t(index)].id);
    return ids;
}

int32_t MessageListControl::selectedId() const
{
    int32_t first = 0;
    int32_t last = 0;
    return selectedRange(first, last) ? messageStore()[size_t(first)].id : 0;
}

void MessageListControl::clearSelection() { m_selectionStart = m_selectionEnd = 0; }

void MessageListControl::messageRowPressed(int32_t id)
{
    const int32_t row = findMessage(id);
    if (row < 0)
        return;
    int32_t first = 0;
    int32_t last = 0;
    const bool selected = selectedRange(first, last);
    if (isShiftOnly() && selected) {
        if (row < first) {
            m_selectionEnd = messageStore()[size_t(first)].id;
            m_selectionStart = id;
        } else {
            m_selectionStart = messageStore()[size_t(first)].id;
            m_selectionEnd = id;
        }
    } else if (!selected || first != row || last != row) {
        m_selectionStart = m_selectionEnd = id;
    } else {
        GumpHandle self(this);
        if (CGump* window = parent())
            window->onCommand(kReadCommand);
        if (!self)
            return;
    }
    redraw();
}

void MessageListControl::groupRowPressed(int32_t firstId, bool expanded)
{
    if (expanded)
        clearSelection();
    else
        m_selectionStart = m_selectionEnd = firstId;
    redraw();
}

void MessageListControl::rebuildMessageRows()
{
    deleteRows();
    std::lock_guard guard(messengerStoreLock());
    const std::vector<MessageRecord>& store = messageStore();
    // Groups as [begin, end) of the store.
    std::vector<std::pair<size_t, size_t>> groups;
    for (size_t i = 0; i < store.size(); ++i) {
        const bool starts = i == 0 || store[i].toName != store[i - 1].toName
            || (store[i - 1].toName.empty() && store[i].fromName != store[i - 1].fromName);
        if (starts)
            groups.emplace_back(i, i + 1);
        else
            groups.back().second = i + 1;
    }
    int32_t first = 0;
    int32_t last = 0;
    const bool selected = selectedRange(first, last);
    int32_t expanded = -1;
    for (size_t g = 0; selected && g < groups.size(); ++g) {
        if (size_t(first) >= groups[g].first && size_t(first) < groups[g].second)
            expanded = int32_t(g);
    }
    const int32_t visibleTop = m_top + kListRowHeight;
    int32_t y = m_top - m_scrollOffset + kListRowHeight;
    int32_t counted = 0;
    int32_t headersBefore = 0;
    int32_t headersAfter = 0;
    auto visible = [&](int32_t rowY) { return rowY >= visibleTop && rowY + kListRowHeight <= m_bottom; };
    for (size_t g = 0; g < groups.size(); ++g) {
        const bool after = expanded >= 0 && int32_t(g) > expanded;
        int32_t& headers = after ? headersAfter : headersBefore;
        if (headers >= kMaxRowsOfKind)
            continue;
        ++headers;
        const auto [begin, end] = groups[g];
        int32_t lowestRead = store[begin].readState;
        for (size_t i = begin; i < end; ++i)
            lowestRead = std::min(lowestRead, store[i].readState);
        const bool isExpanded = int32_t(g) == expanded;
        if (visible(y)) {
            addRow(new GroupRow(this, y, store[begin].id, messageGroupText(int32_t(end - begin), store[begin]),
                lowestRead != 0, isExpanded));
        }
        y += kListRowHeight;
        ++counted;
        if (!isExpanded)
            continue;
        for (size_t i = begin; i < end && i - begin < size_t(kMaxRowsOfKind); ++i) {
            if (visible(y)) {
                const bool rowSelected = int32_t(i) >= first && int32_t(i) <= last;
                addRow(new MessageRow(this, y, store[i], rowSelected));
            }
            y += kListRowHeight;
            ++counted;
        }
    }
    setContentHeight(counted * kListRowHeight + kListRowHeight);
}

AddressListControl::AddressListControl(MessengerWindow* window)
    : MessengerList(window)
{
    setTypeName("address list");
}

void AddressListControl::layoutAddressList(int32_t x, int32_t y, int32_t width, int32_t height)
{
    place(x, y, width, height);
    redraw();
}

void AddressListControl::redraw()
{
    if (!page(0)->isAllocated())
        return;
    paintFrame();
    rebuildAddressRows();
    syncScrollBar();
}

int32_t AddressListControl::selectedIndex() const { return m_selected ? findAddress(*m_selected) : -1; }

const AddressEntry* AddressListControl::selectedEntry() const
{
    const int32_t index = selectedIndex();
    return index < 0 ? nullptr : &addressBook()[size_t(index)];
}

void AddressListControl::select(const AddressEntry& entry)
{
    m_selected = entry;
    redraw();
}

void AddressListControl::rebuildAddressRows()
{
    deleteRows();
    std::lock_guard guard(messengerStoreLock());
    const std::vector<AddressEntry>& book = addressBook();
    const int32_t shown = std::min<int32_t>(int32_t(book.size()), kMaxRowsOfKind);
    const int32_t selected = selectedIndex();
    for (int32_t i = 0; i < shown; ++i) {
        const int32_t y = m_top - m_scrollOffset + kListRowHeight * i;
        if (y >= m_top && y + kListRowHeight <= m_bottom)
            addRow(new AddressRow(this, y, book[size_t(i)], i == selected));
    }
    setContentHeight(shown * kListRowHeight);
}

MessengerListRow::MessengerListRow(
    MessengerList* list, int32_t x, int32_t y, int32_t width, bool selected, int32_t invertFrom)
    : m_selected(selected)
{
    setTypeName("messenger row");
    setLocation(x, y);
    resizePage(width, kListRowHeight);
    if (selected) {
        GumpPage& face = *page(0);
        const uint16_t mask = isTextPixelFormat565() ? 0xFFFF : 0x7FFF;
        for (int32_t row = 0; row < face.height; ++row) {
            for (int32_t column = std::max(invertFrom, 0); column < face.width; ++column) {
                uint16_t& pixel = face.pixels[size_t(row) * size_t(face.width) + size_t(column)];
                pixel = uint16_t(~pixel & mask);
                if (pixel == 0)
                    pixel = 1;
            }
        }
    }
    gumpLink(this, list);
}

MessengerList* MessengerListRow::list() const { return static_cast<MessengerList*>(parent()); }

HtmlView* MessengerListRow::cell(size_t index) const
{
    return index < m_cells.size() ? static_cast<HtmlView*>(m_cells[index].get()) : nullptr;
}

void MessengerListRow::addCell(int32_t x, int32_t width, const std::u16string& text, uint32_t flags)
{
    auto* view = new HtmlView(this, 0, flags, false, true);
    view->placeholderPending = false;
    view->setRect(x, 0, std::max(width, 1), kListRowHeight);
    view->setText(text, kListTextColour);
    m_cells.emplace_back(view);
}

void MessengerListRow::draw(GumpCanvas& canvas)
{
    drawOwnBuffer(canvas);
    drawChildren(canvas);
}

bool MessengerListRow::containsPoint(int32_t x, int32_t y) { return x >= 0 && y >= 0 && x < width() && y < height(); }

void MessengerListRow::onLeftDown(int32_t x, int32_t y)
{
    CGump* window = list() ? list()->parent() : nullptr;
    if (!window) {
        pressed();
        return;
    }
    int32_t windowX = x;
    int32_t windowY = y;
    localToScreen(windowX, windowY);
    window->screenToLocal(windowX, windowY);
    GumpHandle windowHandle(window);
    // The rebuild the press causes deletes this row: the window takes the
    // drag and the release from here on.
    service<GumpPointer>().setPointerCapture(window);
    pressed();
    if (CGump* owner = windowHandle.get())
        owner->onLeftDown(windowX, windowY);
}

void MessengerListRow::onLeftUp(int32_t x, int32_t y) { passToParent(&CGump::onLeftUp, x, y); }
void MessengerListRow::onRightUp(int32_t x, int32_t y) { passToParent(&CGump::onRightUp, x, y); }
void MessengerListRow::onDrag(int32_t x, int32_t y) { passToParent(&CGump::onDrag, x, y); }

MessageRow::MessageRow(MessageListControl* list, int32_t y, const MessageRecord& record, bool selected)
    : MessengerListRow(list, list->listLeft(), y, list->listRight() - list->listLeft(), selected,
        list->fromX() - list->listLeft() + kFromCellOffset)
    , m_id(record.id)
{
    setTypeName("message row");
    const int32_t fromColumn = list->fromX() - list->listLeft() + kFromCellOffset;
    const int32_t subjectColumn = list->subjectX() - list->listLeft();
    const int32_t dateColumn = list->dateX() - list->listLeft();
    const uint32_t flags = record.readState == 0 ? kUnreadCellFlags : kReadCellFlags;
    addCell(fromColumn, subjectColumn - fromColumn - 2, record.fromName, flags);
    addCell(subjectColumn, dateColumn - subjectColumn - 2, record.subject, flags);
    addCell(dateColumn, width() - dateColumn - 2, record.dateText, flags);
}

void MessageRow::pressed()
{
    const int32_t id = m_id;
    static_cast<MessageListControl*>(list())->messageRowPressed(id);
}

GroupRow::GroupRow(
    MessageListControl* list, int32_t y, int32_t firstId, const std::u16string& text, bool read, bool expanded)
    : MessengerListRow(list, list->listLeft(), y, list->listRight() - list->listLeft(), false, 0)
    , m_firstId(firstId)
    , m_expanded(expanded)
    , m_text(text)
{
    setTypeName("group row");
    if (expanded && width() >= 12) {
        // The expanded mark: a small triangle pointing down.
        GumpPage& face = *page(0);
        for (int32_t row = 0; row < 5; ++row)
            for (int32_t column = 3 + row; column < 12 - row; ++column)
                face.pixels[size_t(6 + row) * size_t(face.width) + size_t(column)] = kListTextColour;
    }
    addCell(kGroupCellX, width() - kGroupCellX - 2, text, read ? kReadCellFlags : kUnreadCellFlags);
}

void GroupRow::pressed()
{
    const int32_t firstId = m_firstId;
    const bool expanded = m_expanded;
    static_cast<MessageListControl*>(list())->groupRowPressed(firstId, expanded);
}

AddressRow::AddressRow(AddressListControl* list, int32_t y, const AddressEntry& entry, bool selected)
    : MessengerListRow(list, list->listLeft(), y, list->listRight() - list->listLeft(), selected, 0)
    , m_entry(entry)
{
    setTypeName("address row");
    addCell(2, width() - 2, addressEntryLabel(entry), kReadCellFlags);
}

void AddressRow::pressed()
{
    const AddressEntry entry = m_entry;
    static_cast<AddressListControl*>(list())->select(entry);
}
