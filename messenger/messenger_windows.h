#pragma once
// The messenger's windows: the web page window, "Messages" (the mail list),
// "Addresses" (the address book, whose entries are also the player's
// greeting cards), the recipient picker, the send window (new mail, replies,
// forwards and mail other code composes), "Read Message", and the prompt,
// notice and description-edit windows. One window of each kind is open at a
// time; opening another closes the first. The "Messages" window owns the
// mail windows' lifetime: closing it closes them.
//
// Windows keep message ids and entry texts, never store indexes: an answer
// that comes after the stores changed acts on the mail the player saw, or on
// nothing. Main thread only.

#include "messenger/message_store.h"
#include "messenger/messenger_window.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class MessageListControl;
class AddressListControl;

// Where a window the desktop layout kept opens (record types 13 and 14).
struct MessengerWindowPlace {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool minimised = false;
};

class WebPageWindow final : public MessengerWindow {
public:
    WebPageWindow(int32_t x, int32_t y, int32_t width, int32_t height);
    ~WebPageWindow() override;
    // The page's HTML: shown, its title as the window's.
    void showPage(std::u16string_view html);
    HtmlView* pageView() const { return bodyControl(); }
    void updateButtons() override;
    void onCommand(int32_t command) override;
};

class MessageListWindow final : public MessengerWindow {
public:
    MessageListWindow(int32_t x, int32_t y, int32_t width, int32_t height);
    ~MessageListWindow() override;
    MessageListControl* list() const { return messageList(); }
    void updateButtons() override;
    void onCommand(int32_t command) override;
    bool onPromptAnswer(int32_t code, const std::u16string& text, int32_t index) override;

private:
    void askAbout(int32_t code, const std::u16string& text);
    // The mail a delete question asks about, as selected when it was asked.
    std::vector<int32_t> m_asked;
    GumpHandle m_prompt;
};

class AddressBookWindow final : public MessengerWindow {
public:
    AddressBookWindow(int32_t x, int32_t y, int32_t width, int32_t height);
    AddressListControl* list() const { return addressList(); }
    void updateButtons() override;
    void onCommand(int32_t command) override;
    bool onPromptAnswer(int32_t code, const std::u16string& text, int32_t index) override;

private:
    // The entry a question asks about.
    std::optional<AddressEntry> m_asked;
    GumpHandle m_prompt;
};

class RecipientPickerWindow final : public MessengerWindow {
public:
    RecipientPickerWindow(MessengerWindow* owner, int32_t x, int32_t y, int32_t width, int32_t height);
    AddressListControl* list() const { return addressList(); }
    void onCommand(int32_t command) override;

private:
    GumpHandle m_owner;
};

// What composeOrSendMail asks of the compose window.
struct ComposeRequest {
    bool chooseRecipient = false;
    std::u16string address;
    std::u16string name;
    bool signWithAccount = false;
    bool editableSubject = false;
    std::u16string subject;
    bool editableBody = false;
    std::u16string body;
    std::u16string title;
};

class MailEditWindow final : public MessengerWindow {
public:
    enum class Mode : uint8_t {
        Send,
        Reply,
        Forward,
        Compose,
    };
    // Send, reply (repliedId) or forward (forwardedId).
    MailEditWindow(CGump* parent, int32_t x, int32_t y, int32_t width, int32_t height,
        std::optional<AddressEntry> recipient, int32_t repliedId, int32_t forwardedId);
    // The compose form.
    MailEditWindow(CGump* parent, int32_t x, int32_t y, int32_t width, int32_t height, const ComposeRequest& request);
    ~MailEditWindow() override;

    Mode mode() const { return m_mode; }
    const std::optional<AddressEntry>& recipient() const { return m_recipient; }
    bool includesOriginal() const { return m_include; }
    bool canSend() const;
    // The body as it goes out: the first text block, then, while the original
    // is included, every further block quoted.
    std::u16string outgoingBody() const;
    HtmlView* body() const { return bodyControl(); }
    HtmlView* subject() const { return subjectControl(); }
    HtmlView* recipientLine() const { return recipientControl(); }

    void updateButtons() override;
    void onCommand(int32_t command) override;
    void onTab() override;
    bool onPromptAnswer(int32_t code, const std::u16string& text, int32_t index) override;

protected:
    void raiseCompanionWindows() override;

private:
    void becomeSendWindow();
    void showRecipient();
    void send();

    Mode m_mode;
    std::optional<AddressEntry> m_recipient;
    // The compose form's recipient given by the caller.
    std::u16string m_givenAddress;
    std::u16string m_givenName;
    bool m_signWithAccount = false;
    bool m_include = false;
};

