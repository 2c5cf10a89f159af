#include "windows/skill_window_services.h"

#include "windows/program_services.h"

#include "data/skill_groups.h"
#include "data/skill_names.h"
#include "gump/desktop_services.h"
#include "gump/gump_services.h"
#include "windows/skill_gump.h"
#include "windows/skill_packets.h"
#include "windows/window_services.h"

namespace {

class SkillRequests final : public SkillWindow {
public:
    void setSkillGumpRequested(bool requested) override { ::setSkillGumpRequested(requested); }
};

class StoredSkillGroups final : public SkillGroups {
public:
    void loadSkillGroups() override
    {
        loadSkillGroupsFile();
        if (SkillGump* open = playerSkillGump())
            open->rebuild();
    }
};

class SkillDesktop final : public DesktopWindows {
public:
    explicit SkillDesktop(DesktopWindows& next)
        : m_next(next)
    {
    }
    bool restoreFightingStyle(int32_t x, int32_t y, bool minimised) override
    {
        return m_next.restoreFightingStyle(x, y, minimised);
    }
    bool restoreIcon(DesktopIcon kind, uint32_t number, int32_t x, int32_t y) override
    {
        return m_next.restoreIcon(kind, number, x, y);
    }
    bool iconNumber(CGump* icon, uint32_t& number) override { return m_next.iconNumber(icon, number); }
    bool restoreChatLayout(const DesktopChatLayout& layout) override { return m_next.restoreChatLayout(layout); }
    bool chatLayout(CGump* window, DesktopChatLayout& layout) override { return m_next.chatLayout(window, layout); }
    bool restoreMessengerWindow(uint8_t recordType, const DesktopWindowRect& rect) override
    {
        return m_next.restoreMessengerWindow(recordType, rect);
    }
    bool restoreItemPropertyAnchor(int32_t x, int32_t y) override { return m_next.restoreItemPropertyAnchor(x, y); }
    void skillWindowRequested() override
    {
        ::setSkillGumpRequested(true);
        m_next.skillWindowRequested();
    }
    // Each login reads the skill names from the data files again, beside
    // the character's skill groups.
    void loadWindowData() override
    {
        loadSkillNames();
        m_next.loadWindowData();
    }
    void saveWindowData() override
    {
        saveSkillGroupsFile();
        m_next.saveWindowData();
    }

private:
    DesktopWindows& m_next;
};

} // namespace

struct SkillWindowServices::Objects {
    Objects()
        : desktop(service<DesktopWindows>())
    {
    }
    SkillRequests requests;
    StoredSkillGroups groups;
    SkillDesktop desktop;

    SkillWindow* previousRequests = nullptr;
    SkillGroups* previousGroups = nullptr;
    DesktopWindows* previousDesktop = nullptr;
};

SkillWindowServices::SkillWindowServices()
    : m_objects(std::make_unique<Objects>())
{
    Objects& o = *m_objects;
    o.previousRequests = installService<SkillWindow>(&o.requests);
    o.previousGroups = installService<SkillGroups>(&o.groups);
    o.previousDesktop = installService<DesktopWindows>(&o.desktop);
    registerSkillHandler();
}

SkillWindowServices::~SkillWindowServices()
{
    Objects& o = *m_objects;
    installService<SkillWindow>(o.previousRequests);
    installService<SkillGroups>(o.previousGroups);
    installService<DesktopWindows>(o.previousDesktop);
}

void installSkillWindowServices() { installProgramServices<SkillWindowServices>(); }

void uninstallSkillWindowServices() { uninstallProgramServices<SkillWindowServices>(); }
