#include "core/file_name_sanitizer.h"

#include <cstring>
#include <vector>

namespace {

bool isDelimiter(char c) { return c != '\0' && std::strchr("\\/:*?\"<>|.", c) != nullptr; }

} // namespace

void sanitizeFileName(std::string& name)
{
    std::vector<std::string> pieces;
    bool hasDelimiter = false;
    std::string piece;
    for (char c : name) {
        if (!isDelimiter(c)) {
            piece += c;
            continue;
        }
        hasDelimiter = true;
        if (!piece.empty())
            pieces.push_back(std::move(piece));
        piece.clear();
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
