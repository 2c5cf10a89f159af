#pragma once
// StrBuf: the growable byte string used where a file or the protocol is
// narrow. It grows with 64 bytes of slack and never shrinks; a null text is a
// legal state distinct from the empty text. Not shared between threads.

#include <cstdint>

class StrBuf {
public:
    // The null text, no buffer.
    StrBuf() = default;
    // A copy in a buffer of length + 64 bytes; null gives the null text.
    explicit StrBuf(const char* text);
    ~StrBuf();
    StrBuf(const StrBuf&) = delete;
    StrBuf& operator=(const StrBuf&) = delete;

    const char* c_str() const { return m_text; }
    int32_t length() const { return m_length; }
    int32_t capacity() const { return m_capacity; }
    int32_t growStep() const { return m_growStep; }
    bool isNull() const { return !m_text; }

    // A null source empties the text but keeps the buffer. The source may be
    // this buffer's own text or a part of it.
    void assign(const char* text);
    // Null or empty sources change nothing. The source may be this buffer's
    // own text or a part of it.
    void append(const char* text);
    void appendInt(int value);

private:
    char* m_text = nullptr;
    int32_t m_length = 0;
    int32_t m_growStep = 64;
    int32_t m_capacity = 0;
};
