// What lies under a point of a drawn HtmlDocument: its links (as the last
// draw placed them) and, for the one-run documents of text entry, the
// characters; and the ring of followed links that marks links as visited.
#include "text/html_layout.h"

#include "core/wide_text.h"
#include "text/unicode_font.h"

#include <algorithm>
#include <optional>

namespace {

bool equalsNoCase(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char16_t x = a[i] >= u'A' && a[i] <= u'Z' ? char16_t(a[i] + 32) : a[i];
        char16_t y = b[i] >= u'A' && b[i] <= u'Z' ? char16_t(b[i] + 32) : b[i];
        if (x != y)
            return false;
    }
    return true;
}

// "<prefix><decimal>": the number, saturating; nothing when no digit follows.
std::optional<int32_t> numberAfter(std::u16string_view href, std::u16string_view prefix)
{
    if (href.substr(0, prefix.size()) != prefix)
        return std::nullopt;
    href.remove_prefix(prefix.size());
    bool negative = false;
    if (!href.empty() && (href[0] == u'-' || href[0] == u'+')) {
        negative = href[0] == u'-';
        href.remove_prefix(1);
    }
    if (href.empty() || href[0] < u'0' || href[0] > u'9')
        return std::nullopt;
    int64_t value = 0;
    for (size_t i = 0; i < href.size() && href[i] >= u'0' && href[i] <= u'9'; ++i)
        value = std::min<int64_t>(value * 10 + (href[i] - u'0'), INT32_MAX);
    return int32_t(negative ? -value : value);
}

} // namespace

HtmlPageHistory& pageHistory()
{
    static HtmlPageHistory history;
    return history;
}

void pageHistoryAdd(std::u16string_view href)
{
    HtmlPageHistory& history = pageHistory();
    history.entries[size_t(history.count % kHtmlPageHistorySize)].assign(href);
    history.back = history.count;
    // The count only says how many were added; it stays clear of overflow by
    // keeping its place in the ring once it has gone round.
    history.count = history.count >= 2 * kHtmlPageHistorySize ? history.count - kHtmlPageHistorySize + 1
                                                              : history.count + 1;
}

bool pageHistoryContains(std::u16string_view href)
{
    const HtmlPageHistory& history = pageHistory();
    const int32_t stored = std::min(history.count, kHtmlPageHistorySize);
    for (int32_t i = 0; i < stored; ++i) {
        if (equalsNoCase(history.entries[size_t(i)], href))
            return true;
    }
    return false;
}

void pageHistoryClear() { pageHistory() = HtmlPageHistory(); }

int32_t HtmlDocument::hitTestLink(int32_t x, int32_t y, std::u16string& href)
{
    href.clear();
    HtmlLink* hit = nullptr;
    for (HtmlLink& link : m_links) {
        for (const HtmlHitRect& rect : link.rects) {
            if (x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom) {
                hit = &link;
                break;
            }
        }
        if (hit)
            break;
    }
    if (!hit || hit->href.empty())
        return -1;
    hit->visited = true;
    const std::u16string_view target = hit->href;
    if (target[0] == u'#') {
        const std::u16string_view name = target.substr(1);
        for (const HtmlLink& link : m_links) {
            if (equalsNoCase(link.name, name))
                return link.anchorY;
        }
        return -1;
    }
    if (target[0] != u'?') {
        href.assign(target);
        pageHistoryAdd(target);
        return hit->internal ? 1 : 0;
    }
    HtmlHelpLinks& help = service<HtmlHelpLinks>();
    if (std::optional<int32_t> topic = numberAfter(target, u"?Topic"))
        help.openHelpTopic(*topic, false);
    else if (std::optional<int32_t> forced = numberAfter(target, u"?ForceTopic"))
        help.openHelpTopic(*forced, true);
    else if (!target.starts_with(u"?Topic") && !target.starts_with(u"?ForceTopic"))
        help.passToContextHelp(target);
    return -1;
}

int32_t HtmlDocument::charIndexAt(int32_t x, int32_t y, const TextClip* clip, int32_t scrollY)
{
    if ((flags & HtmlFlag::kNoCaret) || m_runs.empty() || !clip)
        return -1;
    const HtmlRun& run = m_runs.front();
    const int32_t localY = y + scrollY - clip->top - topMargin;
    if (localY < 0)
        return -1;
    const int32_t localX = x - clip->left - leftMargin - run.indent;
    if (localX < 0)
        return 0;
    HtmlLayout layout(*this);
    const std::vector<HtmlLayout::CaretLine> lines
        = layout.firstRunLines(clip->width() - leftMargin - run.indent - rightMargin);
    const size_t lineIndex = size_t(localY / kHtmlLineHeight);
    if (lineIndex >= lines.size())
        return int32_t(run.text.size());
    const HtmlLayout::CaretLine& line = lines[lineIndex];
    int32_t left = 0;
    for (int32_t i = line.start; i < line.end; ++i) {
        int32_t right = left + layout.advance(run.text[size_t(i)], run.style);
        if (localX >= left && localX < right)
            return i;
        left = right;
    }
    return line.end;
}

bool HtmlDocument::charPosition(int32_t index, int32_t& x, int32_t& y, const TextClip* clip, int32_t scrollY)
{
    x = y = 0;
    if ((flags & HtmlFlag::kNoCaret) || m_runs.empty() || !clip || index < 0)
        return false;
    const HtmlRun& run = m_runs.front();
    index = std::min(index, int32_t(run.text.size()));
    HtmlLayout layout(*this);
    const std::vector<HtmlLayout::CaretLine> lines
        = layout.firstRunLines(clip->width() - leftMargin - run.indent - rightMargin);
    size_t lineIndex = lines.size() - 1;
    for (size_t k = 0; k + 1 < lines.size(); ++k) {
        if (index < lines[k + 1].start) {
            lineIndex = k;
            break;
        }
    }
    const HtmlLayout::CaretLine& line = lines[lineIndex];
    int32_t advance = 0;
    for (int32_t i = line.start; i < std::min(index, line.end); ++i)
        advance += layout.advance(run.text[size_t(i)], run.style);
    x = clip->left + leftMargin + run.indent + advance;
    y = clip->top + topMargin - scrollY + kHtmlLineHeight * int32_t(lineIndex);
    return true;
}
