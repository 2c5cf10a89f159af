#pragma once
// The journal: the last 100 lines of timed text the player saw on screen
// (system lines, speech, "You see: " names, property lines), oldest first,
// for the journal views to show; and the journal file that every line is
// appended to once the JournalSaveFile setting names one. It also keeps the
// prefix state through which a text window decides how the journal copy of a
// speech line begins. One process-wide journal for the whole run; main thread
// only. Hues are the low 16 bits of the text's hue.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

constexpr size_t kMaxJournalEntries = 100;
// A longer line keeps its first part (a line is one shown text and its prefix).
constexpr size_t kMaxJournalLineLength = 4096;

struct JournalEntry {
    // Counts the lines of the run; a view remembers its place by it.
    uint64_t sequence = 0;
    bool wide = false;
    std::string narrow; // the 8-bit text of a line that is not wide
    std::u16string text; // the UTF-16 text of a wide line
    uint16_t hue = 0;
};

// A window that shows the journal. Views register themselves and are told of
// every change while registered.
class JournalView {
public:
    virtual ~JournalView() = default;
    // The oldest line is about to go (the 101st line arrived); a view whose
    // first visible line it is moves on to the next.
    virtual void journalLineDropping(const JournalEntry&) { }
    // A line was appended: a view that follows the newest line scrolls to it.
    virtual void journalLineAdded(const JournalEntry&) { }
};

// How the journal copy of the next text window's line begins.
enum class JournalPrefix : uint8_t {
    None = 1,
    Speaker = 2, // the speaker's name and ": "
    YouSee = 3, // "You see: "
};

class Journal {
public:
    // The two adders: unless suppressed, the line is appended, written to the
    // journal file and shown by the views.
    void addText(std::string_view text, uint16_t hue);
    void addTextWide(std::u16string_view text, uint16_t hue);

    // The journal step of every text window: the line with the prefix state
    // in front, then the prefix state back to None with no speaker.
    void addWindowText(std::string_view text, uint16_t hue);
    void addWindowTextWide(std::u16string_view text, uint16_t hue);
    void setPrefix(JournalPrefix kind, std::string_view speakerName = {});
    JournalPrefix prefix() const { return m_prefix; }
    const std::string& speakerName() const { return m_speakerName; }

    // While suppressed (speech replayed once its speaker is known) the adders
    // do nothing: the lines were journaled when they first arrived.
    bool isSuppressed() const { return m_suppressed; }
    void setSuppressed(bool on) { m_suppressed = on; }

    const std::deque<JournalEntry>& entries() const { return m_entries; }
    // The line with that sequence number; null once it has been dropped.
    const JournalEntry* find(uint64_t sequence) const;

    void addView(JournalView* view);
    void removeView(JournalView* view);

    // Closes the journal file (at shutdown); a later line opens it again.
    void closeFile();
    // Empties the list and the prefix state (process exit and tests).
    void clear();

private:
    void append(JournalEntry entry);
    void writeLine(const JournalEntry& entry);
    bool openFile();

    std::deque<JournalEntry> m_entries;
    uint64_t m_nextSequence = 1;
    std::vector<JournalView*> m_views;
    bool m_suppressed = false;
    JournalPrefix m_prefix = JournalPrefix::None;
    std::string m_speakerName;
    FILE* m_file = nullptr;
};

Journal& journal();

// Suppresses the journal for the life of the object, then restores the
// previous state.
class ScopedJournalSuppression {
public:
    ScopedJournalSuppression()
        : m_previous(journal().isSuppressed())
    {
        journal().setSuppressed(true);
    }
    ~ScopedJournalSuppression() { journal().setSuppressed(m_previous); }
    ScopedJournalSuppression(const ScopedJournalSuppression&) = delete;
    ScopedJournalSuppression& operator=(const ScopedJournalSuppression&) = delete;

private:
    bool m_previous;
};

// The bytes one line takes in the journal file: 8-bit lines end in CR LF and
// every line feed inside becomes CR LF (UTF-16 characters from 128 up are
// left out); 16-bit lines are UTF-16 little-endian (bytes widened) ending in
// 0D 00 0A 00.
std::string journalFileBytes(const JournalEntry& entry, bool sixteenBit);
