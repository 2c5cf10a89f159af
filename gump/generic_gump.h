#pragma once
// GenericGump: a window the server describes completely with a layout text
// of commands in braces and a list of UTF-16 text lines the commands refer
// to by index (packets 0xB0 and 0xDD, gump/generic_gump_packets.h). The
// layout builds a tree of elements (pictures, art tiles, frames, texts,
// entries, buttons, switches, HTML areas) organised in pages and groups;
// the gump draws the elements of its current page into one page of its own,
// lets the player press, check and type, and answers the server with the
// reply packet 0xB1.
//
// Ownership: the gump owns its element tree; an HTML area's HtmlView is a
// child gump of the window and goes with it. Everything the server sends is
// bounded before use: element rectangles are kept within
// +/- kMaxLayoutCoordinate, the page grows to at most kMaxPageSize square,
// the number of elements and the pixels of HTML areas are capped, and each
// layout pass draws within a work budget. Coordinates are gump pixels.
// Main thread only.

#include "gump/gump.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class GenericGump;
class HtmlView;

enum class ElementKind : int32_t {
    Group = 0,
    GumpPic = 1,
    TilePic = 2,
    ResizePic = 3,
    Text = 4,
    Button = 5,
    Checkbox = 6,
    Radio = 7,
    TextEntry = 8,
    CroppedText = 9,
    Html = 10,
    CheckerTrans = 11,
    GumpPicTiled = 12,
    ButtonTileArt = 13,
};

namespace ButtonFlag {
constexpr int32_t kReplies = 0x1;
constexpr int32_t kSwitchesPage = 0x2;
} // namespace ButtonFlag

// One thing a layout command made. The plain element does the drawing and
// input of every kind; the HTML area and the virtue item add their own.
class GenericGumpElement {
public:
    explicit GenericGumpElement(ElementKind elementKind);
    virtual ~GenericGumpElement();
    GenericGumpElement(const GenericGumpElement&) = delete;
    GenericGumpElement& operator=(const GenericGumpElement&) = delete;

    // Draws the element and its active children into the gump's page (an
    // HTML area shows its view instead).
    virtual void render(GenericGump& gump);
    // Hides the HTML views of the element and its whole subtree.
    virtual void hideViews();
    // The element under a gump point: active children first (the last hit
    // among them wins), then the element itself unless it is a group.
    virtual GenericGumpElement* hitTest(int32_t x, int32_t y);
    // Keeps the last point seen inside; (-1, -1) tells it the pointer left.
    void onHover(int32_t x, int32_t y, GenericGump& gump);
    // Pointer press and release on the element; false stops the walk over
    // the gump's elements (a release that closed the gump returns false).
    virtual bool onPress(int32_t x, int32_t y, GenericGump& gump);
    virtual bool onRelease(int32_t x, int32_t y, GenericGump& gump);
    // A key for the focused text entry.
    void onKey(uint32_t code, GenericGump& gump);
    virtual void enter(GenericGump&) { }
    virtual void leave(GenericGump&) { }

    bool contains(int32_t px, int32_t py) const
    {
        return px >= x && py >= y && px < x + width && py < y + height;
    }
    // The page rule: shown on every page (0) or on its parent's current page.
    bool isActiveOn(int32_t shownPage) const { return page == 0 || page == shownPage; }
    bool isSwitch() const { return kind == ElementKind::Checkbox || kind == ElementKind::Radio; }
    bool isButton() const { return kind == ElementKind::Button || kind == ElementKind::ButtonTileArt; }
    // The most characters an entry takes by typing.
    int32_t typingLimit() const;

    GenericGumpElement* parent = nullptr;
    int32_t page = 0;
    int32_t currentPage = 0;
    int32_t group = 0;
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t art = 0;
    int32_t secondArt = 0;
    std::vector<std::unique_ptr<GenericGumpElement>> children;
    ElementKind kind;
    std::u16string text;
    int32_t buttonFlags = 0;
    int32_t id = 0;
    int32_t value = 0;
    int32_t tileGraphic = 0;
    int32_t tileHue = 0;
    int32_t tileX = 0;
    int32_t tileY = 0;
    int32_t state = 0;
    int32_t hue = 0;
    int32_t hoverX = -1;
    int32_t hoverY = -1;
    bool highlighted = false;
    int32_t tooltipId = kNoTooltip;

protected:
    void renderChildren(GenericGump& gump);
};

