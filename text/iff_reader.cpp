#include "text/iff_reader.h"

#include <cstdio>

namespace {

uint32_t readBigEndian32(const uint8_t* bytes)
{
    return (uint32_t(bytes[0]) << 24) | (uint32_t(bytes[1]) << 16) | (uint32_t(bytes[2]) << 8) | uint32_t(bytes[3]);
}

void tagToText(uint32_t tag, char (&out)[5])
{
    out[0] = char(tag >> 24);
    out[1] = char(tag >> 16);
    out[2] = char(tag >> 8);
    out[3] = char(tag);
    out[4] = '\0';
}

} // namespace

IffReader::IffReader(const uint8_t* image, size_t size)
    : m_image(image)
    , m_imageSize(image ? size : 0)
    , m_levels(kInitialCapacity)
{
}

void IffReader::setFileName(const char* name)
{
    m_fileName = name ? name : "";
}

size_t IffReader::levelEnd(const IffLevel& level) const
{
    // Enter checked that the end lies inside the image.
    return level.start + 8 + size_t(level.size);
}

size_t IffReader::limit() const
{
    return m_depth > 0 ? levelEnd(m_levels[size_t(m_depth - 1)]) : m_imageSize;
}

const uint8_t* IffReader::dataEnd() const
{
    return m_image + limit();
}

uint32_t IffReader::peekTag() const
{
    if (m_cursor + 4 > m_imageSize)
        return 0;
    return readBigEndian32(m_image + m_cursor);
}

bool IffReader::isFormAt(uint32_t type) const
{
    if (peekTag() != iffTag("FORM"))
        return false;
    if (type == 0)
        return true;
    if (m_cursor + 12 > m_imageSize)
        return false;
    return readBigEndian32(m_image + m_cursor + 8) == type;
}

bool IffReader::isChunkAt(uint32_t tag) const
{
    return tag != 0 && peekTag() == tag;
}

bool IffReader::pushLevel(size_t start, int32_t size, uint32_t name)
{
    // The element must end inside its parent (or the image): a negative size
    // would put the cursor back on the element and a huge one past the end.
    size_t headerSize = 8;
    if (size < 0 || start + headerSize > limit() || size_t(size) > limit() - start - headerSize)
        return false;
    if (m_depth == int32_t(m_levels.size()))
        m_levels.resize(m_levels.size() * 2);
    IffLevel& level = m_levels[size_t(m_depth)];
    level.start = start;
    level.size = size;
    tagToText(name, level.name);
    ++m_depth;
    return true;
}

bool IffReader::enterForm(uint32_t type)
{
    // A FORM's size covers its 4-byte type as well.
    bool ok = isFormAt(type) && m_cursor + 12 <= limit();
    int32_t size = ok ? int32_t(readBigEndian32(m_image + m_cursor + 4)) : 0;
    ok = ok && size >= 4 && pushLevel(m_cursor, size, readBigEndian32(m_image + m_cursor + 8));
    if (!ok) {
        reportTagged("Cannot enter FORM '%s'", type);
        return false;
    }
    m_lastFormSize = size;
    m_cursor += 12;
    return true;
}

bool IffReader::enterChunk(uint32_t tag)
{
    bool ok = isChunkAt(tag) && m_cursor + 8 <= limit();
    int32_t size = ok ? int32_t(readBigEndian32(m_image + m_cursor + 4)) : 0;
    ok = ok && pushLevel(m_cursor, size, tag);
    if (!ok) {
        reportTagged("Cannot enter CHUNK '%s'", tag);
        return false;
    }
    m_lastChunkSize = size;
    m_cursor += 8;
    return true;
}

