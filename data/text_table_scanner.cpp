#include "data/text_table_scanner.h"
#include "platform/ascii_text.h"

bool TextTableScanner::nextLine(std::string_view& line)
{
    if (m_position >= m_text.size())
        return false;
    size_t end = m_text.find('\n', m_position);
    if (end == std::string_view::npos)
        end = m_text.size();
    line = m_text.substr(m_position, end - m_position);
    m_position = end + 1;
    size_t comment = line.find('#');
    if (comment != std::string_view::npos)
        line = line.substr(0, comment);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return true;
}

void LineFields::skipBlanks()
{
    while (m_position < m_line.size() && platform::isAsciiSpace(m_line[m_position]))
        ++m_position;
}

bool LineFields::readInt(int32_t& value)
{
    skipBlanks();
    size_t i = m_position;
    bool negative = false;
    if (i < m_line.size() && (m_line[i] == '-' || m_line[i] == '+'))
        negative = m_line[i++] == '-';
    if (i >= m_line.size() || m_line[i] < '0' || m_line[i] > '9')
        return false;
    int64_t magnitude = 0;
    for (; i < m_line.size() && m_line[i] >= '0' && m_line[i] <= '9'; ++i)
        if (magnitude <= 0x80000000LL)
            magnitude = magnitude * 10 + (m_line[i] - '0');
    int64_t signedValue = negative ? -magnitude : magnitude;
    value = static_cast<int32_t>(signedValue < INT32_MIN ? INT32_MIN : (signedValue > INT32_MAX ? INT32_MAX : signedValue));
    m_position = i;
    return true;
}

bool LineFields::readHex(uint32_t& value)
{
    skipBlanks();
    size_t i = m_position;
    if (i + 2 < m_line.size() && m_line[i] == '0' && (m_line[i + 1] == 'x' || m_line[i + 1] == 'X')
        && platform::hexDigitValue(m_line[i + 2]) >= 0)
        i += 2;
    if (i >= m_line.size() || platform::hexDigitValue(m_line[i]) < 0)
        return false;
    uint32_t result = 0;
    for (; i < m_line.size() && platform::hexDigitValue(m_line[i]) >= 0; ++i)
        result = result << 4 | uint32_t(platform::hexDigitValue(m_line[i]));
    value = result;
    m_position = i;
    return true;
}

bool LineFields::readWord(std::string_view& word)
{
    skipBlanks();
    size_t start = m_position;
    while (m_position < m_line.size() && !platform::isAsciiSpace(m_line[m_position]))
        ++m_position;
    word = m_line.substr(start, m_position - start);
    return !word.empty();
}

bool LineFields::readChar(char c)
{
    if (m_position >= m_line.size() || m_line[m_position] != c)
        return false;
    ++m_position;
    return true;
}
