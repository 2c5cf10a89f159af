#include "messenger/message_store.h"

#include "messenger/messenger_connection.h"
#include "messenger/messenger_protocol.h"
#include "messenger/messenger_windows.h"

#include <algorithm>

namespace {

constexpr std::u16string_view kNoticeSender = u"\"0\"<0@0>(0)";
constexpr std::u16string_view kNoticeSubject = u"NEW_ADDRESS";
constexpr std::u16string_view kDeadBody = u"\r\nDEAD\r\n";
constexpr std::u16string_view kBodyEnd = u"\r\n.\r\n";
// A text field's room, its terminator included.
constexpr int32_t kFieldCapacity = kMessengerFieldLength + 1;

bool isLineEnd(char16_t unit) { return unit == u'\r' || unit == u'\n' || unit == u'\0'; }

// The line at `at`, up to CR, LF, NUL or the end.
std::u16string_view lineAt(std::u16string_view text, size_t at)
{
    size_t end = at;
    while (end < text.size() && !isLineEnd(text[end]))
        ++end;
    return text.substr(at, end - at);
}

// Past a line's end and one further CR or LF right after it.
size_t afterLine(std::u16string_view text, size_t at)
{
    size_t end = at;
    while (end < text.size() && !isLineEnd(text[end]))
        ++end;
    if (end < text.size())
        ++end;
    if (end < text.size() && (text[end] == u'\r' || text[end] == u'\n'))
        ++end;
    return end;
}

// The decimal number a line starts with (saturating), 0 when it starts with
// none.
int32_t leadingNumber(std::u16string_view text)
{
    int64_t value = 0;
    for (char16_t unit : text) {
        if (unit < u'0' || unit > u'9')
            break;
        value = std::min<int64_t>(value * 10 + (unit - u'0'), INT32_MAX);
    }
    return int32_t(value);
}

std::u16string cutField(std::u16string_view text)
{
    return std::u16string(text.substr(0, size_t(kMessengerFieldLength)));
}

// The date text and sort key of a record from its raw date.
void convertDate(MessageRecord& record, std::u16string_view date)
{
    std::string narrow;
    for (char16_t unit : date) {
        if (unit < 128)
            narrow.push_back(char(unit));
    }
    tzset();
    std::tm fields {};
    if (parseMailDate(fields, narrow) != 0) {
        // A date that cannot be read shows nothing and sorts first.
        record.dateText.clear();
        record.sortKey = 0;
        return;
    }
    const int32_t year = ((fields.tm_year % 100) + 100) % 100;
    std::string text = std::to_string(fields.tm_mon + 1) + "/" + std::to_string(fields.tm_mday) + "/"
        + (year < 10 ? "0" : "") + std::to_string(year);
    record.dateText.assign(text.begin(), text.end());
    record.sortKey = int64_t(fields.tm_sec)
        + 60
            * (int64_t(fields.tm_min)
                + 60 * (int64_t(fields.tm_hour) + 24 * (int64_t(fields.tm_yday) + 365 * int64_t(fields.tm_year))));
}

bool isFixedDescription(std::u16string_view description)
{
    return !description.empty() && description[0] >= 1 && description[0] <= 5;
}

} // namespace

bool startsWithNoCase(std::u16string_view text, std::u16string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char16_t a = text[i];
        char16_t b = prefix[i];
        if (a >= u'a' && a <= u'z')
            a = char16_t(a - 32);
        if (b >= u'a' && b <= u'z')
            b = char16_t(b - 32);
        if (a != b)
            return false;
    }
    return true;
}

std::mutex& messengerStoreLock()
{
    static std::mutex lock;
    return lock;
}

std::vector<MessageRecord>& messageStore()
{
    static std::vector<MessageRecord> store;
    return store;
}

int32_t findMessage(int32_t id)
{
    const std::vector<MessageRecord>& store = messageStore();
    for (size_t i = 0; i < store.size(); ++i) {
        if (store[i].id == id)
            return int32_t(i);
    }
    return -1;
}

