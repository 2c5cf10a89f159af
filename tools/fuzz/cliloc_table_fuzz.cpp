// Loads an arbitrary image as a cliloc file, then looks up the ids it gave
// and fills each text's tokens from an argument list cut from the same bytes
// (as the server sends them: UTF-16 with TAB separators), under a plain, a
// literal and the filtered message id.
#include "fuzz_byte_reader.h"
#include "text/cliloc_table.h"
#include "text/obscenity_filter.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace {

constexpr int32_t kFilteredId = 1072305;
constexpr int32_t kLiteralId = 1061112;

std::u16string argumentsFrom(const uint8_t* data, size_t size)
{
    // The last bytes as UTF-16 units, at most 256 of them.
    size_t units = size / 2 < 256 ? size / 2 : 256;
    std::u16string text;
    const uint8_t* start = data + size - units * 2;
    for (size_t i = 0; i < units; ++i) {
        char16_t unit = char16_t(fuzz::le16(start + 2 * i));
        text += unit ? unit : u'\t';
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool once = [] {
        setObsceneWordList({ u"ab", u"~", u"@" });
        return true;
    }();
    (void)once;
    auto table = std::make_unique<ClilocTable>();
    table->loadBytes(data, size);
    std::u16string arguments = argumentsFrom(data, size);
    setClilocTable(std::move(table));

    // The first ids of the file, and ids it does not hold.
    int32_t looked = 0;
    for (int32_t id : { 0, -1, 500000, 1999999 }) {
        WString out;
        getClilocString(out, id, looked++ % 3);
    }
    size_t position = ClilocTable::kHeaderBytes;
    for (int record = 0; record < 32 && position + 7 <= size; ++record) {
        int32_t id = int32_t(fuzz::le32(data + position));
        size_t length = fuzz::le16(data + position + 5);
        position += 7 + length;
        for (int32_t messageId : { id, kLiteralId, kFilteredId }) {
            WString text;
            getClilocString(text, id, 0);
            formatClilocString(text, arguments.c_str(), messageId, false, false);
        }
    }
    setClilocTable(nullptr);
    return 0;
}
