// Wide strings from arbitrary UTF-16 units: parseRange, assignments and
// appends from the string's own text, and the UTF-8 conversions both ways
// into buffers of every size up to what they need.
#include "core/wide_string.h"
#include "core/wide_text.h"
#include "fuzz_byte_reader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The units, terminated, in a buffer of exactly their size.
    std::vector<char16_t> units(size / 2 + 1, 0);
    for (size_t i = 0; i + 1 < size; i += 2)
        units[i / 2] = char16_t(fuzz::le16(data + i));
    WString text(units.data());
    int first = 0;
    int second = 0;
    text.parseRange(first, second);

    WString copy(text);
    if (copy.length() > 0) {
        copy.assign(copy.c_str() + copy.length() / 2);
        copy.append(copy);
        copy.prepend(text);
        copy.appendChar(u'x');
        WString after;
        copy.afterChar(after, units[0]);
        copy.afterChar(copy, units[0]);
    }
    if (text.length() != int32_t(std::char_traits<char16_t>::length(units.data())))
        __builtin_trap();

    // Wide to UTF-8: the size asked for is enough, and every smaller buffer
    // gets a terminated text within its size.
    int32_t needed = wideToUtf8(nullptr, units.data(), 0);
    if (needed < 1)
        __builtin_trap();
    for (int32_t bufferSize : { needed, needed - 1, needed / 2, 1, 2, 3 }) {
        if (bufferSize < 1)
            continue;
        std::vector<char> bytes(size_t(bufferSize), 'z');
        int32_t written = wideToUtf8(bytes.data(), units.data(), bufferSize);
        if (written < 1 || written > bufferSize || bytes[size_t(written) - 1] != 0)
            __builtin_trap();
        if (bufferSize == needed && written != needed)
            __builtin_trap();
    }

    // UTF-8 to wide from the raw bytes, terminated, into small and large
    // buffers.
    std::vector<char> narrow(data, data + size);
    narrow.push_back(0);
    for (int32_t max : { 1, 2, 3, 7, int32_t(size) + 1 }) {
        std::vector<char16_t> wide(size_t(max), u'z');
        utf8ToWide(wide.data(), narrow.data(), max);
        if (std::find(wide.begin(), wide.end(), u'\0') == wide.end())
            __builtin_trap();
    }
    return 0;
}
