#include "core/str_buf.h"

#include <cstdio>
#include <cstring>

StrBuf::StrBuf(const char* text)
{
    if (!text)
        return;
    m_length = int32_t(std::strlen(text));
    m_capacity = m_length + m_growStep;
    m_text = new char[size_t(m_capacity)];
    std::memcpy(m_text, text, size_t(m_length) + 1);
}

StrBuf::~StrBuf()
{
    delete[] m_text;
    m_text = nullptr;
}

void StrBuf::assign(const char* text)
{
    if (!text) {
        if (m_text)
            m_text[0] = 0;
        m_length = 0;
        return;
    }
    int32_t length = int32_t(std::strlen(text));
    if (m_capacity < length + 1) {
        // Allocate and copy before freeing: the source may be our own buffer.
        char* grown = new char[size_t(length + m_growStep)];
        std::memcpy(grown, text, size_t(length) + 1);
        delete[] m_text;
        m_text = grown;
        m_capacity = length + m_growStep;
    } else {
        std::memmove(m_text, text, size_t(length) + 1);
    }
    m_length = length;
}

void StrBuf::append(const char* text)
{
    if (!text || !text[0])
        return;
    int32_t added = int32_t(std::strlen(text));
    if (m_capacity < added + m_length + 1) {
        int32_t capacity = added + m_growStep + m_length;
        char* grown = new char[size_t(capacity)];
        if (m_length)
            std::memcpy(grown, m_text, size_t(m_length));
        std::memcpy(grown + m_length, text, size_t(added));
        grown[m_length + added] = 0;
        delete[] m_text;
        m_text = grown;
        m_capacity = capacity;
    } else {
        std::memmove(m_text + m_length, text, size_t(added));
        m_text[m_length + added] = 0;
    }
    m_length += added;
}

void StrBuf::appendInt(int value)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%d", value);
    append(digits);
}