// The HTML area ("htmlgump" and its localized forms): an HtmlView child of
// the gump over the element's rectangle.
class HtmlElement final : public GenericGumpElement {
public:
    // `background` and `scrollBar` are the command's flags; a non-zero
    // `colour` is the text's colour.
    HtmlElement(GenericGump& gump, std::u16string_view content, int32_t background, int32_t scrollBar,
        int32_t colour, int32_t left, int32_t top, int32_t areaWidth, int32_t areaHeight);
    ~HtmlElement() override;

    void render(GenericGump& gump) override;
    void hideViews() override;
    GenericGumpElement* hitTest(int32_t x, int32_t y) override;
    HtmlView* view() const;

private:
    GumpHandle m_view;
};

// A gump picture of the class "VirtueGumpItem": hovering shows a label
// naming the virtue, a double click asks the server about it.
class VirtueItem final : public GenericGumpElement {
public:
    VirtueItem();
    bool onPress(int32_t x, int32_t y, GenericGump& gump) override;
    bool onRelease(int32_t, int32_t, GenericGump&) override { return true; }
    void enter(GenericGump& gump) override;
    void leave(GenericGump& gump) override;

    GenericGumpElement* label() const { return m_label; }

private:
    GenericGumpElement* m_label = nullptr;
    uint32_t m_lastPressAt = 0;
    bool m_hasPress = false;
};

// The localized message `id` (the table's text for a missing one).
std::u16string localizedText(int32_t id);
// The label a virtue item shows for its art and hue: a blank and the
// localized name, or "INVALID" for an art the virtue table lacks.
std::u16string virtueLabelText(int32_t art, int32_t hue);

class GenericGump final : public CGump {
public:
    static constexpr int32_t kMaxPageSize = 4096;
    static constexpr int32_t kMaxLayoutCoordinate = 4096;
    static constexpr size_t kMaxCommandLength = 1024;
    static constexpr size_t kMaxElements = 4096;
    // The HTML areas of one gump together show at most this many pixels.
    static constexpr int64_t kMaxHtmlPixels = 8 * 1024 * 1024;
    static constexpr int32_t kDefaultEntryLimit = 1024;
    static constexpr int32_t kMaxTypedCharacters = 239;
    static constexpr int32_t kVirtueTypeId = 461;

    // Parses the layout and places the gump (by its master id's stored
    // position when there is one); not linked yet (openGenericGump links).
    GenericGump(int32_t x, int32_t y, std::string_view layoutText, std::vector<std::u16string> lines,
        uint32_t senderSerial, uint32_t typeId);
    ~GenericGump() override;

    // The layout commands' operations: each makes one element at the end of
    // the group whose key is `group` (the top level for 0) and remembers it
    // for a following "tooltip"; nothing is made when the group is unknown
    // or the gump already holds kMaxElements. The new element, or null.
    GenericGumpElement* addGroup(int32_t page, int32_t group, int32_t newGroup);
    GenericGumpElement* addGumpPic(int32_t page, int32_t group, int32_t x, int32_t y, int32_t art, int32_t hue,
        bool virtue);
    GenericGumpElement* addTilePic(int32_t page, int32_t group, int32_t x, int32_t y, int32_t graphic, int32_t hue,
        bool remapHue);
    GenericGumpElement* addResizePic(int32_t page, int32_t group, int32_t x, int32_t y, int32_t art, int32_t width,
        int32_t height);
    GenericGumpElement* addText(int32_t page, int32_t group, int32_t x, int32_t y, int32_t hue, int32_t line);
    GenericGumpElement* addCroppedText(int32_t page, int32_t group, int32_t x, int32_t y, int32_t width,
        int32_t height, int32_t hue, int32_t line);
    GenericGumpElement* addTextEntry(int32_t page, int32_t group, int32_t x, int32_t y, int32_t width, int32_t height,
        int32_t hue, int32_t entryId, int32_t line, int32_t limit);
    GenericGumpElement* addButton(int32_t page, int32_t group, int32_t x, int32_t y, int32_t upArt, int32_t downArt,
        int32_t reply, int32_t targetPage, int32_t buttonId);
    GenericGumpElement* addButtonTileArt(int32_t page, int32_t group, int32_t x, int32_t y, int32_t upArt,
        int32_t downArt, int32_t reply, int32_t targetPage, int32_t buttonId, int32_t graphic, int32_t hue,
        int32_t tileX, int32_t tileY);
    GenericGumpElement* addCheckbox(int32_t page, int32_t group, int32_t x, int32_t y, int32_t offArt, int32_t onArt,
        int32_t checked, int32_t switchId);
    GenericGumpElement* addRadio(int32_t page, int32_t group, int32_t x, int32_t y, int32_t offArt, int32_t onArt,
        int32_t checked, int32_t switchId);
    GenericGumpElement* addHtml(int32_t page, int32_t group, int32_t x, int32_t y, int32_t width, int32_t height,
        std::u16string_view content, int32_t background, int32_t scrollBar, int32_t colour);
    GenericGumpElement* addCheckerTrans(int32_t page, int32_t group, int32_t x, int32_t y, int32_t width,
        int32_t height);
    GenericGumpElement* addGumpPicTiled(int32_t page, int32_t group, int32_t x, int32_t y, int32_t width,
        int32_t height, int32_t art);
    // A label shown by a virtue item: always on the top level, drawn last.
    GenericGumpElement* addMessageLabel(int32_t hue);