MessageRecord* findMessageRecord(int32_t id)
{
    const int32_t index = findMessage(id);
    return index < 0 ? nullptr : &messageStore()[size_t(index)];
}

size_t parseMessageBlock(std::u16string_view text, size_t at, int32_t id, bool& full, bool& notice)
{
    std::vector<MessageRecord>& store = messageStore();
    if (int32_t(store.size()) + 1 > kMaxStoredMessages) {
        full = true;
        return at;
    }
    MessageRecord record;
    record.id = id;
    std::u16string_view date;
    bool fromNotice = false;
    while (at < text.size()) {
        const std::u16string_view line = lineAt(text, at);
        if (leadingNumber(line) > 0)
            break;
        if (startsWithNoCase(line, u"To: ")) {
            const std::u16string_view rest = line.substr(4);
            record.toAddress = extractDelimited(rest, u'<', kFieldCapacity);
            record.toName = extractDelimited(rest, u'"', kFieldCapacity);
        } else if (startsWithNoCase(line, u"From: ")) {
            const std::u16string_view rest = line.substr(6);
            record.fromAddress = extractDelimited(rest, u'<', kFieldCapacity);
            record.fromName = extractDelimited(rest, u'"', kFieldCapacity);
            fromNotice = rest.starts_with(kNoticeSender);
        } else if (startsWithNoCase(line, u"Date: ")) {
            date = line.substr(6, size_t(kMessengerFieldLength));
        } else if (startsWithNoCase(line, u"Subject: ")) {
            record.subject = cutField(line.substr(9));
        } else if (startsWithNoCase(line, u"Read: ")) {
            record.readState = line.size() > 6 ? int32_t(line[6]) - u'0' : 0;
        }
        at = afterLine(text, at);
    }
    if (fromNotice && startsWithNoCase(record.subject, kNoticeSubject)) {
        notice = true;
        sendMessengerCommand(MessengerCommand::DeleteMessage, messengerDecimal(id));
        return at;
    }
    convertDate(record, date);

    std::lock_guard guard(messengerStoreLock());
    auto place = std::find_if(store.begin(), store.end(), [&record](const MessageRecord& stored) {
        return stored.toName > record.toName || (stored.toName == record.toName && stored.sortKey > record.sortKey);
    });
    store.insert(place, std::move(record));
    return at;
}

void parseMessageList(std::u16string_view list)
{
    bool notice = false;
    size_t at = 0;
    while (at < list.size()) {
        const int32_t id = leadingNumber(lineAt(list, at));
        // The id line ends at its line feed.
        const size_t feed = list.find(u'\n', at);
        at = feed == std::u16string_view::npos ? list.size() : feed + 1;
        if (id <= 0)
            continue;
        bool full = false;
        at = parseMessageBlock(list, at, id, full, notice);
        // A full store takes no more of the list.
        if (full)
            break;
    }
    if (notice)
        sendMessengerCommand(MessengerCommand::RequestAddressBook, u"");
    redrawMessageListControl();
}

int32_t storeMessageBody(std::u16string_view argument)
{
    std::lock_guard guard(messengerStoreLock());
    MessageRecord* record = findMessageRecord(leadingNumber(argument));
    if (!record)
        return -1;
    const size_t firstBreak = argument.find(u"\r\n");
    if (firstBreak != std::u16string_view::npos && argument.substr(firstBreak).starts_with(kDeadBody)) {
        sendMessengerCommand(MessengerCommand::RequestList, u"");
        return -1;
    }
    std::u16string body;
    if (firstBreak != std::u16string_view::npos) {
        const size_t blank = argument.find(u"\r\n\r\n", firstBreak);
        if (blank != std::u16string_view::npos)
            body.assign(argument.substr(blank + 4));
    }
    if (std::u16string_view(body).ends_with(kBodyEnd))
        body.resize(body.size() - kBodyEnd.size());
    record->bodyLoaded = true;
    record->body = std::move(body);
    return findMessage(record->id);
}

void deleteMessage(int32_t index)
{
    std::lock_guard guard(messengerStoreLock());
    std::vector<MessageRecord>& store = messageStore();
    if (index >= 0 && index < int32_t(store.size()))
        store.erase(store.begin() + index);
}

