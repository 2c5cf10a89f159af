#pragma once
// The GM chat window: a private chat between the player and a game master
// over the messenger connection. A GM's "/i" request and the player's yes
// open it; lines typed into its entry go out as "/m", the GM's "/m" lines
// show in its chat text, and closing it from either side sends "/e". At
// most one exists. Main thread only.

#include "gump/control_gump.h"

#include <array>
#include <string>
#include <string_view>

class TextList;

inline constexpr int32_t kGmChatEntryHeight = 120;
inline constexpr size_t kMaxGmChatWindowName = 255;

class GmChatWindow final : public ControlGump {
public:
    static constexpr int32_t kChatLines = 256;
    static constexpr int32_t kEntryLines = 12;

    GmChatWindow(int32_t x, int32_t y, int32_t width, int32_t height, int32_t sessionId, std::u16string_view gmName);
    ~GmChatWindow() override;

    // A line in the colours of its type (0 the GM's, 4 the player's own).
    void addLine(std::u16string_view text, int32_t type, int32_t nameStart = -1, int32_t nameEnd = -1);
    // A received "/m" line, command included: shown as "name: text".
    void addReceivedLine(std::u16string_view line);

    int32_t sessionId() const { return m_sessionId; }
    const std::u16string& gmName() const { return m_gmName; }
    TextList* titleList() const;
    TextList* chatList() const;
    TextList* entryLine() const;
    CGump* piece(size_t index) const { return m_frame[index].get(); }
    CGump* closeButton() const { return m_close.get(); }
    CGump* minimiseButton() const { return m_minimise.get(); }
    // The line the window sends for a command ("/i ", "/m ", "/e "): the
    // session, a blank, the GM's name.
    std::u16string sessionArgument() const;

    CGump* findChildAt(int32_t x, int32_t y, CGump* excluded) override;
    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onHoverTick() override;
    void resize(int32_t width, int32_t height, bool flag) override;
    void onKey(uint32_t code) override;
    void onCommand(int32_t) override { }
    void onFocusLost() override;
    void notify(const std::u16string& text, CGump* sender) override;
    void setScrollRange(int32_t position, int32_t maximum, int32_t sender) override;
    void scrollTo(int32_t position, int32_t range, CGump* sender) override;
    void scrollStep(int32_t direction, CGump* sender) override;
    bool submitText(const std::u16string& text, CGump* sender) override;

private:
    void layout();
    void focusEntry();

    int32_t m_sessionId;
    std::u16string m_gmName;
    std::array<GumpHandle, 7> m_frame;
    GumpHandle m_minimise;
    GumpHandle m_grip;
    GumpHandle m_close;
    GumpHandle m_title;
    GumpHandle m_entry;
    GumpHandle m_chat;
    GumpHandle m_bar;
    bool m_dragging = false;
    bool m_leftHeld = false;
    int32_t m_clickState = 0;
    uint32_t m_firstClickTime = 0;
    bool m_suppressRelease = false;
};

// The open GM chat window, or null.
GmChatWindow* gmChatWindow();
// The player accepted the GM's request: the open window comes to the
// front; otherwise, over an open messenger connection, the window opens
// with the offered session (at its kept place) and "/i " is sent again.
void openGmChatWindow();

// Where the GM chat window opens (the desktop file's record).
struct GmChatPlacement {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool minimised = false;
    bool saved = false;
};
GmChatPlacement& gmChatPlacement();
