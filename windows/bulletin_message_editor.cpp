#include "windows/bulletin_message.h"

#include "gump/entry_core.h"
#include "text/unicode_font.h"

#include <algorithm>

int32_t wrappedKeepLength(std::u16string_view text, int32_t width, int32_t maxChars)
{
    const std::u16string line(text);
    const int32_t length = int32_t(line.size());
    const int32_t lastKept = findUnicodeLineBreak(line.c_str(), width);
    int32_t keep = length;
    if (lastKept != -2) {
        keep = lastKept + 1;
        if (keep < length && line[size_t(keep)] == u' ')
            ++keep;
    }
    // Never an empty first line: the rest would wrap again without end.
    keep = std::clamp(keep, 1, std::max(maxChars, 1));
    return keep >= length ? -1 : keep;
}

std::u16string_view MessageBody::caretText() const
{
    return caretLine >= 0 && caretLine < lineCount() ? std::u16string_view(lines[size_t(caretLine)])
                                                     : std::u16string_view();
}

void MessageBody::clampColumn()
{
    caretLine = std::clamp(caretLine, 0, lineCount());
    caretColumn = std::clamp(caretColumn, 0, int32_t(caretText().size()));
}

bool MessageBody::key(uint32_t code, const View& view)
{
    bool scrolled = false;
    switch (code) {
    case GumpKey::kBackspace:
        scrolled = backspace(view);
        break;
    case GumpKey::kEnter:
        scrolled = enter(view);
        break;
    case GumpKey::kPageUp:
        caretLine = 0;
        break;
    case GumpKey::kPageDown:
        caretLine = std::max(lineCount() - 1, 0);
        break;
    case GumpKey::kEnd:
        caretColumn = int32_t(caretText().size());
        break;
    case GumpKey::kHome:
        caretColumn = 0;
        break;
    case GumpKey::kLeft:
        if (caretColumn > 0) {
            --caretColumn;
        } else if (caretLine > 0) {
            --caretLine;
            caretColumn = int32_t(caretText().size());
        }
        break;
    case GumpKey::kRight:
        if (caretColumn < int32_t(caretText().size())) {
            ++caretColumn;
        } else if (caretLine < lineCount() && view.textBottom - view.textTop >= (caretLine + 2) * view.lineStep) {
            ++caretLine;
            caretColumn = 0;
        }
        break;
    case GumpKey::kUp:
        if (caretLine > 0) {
            --caretLine;
            if (caretLine < firstShown) {
                --firstShown;
                scrolled = true;
            }
        }
        break;
    case GumpKey::kDown:
        scrolled = moveDown(view);
        break;
    default:
        // The other navigation keys and control characters type nothing.
        if (code >= 0x20 && code != 0x7F && (code < 0xE000 || code > 0xE0FF) && code <= 0xFFFF)
            scrolled = insert(char16_t(code), view);
        break;
    }
    clampColumn();
    return scrolled;
}

bool MessageBody::moveDown(const View& view)
{
    if (caretLine >= lineCount())
        return false;
    const int32_t old = caretLine++;
    if (caretLine == lineCount())
        caretColumn = 0;
    if (view.bodyTop + (old - firstShown + 2) * view.lineStep > view.textBottom) {
        ++firstShown;
        return true;
    }
    return false;
}

bool MessageBody::backspace(const View&)
{
    if (caretColumn > 0 && caretLine < lineCount()) {
        lines[size_t(caretLine)].erase(size_t(caretColumn - 1), 1);
        --caretColumn;
        if (lineCount() == 1 && lines.front().empty())
            lines.clear();
        return false;
    }
    if (caretLine == 0)
        return false;
    if (caretLine >= lineCount()) {
        --caretLine;
        caretColumn = int32_t(caretText().size());
        return false;
    }
    // The two lines are joined in a string that grows as needed, then split
    // again where the joined line no longer fits.
    std::u16string& above = lines[size_t(caretLine - 1)];
    const int32_t aboveLength = int32_t(above.size());
    std::u16string joined = above + lines[size_t(caretLine)];
    const int32_t keep = wrappedKeepLength(joined, kJoinWidth, kMaxLineChars);
    --caretLine;
    caretColumn = aboveLength;
    if (keep >= 0) {
        above = joined.substr(0, size_t(keep));
        lines[size_t(caretLine + 1)] = joined.substr(size_t(keep));
        if (caretColumn > keep) {
            ++caretLine;
            caretColumn -= keep;
        }
    } else {
        above = std::move(joined);
        lines.erase(lines.begin() + caretLine + 1);
    }
    if (lineCount() == 1 && lines.front().empty())
        lines.clear();
    return false;
}

bool MessageBody::enter(const View& view)
{
    if (lineCount() >= kMaxLines)
        return false;
    const int32_t old = caretLine;
    if (caretLine >= lineCount()) {
        lines.emplace_back();
    } else {
        std::u16string& line = lines[size_t(caretLine)];
        std::u16string tail = line.substr(size_t(caretColumn));
        line.resize(size_t(caretColumn));
        lines.insert(lines.begin() + caretLine + 1, std::move(tail));
    }
    ++caretLine;
    caretColumn = 0;
    if (view.bodyTop + (old - firstShown + 2) * view.lineStep > view.textBottom) {
        ++firstShown;
        return true;
    }
    return false;
}

bool MessageBody::insert(char16_t character, const View& view)
{
    if (caretLine >= lineCount()) {
        if (lineCount() >= kMaxLines)
            return false;
        lines.emplace_back();
        caretLine = lineCount() - 1;
    }
    lines[size_t(caretLine)].insert(size_t(caretColumn), 1, character);
    ++caretColumn;
    const int32_t startLine = caretLine;
    bool cut = false;
    bool scrolled = false;
    for (int32_t row = caretLine; row < lineCount() && rewrapLine(row, view, cut, scrolled); ++row) { }
    if (caretLine == startLine && cut)
        caretColumn = std::max(caretColumn - 1, 0);
    return scrolled;
}

bool MessageBody::rewrapLine(int32_t row, const View& view, bool& cut, bool& scrolled)
{
    std::u16string& line = lines[size_t(row)];
    const int32_t keep = wrappedKeepLength(line, kWrapWidth, kMaxLineChars);
    if (keep < 0)
        return false;
    if (row == lineCount() - 1) {
        if (lineCount() + 1 > kMaxLines) {
            line.resize(size_t(keep));
            cut = true;
            return false;
        }
        lines.emplace_back();
    }
    std::u16string& wrapped = lines[size_t(row)];
    lines[size_t(row + 1)].insert(0, wrapped.substr(size_t(keep)));
    wrapped.resize(size_t(keep));
    if (row == caretLine && caretColumn >= keep) {
        caretColumn = std::max(caretColumn - keep, 0);
        ++caretLine;
        if (view.bodyTop + (row - firstShown + 2) * view.lineStep > view.textBottom) {
            ++firstShown;
            scrolled = true;
        }
    }
    return true;
}
