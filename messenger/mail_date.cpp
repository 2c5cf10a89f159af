// The date of a mail list block: "Www Mmm d hh:mm:ss yyyy zone", read field
// by field as the pattern "%4c %3c %d %d:%d:%d %d %s" takes it.
#include "messenger/message_store.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace {

// Reads the date's fields in order and counts the ones read, as a scanner
// of the pattern would: a field that fails ends the reading.
class MailDateReader {
public:
    explicit MailDateReader(std::string_view text)
        : m_text(text)
    {
    }

    // Exactly `count` characters, whatever they are.
    bool characters(size_t count, std::string& out)
    {
        if (m_at + count > m_text.size())
            return false;
        out.assign(m_text.substr(m_at, count));
        m_at += count;
        return true;
    }
    void skipBlanks()
    {
        while (m_at < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_at])))
            ++m_at;
    }
    // Blanks, an optional sign and at least one digit; saturates at the
    // 32-bit range.
    bool number(int32_t& out)
    {
        skipBlanks();
        size_t at = m_at;
        bool negative = false;
        if (at < m_text.size() && (m_text[at] == '+' || m_text[at] == '-'))
            negative = m_text[at++] == '-';
        const size_t digits = at;
        int64_t value = 0;
        while (at < m_text.size() && m_text[at] >= '0' && m_text[at] <= '9')
            value = std::min<int64_t>(value * 10 + (m_text[at++] - '0'), INT32_MAX);
        if (at == digits)
            return false;
        m_at = at;
        out = int32_t(negative ? -value : value);
        return true;
    }
    bool literal(char expected)
    {
        if (m_at >= m_text.size() || m_text[m_at] != expected)
            return false;
        ++m_at;
        return true;
    }
    // Blanks, then a run of non-blank characters.
    bool word(std::string& out)
    {
        skipBlanks();
        const size_t start = m_at;
        while (m_at < m_text.size() && !std::isspace(static_cast<unsigned char>(m_text[m_at])))
            ++m_at;
        out.assign(m_text.substr(start, m_at - start));
        return m_at > start;
    }

private:
    std::string_view m_text;
    size_t m_at = 0;
};

// The month from its letters; -1 for a word that names none.
int32_t monthOf(const std::string& word)
{
    char letters[3] = { 0, 0, 0 };
    for (size_t i = 0; i < 3 && i < word.size(); ++i)
        letters[i] = char(std::toupper(static_cast<unsigned char>(word[i])));
    switch (letters[0]) {
    case 'A':
        return letters[1] == 'P' ? 3 : 7;
    case 'D':
        return 11;
    case 'F':
        return 1;
    case 'J':
        if (letters[1] == 'A')
            return 0;
        return letters[2] == 'N' ? 5 : 6;
    case 'M':
        return letters[2] == 'R' ? 2 : 4;
    case 'N':
        return 10;
    case 'O':
        return 9;
    case 'S':
        return 8;
    default:
        return -1;
    }
}

} // namespace

bool mailZoneOffset(std::string_view zone, int32_t& minutes)
{
    minutes = 0;
    switch (zone.size()) {
    case 1: {
        // A military letter; J names no zone.
        const char letter = char(std::toupper(static_cast<unsigned char>(zone[0])));
        return letter >= 'A' && letter <= 'Z' && letter != 'J';
    }
    case 2:
        return true;
    case 3: {
        const bool standard = zone[1] == 'S';
        switch (zone[0]) {
        case 'C':
            minutes = standard ? -360 : -300;
            return true;
        case 'E':
            minutes = standard ? -300 : -240;
            return true;
        case 'G':
            return true;
        case 'M':
            minutes = standard ? -420 : -360;
            return true;
        case 'P':
            minutes = standard ? -480 : -420;
            return true;
        default:
            return false;
        }
    }
    case 5: {
        for (size_t i = 1; i < 5; ++i) {
            if (zone[i] < '0' || zone[i] > '9')
                return false;
        }
        const int32_t hours = (zone[1] - '0') * 10 + (zone[2] - '0');
        const int32_t rest = (zone[3] - '0') * 10 + (zone[4] - '0');
        minutes = hours * 60 + rest;
        if (zone[0] == '-')
            minutes = -minutes;
        return true;
    }
    default:
        return false;
    }
}

int32_t parseMailDate(std::tm& result, std::string_view text)
{
    if (std::all_of(text.begin(), text.end(), [](char c) { return std::isspace(static_cast<unsigned char>(c)); }))
        return -1;
    MailDateReader reader(text);
    std::string weekday;
    std::string month;
    int32_t day = 0;
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t second = 0;
    int32_t year = 0;
    std::string zone;
    int32_t items = 0;
    if (reader.characters(4, weekday)) {
        ++items;
        reader.skipBlanks();
        if (reader.characters(3, month) && ++items && reader.number(day) && ++items && reader.number(hour) && ++items
            && reader.literal(':') && reader.number(minute) && ++items && reader.literal(':')
            && reader.number(second) && ++items && reader.number(year) && ++items && reader.word(zone))
            ++items;
    }
    if (items < 7)
        return -2;
    if (items == 7)
        zone = "UT";
    const int32_t monthIndex = monthOf(month);
    int32_t offset = 0;
    if (monthIndex < 0 || !mailZoneOffset(zone, offset))
        return -2;

    std::tm fields {};
    fields.tm_sec = second;
    fields.tm_min = minute;
    fields.tm_hour = hour;
    fields.tm_mday = day;
    fields.tm_mon = monthIndex;
    fields.tm_year = int32_t(std::clamp<int64_t>(int64_t(year) - 1900, INT32_MIN, INT32_MAX));
    fields.tm_isdst = 0;
    const std::time_t local = std::mktime(&fields);
    if (local == std::time_t(-1))
        return -3;
    const std::time_t shifted = local - std::time_t(offset) * 60;
    std::tm broken {};
    if (!localtime_r(&shifted, &broken))
        return -4;
    result = broken;
    return 0;
}