bool IffReader::exitChunk(uint32_t tag, bool checkAll)
{
    if (m_depth <= 0) {
        if (tag)
            reportTagged("depth <= 0. Cannot exit CHUNK '%s'", tag);
        else
            composeDiagnostic("depth <= 0. Cannot exit CHUNK");
        return false;
    }
    const IffLevel& level = m_levels[size_t(m_depth - 1)];
    size_t end = levelEnd(level);
    if (checkAll && m_cursor != end)
        composeDiagnostic("extra data in CHUNK");
    --m_depth;
    // The pad byte after an odd size is skipped only where it exists, so a
    // chunk that ends its parent does not leave the cursor beyond it.
    if ((level.size & 1) && end < limit())
        ++end;
    m_cursor = end;
    return true;
}

bool IffReader::exitForm(uint32_t type)
{
    if (m_depth <= 0) {
        if (type)
            reportTagged("depth <= 0. Cannot exit FORM '%s'", type);
        else
            composeDiagnostic("depth <= 0. Cannot exit FORM");
        return false;
    }
    m_cursor = levelEnd(m_levels[size_t(m_depth - 1)]);
    --m_depth;
    return true;
}

bool IffReader::atEnd() const
{
    return m_depth > 0 && m_cursor >= limit();
}

int32_t IffReader::remaining() const
{
    if (m_depth <= 0) {
        const_cast<IffReader*>(this)->composeDiagnostic("depth <= 0");
        return 0;
    }
    size_t end = limit();
    return m_cursor < end ? int32_t(end - m_cursor) : 0;
}

bool IffReader::readString(char* buffer, size_t bufferSize)
{
    if (buffer && bufferSize > 0)
        buffer[0] = '\0';
    if (m_depth <= 0) {
        composeDiagnostic("depth <= 0");
        m_readFailed = true;
        return false;
    }
    size_t end = limit();
    size_t copied = 0;
    size_t position = m_cursor;
    bool terminated = false;
    while (position < end) {
        uint8_t byte = m_image[position++];
        if (byte == 0) {
            terminated = true;
            break;
        }
        if (buffer && copied + 1 < bufferSize)
            buffer[copied] = char(byte);
        ++copied;
    }
    if (buffer && bufferSize > 0)
        buffer[copied < bufferSize ? copied : bufferSize - 1] = '\0';
    m_cursor = position;
    if (!terminated || !buffer || copied >= bufferSize) {
        composeDiagnostic("At end of CHUNK. Not enough data ?");
        m_readFailed = true;
        return false;
    }
    return true;
}

int32_t IffReader::readInt32(bool bigEndian)
{
    if (m_depth <= 0) {
        composeDiagnostic("depth <= 0");
        m_readFailed = true;
        return 0;
    }
    if (m_cursor + 4 > limit()) {
        composeDiagnostic("At end of CHUNK. Not enough data ?");
        m_readFailed = true;
        return 0;
    }
    const uint8_t* bytes = m_image + m_cursor;
    m_cursor += 4;
    if (bigEndian)
        return int32_t(readBigEndian32(bytes));
    return int32_t(uint32_t(bytes[0]) | (uint32_t(bytes[1]) << 8) | (uint32_t(bytes[2]) << 16) | (uint32_t(bytes[3]) << 24));
}

void IffReader::reportTagged(const char* format, uint32_t tag)
{
    char name[5];
    tagToText(tag, name);
    char message[96];
    std::snprintf(message, sizeof message, format, name);
    composeDiagnostic(message);
}

void IffReader::composeDiagnostic(const char* message)
{
    std::string line = "File:" + m_fileName + ", Path:";
    for (int32_t i = 0; i < m_depth; ++i) {
        line += '/';
        line += m_levels[size_t(i)].name;
    }
    line += ": ";
    line += message ? message : "";
    char here[5] = { ' ', ' ', ' ', ' ', '\0' };
    for (size_t i = 0; i < 4 && m_cursor + i < m_imageSize; ++i)
        here[i] = char(m_image[m_cursor + i]);
    line += " Tag at current position = '";
    line += here;
    line += "'.";
    m_lastDiagnostic = std::move(line);
    ++m_diagnosticCount;
}
