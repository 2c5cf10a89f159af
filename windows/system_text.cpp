#include "windows/system_text.h"

#include "core/installed_service.h"
#include "data/client_services.h"
#include "text/ascii_font.h"
#include "text/localization.h"
#include "windows/journal.h"
#include "windows/speech_services.h"
#include "world/overhead_texts.h"
#include "world/static_object.h"
#include "world/world_services.h"

#include <type_traits>
#include <utility>
#include <vector>

namespace {

bool g_showingYouSeeText = false;

// Journals a text window's line (with the prefix state, which is then reset)
// and makes the window while isShowingYouSeeText tells how it was journaled.
template <typename Line, typename MakeWindow>
void journalThenShow(Line text, uint16_t hue, MakeWindow makeWindow)
{
    const bool youSee = journal().prefix() == JournalPrefix::YouSee;
    if constexpr (std::is_same_v<Line, std::string_view>)
        journal().addWindowText(text, hue);
    else
        journal().addWindowTextWide(text, hue);
    const bool outer = std::exchange(g_showingYouSeeText, youSee);
    makeWindow();
    g_showingYouSeeText = outer;
}

// The system messages of every layer. The other notices (waiting box,
// ability icons, war mode, placement preview, reloads) belong to windows
// built elsewhere and stay with the service that was installed before.
class SystemMessageNotices final : public WindowNotices {
public:
    void setRest(WindowNotices* rest) { m_rest = rest ? rest : &m_nothing; }
    WindowNotices* rest() const { return m_rest == &m_nothing ? nullptr : m_rest; }

    void addSystemMessage(uint16_t hue, uint16_t font, std::string_view text) override
    {
        ::addSystemMessage(hue, font, text);
    }
    void showWaitingBox(std::string_view text) override { m_rest->showWaitingBox(text); }
    void clearAbilityIcons() override { m_rest->clearAbilityIcons(); }
    void showPlayerWarMode(bool war) override { m_rest->showPlayerWarMode(war); }
    void clearPlacementPreview() override { m_rest->clearPlacementPreview(); }
    void reloadSkillGroups() override { m_rest->reloadSkillGroups(); }
    void reloadMacros() override { m_rest->reloadMacros(); }

private:
    NoWindowNotices m_nothing;
    WindowNotices* m_rest = &m_nothing;
};

// The world's overhead texts: every new text is journaled (with the prefix
// state its caller set) before the window, which stays with the service
// installed before, is made. Restored texts were journaled when first shown.
class JournaledOverheadTexts final : public OverheadTextViews {
public:
    void setWindows(OverheadTextViews* windows) { m_windows = windows; }
    OverheadTextViews* windows() const { return m_windows; }

    int32_t textCount(const StaticObject& object) override { return m_windows->textCount(object); }
    bool deleteOldestUnkept(StaticObject& object) override { return m_windows->deleteOldestUnkept(object); }
    void deleteUnkept(StaticObject& object) override { m_windows->deleteUnkept(object); }
    void deleteAll(StaticObject& object) override { m_windows->deleteAll(object); }
    void create(StaticObject& object, std::string_view text, uint16_t hue, uint16_t font, int32_t kind,
        bool kept) override
    {
        journalThenShow(text, hue, [&] { m_windows->create(object, text, hue, font, kind, kept); });
    }
    std::vector<OverheadTextRecord> texts(const StaticObject& object) override { return m_windows->texts(object); }
    void restore(StaticObject& object, const OverheadTextRecord& record) override
    {
        m_windows->restore(object, record);
    }

private:
    OverheadTextViews* m_windows = &doNothingWorldService<OverheadTextViews>();
};

// What the world shows the player: system text, and the names of statics,
// journaled as "You see: " and the name.
class JournalWorldMessages final : public WorldMessages {
public:
    void addSystemMessage(std::u16string_view text, uint16_t hue, uint16_t font) override
    {
        addSystemText(hue, font, text, currentTextLanguage());
    }
    void prefixNextNameWithYouSee() override { journal().setPrefix(JournalPrefix::YouSee); }
    void showStaticName(StaticObject& object, std::u16string_view name, uint16_t hue, uint16_t font) override
    {
        showUnicodeBark(&object, name, hue, font, currentTextLanguage(), nullptr);
    }
};

SystemMessageNotices& systemMessageNotices()
{
    static SystemMessageNotices notices;
    return notices;
}

JournaledOverheadTexts& journaledOverheadTexts()
{
    static JournaledOverheadTexts texts;
    return texts;
}

JournalWorldMessages& journalWorldMessages()
{
    static JournalWorldMessages messages;
    return messages;
}

} // namespace

bool isShowingYouSeeText() { return g_showingYouSeeText; }

std::string currentTextLanguage()
{
    const std::string& code = getLanguageCode();
    return code.empty() ? std::string("enu") : code;
}

bool addSystemMessage(uint16_t hue, uint16_t font, std::string_view text)
{
    if (!isAsciiFontLoaded(font))
        return false;
    journal().setPrefix(JournalPrefix::None);
    showSystemBark(text, hue, font);
    return true;
}

void addSystemText(uint16_t hue, uint16_t font, std::u16string_view text, std::string_view language)
{
    journal().setPrefix(JournalPrefix::None);
    showUnicodeBark(nullptr, text, hue, font, language, nullptr);
}

void showSystemBark(std::string_view text, uint16_t hue, uint16_t font)
{
    journalThenShow(text, hue, [&] { service<TextWindows>().showSystemText(text, hue, font); });
}

void showUnicodeBark(
    StaticObject* owner, std::u16string_view text, uint16_t hue, uint16_t font, std::string_view language, CGump* extra)
{
    journalThenShow(
        text, hue, [&] { service<TextWindows>().showUnicodeText(owner, text, hue, font, language, extra); });
}

void showObjectSpeech(
    StaticObject& object, std::u16string_view text, uint16_t hue, uint16_t font, std::string_view language, CGump* extra)
{
    trimOverheadTexts(object);
    showUnicodeBark(&object, text, hue, font, language, extra);
}

void installSystemTextServices()
{
    // What was installed before keeps the other notices.
    SystemMessageNotices& notices = systemMessageNotices();
    WindowNotices* previous = installWindowNotices(&notices);
    if (previous != &notices)
        notices.setRest(previous);
    JournaledOverheadTexts& texts = journaledOverheadTexts();
    OverheadTextViews* windows = installWorldService<OverheadTextViews>(&texts);
    if (windows != &texts)
        texts.setWindows(windows ? windows : &doNothingWorldService<OverheadTextViews>());
    installWorldService<WorldMessages>(&journalWorldMessages());
}

void uninstallSystemTextServices()
{
    SystemMessageNotices& notices = systemMessageNotices();
    installWindowNotices(notices.rest());
    JournaledOverheadTexts& texts = journaledOverheadTexts();
    installWorldService<OverheadTextViews>(texts.windows());
    installWorldService<WorldMessages>(nullptr);
}
