#pragma once
// The conference chat: ChatWindow, the one window of the server's chat
// system (conferences, users, lines, private commands), and ChatDialog, the
// small box that asks for a name, a password or a command's argument. The
// server opens and closes the window and feeds it with 0xB2 and 0xB3
// (handleChatMessagePacket, handleChatTextPacket); typed lines go out as
// client 0xB3, their first character the command letter. Every text comes
// from the "chat" string file by number (chat_text.h). Main thread only.

#include "gump/control_gump.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

class PopupList;
class ScrollBar;
class TextList;

namespace ChatList {
inline constexpr int32_t kMessages = 0;
inline constexpr int32_t kUsers = 1;
inline constexpr int32_t kInput = 2;
inline constexpr int32_t kConference = 3;
inline constexpr int32_t kCommand = 4;
} // namespace ChatList

inline constexpr int32_t kChatIconArt = 2642;
inline constexpr int32_t kChatAlertIconArt = 2643;
inline constexpr int32_t kChatDefaultWidth = 640;
inline constexpr int32_t kChatDefaultHeight = 480;

struct ChatConference {
    std::u16string name;
    std::u16string display;
};

struct ChatCommand {
    std::u16string menu;
    std::u16string command;
};

class ChatWindow final : public ControlGump {
public:
    static constexpr int32_t kMessageLines = 256;
    static constexpr int32_t kUserLines = 3000;
    static constexpr int32_t kInputLines = 12;

    ChatWindow(int32_t x, int32_t y, int32_t width, int32_t height, std::u16string_view ownName);
    ~ChatWindow() override;

    // The window's texts and lists as the server's messages change them.
    void addConference(std::u16string_view name, bool hasPassword);
    void removeConference(std::u16string_view name);
    void addSpeechLine(std::u16string_view text, int32_t type, int32_t nameStart, int32_t nameEnd,
        std::string_view language);
    void addSystemLine(std::u16string_view text);
    void setConferenceLine(std::u16string_view text);
    void alert();
    // Popup 0: conferences, 1: commands; an open one closes instead.
    void openPopup(int32_t which);
    // Sends a typed line with its command letter; the input line empties.
    void sendInputLine(const std::u16string& text);

    // The inner split: the user list's width and the input's height as
    // distances from the right and bottom edges.
    int32_t userListWidth() const { return m_userListWidth; }
    int32_t inputHeight() const { return m_inputHeight; }
    void setSplit(int32_t userListWidth, int32_t inputHeight);
    int32_t splitX() const;
    int32_t splitY() const;
    bool isAlerted() const { return m_alerted; }
    const std::u16string& ownName() const { return m_ownName; }
    const std::vector<ChatConference>& conferences() const { return m_conferences; }
    const std::array<ChatCommand, 10>& commands() const { return m_commands; }
    TextList* list(int32_t which) const;
    PopupList* popup(int32_t which) const;
    CGump* arrowButton(int32_t which) const { return m_arrows[size_t(which)].get(); }
    CGump* helpButton() const { return m_help.get(); }
    CGump* closeButton() const { return m_close.get(); }
    // The divider's grip between the lists.
    CGump* splitGrip() const { return m_splitGrip.get(); }

    CGump* findChildAt(int32_t x, int32_t y, CGump* excluded) override;
    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onHoverTick() override;
    void resize(int32_t width, int32_t height, bool split) override;
    void onKey(uint32_t code) override;
    void onCommand(int32_t id) override;
    void onFocusLost() override;
    void forgetGump(CGump* dying) override;
    void notify(const std::u16string& text, CGump* sender) override;
    void setScrollRange(int32_t position, int32_t maximum, int32_t sender) override;
    void scrollTo(int32_t position, int32_t range, CGump* sender) override;
    void scrollStep(int32_t direction, CGump* sender) override;
    bool submitText(const std::u16string& text, CGump* sender) override;
    void childClosedWithText(CGump* child, const std::u16string* first, const std::u16string* second) override;

private:
    void layout();
    void focusInput();
    void onPopupChoice(const std::u16string& text, int32_t which);
    ScrollBar* scrollBarOf(int32_t listId) const;
    TextList* listOfBar(CGump* bar) const;

    std::u16string m_ownName;
    int32_t m_userListWidth = 200;
    int32_t m_inputHeight = 120;
    bool m_alerted = false;
    bool m_dragging = false;
    bool m_leftHeld = false;
    int32_t m_clickState = 0;
    uint32_t m_firstClickTime = 0;
    bool m_moved = false;
    std::vector<ChatConference> m_conferences;
    std::array<ChatCommand, 10> m_commands;
    std::array<GumpHandle, 9> m_frame;
    std::array<GumpHandle, 5> m_lists;
    std::array<GumpHandle, 2> m_bars;
    std::array<GumpHandle, 2> m_arrows;
    std::array<GumpHandle, 2> m_popups;
    GumpHandle m_help;
    GumpHandle m_close;
    GumpHandle m_grip;
    GumpHandle m_splitGrip;
};

// The open chat window, or null.
ChatWindow* chatWindow();

// The box that asks for a name and password (request -1) or a command's
// argument (request 2i + 1 for command i). Accepted with OK or Enter: with a
// parent the parent takes the texts; without one the texts ask the server
// to open chat under that name.
class ChatDialog final : public ControlGump {
public:
    static constexpr int32_t kWidth = 200;

    ChatDialog(ChatWindow* parent, int32_t request, std::u16string_view message, std::u16string_view label1,
        const std::u16string* label2);
    ~ChatDialog() override;

    int32_t request() const { return m_request; }
    TextList* input(int32_t which) const;
    void accept();

    void onLeftUp(int32_t x, int32_t y) override;
    void onKey(uint32_t code) override;
    void onCommand(int32_t id) override;
    void onFocusLost() override;
    bool submitText(const std::u16string& text, CGump* sender) override;

private:
    int32_t m_request;
    GumpHandle m_owner;
    bool m_hasOwner = false;
    bool m_accepted = false;
    std::array<GumpHandle, 4> m_frame;
    GumpHandle m_message;
    std::array<GumpHandle, 2> m_labels;
    std::array<GumpHandle, 2> m_inputs;
    int32_t m_focused = 0;
};

// The server's chat packets.
void handleChatMessagePacket(const uint8_t* packet);
void handleChatTextPacket(const uint8_t* packet);
void registerChatHandlers();
// The menubar's chat button and the macro: the open window comes to the top,
// or the server is asked to open chat.
void openOrRaiseChat();
// Asks the server to open chat under `name` (empty: the server asks).
void requestChatOpen(std::u16string_view name);

// The window's place kept for the next one (the desktop file's record).
struct ChatPlacement {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t userListWidth = 200;
    int32_t inputHeight = 120;
    bool minimised = false;
    bool saved = false;
};
ChatPlacement& chatPlacement();
