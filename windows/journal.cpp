#include "windows/journal.h"

#include "core/wide_text.h"
#include "data/config_key_rules.h"
#include "data/file_manager.h"
#include "data/settings_registry.h"

#include <algorithm>

namespace {

constexpr std::string_view kYouSee = "You see: ";
constexpr std::string_view kSpeakerSeparator = ": ";

template <typename Text> void cutToLimit(Text& text)
{
    if (text.size() > kMaxJournalLineLength)
        text.resize(kMaxJournalLineLength);
}

void appendNarrowLine(std::string& out, std::string_view line)
{
    // The file is a text stream: every line feed is stored as CR LF.
    for (char c : line) {
        if (c == '\n')
            out.push_back('\r');
        out.push_back(c);
    }
    out += "\r\n";
}

void appendUnit(std::string& out, char16_t unit)
{
    out.push_back(char(unit & 0xFF));
    out.push_back(char(unit >> 8));
}

} // namespace

std::string journalFileBytes(const JournalEntry& entry, bool sixteenBit)
{
    std::string out;
    if (sixteenBit) {
        if (entry.wide) {
            for (char16_t unit : entry.text)
                appendUnit(out, unit);
        } else {
            for (char16_t unit : bytesToWideString(entry.narrow))
                appendUnit(out, unit);
        }
        appendUnit(out, u'\r');
        appendUnit(out, u'\n');
        return out;
    }
    if (!entry.wide) {
        appendNarrowLine(out, entry.narrow);
        return out;
    }
    std::string narrowed;
    for (char16_t unit : entry.text) {
        if (unit < 0x80)
            narrowed.push_back(char(unit));
    }
    appendNarrowLine(out, narrowed);
    return out;
}

void Journal::addText(std::string_view text, uint16_t hue)
{
    if (m_suppressed)
        return;
    JournalEntry entry;
    entry.narrow.assign(text);
    // A line ends at its terminator, as a text window shows it.
    entry.narrow.resize(std::min(entry.narrow.size(), entry.narrow.find('\0')));
    cutToLimit(entry.narrow);
    entry.hue = hue;
    append(std::move(entry));
}

void Journal::addTextWide(std::u16string_view text, uint16_t hue)
{
    if (m_suppressed)
        return;
    JournalEntry entry;
    entry.wide = true;
    entry.text.assign(text);
    entry.text.resize(std::min(entry.text.size(), entry.text.find(u'\0')));
    cutToLimit(entry.text);
    entry.hue = hue;
    append(std::move(entry));
}

void Journal::addWindowText(std::string_view text, uint16_t hue)
{
    std::string line;
    if (m_prefix == JournalPrefix::Speaker)
        line.append(m_speakerName).append(kSpeakerSeparator);
    else if (m_prefix == JournalPrefix::YouSee)
        line.append(kYouSee);
    line.append(text);
    setPrefix(JournalPrefix::None);
    addText(line, hue);
}

void Journal::addWindowTextWide(std::u16string_view text, uint16_t hue)
{
    std::u16string line;
    auto widen = [&line](std::string_view bytes) { line += bytesToWideString(bytes); };
    if (m_prefix == JournalPrefix::Speaker) {
        widen(m_speakerName);
        widen(kSpeakerSeparator);
    } else if (m_prefix == JournalPrefix::YouSee) {
        widen(kYouSee);
    }
    line.append(text);
    setPrefix(JournalPrefix::None);
    addTextWide(line, hue);
}

void Journal::setPrefix(JournalPrefix kind, std::string_view speakerName)
{
    m_prefix = kind;
    m_speakerName.assign(speakerName.substr(0, std::min(speakerName.size(), speakerName.find('\0'))));
}

const JournalEntry* Journal::find(uint64_t sequence) const
{
    if (m_entries.empty() || sequence < m_entries.front().sequence || sequence > m_entries.back().sequence)
        return nullptr;
    return &m_entries[size_t(sequence - m_entries.front().sequence)];
}

void Journal::addView(JournalView* view)
{
    if (view && std::find(m_views.begin(), m_views.end(), view) == m_views.end())
        m_views.push_back(view);
}

void Journal::removeView(JournalView* view) { std::erase(m_views, view); }

void Journal::append(JournalEntry entry)
{
    if (m_entries.size() >= kMaxJournalEntries) {
        // A view may close itself while told; it has then left m_views.
        std::vector<JournalView*> views = m_views;
        for (JournalView* view : views) {
            if (std::find(m_views.begin(), m_views.end(), view) != m_views.end())
                view->journalLineDropping(m_entries.front());
        }
        m_entries.pop_front();
    }
    entry.sequence = m_nextSequence++;
    m_entries.push_back(std::move(entry));
    const JournalEntry& added = m_entries.back();
    writeLine(added);
    std::vector<JournalView*> views = m_views;
    for (JournalView* view : views) {
        if (std::find(m_views.begin(), m_views.end(), view) != m_views.end())
            view->journalLineAdded(added);
    }
}

bool Journal::openFile()
{
    if (m_file)
        return true;
    // Saving is on exactly when a file was named: the SaveJournal key does
    // nothing, and a settings read that puts the switches back to their
    // defaults must not stop it.
    const std::string& name = configValues().journalFile;
    if (name.empty())
        return false;
    // The journal keeps growing over the runs; a failure is tried again with
    // the next line.
    m_file = fileManager().openPath(name, "a+b");
    return m_file != nullptr;
}

void Journal::writeLine(const JournalEntry& entry)
{
    if (!openFile())
        return;
    std::string bytes = journalFileBytes(entry, settings().getBoolSetting(u"JournalSaveUnicode") != 0);
    fileManager().write(bytes.data(), 1, bytes.size(), m_file);
    // Each line reaches the disk at once, so a journal is complete even when
    // the program does not end in order.
    std::fflush(m_file);
}

void Journal::closeFile()
{
    if (m_file)
        fileManager().close(m_file);
    m_file = nullptr;
}

void Journal::clear()
{
    m_entries.clear();
    m_prefix = JournalPrefix::None;
    m_speakerName.clear();
    m_suppressed = false;
}

Journal& journal()
{
    static Journal instance;
    return instance;
}
