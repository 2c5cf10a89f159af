#include "core/wide_string.h"

#include "core/wide_text.h"

#include <cstring>

namespace {

const char16_t kSharedTerminator = 0;

void copyUnits(char16_t* destination, const char16_t* source, int32_t count)
{
    // memmove: the source may lie inside the destination's own buffer.
    if (count > 0)
        std::memmove(destination, source, size_t(count) * sizeof(char16_t));
}

char16_t widenByte(char byte) { return char16_t(static_cast<unsigned char>(byte)); }

char16_t* widenNarrow(const char* narrow, int32_t& length)
{
    length = int32_t(std::strlen(narrow));
    auto* wide = new char16_t[size_t(length) + 1];
    for (int32_t i = 0; i <= length; ++i)
        wide[i] = widenByte(narrow[i]);
    return wide;
}

bool isAsciiLetterLower(char16_t c) { return c >= u'a' && c <= u'z'; }

bool isAsciiLetterUpper(char16_t c) { return c >= u'A' && c <= u'Z'; }

bool startsAWord(char16_t previous) { return previous == u'\n' || previous == u' ' || previous == u'-' || previous == u'['; }

} // namespace

WString::WString()
    : m_text(new char16_t[1] { 0 })
    , m_capacity(1)
{
}

WString::WString(const WString& other)
{
    if (!other.m_text)
        return;
    m_length = other.m_length;
    m_capacity = m_length + 1;
    m_text = new char16_t[size_t(m_capacity)];
    copyUnits(m_text, other.m_text, m_length + 1);
}

WString::WString(const char16_t* text)
{
    if (!text)
        return;
    m_length = wstrLen(text);
    m_capacity = m_length + 1;
    m_text = new char16_t[size_t(m_capacity)];
    copyUnits(m_text, text, m_length + 1);
}

WString::WString(const char* narrow)
{
    // The buffer holds exactly the text, but the capacity is left at 0: the
    // first growth re-allocates whatever the size, as callers expect.
    if (narrow)
        m_text = widenNarrow(narrow, m_length);
}

WString::~WString()
{
    delete[] m_text;
    m_text = nullptr;
}

void WString::reallocate(int32_t capacity)
{
    auto* grown = new char16_t[size_t(capacity)];
    copyUnits(grown, m_text, m_length);
    grown[m_length] = 0;
    delete[] m_text;
    m_text = grown;
    m_capacity = capacity;
}

void WString::assign(const char16_t* text)
{
    if (!text) {
        if (m_text)
            m_text[0] = 0;
        m_length = 0;
        return;
    }
    int32_t length = wstrLen(text);
    if (m_capacity < length + 1) {
        // Allocate and copy before freeing: the source may be our own buffer.
        auto* grown = new char16_t[size_t(length + m_growStep)];
        copyUnits(grown, text, length + 1);
        delete[] m_text;
        m_text = grown;
        m_capacity = length + m_growStep;
    } else {
        copyUnits(m_text, text, length + 1);
    }
    m_length = length;
}

void WString::assign(const WString& other) { assign(other.m_text); }

void WString::assignNarrow(const char* narrow)
{
    if (!narrow) {
        assign(static_cast<const char16_t*>(nullptr));
        return;
    }
    int32_t length = 0;
    char16_t* wide = widenNarrow(narrow, length);
    assign(wide);
    delete[] wide;
}

void WString::assignInt(int value)
{
    char16_t digits[40];
    intToWstr(value, digits, 10);
    assign(digits);
}

void WString::append(const char16_t* text)
{
    int32_t added = wstrLen(text);
    if (added == 0)
        return;
    if (m_capacity < added + m_length + 1) {
        // The old buffer is freed only after the source was copied from it.
        int32_t capacity = added + m_growStep + m_length;
        auto* grown = new char16_t[size_t(capacity)];
        copyUnits(grown, m_text, m_length);
        copyUnits(grown + m_length, text, added);
        grown[m_length + added] = 0;
        delete[] m_text;
        m_text = grown;
        m_capacity = capacity;
    } else {
        copyUnits(m_text + m_length, text, added);
        m_text[m_length + added] = 0;
    }
    m_length += added;
}

