#pragma once
// The messenger's two list controls and their rows. The message list shows
// the message store grouped by recipient: a status line, column titles, one
// header row per group and, under the expanded group's header, one row per
// message; a press selects (Shift extends from the first selected row), a
// second press on the only selected row asks its window to read it. The
// address list shows the address book, one row per entry, one selected.
//
// Only the rows inside the visible band exist; they are rebuilt from the
// stores on every redraw, under the stores' lock. Selections are kept as
// message ids and entry texts, so a new list never moves them onto another
// mail. Rows are 18 pixels high; scrolling moves in whole rows. A press on a
// row hands the pointer to the window first, since the rebuild it causes
// deletes the row. Main thread only.

#include "gump/control_gump.h"
#include "messenger/message_store.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class HtmlView;
class MessengerWindow;

inline constexpr int32_t kListRowHeight = 18;
// Cells of read and unread mail.
inline constexpr uint32_t kReadCellFlags = 439;
inline constexpr uint32_t kUnreadCellFlags = 4535;

// What both lists share: their frame, scroll bar, list area and the mouse
// events they pass to their window.
class MessengerList : public ControlGump {
public:
    explicit MessengerList(MessengerWindow* window);

    int32_t listLeft() const { return m_left; }
    int32_t listTop() const { return m_top; }
    int32_t listRight() const { return m_right; }
    int32_t listBottom() const { return m_bottom; }
    int32_t scrollOffset() const { return m_scrollOffset; }
    int32_t contentHeight() const { return m_contentHeight; }
    ScrollBar* scrollBar() const { return static_cast<ScrollBar*>(m_scrollBar.get()); }
    // The rows built now, top to bottom.
    std::vector<CGump*> rows() const;

    void scrollTo(int32_t position, int32_t range, CGump* sender) override;
    void scrollStep(int32_t direction, CGump* sender) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onKey(uint32_t code) override;

    // Frame, rows and scroll bar again.
    virtual void redraw() = 0;

protected:
    // Takes the rectangle and lays out the list area and scroll bar.
    void place(int32_t x, int32_t y, int32_t width, int32_t height);
    void paintFrame();
    void deleteRows();
    void addRow(CGump* row) { m_rows.emplace_back(row); }
    void setContentHeight(int32_t rowsHeight);
    void syncScrollBar();

    int32_t m_left = 0;
    int32_t m_top = 0;
    int32_t m_right = 0;
    int32_t m_bottom = 0;
    int32_t m_scrollOffset = 0;
    int32_t m_contentHeight = 1;

private:
    GumpHandle m_scrollBar;
    std::vector<GumpHandle> m_rows;
};

class MessageListControl final : public MessengerList {
public:
    explicit MessageListControl(MessengerWindow* window);

    // -1 for a column puts it at its default place.
    void layoutMessageList(int32_t x, int32_t y, int32_t width, int32_t height, int32_t fromX, int32_t subjectX,
        int32_t dateX);
    void redraw() override;
    void rebuildMessageRows();

    // The selection's store indexes, first <= last; false when nothing is
    // selected.
    bool selectedRange(int32_t& first, int32_t& last) const;
    // The ids of the selected mail, in store order.
    std::vector<int32_t> selectedIds() const;
    // The first selected mail's id, 0 when none.
    int32_t selectedId() const;
    void clearSelection();

    void messageRowPressed(int32_t id);
    void groupRowPressed(int32_t firstId, bool expanded);

    int32_t fromX() const { return m_fromX; }
    int32_t subjectX() const { return m_subjectX; }
    int32_t dateX() const { return m_dateX; }

private:
    void drawStatusLine();

    int32_t m_selectionStart = 0;
    int32_t m_selectionEnd = 0;
    int32_t m_fromX = 0;
    int32_t m_subjectX = 0;
    int32_t m_dateX = 0;
};

class AddressListControl final : public MessengerList {
public:
    explicit AddressListControl(MessengerWindow* window);

    void layoutAddressList(int32_t x, int32_t y, int32_t width, int32_t height);
    void redraw() override;
    void rebuildAddressRows();

    // The selected entry's book index, -1 when none (or gone).
    int32_t selectedIndex() const;
    const AddressEntry* selectedEntry() const;
    void select(const AddressEntry& entry);

private:
    std::optional<AddressEntry> m_selected;
};

// A row of either list: a transparent 18-pixel strip with text cells, hit
// over its whole width; a selected row is inverted from `invertFrom`.
class MessengerListRow : public ControlGump {
public:
    MessengerListRow(MessengerList* list, int32_t x, int32_t y, int32_t width, bool selected, int32_t invertFrom);

    bool isSelected() const { return m_selected; }
    HtmlView* cell(size_t index) const;

    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;

protected:
    void addCell(int32_t x, int32_t width, const std::u16string& text, uint32_t flags);
    // What a press does to the list; it may delete this row.
    virtual void pressed() = 0;
    MessengerList* list() const;

private:
    bool m_selected;
    std::vector<GumpHandle> m_cells;
};

class MessageRow final : public MessengerListRow {
public:
    MessageRow(MessageListControl* list, int32_t y, const MessageRecord& record, bool selected);
    int32_t messageId() const { return m_id; }

protected:
    void pressed() override;

private:
    int32_t m_id;
};

class GroupRow final : public MessengerListRow {
public:
    GroupRow(MessageListControl* list, int32_t y, int32_t firstId, const std::u16string& text, bool read,
        bool expanded);
    int32_t firstMessageId() const { return m_firstId; }
    bool isExpanded() const { return m_expanded; }
    const std::u16string& text() const { return m_text; }

protected:
    void pressed() override;

private:
    int32_t m_firstId;
    bool m_expanded;
    std::u16string m_text;
};

class AddressRow final : public MessengerListRow {
public:
    AddressRow(AddressListControl* list, int32_t y, const AddressEntry& entry, bool selected);
    const AddressEntry& entry() const { return m_entry; }

protected:
    void pressed() override;

private:
    AddressEntry m_entry;
};

// A group's header text: "5 Messages for Kendra", "1 Message from Brom".
std::u16string messageGroupText(int32_t count, const MessageRecord& first);
