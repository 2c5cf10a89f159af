#include "core/wide_text.h"
#include "platform/ascii_text.h"

#include <algorithm>

namespace {

char16_t foldAsciiCapital(char16_t unit) { return (unit >= u'A' && unit <= u'Z') ? char16_t(unit + 32) : unit; }

int compareUnits(char16_t a, char16_t b) { return a < b ? -1 : (a > b ? 1 : 0); }

const char16_t* orEmpty(const char16_t* text) { return text ? text : u""; }

enum class Overflow {
    Wrap,
    Saturate,
};

// Signs and digits may come in any order until the first other unit: every
// '-' flips the sign wherever it stands, so "1-2" reads -12.
template <typename DigitValue>
int32_t parseSignedNumber(const char16_t* text, uint32_t radix, DigitValue digitValue, Overflow overflow)
{
    if (!text)
        return 0;
    constexpr uint64_t kLargest = 0x7FFFFFFF;
    bool negative = false;
    // Unsigned arithmetic wraps where a long digit run would overflow.
    uint32_t value = 0;
    uint64_t saturated = 0;
    for (; *text; ++text) {
        if (*text == u'+')
            continue;
        if (*text == u'-') {
            negative = !negative;
            continue;
        }
        int digit = digitValue(*text);
        if (digit < 0)
            break;
        value = value * radix + uint32_t(digit);
        saturated = std::min(saturated * radix + uint64_t(digit), kLargest);
    }
    if (overflow == Overflow::Saturate)
        return negative ? -int32_t(saturated) : int32_t(saturated);
    return int32_t(negative ? 0u - value : value);
}

int decimalDigit(char16_t unit) { return isDigitChar(unit) ? unit - u'0' : -1; }

int32_t utf8SequenceLength(char16_t unit) { return unit < 0x80 ? 1 : (unit < 0x800 ? 2 : 3); }

// Writes the 1 to 4 bytes of codePoint to out; returns how many.
int32_t encodeUtf8(uint32_t codePoint, char* out)
{
    if (codePoint < 0x80) {
        out[0] = char(codePoint);
        return 1;
    }
    if (codePoint < 0x800) {
        out[0] = char(0xC0 | (codePoint >> 6));
        out[1] = char(0x80 | (codePoint & 0x3F));
        return 2;
    }
    if (codePoint < 0x10000) {
        out[0] = char(0xE0 | (codePoint >> 12));
        out[1] = char(0x80 | ((codePoint >> 6) & 0x3F));
        out[2] = char(0x80 | (codePoint & 0x3F));
        return 3;
    }
    out[0] = char(0xF0 | (codePoint >> 18));
    out[1] = char(0x80 | ((codePoint >> 12) & 0x3F));
    out[2] = char(0x80 | ((codePoint >> 6) & 0x3F));
    out[3] = char(0x80 | (codePoint & 0x3F));
    return 4;
}

void appendUtf8(std::string& out, uint32_t codePoint)
{
    char bytes[4];
    out.append(bytes, size_t(encodeUtf8(codePoint, bytes)));
}

} // namespace

int32_t wstrLen(const char16_t* text)
{
    if (!text)
        return 0;
    int32_t length = 0;
    while (text[length])
        ++length;
    return length;
}

int wstrCompare(const char16_t* a, const char16_t* b)
{
    a = orEmpty(a);
    b = orEmpty(b);
    for (;; ++a, ++b) {
        if (*a != *b || !*a)
            return compareUnits(*a, *b);
    }
}

int wstrCompareNoCase(const char16_t* a, const char16_t* b)
{
    a = orEmpty(a);
    b = orEmpty(b);
    for (;; ++a, ++b) {
        char16_t left = foldAsciiCapital(*a);
        char16_t right = foldAsciiCapital(*b);
        if (left != right || !left)
            return compareUnits(left, right);
    }
}

int wstrCompareNoCaseN(const char16_t* a, const char16_t* b, int32_t n)
{
    a = orEmpty(a);
    b = orEmpty(b);
    for (int32_t i = 0; i < n; ++i) {
        char16_t left = foldAsciiCapital(a[i]);
        char16_t right = foldAsciiCapital(b[i]);
        if (left != right)
            return compareUnits(left, right);
        if (!left)
            return 0;
    }
    return 0;
}

