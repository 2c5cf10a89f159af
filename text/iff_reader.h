#pragma once
// Walks an IFF image (nested FORMs and chunks, 4-byte tags and signed 32-bit
// big-endian sizes) that the caller read whole into memory. The reader never
// owns the image; it must outlive the reader. Every size read from the image is
// checked against the image and the enclosing element before it is followed,
// so a damaged file fails an enter instead of moving the cursor backwards or
// past the end. Failures are silent: they return false or zero and compose a
// diagnostic line kept for inspection. Main thread only.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A tag as one 32-bit value, first character in the most significant byte.
constexpr uint32_t iffTag(const char (&name)[5])
{
    return (uint32_t(uint8_t(name[0])) << 24) | (uint32_t(uint8_t(name[1])) << 16) | (uint32_t(uint8_t(name[2])) << 8)
        | uint32_t(uint8_t(name[3]));
}

struct IffLevel {
    size_t start = 0; // offset of the element's tag
    int32_t size = 0; // as stored
    char name[5] = {}; // the form type of a FORM, the tag of a chunk
};

class IffReader {
public:
    static constexpr int32_t kInitialCapacity = 64;

    IffReader(const uint8_t* image, size_t size);

    void setFileName(const char* name);

    // The 4 bytes at the cursor, big-endian; 0 when fewer than 4 bytes are left.
    uint32_t peekTag() const;
    bool isFormAt(uint32_t type) const;
    bool isChunkAt(uint32_t tag) const;

    bool enterForm(uint32_t type);
    bool enterChunk(uint32_t tag);
    // tag and type only name the element in the failure text.
    bool exitChunk(uint32_t tag, bool checkAll);
    bool exitForm(uint32_t type);

    // True when a level is open and the cursor has reached its end.
    bool atEnd() const;
    // Bytes left in the innermost level; 0 (and a diagnostic) with no level.
    int32_t remaining() const;

    // Copies up to and including the first zero byte of the innermost level
    // into buffer (bufferSize bytes, always terminated) and moves past it.
    // False when no level is open, the text has no terminator inside the
    // level, or it did not fit (the text is then cut).
    bool readString(char* buffer, size_t bufferSize);
    // 0 when fewer than 4 bytes remain in the innermost level; the cursor
    // then stays and readFailed() turns true.
    int32_t readInt32(bool bigEndian);
    bool readFailed() const { return m_readFailed; }
    void clearReadFailure() { m_readFailed = false; }

    // The cursor, for payloads parsed in place; dataEnd() bounds them.
    const uint8_t* dataPointer() const { return m_image + m_cursor; }
    const uint8_t* dataEnd() const;

    // Passes a caller's message through the diagnostic step.
    void composeDiagnostic(const char* message);
    const std::string& lastDiagnostic() const { return m_lastDiagnostic; }
    int32_t diagnosticCount() const { return m_diagnosticCount; }

    int32_t depth() const { return m_depth; }
    int32_t capacity() const { return int32_t(m_levels.size()); }
    int32_t lastFormSize() const { return m_lastFormSize; }
    int32_t lastChunkSize() const { return m_lastChunkSize; }
    size_t cursorOffset() const { return m_cursor; }

private:
    // End of the innermost level, or of the image with no level open.
    size_t limit() const;
    size_t levelEnd(const IffLevel& level) const;
    bool pushLevel(size_t start, int32_t size, uint32_t name);
    void reportTagged(const char* format, uint32_t tag);

    const uint8_t* m_image;
    size_t m_imageSize;
    size_t m_cursor = 0;
    std::string m_fileName;
    int32_t m_lastFormSize = 0;
    int32_t m_lastChunkSize = 0;
    std::vector<IffLevel> m_levels;
    int32_t m_depth = 0;
    bool m_readFailed = false;
    std::string m_lastDiagnostic;
    int32_t m_diagnosticCount = 0;
};
