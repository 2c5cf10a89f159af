#pragma once
// WString: the growable UTF-16 string that carries all user-visible text.
// It grows to exactly what an operation needs plus its grow step (1), so every
// growth re-allocates, and it never shrinks. A null text is a legal state,
// distinct from the empty text, and every operation accepts it. Comparisons
// ignore the case of ASCII letters. Narrow text is widened byte by byte as
// unsigned values. Not shared between threads.
//
// Capacity rules callers rely on: the default string has a 1-unit buffer; a
// copy has length + 1; the narrow constructor leaves capacity 0 (so the next
// growth always re-allocates); assign grows to length + 1, append to
// old length + added length + 1, appendChar to old length + 2.

#include <cstdint>

class WString {
public:
    // The empty text in a 1-unit buffer.
    WString();
    WString(const WString& other);
    // Null gives the null text with no buffer.
    WString(const char16_t* text);
    explicit WString(const char* narrow);
    ~WString();
    WString& operator=(const WString& other)
    {
        assign(other);
        return *this;
    }

    const char16_t* c_str() const { return m_text; }
    int32_t length() const { return m_length; }
    int32_t capacity() const { return m_capacity; }
    int32_t growStep() const { return m_growStep; }
    bool isNull() const { return !m_text; }

    // A null source empties the text but keeps the buffer. The source may be
    // this string's own text or a part of it.
    void assign(const char16_t* text);
    void assign(const WString& other);
    void assignNarrow(const char* narrow);
    void assignInt(int value);
    // Null or empty sources change nothing. The source may be this string's
    // own text or a part of it.
    void append(const char16_t* text);
    void append(const WString& other);
    void appendInt(int value);
    void appendChar(char16_t c);
    void prepend(const WString& other);

    // A null text compares as the empty text.
    bool equals(const WString& other) const;
    bool differs(const WString& other) const { return !equals(other); }
    // The text is `literal` or a beginning of it (false for a null text).
    bool isPrefixOf(const char* literal) const;
    // `literal` is the text or a beginning of it (false for a null text).
    bool startsWith(const char* literal) const;
    // Character i, or a shared terminator when i is past the end.
    const char16_t* charAt(unsigned i) const;
    bool isEmpty() const { return !m_text || !m_text[0]; }

    void toUpper();
    void toLower();
    // Capitalises a-z at the start and after a line feed, blank, '-' or '['.
    void capitalizeWords();
    // Removes the last character when it is c.
    bool removeLastChar(char16_t c);
    // `out` becomes the text after the first `key`, or empty. `out` may be
    // this string.
    void afterChar(WString& out, char16_t key) const;
    // Reads "[first-second]" from the text: both start at 0, the scan starts
    // after the first '[' and each character up to '-' (then up to ']') adds
    // its value minus '0' to ten times the sum. Stops at the end of the text.
    void parseRange(int& first, int& second) const;

    // a followed by b, in one process-wide result that the next call
    // overwrites. Main thread only.
    static const WString& concat(const WString& a, const char16_t* b);

private:
    // Moves the text into a new buffer of `capacity` units (text kept).
    void reallocate(int32_t capacity);

    char16_t* m_text = nullptr;
    int32_t m_length = 0;
    int32_t m_growStep = 1;
    int32_t m_capacity = 0;
};