void wstrCopy(char16_t* destination, const char16_t* source)
{
    source = orEmpty(source);
    do
        *destination++ = *source;
    while (*source++);
}

void wstrCopyN(char16_t* destination, const char16_t* source, int32_t n)
{
    if (!destination || !source)
        return;
    int32_t i = 0;
    for (; i < n && source[i]; ++i)
        destination[i] = source[i];
    destination[i] = 0;
}

std::unique_ptr<char16_t[]> wstrDup(const char16_t* text)
{
    if (!text)
        return nullptr;
    auto copy = std::make_unique<char16_t[]>(size_t(wstrLen(text)) + 1);
    wstrCopy(copy.get(), text);
    return copy;
}

void wstrCat(char16_t* destination, const char16_t* source) { wstrCopy(destination + wstrLen(destination), source); }

void wstrCatN(char16_t* destination, const char16_t* source, int32_t size)
{
    if (!destination || size <= 0)
        return;
    int32_t used = wstrLen(destination);
    if (used >= size) {
        destination[size - 1] = 0;
        return;
    }
    wstrCopyN(destination + used, orEmpty(source), size - 1 - used);
}

void wstrCatAscii(char16_t* destination, const char* bytes) { asciiToWide(destination + wstrLen(destination), bytes); }

void asciiToWide(char16_t* destination, const char* bytes)
{
    if (!bytes)
        bytes = "";
    do
        *destination++ = byteToWide(*bytes);
    while (*bytes++);
}

void asciiToWideN(char16_t* destination, const char* bytes, int32_t n)
{
    if (!destination || !bytes)
        return;
    int32_t i = 0;
    for (; i < n && bytes[i]; ++i)
        destination[i] = byteToWide(bytes[i]);
    destination[i] = 0;
}

void bytesToWide(char16_t* destination, const char* bytes) { asciiToWide(destination, bytes); }

void wideToAscii(char* destination, const char16_t* text)
{
    text = orEmpty(text);
    do
        *destination++ = char(*text & 0xFF);
    while (*text++);
}

void wideToAsciiDropHigh(char* destination, const char16_t* text)
{
    for (text = orEmpty(text); *text; ++text) {
        if (*text < 0x80)
            *destination++ = char(*text);
    }
    *destination = 0;
}

char16_t byteToWide(int value) { return char16_t(value & 0xFF); }

std::u16string bytesToWideString(std::string_view bytes)
{
    std::u16string wide;
    wide.reserve(bytes.size());
    for (char byte : bytes)
        wide.push_back(byteToWide(uint8_t(byte)));
    return wide;
}

std::string lowBytesOf(std::u16string_view text)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (char16_t unit : text)
        bytes.push_back(char(uint8_t(unit)));
    return bytes;
}

bool isBlankChar(char16_t unit) { return unit == u' '; }

bool isDigitChar(char16_t unit) { return unit >= u'0' && unit <= u'9'; }

char16_t wcharToUpper(char16_t unit) { return (unit >= u'a' && unit <= u'z') ? char16_t(unit - 32) : unit; }

char16_t wcharToLower(char16_t unit)
{
    // Code-page 437 letters that reach us as units 0x80..0x9A.
    static constexpr char16_t kPairs[][2] = {
        { 0x80, 0xC7 }, { 0x81, 0xFC }, { 0x82, 0xE9 }, { 0x83, 0xE3 }, { 0x84, 0xE4 },
        { 0x85, 0xE0 }, { 0x87, 0xE7 }, { 0x88, 0xEA }, { 0x89, 0xEB }, { 0x8A, 0xE8 },
        { 0x8B, 0xEF }, { 0x8C, 0xEE }, { 0x8E, 0xC4 }, { 0x90, 0xEB }, { 0x93, 0xF4 },
        { 0x94, 0xF6 }, { 0x96, 0xFB }, { 0x97, 0xF9 }, { 0x99, 0xD6 }, { 0x9A, 0xDC },
    };
    for (const auto& pair : kPairs) {
        if (unit == pair[0]) {
            unit = pair[1];
            break;
        }
    }
    if ((unit >= u'A' && unit <= u'Z') || (unit >= 0xC0 && unit <= 0xDD))
        return char16_t(unit + 32);
    if (unit >= 0x100 && unit <= 0x176)
        return char16_t(unit | 1);
    if (unit >= 0x179 && unit <= 0x17D)
        return char16_t((unit + 1) & ~1);
    return unit;
}