    // Frees the page and draws every active element again.
    void layout();
    // Grows the page to at least width x height (at most kMaxPageSize),
    // keeping the pixels drawn so far.
    void growPage(int64_t width, int64_t height);
    // Charges drawing work to the current layout pass; false once the pass
    // has spent its budget (the element is then left out).
    bool spendWork(int64_t amount);

    // The reply 0xB1 with `buttonId`, as it goes on the wire; empty without
    // a sender serial.
    std::vector<uint8_t> replyPacket(uint32_t buttonId) const;
    // Queues the reply; nothing without a sender serial or a connection.
    void sendReply(uint32_t buttonId);

    CGump* findChildAt(int32_t x, int32_t y, CGump* excluded) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onMouseOver(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onKey(uint32_t code) override;
    WString getTooltipText(int32_t x, int32_t y) override;
    bool isColourKeyed() override { return true; }
    bool isClosableByCloseAll() override { return m_disposable; }
    void onFocusLost() override;
    void replyBeforeCloseAll() override;
    bool closeIfMatches(uint32_t typeId) override;

    // The text of line `index` while the layout is parsed; empty outside
    // the list (and once the gump is built: the elements keep copies).
    std::u16string_view line(int32_t index) const;
    const std::vector<std::unique_ptr<GenericGumpElement>>& elements() const { return m_elements; }
    std::vector<std::unique_ptr<GenericGumpElement>>& elements() { return m_elements; }
    // The page the gump shows (its own page numbering, not the pixel page).
    int32_t shownPage() const { return m_shownPage; }
    void setShownPage(int32_t value) { m_shownPage = value; }
    uint32_t senderSerial() const { return m_senderSerial; }
    uint32_t typeId() const { return m_typeId; }
    bool isMovable() const { return m_movable; }
    bool isClosable() const { return m_closable; }
    bool isDisposable() const { return m_disposable; }
    void setMovable(bool on) { m_movable = on; }
    void setClosable(bool on) { m_closable = on; }
    void setDisposable(bool on) { m_disposable = on; }
    GenericGumpElement* pressedElement() const { return m_pressed; }
    void setPressedElement(GenericGumpElement* element) { m_pressed = element; }
    GenericGumpElement* focusedEntry() const { return m_focusedEntry; }
    void setFocusedEntry(GenericGumpElement* element) { m_focusedEntry = element; }
    GenericGumpElement* lastElement() const { return m_lastElement; }
    size_t elementCount() const { return m_elementCount; }

private:
    void parseLayout(std::string_view layoutText);
    // Puts a made element into its group; null (and the element dropped)
    // when the group is unknown or the gump is full.
    GenericGumpElement* attach(std::unique_ptr<GenericGumpElement> element, int32_t page, int32_t group);
    GenericGumpElement* findGroup(int32_t key) const;
    // Top-level elements whose hit test answers for the point, in order.
    template <typename Visit> void forEachHit(int32_t x, int32_t y, Visit visit);

    int32_t m_shownPage = 1;
    bool m_dragging = false;
    bool m_movable = true;
    bool m_disposable = true;
    bool m_closable = true;
    uint32_t m_senderSerial;
    uint32_t m_typeId;
    std::vector<std::unique_ptr<GenericGumpElement>> m_elements;
    GenericGumpElement* m_pressed = nullptr;
    GenericGumpElement* m_focusedEntry = nullptr;
    GenericGumpElement* m_lastElement = nullptr;
    std::vector<std::u16string> m_lines;
    size_t m_elementCount = 0;
    int64_t m_htmlPixels = 0;
    int64_t m_workLeft = 0;
};

// Builds the gump and links it at the top of the desktop.
GenericGump* openGenericGump(int32_t x, int32_t y, std::string_view layoutText, std::vector<std::u16string> lines,
    uint32_t senderSerial, uint32_t typeId);
