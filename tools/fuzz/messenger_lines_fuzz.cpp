// The messenger's received lines from arbitrary UTF-16 units, split on the
// 16-bit NUL as the connection splits them: each line is checked, then
// handled (mail lists, bodies, address lists, notices, pages) with no
// connection and no window open; the stores stay within their bounds. The
// mail date reader gets each line's low bytes too.
#include "fuzz_byte_reader.h"
#include "messenger/message_store.h"
#include "messenger/messenger_protocol.h"

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

namespace {

// The store's bound (the 2000th block ends a list).
constexpr size_t kMaxStoredEntries = 1999;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::u16string line;
    auto handle = [&line] {
        // The GM chat request asks the player in a window of its own.
        if (isAcceptableMessengerLine(line) && !(line.size() >= 2 && line[0] == u'/' && (line[1] | 0x20) == u'i'))
            handleMessengerLine(line);
        std::string narrow;
        for (char16_t unit : line)
            narrow.push_back(char(unit & 0xFF));
        std::tm fields {};
        parseMailDate(fields, narrow);
        line.clear();
    };
    for (size_t i = 0; i + 1 < size; i += 2) {
        const char16_t unit = char16_t(fuzz::le16(data + i));
        if (unit == 0)
            handle();
        else
            line.push_back(unit);
    }
    handle();
    if (messageStore().size() > kMaxStoredEntries || addressBook().size() > kMaxStoredEntries)
        __builtin_trap();
    clearMessageStore();
    clearAddressBook();
    return 0;
}
