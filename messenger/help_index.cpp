#include "messenger/help_index.h"

#include "data/file_manager.h"
#include "text/cliloc_table.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr int32_t kRelatedLinkText = 3010007;
constexpr int32_t kNoResultsText = 3010011;

// Leading white space skipped, an optional sign, digits up to the first
// other character; a missing or non-numeric field gives 0. Values beyond
// 32 bits are held at the limit rather than wrapping.
int32_t helpFieldNumber(std::string_view field)
{
    size_t i = 0;
    while (i < field.size() && (field[i] == ' ' || (field[i] >= '\t' && field[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '-' || field[i] == '+'))
        negative = field[i++] == '-';
    int64_t value = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i)
        value = std::min<int64_t>(value * 10 + (field[i] - '0'), int64_t(INT32_MAX) + 1);
    value = negative ? -value : std::min<int64_t>(value, INT32_MAX);
    return int32_t(value);
}

void parseHelpLine(std::string_view line)
{
    if (line.empty() || line[0] == '#')
        return;
    const bool unlisted = line[0] == '@';
    if (unlisted)
        line.remove_prefix(1);
    std::vector<int32_t> fields;
    for (size_t start = 0;;) {
        const size_t tab = line.find('\t', start);
        fields.push_back(helpFieldNumber(line.substr(start, tab == std::string_view::npos ? line.npos : tab - start)));
        if (tab == std::string_view::npos)
            break;
        start = tab + 1;
    }
    fields.resize(std::max<size_t>(fields.size(), 1));
    const int32_t number = fields[0];
    std::map<int32_t, HelpTopic>& topics = helpState().topics;
    if (fields.size() >= 4 && number != 0 && fields[1] != 0 && fields[2] != 0 && fields[3] != 0) {
        HelpTopic& topic = topics[number];
        topic = HelpTopic { fields[1], fields[2], fields[3], !unlisted, {} };
    }
    // Topic 0 is never a topic (opening it does nothing), so its related
    // numbers would only put a dead "?0" entry in the index.
    if (fields.size() > 4 && number != 0) {
        std::vector<int32_t>& related = topics[number].related;
        related.insert(related.end(), fields.begin() + 4, fields.end());
    }
}

std::u16string helpClilocText(int32_t id)
{
    WString text;
    getClilocString(text, id, 0);
    return text.isNull() ? std::u16string() : std::u16string(text.c_str(), size_t(text.length()));
}

std::u16string asciiCase(std::u16string text, bool upper)
{
    for (char16_t& c : text) {
        if (upper && c >= u'a' && c <= u'z')
            c = char16_t(c - u'a' + u'A');
        else if (!upper && c >= u'A' && c <= u'Z')
            c = char16_t(c - u'A' + u'a');
    }
    return text;
}

std::u16string numberText(int32_t value)
{
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

std::u16string topicTitle(int32_t topic) { return helpClilocText(helpState().topics[topic].titleId); }

std::u16string topicLink(int32_t topic, const std::u16string& title)
{
    return u"<A HREF=\"?" + numberText(topic) + u"\">" + title + u"</A>";
}

std::u16string relatedLink(int32_t topic, const std::u16string& label)
{
    return u"<A HREF=\"?RelatedTopics" + numberText(topic) + u"\">" + label + u"</A>";
}

// An index or related-topics line: a "[+]" link before topics with related
// topics, three blanks before the others.
std::u16string entryLine(int32_t topic)
{
    const bool hasRelated = !helpState().topics[topic].related.empty();
    std::u16string line = hasRelated ? relatedLink(topic, u"[+]") + u" " : u"   ";
    return line + topicLink(topic, topicTitle(topic));
}

std::u16string titledList(const std::vector<int32_t>& numbers, bool onlyKnown)
{
    std::u16string page;
    for (int32_t number : numbers) {
        if (onlyKnown && !helpState().topics.contains(number))
            continue;
        page += topicLink(number, topicTitle(number)) + u"<BR>";
    }
    return page;
}

} // namespace

HelpState& helpState()
{
    static HelpState state;
    return state;
}

void resetHelp() { helpState() = HelpState {}; }

void parseHelpIndex(std::string_view text)
{
    // Lines are read in pieces of at most 511 characters, so the rest of an
    // over-long line reads as a line of its own.
    constexpr size_t kPiece = kHelpLineLimit + 1;
    while (!text.empty()) {
        size_t length = std::min(text.find('\n'), text.size() - 1) + 1;
        length = std::min(length, kPiece);
        const std::string_view line = text.substr(0, length);
        text.remove_prefix(length);
        if (line.size() > kHelpLineLimit)
            continue;
        parseHelpLine(line.back() == '\n' ? line.substr(0, line.size() - 1) : line);
    }
}

bool loadHelpIndex()
{
    FileManager& files = fileManager();
    FILE* stream = files.open("helpindx.dat", "r");
    if (!stream)
        return false;
    std::string text;
    char buffer[4096];
    for (size_t got; (got = fread(buffer, 1, sizeof buffer, stream)) > 0;)
        text.append(buffer, got);
    files.close(stream);
    parseHelpIndex(text);
    return true;
}

void initHelp()
{
    loadHelpIndex();
    pushHelpPage(HelpPageKind::kIndex, 0, u"");
}

void pushHelpPage(int32_t kind, int32_t value, std::u16string_view text)
{
    HelpState& state = helpState();
    if (kind == HelpPageKind::kTopic) {
        std::erase(state.recent, value);
        if (state.recent.size() >= kHelpRecentSize)
            state.recent.pop_back();
        state.recent.insert(state.recent.begin(), value);
    }
    if (state.history.size() >= kHelpHistorySize)
        state.history.pop_back();
    state.history.insert(state.history.begin(), HelpPage { kind, value, std::u16string(text) });
}

std::u16string renderHelpPage(const HelpPage& page)
{
    switch (page.kind) {
    case HelpPageKind::kIndex:
        return buildHelpIndexPage();
    case HelpPageKind::kTopic:
        return buildHelpTopicPage(page.value);
    case HelpPageKind::kRelated:
        return buildRelatedTopicsPage(page.value);
    case HelpPageKind::kSearch:
        if (page.text.empty())
            return {};
        searchHelp(page.text);
        return buildSearchResultsPage();
    default:
        return {};
    }
}

std::u16string renderCurrentHelpPage()
{
    const HelpState& state = helpState();
    return state.history.empty() ? buildHelpIndexPage() : renderHelpPage(state.history.front());
}

std::u16string helpBack()
{
    HelpState& state = helpState();
    if (state.history.size() < 2)
        return buildHelpIndexPage();
    state.history.erase(state.history.begin());
    return renderHelpPage(state.history.front());
}

std::u16string buildHelpIndexPage()
{
    std::vector<int32_t> listed;
    for (const auto& [number, topic] : helpState().topics) {
        if (topic.listed)
            listed.push_back(number);
    }
    std::u16string page;
    for (int32_t number : listed)
        page += entryLine(number) + u"<BR>";
    return page;
}

std::u16string buildHelpTopicPage(int32_t topic)
{
    const auto found = helpState().topics.find(topic);
    if (found == helpState().topics.end())
        return {};
    const HelpTopic entry = found->second;
    std::u16string page = u"<U>" + asciiCase(helpClilocText(entry.titleId), true) + u"</U>";
    if (!entry.related.empty())
        page += u" " + relatedLink(topic, helpClilocText(kRelatedLinkText));
    return page + u"<BR>" + helpClilocText(entry.bodyId);
}

std::u16string buildRelatedTopicsPage(int32_t topic)
{
    const auto found = helpState().topics.find(topic);
    if (found == helpState().topics.end())
        return {};
    const std::vector<int32_t> related = found->second.related;
    std::u16string page = topicLink(topic, asciiCase(topicTitle(topic), true)) + u"<BR>";
    for (int32_t number : related)
        page += entryLine(number) + u"<BR>";
    return page;
}

std::u16string buildRecentTopicsPage() { return titledList(helpState().recent, true); }

std::u16string buildSearchResultsPage()
{
    const std::vector<int32_t>& results = helpState().results;
    return results.empty() ? helpClilocText(kNoResultsText) : titledList(results, false);
}

int32_t searchHelp(std::u16string_view query)
{
    HelpState& state = helpState();
    state.results.clear();
    const std::u16string lowered = asciiCase(std::u16string(query), false);
    std::vector<std::u16string> words;
    for (size_t start = 0; start <= lowered.size();) {
        const size_t end = std::min(lowered.find_first_of(u" \t", start), lowered.size());
        if (end > start)
            words.push_back(lowered.substr(start, end - start));
        start = end + 1;
    }
    for (const std::u16string& word : words) {
        for (const auto& [number, topic] : state.topics) {
            if (std::find(state.results.begin(), state.results.end(), number) != state.results.end())
                continue;
            for (int32_t id : { topic.titleId, topic.keywordsId, topic.bodyId }) {
                if (asciiCase(helpClilocText(id), false).find(word) != std::u16string::npos) {
                    state.results.push_back(number);
                    break;
                }
            }
        }
    }
    return int32_t(state.results.size());
}

int32_t helpLinkNumber(std::u16string_view digits)
{
    std::string narrow;
    for (char16_t c : digits.substr(0, 16))
        narrow.push_back(c < 0x80 ? char(c) : 'x');
    return helpFieldNumber(narrow);
}