class ReadMessageWindow final : public MessengerWindow {
public:
    ReadMessageWindow(CGump* parent, int32_t x, int32_t y, int32_t width, int32_t height, int32_t messageId);
    ~ReadMessageWindow() override;
    int32_t messageId() const { return m_id; }
    HtmlView* body() const { return bodyControl(); }
    void updateButtons() override;
    void onCommand(int32_t command) override;
    bool onPromptAnswer(int32_t code, const std::u16string& text, int32_t index) override;

private:
    int32_t m_id;
    GumpHandle m_prompt;
};

// A question with OK and Cancel. OK tells the parent (any gump:
// onMessengerEvent(code, 0, 0), which closes the prompt when it answers
// true); without a parent, code 51 opens the GM chat. Cancel closes it.
class MessengerPromptWindow final : public MessengerWindow {
public:
    MessengerPromptWindow(
        CGump* parent, int32_t x, int32_t y, int32_t width, int32_t height, int32_t code, std::u16string_view text,
        bool html);
    int32_t code() const { return m_code; }
    void onCommand(int32_t command) override;

private:
    int32_t m_code;
};

// A notice with OK alone.
class MessengerNoticeWindow final : public MessengerWindow {
public:
    MessengerNoticeWindow(
        CGump* parent, int32_t x, int32_t y, int32_t width, int32_t height, int32_t code, std::u16string_view text);
    void onCommand(int32_t command) override;

private:
    int32_t m_code;
};

// A name and its editable description; OK gives the edited text to the
// parent's onPromptAnswer.
class DescriptionEditWindow final : public MessengerWindow {
public:
    DescriptionEditWindow(MessengerWindow* parent, int32_t x, int32_t y, int32_t width, int32_t height, int32_t code,
        std::u16string_view name, std::u16string_view description);
    HtmlView* editor() const { return bodyControl(); }
    void onCommand(int32_t command) override;

private:
    int32_t m_code;
};

// The one window of each kind.
struct MessengerWindowSlots {
    GumpHandle webPage;
    GumpHandle messageList;
    GumpHandle addressBook;
    GumpHandle picker;
    GumpHandle send;
    GumpHandle read;
};
MessengerWindowSlots& messengerWindowSlots();

// The open windows, or null.
WebPageWindow* webPageWindow();
MessageListWindow* messageListWindow();
AddressBookWindow* addressBookWindow();
RecipientPickerWindow* recipientPickerWindow();
MailEditWindow* sendWindow();
ReadMessageWindow* readMessageWindow();

// The web page window: raised when open, else opened where the desktop
// layout kept it (or at (0, 0), 640 x 480) and the default page requested.
void toggleWebPageWindow();
// Requests the mail list, then raises (restoring a minimised one) or opens
// the "Messages" window (where the layout kept it, or (120, 90), 400 x 400).
void toggleMessageListWindow();
// The place a desktop record kept for the web page (13) or "Messages" (14)
// window.
void keepMessengerWindowPlace(uint8_t recordType, const MessengerWindowPlace& place);
// The return to the login screen: the next character's layout brings its own.
void forgetMessengerWindowPlaces();

bool isWebPageWindowOpen();
void showWebPage(std::u16string_view html);

MailEditWindow* openMailEditWindow(CGump* parent, int32_t x, int32_t y, int32_t width, int32_t height,
    std::optional<AddressEntry> recipient, int32_t repliedId, int32_t forwardedId);
// Over the "Messages" window; nothing when it is not open.
MailEditWindow* openComposeWindow(const ComposeRequest& request);
ReadMessageWindow* openReadMessageWindow(
    CGump* parent, int32_t x, int32_t y, int32_t width, int32_t height, int32_t messageId);
AddressBookWindow* openAddressBookWindow(int32_t x, int32_t y, int32_t width, int32_t height);
// The reusable question; other windows reach it as the PromptWindows service
// (gump/prompt_windows.h).
MessengerPromptWindow* openMessengerPrompt(CGump* parent, int32_t x, int32_t y, int32_t width, int32_t height,
    int32_t code, std::u16string_view text, bool html);
// The mail windows' question, 260x190, centred on `window` as its child.
MessengerPromptWindow* askCentredOn(CGump* window, int32_t code, std::u16string_view text);
MessengerNoticeWindow* openMessengerNotice(
    CGump* parent, int32_t x, int32_t y, int32_t width, int32_t height, int32_t code, std::u16string_view text);

// The paperdolls redraw and the mail windows lay out again at their size.
void refreshMessengerWindows();
// The "Messages" window's list, and the address lists of "Addresses" and the
// picker, rebuilt from the stores.
void redrawMessageListControl();
void redrawAddressLists();
// Marks a mail read and tells the service ("/j id 1").
void markMessageRead(int32_t id);
// Deletes the given cards of these mails: each sender's entry goes ("/v "),
// each mail is removed here only, then the list is asked for again.
void deleteGivenCards(const std::vector<int32_t>& ids);
