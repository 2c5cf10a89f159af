#pragma once
// The in-game help: the topics of "helpindx.dat" (each names the localized
// title, search keywords and body of one page, and its related topics), the
// history of pages shown (the Back button's), the recently opened topics and
// the last search's results. Pages are built on demand as HTML text whose
// links ("?12", "?RelatedTopics12", "?Index") lead to other pages. One
// process-wide state that lives for the run; main thread only.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

struct HelpTopic {
    int32_t titleId = 0;
    int32_t keywordsId = 0;
    int32_t bodyId = 0;
    bool listed = true; // shown in the index page
    std::vector<int32_t> related; // in file order; duplicates stay
};

namespace HelpPageKind {
inline constexpr int32_t kIndex = 0;
inline constexpr int32_t kTopic = 1;
inline constexpr int32_t kRelated = 2;
inline constexpr int32_t kSearch = 3;
} // namespace HelpPageKind

struct HelpPage {
    int32_t kind = HelpPageKind::kIndex;
    int32_t value = 0; // the topic for kTopic and kRelated
    std::u16string text; // the query for kSearch
};

inline constexpr size_t kHelpHistorySize = 31;
inline constexpr size_t kHelpRecentSize = 16;
// A longer line (newline included) is skipped; the rest of it reads as the
// next line, as a fixed line buffer would give it.
inline constexpr size_t kHelpLineLimit = 510;

struct HelpState {
    std::map<int32_t, HelpTopic> topics;
    std::vector<HelpPage> history; // newest first
    std::vector<int32_t> recent; // newest first, no duplicates
    std::vector<int32_t> results; // in the order found, no duplicates
};

HelpState& helpState();
// Empties the topics and lists (the return to a fresh start in tests).
void resetHelp();

// Reads the index text: "#" comments, "@" for topics left out of the index,
// tab-separated decimal fields (topic, title, keywords, body, related...).
void parseHelpIndex(std::string_view text);
// Reads "helpindx.dat" through the file manager; a missing file leaves the
// topics as they are. False when it could not be opened.
bool loadHelpIndex();
// Start-up: the index file, then the index page as the first history entry.
void initHelp();

void pushHelpPage(int32_t kind, int32_t value, std::u16string_view text);
std::u16string renderHelpPage(const HelpPage& page);
// The newest history entry's page, or the index page.
std::u16string renderCurrentHelpPage();
// Drops the newest entry when there are two or more, and gives the page then
// newest; with fewer it gives the index page.
std::u16string helpBack();

std::u16string buildHelpIndexPage();
std::u16string buildHelpTopicPage(int32_t topic);
std::u16string buildRelatedTopicsPage(int32_t topic);
std::u16string buildRecentTopicsPage();
std::u16string buildSearchResultsPage();
// Words of the query (at blanks and tabs) are alternatives, each matched as
// a case-blind substring of a topic's title, keywords or body. The number of
// topics found.
int32_t searchHelp(std::u16string_view query);

// The number after a help link's "?" (a leading "-" negates, reading stops at
// the first other character).
int32_t helpLinkNumber(std::u16string_view digits);
