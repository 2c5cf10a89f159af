#pragma once
// MessengerWindow: the base of every messenger window (the web page, mail
// and address windows and the small prompts). A resizable, draggable,
// minimisable window with a nine-piece frame of one of four art sets, an
// optional title, an optional block of mail header lines ("TO: ", "FROM: ",
// "DATE: ", "SUBJECT: "), child text controls and lists laid out below them,
// and standard buttons of fifteen kinds placed by position codes at the
// bottom. Minimised it shows a mail icon (art 4000 while any stored mail is
// unread, 4001 otherwise); two quick presses on the icon restore it. A right
// click anywhere on it closes it.
//
// Prompts answer their parent through onMessengerEvent (code, index, 0),
// which any gump may take (the mahjong board does); messenger windows turn
// it into onPromptAnswer. Main thread only; any command may close the
// window.

#include "gump/button.h"
#include "gump/control_gump.h"

#include <array>
#include <cstdint>
#include <string>

class AddressListControl;
class HtmlView;
class MessageListControl;

// The standard button kinds; each window has at most one of each.
namespace MessengerButton {
constexpr int32_t Resize = 0;
constexpr int32_t Minimise = 1;
constexpr int32_t Close = 2;
constexpr int32_t Ok = 3;
constexpr int32_t Cancel = 4;
constexpr int32_t Back = 5;
constexpr int32_t Send = 6;
constexpr int32_t Reply = 7;
constexpr int32_t Delete = 8;
constexpr int32_t DeleteCard = 9;
constexpr int32_t Forward = 10;
constexpr int32_t Edit = 11;
constexpr int32_t New = 12;
constexpr int32_t Addresses = 13;
constexpr int32_t Include = 14;
constexpr int32_t Count = 15;
} // namespace MessengerButton

// What a prompt answers; the code its parent gets back.
namespace PromptCode {
constexpr int32_t Discard = 4;
constexpr int32_t DeleteOne = 8;
constexpr int32_t DeleteCard = 9;
constexpr int32_t EditDescription = 11;
constexpr int32_t DeleteMany = 47;
constexpr int32_t DeleteCards = 48;
constexpr int32_t RecipientChosen = 50;
constexpr int32_t GmChatRequest = 51;
} // namespace PromptCode

// The command the message list gives its window for a second press on the
// selected row.
inline constexpr int32_t kReadCommand = 49;
inline constexpr int32_t kOpenSound = 81;
inline constexpr int32_t kUnreadIconArt = 4000;
inline constexpr int32_t kIconArt = 4001;

class MessengerWindow : public ControlGump {
public:
    // Frame kinds: 0 art 2600.., 1 art 5054.. (small buttons), 2 art
    // 9200.., 3 art 3500...
    explicit MessengerWindow(int32_t frameKind);
    ~MessengerWindow() override;

    // Creates the button of `kind` once; a second call or a kind out of range
    // does nothing.
    void addMessengerButton(int32_t kind, int32_t positionCode);
    Button* messengerButton(int32_t kind) const;
    // Page 0 at the window's size with the frame, title, text and headers.
    void buildMessengerFrame();
    // Places the buttons and the child controls.
    void layoutMessengerWindow();
    // A size of 0 or below keeps that side; then frame and layout again.
    void resizeMessengerWindow(int32_t width, int32_t height);

    // A child prompt's answer; true lets the prompt close.
    virtual bool onPromptAnswer(int32_t code, const std::u16string& text, int32_t index);
    // Marks buttons disabled before each draw.
    virtual void updateButtons();

    // Frame geometry: the top-right piece's width (L) and height (H).
    int32_t frameCornerWidth() const;
    int32_t frameCornerHeight() const;
    int32_t frameKind() const { return m_frameKind; }
    const std::u16string& title() const { return m_title; }
    int32_t clickState() const { return m_clickState; }
    // The icon art the minimised window shows now.
    int32_t iconArt() const;

    CGump* findChildAt(int32_t x, int32_t y, CGump* excluded) override;
    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onHoverTick() override;
    void resize(int32_t width, int32_t height, bool flag) override;
    void onKey(uint32_t code) override;
    bool onMessengerEvent(int32_t code, int32_t first, int32_t second) override;

protected:
    // The end of every window's construction: the size raised to the
    // minimum, frame and layout, then linked to `parent` (or the desktop).
    void finishWindow(CGump* parent, int32_t x, int32_t y, int32_t width, int32_t height);
    void setMinimumSize(int32_t width, int32_t height);
    void setButtonDisabled(int32_t kind, bool disabled);
    // A press on the window also raises the windows that belong over it
    // (the send window's recipient picker).
    virtual void raiseCompanionWindows();
    // The content area's place; false when it has no room.
    struct ContentArea {
        int32_t x = 0;
        int32_t y = 0;
        int32_t width = 0;
        int32_t height = 0;
    };

    bool m_centreTitle = false;
    bool m_headerAboveBody = false;
    std::u16string m_title;
    std::u16string m_bodyText;
    enum Header { To, From, Date, Subject, HeaderCount };
    std::array<bool, HeaderCount> m_headerShown {};
    std::array<std::u16string, HeaderCount> m_headerValue;
    std::u16string m_toggleLabel;
    GumpHandle m_addressList;
    GumpHandle m_messageList;
    GumpHandle m_recipientControl;
    GumpHandle m_subjectControl;
    GumpHandle m_bodyControl;
    GumpHandle m_htmlView;

    AddressListControl* addressList() const;
    MessageListControl* messageList() const;
    HtmlView* recipientControl() const;
    HtmlView* subjectControl() const;
    HtmlView* bodyControl() const;
    HtmlView* htmlView() const;

private:
    void placeButton(int32_t kind);
    void drawTexts(GumpPage& face);
    void drawToggleLabel(GumpPage& face);

    std::array<GumpHandle, MessengerButton::Count> m_buttons;
    std::array<int32_t, MessengerButton::Count> m_positionCodes {};
    int32_t m_frameKind;
    bool m_dragging = false;
    bool m_leftHeld = false;
    int32_t m_clickState = 0;
    uint32_t m_firstClickTime = 0;
    bool m_suppressRelease = false;
};

// The window of a gump that is a messenger window, else null.
MessengerWindow* messengerWindowOf(CGump* gump);
