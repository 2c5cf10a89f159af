#pragma once
// The messenger's line protocol: the numbered commands the client sends
// (a two-character prefix, an argument, CR LF), the layout of a mail, and the
// handler of every line the service sends (a two-character command, then its
// argument), with the request state that ties a requested mail body to the
// window that asked for it.
//
// Every received line is checked before it acts: a line longer than 30,000
// units, or one holding units that are no text (control characters other
// than tab, CR, LF and the fixed-entry marks 1 to 5, lone surrogates,
// non-characters), is dropped whole.
// Main thread only.

#include "messenger/message_store.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace MessengerCommand {
constexpr int32_t Echo = 0; // any number not below: "ECHO: "
constexpr int32_t GetPage = 1;
constexpr int32_t RequestAddressBook = 2;
constexpr int32_t EditAddress = 3;
constexpr int32_t GiveCard = 4;
constexpr int32_t DeleteCard = 5;
constexpr int32_t RequestBody = 6;
constexpr int32_t SendMail = 7;
constexpr int32_t DeleteMessage = 8;
constexpr int32_t RequestList = 9;
constexpr int32_t GmChatJoin = 10;
constexpr int32_t GmChatEnd = 11;
constexpr int32_t GmChatLine = 12;
constexpr int32_t ListClosed = 13;
constexpr int32_t MarkRead = 14;
constexpr int32_t Query = 15;
} // namespace MessengerCommand

// What opens when a requested body arrives.
namespace BodyAction {
constexpr int32_t None = -1;
constexpr int32_t Reply = 7;
constexpr int32_t Forward = 10;
constexpr int32_t Read = 49;
} // namespace BodyAction

// The longest received line, in UTF-16 units.
inline constexpr int32_t kMaxMessengerLineUnits = 30000;
// The GM chat name keeps at most this many units.
inline constexpr int32_t kMaxGmChatNameUnits = 499;
// The messenger service's mail domain (after "@" in addresses) and the page
// its web page window opens with.
inline constexpr std::u16string_view kMessengerMailDomain = u"messenger.vardun.net";
inline constexpr std::string_view kMessengerDefaultPage = "http://messenger.vardun.net/default.htm";

struct MessengerRequestState {
    int32_t pendingBodyAction = BodyAction::None;
    bool bodyRequestFromList = false;
    bool bodyRequestFromReader = false;
};
MessengerRequestState& messengerRequests();

// The GM chat session a "/i" line offered.
struct GmChatOffer {
    int32_t sessionId = 0;
    std::u16string name;
};
GmChatOffer& gmChatOffer();

// A number as decimal UTF-16 text.
std::u16string messengerDecimal(int64_t value);

// The line of a command (its CR LF included, its NUL not).
std::u16string buildMessengerCommand(int32_t command, std::u16string_view argument);
// Builds and queues a command; the bytes queued, 0 without a connection or
// when the queue has no room. Building the list request marks the mail list
// as waiting, even while the socket is closed.
int32_t sendMessengerCommand(int32_t command, std::u16string_view argument);
// The same with an 8-bit argument (each byte one unit).
int32_t sendMessengerCommandAscii(int32_t command, std::string_view argument);

// A mail's recipient and how its sender is named.
struct MailAddressing {
    std::u16string address;
    std::u16string name;
    // The recipient's description, or "dummy" for a recipient the caller
    // gave.
    std::u16string comment;
    // The account name signs the mail (a fixed recipient, or the caller's
    // choice), not the character.
    bool signWithAccount = false;
    // Stands in the From line instead of the account number when not empty.
    std::u16string senderId;
};
// The name mail is signed with: the account name, or the character's name
// and " of " the shard (or "Nowhere").
std::u16string messengerSenderName(bool signWithAccount);
// What a new mail's subject shows until the player writes one; a mail sent
// with it unchanged goes without a subject.
inline constexpr std::u16string_view kSubjectPlaceholder = u"[Enter message subject here.]";
// The text of a mail: To, From and Subject lines, an empty line, the body.
// A subject still reading as its placeholder goes out empty.
std::u16string buildMailText(const MailAddressing& to, std::u16string_view subject, std::u16string_view body);
// Sends the mail text as command 7.
int32_t sendMail(const MailAddressing& to, std::u16string_view subject, std::u16string_view body);

// Opens the compose window over the "Messages" window when any of the three
// flags is set (the window must be open), else mails the text at once with
// the comment "dummy".
void composeOrSendMail(bool chooseRecipient, std::u16string_view address, std::u16string_view name,
    bool signWithAccount, bool editableSubject, std::u16string_view subject, bool editableBody,
    std::u16string_view body, std::u16string_view title, std::u16string_view senderId);

// Every line the connection receives.
void handleMessengerLine(std::u16string_view line);
// False for a line the handler refuses whole (too long, or not text).
bool isAcceptableMessengerLine(std::u16string_view line);
