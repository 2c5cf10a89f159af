#include "housing/table_text_reader.h"
#include "platform/ascii_text.h"

#include <limits>

namespace housing {

namespace {

// The part of a read a C string scan sees: up to the first NUL.
std::string_view untilNul(std::string_view line)
{
    size_t nul = line.find('\0');
    return nul == std::string_view::npos ? line : line.substr(0, nul);
}

} // namespace

std::vector<std::string_view> splitTableReads(std::string_view bytes)
{
    // Text mode turns CR LF into one line feed; the reads are taken from a
    // copy-free view, so a CR right before a line feed is simply dropped from
    // the read it ends (it is a blank to every scan anyway). It still counts
    // towards the read length only once, like the line feed it stands with.
    std::vector<std::string_view> reads;
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t taken = 0;
        size_t end = pos;
        bool endedLine = false;
        while (end < bytes.size() && taken < kMaxReadLength) {
            char c = bytes[end];
            if (c == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') {
                end += 2;
                ++taken;
                endedLine = true;
                break;
            }
            ++end;
            ++taken;
            if (c == '\n') {
                endedLine = true;
                break;
            }
        }
        reads.push_back(bytes.substr(pos, end - pos));
        pos = end;
        if (!endedLine && pos >= bytes.size())
            return reads; // this read met the end of the bytes
    }
    reads.push_back(std::string_view());
    return reads;
}

int scanNumbers(std::string_view line, std::span<int32_t> out)
{
    line = untilNul(line);
    size_t pos = 0;
    int converted = 0;
    for (int32_t& slot : out) {
        while (pos < line.size() && platform::isAsciiSpace(line[pos]))
            ++pos;
        bool negative = false;
        if (pos < line.size() && (line[pos] == '+' || line[pos] == '-')) {
            negative = line[pos] == '-';
            ++pos;
        }
        if (pos >= line.size() || line[pos] < '0' || line[pos] > '9')
            return converted;
        // Accumulate as a negative number so that INT32_MIN fits.
        int64_t value = 0;
        constexpr int64_t kLimit = int64_t(std::numeric_limits<int32_t>::max()) + 1;
        while (pos < line.size() && line[pos] >= '0' && line[pos] <= '9') {
            value = value * 10 + (line[pos] - '0');
            if (value > kLimit)
                return converted;
            ++pos;
        }
        if (!negative && value == kLimit)
            return converted;
        slot = int32_t(negative ? -value : value);
        ++converted;
    }
    return converted;
}

std::string_view skipWord(std::string_view line, bool& found)
{
    line = untilNul(line);
    size_t pos = 0;
    while (pos < line.size() && platform::isAsciiSpace(line[pos]))
        ++pos;
    size_t start = pos;
    while (pos < line.size() && !platform::isAsciiSpace(line[pos]))
        ++pos;
    found = pos > start;
    return line.substr(pos);
}

} // namespace housing