int32_t wstrToInt(const char16_t* text) { return parseSignedNumber(text, 10, decimalDigit, Overflow::Wrap); }

int32_t wstrToIntSaturated(const char16_t* text)
{
    return parseSignedNumber(text, 10, decimalDigit, Overflow::Saturate);
}

int32_t hexToInt(const char16_t* text)
{
    return parseSignedNumber(
        text, 16, [](char16_t unit) { return platform::hexDigitValue(unit); }, Overflow::Wrap);
}

int32_t intToWstr(int32_t value, char16_t* destination, int radix)
{
    static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    if (radix < 2 || radix > 36) {
        destination[0] = 0;
        return 0;
    }
    int32_t written = 0;
    // The magnitude is taken unsigned so that the most negative value works.
    uint32_t magnitude = uint32_t(value);
    if (value < 0) {
        destination[written++] = u'-';
        magnitude = 0u - magnitude;
    }
    char16_t reversed[32];
    int32_t count = 0;
    do {
        reversed[count++] = char16_t(kDigits[magnitude % uint32_t(radix)]);
        magnitude /= uint32_t(radix);
    } while (magnitude);
    while (count)
        destination[written++] = reversed[--count];
    destination[written] = 0;
    return written;
}

void utf8ToWide(char16_t* destination, const char* bytes, int32_t max)
{
    if (!destination || max <= 0)
        return;
    destination[0] = 0;
    if (!bytes)
        return;
    const auto* in = reinterpret_cast<const unsigned char*>(bytes);
    int32_t written = 0;
    // The arithmetic is 16-bit: the high bits of the lead byte fall off, which
    // is what leaves only the payload bits for well-formed input.
    while (written < max - 1 && *in) {
        uint16_t lead = *in++;
        uint16_t unit = lead;
        if (lead >= 0xE0) {
            if (!in[0] || !in[1])
                break;
            unit = uint16_t((lead << 12) | uint16_t((in[0] + 896) << 6) | uint16_t(in[1] - 128));
            in += 2;
        } else if (lead >= 0x80) {
            if (!in[0])
                break;
            unit = uint16_t(uint16_t((lead + 832) << 6) | uint16_t(in[0] - 128));
            in += 1;
        }
        destination[written++] = unit;
    }
    destination[written] = 0;
    destination[max - 1] = 0;
}

int32_t wideToUtf8(char* destination, const char16_t* text, int32_t size)
{
    if (!text)
        return 0;
    if (size == 0) {
        int32_t needed = 1;
        for (; *text; ++text)
            needed += utf8SequenceLength(*text);
        return needed;
    }
    if (!destination || size < 0)
        return 0;
    int32_t used = 0;
    for (; *text; ++text) {
        char16_t unit = *text;
        int32_t length = utf8SequenceLength(unit);
        // A sequence goes in only whole and with room left for the terminator.
        if (used + length + 1 > size)
            break;
        used += encodeUtf8(unit, destination + used);
    }
    destination[used++] = 0;
    return used;
}

int32_t wstrFindNoCase(const char16_t* pattern, const char16_t* text)
{
    int32_t patternLength = wstrLen(pattern);
    int32_t textLength = wstrLen(text);
    if (patternLength == 0 || patternLength > textLength)
        return -1;
    for (int32_t start = 0; start + patternLength <= textLength; ++start) {
        int32_t i = 0;
        while (i < patternLength && wcharToLower(text[start + i]) == wcharToLower(pattern[i]))
            ++i;
        if (i == patternLength)
            return start;
    }
    return -1;
}

std::string wideToUtf8String(const char16_t* text)
{
    std::string out;
    for (text = orEmpty(text); *text; ++text) {
        uint32_t unit = *text;
        if (unit >= 0xD800 && unit <= 0xDBFF && text[1] >= 0xDC00 && text[1] <= 0xDFFF) {
            appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (uint32_t(text[1]) - 0xDC00));
            ++text;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            appendUtf8(out, 0xFFFD);
        } else {
            appendUtf8(out, unit);
        }
    }
    return out;
}

std::string narrowToUtf8String(const char* bytes)
{
    std::string out;
    for (; bytes && *bytes; ++bytes)
        appendUtf8(out, static_cast<unsigned char>(*bytes));
    return out;
}
