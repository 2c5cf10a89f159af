#pragma once
// The messenger's mail and address book as the client holds them: the
// message store (the headers of the account's mail, grouped by recipient and
// ordered by date, with the bodies fetched so far) and the address book
// (fixed entries first, then the others, each by name and description). Both
// are filled from the protocol's lines, read by the messenger windows and
// emptied whenever the player returns to the login screen or the desktop
// layout is written.
//
// Windows refer to mail by message id and to entries by their text, never by
// index: a new list or a deletion moves every index after it. Every text
// field keeps at most 255 characters, and each store at most 1999 records;
// what a server sends beyond that is dropped. One lock guards both stores;
// every user runs on the main thread.

#include <cstdint>
#include <ctime>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int32_t kMessengerFieldLength = 255;
inline constexpr int32_t kMaxStoredMessages = 1999;
inline constexpr int32_t kMaxAddressEntries = 1999;

struct MessageRecord {
    std::u16string toName;
    std::u16string toAddress;
    std::u16string fromName;
    std::u16string fromAddress;
    std::u16string subject;
    // The display form "M/D/YY".
    std::u16string dateText;
    // Seconds from the date; 64 bits, as years of seconds pass 32 bits.
    int64_t sortKey = 0;
    int32_t id = 0;
    bool bodyLoaded = false;
    std::u16string body;
    // 0 unread.
    int32_t readState = 0;
};

struct AddressEntry {
    std::u16string address;
    std::u16string name;
    std::u16string description;
    // A description starting with a code from 1 to 5: sorted first, shown
    // without its description, never deleted or edited by the player.
    bool fixed = false;

    bool operator==(const AddressEntry&) const = default;
};

// The lock of both stores.
std::mutex& messengerStoreLock();

// The mail, in store order.
std::vector<MessageRecord>& messageStore();
// The store index of a message id, or -1.
int32_t findMessage(int32_t id);
// The record of a message id, or null.
MessageRecord* findMessageRecord(int32_t id);

// A "/s" mail list: every block stored, then "/b " sent when a block was an
// address-book change notice, then the message list redrawn.
void parseMessageList(std::u16string_view list);
// One block from `at` (just after its id line); returns the position of the
// first line not read. `full` is set when the store had no room: the list
// ends there. `notice` is set for an address-book change notice.
size_t parseMessageBlock(std::u16string_view text, size_t at, int32_t id, bool& full, bool& notice);
// A "/r" body: the store index of the record it filled, or -1.
int32_t storeMessageBody(std::u16string_view argument);
// Out-of-range indexes do nothing.
void deleteMessage(int32_t index);
void deleteMessageById(int32_t id);
void clearMessageStore();
// The list is being replaced: the status becomes "processing" and the store
// empties.
void resetMessageList();
int32_t countUnreadMessages();

// The address book, in book order.
std::vector<AddressEntry>& addressBook();
// The book index of an entry equal to `entry`, or -1.
int32_t findAddress(const AddressEntry& entry);
// A "/b" address list, then the address lists redrawn.
void parseAddressList(std::u16string_view list);
void parseAddressEntry(std::u16string_view line);
void deleteAddress(int32_t index);
void clearAddressBook();
void resetAddressBook();

// The entry as the protocol writes it: <address> "name" (description).
std::u16string addressEntryText(const AddressEntry& entry);
// How windows show an entry: its name, with " (description)" unless the
// description is empty or the entry fixed.
std::u16string addressEntryLabel(const AddressEntry& entry);

// Whether `text` starts with `prefix`, ASCII letters compared without case
// (the protocol's commands and header names).
bool startsWithNoCase(std::u16string_view text, std::u16string_view prefix);

// The text between `opening` and its closing partner (')' for '(', '>' for
// '<', '}' for '{', ']' for '[', else the same character), within the line
// (ended by NUL, CR or LF), at most `capacity` - 1 characters; empty when the
// opening character is missing.
std::u16string extractDelimited(std::u16string_view line, char16_t opening, int32_t capacity);

// Reads "Www Mmm d hh:mm:ss yyyy zone" into local calendar fields (the zone
// offset taken away): 0, or -1 no text, -2 bad format, -3 the time cannot
// be converted, -4 it cannot be broken down again.
int32_t parseMailDate(std::tm& result, std::string_view text);
// The zone word's offset in minutes; false for a zone not known.
bool mailZoneOffset(std::string_view zone, int32_t& minutes);
