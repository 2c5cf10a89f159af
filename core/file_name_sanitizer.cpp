#include "core/file_name_sanitizer.h"

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

bool isPathDelimiter(char c) { return c != '\0' && std::strchr("\\/:*?\"<>|.", c) != nullptr; }

bool isBidirectionalControl(uint32_t codePoint)
{
    return codePoint == 0x061C || codePoint == 0x200E || codePoint == 0x200F
        || (codePoint >= 0x202A && codePoint <= 0x202E) || (codePoint >= 0x2066 && codePoint <= 0x2069);
}

// The length of the well-formed UTF-8 sequence at `at` with its code point;
// 0 when the bytes there are not one.
size_t utf8SequenceAt(std::string_view text, size_t at, uint32_t& codePoint)
{
    const uint8_t lead = uint8_t(text[at]);
    size_t length = 0;
    uint32_t lowest = 0;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1Fu;
        lowest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0Fu;
        lowest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07u;
        lowest = 0x10000;
    } else {
        return 0;
    }
    if (at + length > text.size())
        return 0;
    for (size_t i = 1; i < length; ++i) {
        const uint8_t next = uint8_t(text[at + i]);
        if ((next & 0xC0) != 0x80)
            return 0;
        codePoint = codePoint << 6 | (next & 0x3Fu);
    }
    // Overlong forms, surrogates and code points past the last one.
    if (codePoint < lowest || (codePoint >= 0xD800 && codePoint <= 0xDFFF) || codePoint > 0x10FFFF)
        return 0;
    return length;
}

} // namespace

void sanitizeFileName(std::string& name)
{
    std::vector<std::string> pieces;
    bool hasDelimiter = false;
    std::string piece;
    auto endPiece = [&] {
        hasDelimiter = true;
        if (!piece.empty())
            pieces.push_back(std::move(piece));
        piece.clear();
    };
    for (size_t at = 0; at < name.size();) {
        uint32_t codePoint = 0;
        const size_t length = utf8SequenceAt(name, at, codePoint);
        if (length == 0) {
            endPiece();
            ++at;
            continue;
        }
        if (isPathDelimiter(name[at]) || isControlByte(name[at]) || isBidirectionalControl(codePoint))
            endPiece();
        else
            piece.append(name, at, length);
        at += length;
    }
    if (!piece.empty())
        pieces.push_back(std::move(piece));
    if (hasDelimiter) {
        name.clear();
        for (const std::string& part : pieces)
            name += part + "_";
    }
    if (!name.empty() && name.back() == ' ')
        name.back() = '_';
}

bool isControlByte(char c) { return uint8_t(c) < 0x20 || uint8_t(c) == 0x7F; }

void removeControlBytes(std::string& text) { std::erase_if(text, isControlByte); }