void deleteMessageById(int32_t id) { deleteMessage(findMessage(id)); }

void clearMessageStore()
{
    std::lock_guard guard(messengerStoreLock());
    messageStore().clear();
}

void resetMessageList()
{
    messengerState().status = MessengerStatus::Processing;
    clearMessageStore();
}

int32_t countUnreadMessages()
{
    std::lock_guard guard(messengerStoreLock());
    const std::vector<MessageRecord>& store = messageStore();
    return int32_t(std::count_if(
        store.begin(), store.end(), [](const MessageRecord& record) { return record.readState == 0; }));
}

std::vector<AddressEntry>& addressBook()
{
    static std::vector<AddressEntry> book;
    return book;
}

int32_t findAddress(const AddressEntry& entry)
{
    const std::vector<AddressEntry>& book = addressBook();
    const auto found = std::find(book.begin(), book.end(), entry);
    return found == book.end() ? -1 : int32_t(found - book.begin());
}

void parseAddressEntry(std::u16string_view line)
{
    std::vector<AddressEntry>& book = addressBook();
    if (int32_t(book.size()) + 1 > kMaxAddressEntries)
        return;
    AddressEntry entry;
    entry.address = extractDelimited(line, u'<', kFieldCapacity);
    // An entry without an address can take no mail: it is no entry.
    if (entry.address.empty())
        return;
    entry.name = extractDelimited(line, u'"', kFieldCapacity);
    entry.description = extractDelimited(line, u'(', kFieldCapacity);
    entry.fixed = isFixedDescription(entry.description);

    std::lock_guard guard(messengerStoreLock());
    auto place = std::find_if(book.begin(), book.end(), [&entry](const AddressEntry& stored) {
        if (stored.fixed != entry.fixed)
            return entry.fixed;
        return stored.name > entry.name || (stored.name == entry.name && stored.description > entry.description);
    });
    book.insert(place, std::move(entry));
}

void parseAddressList(std::u16string_view list)
{
    size_t at = 0;
    while (at < list.size()) {
        const size_t feed = list.find(u'\n', at);
        const size_t end = feed == std::u16string_view::npos ? list.size() : feed;
        const std::u16string_view line = list.substr(at, end - at);
        if (line.starts_with(u'.'))
            break;
        parseAddressEntry(line);
        at = end + 1;
    }
    redrawAddressLists();
}

void deleteAddress(int32_t index)
{
    std::lock_guard guard(messengerStoreLock());
    std::vector<AddressEntry>& book = addressBook();
    if (index >= 0 && index < int32_t(book.size()))
        book.erase(book.begin() + index);
}

void clearAddressBook()
{
    std::lock_guard guard(messengerStoreLock());
    addressBook().clear();
}

void resetAddressBook() { clearAddressBook(); }

std::u16string addressEntryText(const AddressEntry& entry)
{
    return u"<" + entry.address + u"> \"" + entry.name + u"\" (" + entry.description + u")";
}

std::u16string addressEntryLabel(const AddressEntry& entry)
{
    if (entry.description.empty() || entry.fixed)
        return entry.name;
    return entry.name + u" (" + entry.description + u")";
}

std::u16string extractDelimited(std::u16string_view line, char16_t opening, int32_t capacity)
{
    size_t at = 0;
    while (at < line.size() && !isLineEnd(line[at]) && line[at] != opening)
        ++at;
    if (at >= line.size() || line[at] != opening)
        return {};
    char16_t closing = opening;
    if (opening == u'(')
        closing = u')';
    else if (opening == u'<')
        closing = u'>';
    else if (opening == u'{')
        closing = u'}';
    else if (opening == u'[')
        closing = u']';
    std::u16string result;
    for (++at; at < line.size() && int32_t(result.size()) < capacity - 1; ++at) {
        const char16_t unit = line[at];
        if (unit == closing || isLineEnd(unit))
            break;
        result.push_back(unit);
    }
    return result;
}