void WString::append(const WString& other) { append(other.m_text); }

void WString::appendInt(int value)
{
    char16_t digits[40];
    intToWstr(value, digits, 10);
    append(digits);
}

void WString::appendChar(char16_t c)
{
    if (m_capacity < m_length + 2)
        reallocate(m_length + 2);
    m_text[m_length] = c;
    m_text[m_length + 1] = 0;
    // A terminator appended as a character ends the text where it stands.
    if (c)
        ++m_length;
}

void WString::prepend(const WString& other)
{
    if (!other.m_text)
        return;
    int32_t capacity = other.m_length + m_length + 1;
    auto* joined = new char16_t[size_t(capacity)];
    copyUnits(joined, other.m_text, other.m_length);
    copyUnits(joined + other.m_length, m_text, m_length);
    joined[capacity - 1] = 0;
    delete[] m_text;
    m_text = joined;
    m_length = capacity - 1;
    m_capacity = capacity;
}

bool WString::equals(const WString& other) const { return wstrCompareNoCase(m_text, other.m_text) == 0; }

bool WString::isPrefixOf(const char* literal) const
{
    if (!m_text || !literal)
        return false;
    // The literal's terminator is compared too: a text longer than the
    // literal meets it with a non-zero character.
    for (int32_t i = 0; i < m_length; ++i) {
        if (m_text[i] != widenByte(literal[i]))
            return false;
    }
    return true;
}

bool WString::startsWith(const char* literal) const
{
    if (!m_text || !literal)
        return false;
    for (int32_t i = 0; literal[i]; ++i) {
        if (m_text[i] != widenByte(literal[i]))
            return false;
    }
    return true;
}

const char16_t* WString::charAt(unsigned i) const
{
    if (m_text && i < unsigned(m_length))
        return m_text + i;
    return &kSharedTerminator;
}

void WString::toUpper()
{
    for (int32_t i = 0; i < m_length; ++i)
        m_text[i] = wcharToUpper(m_text[i]);
}

void WString::toLower()
{
    for (int32_t i = 0; i < m_length; ++i) {
        if (isAsciiLetterUpper(m_text[i]))
            m_text[i] = char16_t(m_text[i] + 32);
    }
}

void WString::capitalizeWords()
{
    for (int32_t i = 0; i < m_length; ++i) {
        if ((i == 0 || startsAWord(m_text[i - 1])) && isAsciiLetterLower(m_text[i]))
            m_text[i] = char16_t(m_text[i] - 32);
    }
}

bool WString::removeLastChar(char16_t c)
{
    if (m_length == 0 || m_text[m_length - 1] != c)
        return false;
    m_text[--m_length] = 0;
    return true;
}

void WString::afterChar(WString& out, char16_t key) const
{
    for (int32_t i = 0; i < m_length; ++i) {
        if (m_text[i] == key) {
            out.assign(m_text + i + 1);
            return;
        }
    }
    out.assign(u"");
}

void WString::parseRange(int& first, int& second) const
{
    first = 0;
    second = 0;
    if (!m_text)
        return;
    const char16_t* c = m_text;
    while (*c && *c != u'[')
        ++c;
    if (!*c)
        return;
    ++c;
    // No check for digits, as the layout data has always been read; the sums
    // wrap rather than overflow on a long run.
    uint32_t value = 0;
    for (; *c && *c != u'-'; ++c)
        value = value * 10 + uint32_t(*c - u'0');
    first = int(int32_t(value));
    if (!*c)
        return;
    ++c;
    value = 0;
    for (; *c && *c != u']'; ++c)
        value = value * 10 + uint32_t(*c - u'0');
    second = int(int32_t(value));
}

const WString& WString::concat(const WString& a, const char16_t* b)
{
    static WString result;
    // Joined apart from the result: either source may be the result itself.
    WString joined(a);
    joined.append(b);
    result.assign(joined);
    return result;
}
