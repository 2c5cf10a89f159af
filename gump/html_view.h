#pragma once
// HtmlView: the control that shows an HTML document (message boxes, shop and
// bill rows, tooltips, mail, help and the GM tools) with an optional
// nine-piece frame and an optional scroll bar, follows its links (web links
// through the browser launcher, http and https only; messenger links to the
// messenger; "#name" anchors by scrolling; help links by the document), and
// edits one-run documents: a caret with a Shift-extended selection,
// insertion, deletion, cut and paste (one cut buffer for all views). Some
// views move and Shift-resize with the pointer or send a command to their
// parent on a click.
//
// The view owns its document (rebuilt by setText) and its scroll bar (a
// child). Every press, release and drag is passed on to the parent after
// the view handled it, and any of those may close the parent and the view:
// nothing of the view is touched after such a call unless it still lives.
// Pixels are its own page 0, drawn colour-keyed. Main thread only.

#include "core/installed_service.h"
#include "gump/control_gump.h"
#include "text/html_document.h"

#include <cstdint>
#include <memory>
#include <string>

namespace HtmlViewFlag {
constexpr uint32_t kSmallEntry = 0x1; // frame 3000; at most about 100 characters; no Up, Down, Enter
constexpr uint32_t kReadOnly = 0x2;
constexpr uint32_t kNoScrollBar = 0x4;
constexpr uint32_t kNoLinks = 0x20;
constexpr uint32_t kNoLinksToo = 0x40;
constexpr uint32_t kNoFrame = 0x80;
constexpr uint32_t kClickCommand = 0x200;
constexpr uint32_t kFrame3000 = 0x2000;
} // namespace HtmlViewFlag

// The last place of a moved view and size of a resized one; the GM call
// details window opens there.
struct HtmlViewGeometry {
    int32_t x = 10;
    int32_t y = 10;
    int32_t width = 300;
    int32_t height = 170;
};
HtmlViewGeometry& htmlViewGeometry();
// The cut buffer every view shares.
std::u16string& htmlCutBuffer();

// What the view asks of the messenger and the GM tools, which come later:
// messenger links, the player the GM tools work on, and their menu. The
// do-nothing form answers until they exist.
class HtmlViewMessenger {
public:
    virtual ~HtmlViewMessenger() = default;
    // A line of the messenger protocol (command 1: a link was followed).
    virtual void sendMessengerCommand(int32_t command, const std::u16string& text) = 0;
    // The serial of the player the GM page-queue tools work on; 0 for none.
    virtual uint32_t gmCurrentPlayerSerial() = 0;
    virtual void showGmPlayerMenu(int32_t x, int32_t y) = 0;
};

class NoHtmlViewMessenger final : public HtmlViewMessenger {
public:
    void sendMessengerCommand(int32_t, const std::u16string&) override { }
    uint32_t gmCurrentPlayerSerial() override { return 0; }
    void showGmPlayerMenu(int32_t, int32_t) override { }
};

template <>
struct ServiceFallback<HtmlViewMessenger> {
    using Type = NoHtmlViewMessenger;
};

class HtmlView : public ControlGump {
public:
    static constexpr int32_t kFrameSetSmall = 3000;
    static constexpr int32_t kFrameSetNormal = 3500;
    static constexpr int32_t kScrollArrowArt = 252;
    static constexpr int32_t kMinimumSize = 30;
    static constexpr int32_t kSmallEntryLimit = 100;
    static constexpr int32_t kTextLimit = 30000;
    static constexpr int32_t kStep = 18;

    // Linked to `parent` only with `link`.
    HtmlView(CGump* parent, int32_t id, uint32_t flags, bool tabToParent, bool link);
    ~HtmlView() override;

    // Places and sizes the view, its text area and its scroll bar.
    void setRect(int32_t x, int32_t y, int32_t width, int32_t height);
    // A new document of `text`; the selection stays.
    void setText(std::u16string_view text, int32_t defaultColour);
    // Paints the frame and the document and measures it.
    void layout();
    // Empties a pending placeholder, puts the caret at 0 and takes the focus.
    void beginEditing();

    void scrollTo(int32_t position, int32_t range, CGump* sender) override;
    void scrollStep(int32_t direction, CGump* sender) override;

    void insertText(std::u16string_view text);
    void deleteSelection(bool cut);
    void deleteCharAtCaret();
    void scrollCaretIntoView();

    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onKey(uint32_t code) override;
    void onRightDown(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onHoverTick() override;

    int32_t id() const { return m_id; }
    uint32_t flags() const { return m_flags; }
    HtmlDocument* document() const { return m_document.get(); }
    ScrollBar* scrollBar() const { return static_cast<ScrollBar*>(m_scrollBar.get()); }
    const TextClip& textRect() const { return m_textRect; }
    int32_t contentHeight() const { return m_contentHeight; }
    int32_t scrollPos() const { return m_scrollPos; }
    int32_t selStart() const { return m_selStart; }
    int32_t selEnd() const { return m_selEnd; }
    void setSelection(int32_t start, int32_t end) { m_selStart = start, m_selEnd = end; }
    const std::u16string& text() const;

    bool highlighted = false;
    bool placeholderPending = true;
    bool movable = false;
    bool resizable = false;
    bool gmMenu = false;

private:
    bool isReadOnly() const { return m_flags & HtmlViewFlag::kReadOnly; }
    int32_t textLength() const { return int32_t(text().size()); }
    void clearPlaceholder();
    void paintFrame();
    void placeThumb();
    // Shift held without Ctrl or Alt.
    bool isShiftOnly() const;
    void takeFocus();
    void answerGmTarget();
    void followLink(int32_t x, int32_t y);
    // The navigation keys; false when the key is none of them.
    bool moveCaret(uint32_t code);

    int32_t m_id;
    bool m_tabToParent;
    bool m_resizing = false;
    bool m_moving = false;
    int32_t m_contentHeight = 1;
    int32_t m_scrollPos = 0;
    int32_t m_selStart = -1;
    int32_t m_selEnd = -1;
    int32_t m_frameArts[9];
    uint32_t m_flags;
    int32_t m_defaultColour = 0;
    TextClip m_textRect;
    std::unique_ptr<HtmlDocument> m_document;
    GumpHandle m_scrollBar;
};
