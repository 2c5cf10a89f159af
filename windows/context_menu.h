#pragma once
// The context menu of an object: after a request (requestContextMenu,
// window_packets.h) the server answers with its entries (0xBF 0x14), which
// open as a small popup where the player pressed, first in a compact form
// that leaves out the entries marked secondary (with a "more" button that
// shows them all). Choosing an entry sends its tag back (0xBF 0x15); any
// other click closes the popup. At most one popup exists. Main thread only;
// popup points are local pixels, the rest client pixels.

#include "gump/gump.h"
#include "protocol/world_packet_windows.h"

#include <cstdint>
#include <vector>

class ContextMenuGump final : public CGump {
public:
    enum class Form : uint8_t { Compact = 1, Full = 2 };

    static constexpr int32_t kMargin = 12;
    static constexpr int32_t kFrameArt = 2620;
    static constexpr int32_t kMoreArt = 5602;
    static constexpr int32_t kMorePressedArt = 5606;
    static constexpr uint16_t kTextColour = 0xFFFF;
    static constexpr uint16_t kDisabledColour = 0xCA52;
    static constexpr uint16_t kHighlightColour = 0xB18C;
    static constexpr uint16_t kDisabledFlag = 0x01;
    static constexpr uint16_t kSecondaryFlag = 0x02;
    static constexpr uint16_t kColouredFlag = 0x20;

    // Laid out over the stored entries at the request's press point.
    ContextMenuGump(uint32_t ownerSerial, Form form);
    ~ContextMenuGump() override;

    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onMouseOver(int32_t x, int32_t y) override;
    void onMouseLeave() override;
    // The full form replaces this popup here, once the "more" button that
    // asked for it is done with its release.
    void tick() override;

    Form form() const { return m_form; }
    uint32_t ownerSerial() const { return m_ownerSerial; }
    const std::vector<uint16_t>& shownTags() const { return m_tags; }
    int32_t lineHeight() const { return m_lineHeight; }
    int32_t hoveredRow() const { return m_hovered; }
    bool hasMoreButton() const { return m_more != nullptr; }
    CGump* moreButton() const { return m_more; }

private:
    void paintTexts(GumpPage& image);
    void showRow(int32_t row);
    void askForFullForm() { m_fullFormAsked = true; }

    Form m_form;
    uint32_t m_ownerSerial;
    std::vector<uint16_t> m_tags;
    std::vector<ContextMenuEntry> m_shown;
    int32_t m_lineHeight = 0;
    int32_t m_widest = 0;
    int32_t m_textHeight = 0;
    int32_t m_hovered = -1;
    GumpPage m_normal;
    GumpPage m_highlighted;
    CGump* m_more = nullptr;
    bool m_fullFormAsked = false;
};

// The entries of the last answer the server gave for the requested object.
const std::vector<ContextMenuEntry>& contextMenuEntries();
// The server's answer (0xBF 0x14): an answer for the object last asked
// about, and still known, replaces the entries and opens the compact popup;
// any other is ignored.
void showContextMenu(uint32_t serial, const std::vector<ContextMenuEntry>& entries);
// Closes the open popup (its object is redrawn).
void closeContextMenu();
bool isContextMenuOpen();
ContextMenuGump* contextMenuGump();
// Whether a client point lies on the open popup.
bool contextMenuContains(int32_t x, int32_t y);
// A press anywhere but on the popup closes it.
void closeContextMenuUnlessOn(int32_t x, int32_t y);
