#include "windows/skill_lock_button.h"

#include "gump/gump_services.h"
#include "windows/skill_gump.h"
#include "windows/window_packets.h"

namespace {

// 0 -> 1 -> 2 -> 0; any other value stays.
uint8_t nextLockState(uint8_t state) { return state < 2 ? uint8_t(state + 1) : state == 2 ? 0 : state; }

} // namespace

SkillLockButton::SkillLockButton(int32_t x, int32_t y, int32_t skill, bool readOnly)
    : Button(x, y, ButtonBehaviour::ClickOnRelease, 0, nullptr, kStateArts[0], kStateArts[0], false)
    , m_skill(skill)
    , m_readOnly(readOnly)
{
    setTypeName("skill lock button");
    addKind(GumpKind::SkillLock);
    takeStateArt();
}

uint8_t SkillLockButton::state() const
{
    CGump* window = parent();
    if (!window || !window->is(GumpKind::SkillGump))
        return 0;
    return static_cast<SkillGump*>(window)->lockState(m_skill);
}

void SkillLockButton::takeStateArt()
{
    const uint8_t lock = state();
    const int32_t art = kStateArts[lock < 3 ? lock : 2];
    setArtId(art);
    setDownArt(art);
    setHoverArt(art);
}

void SkillLockButton::draw(GumpCanvas& canvas)
{
    takeStateArt();
    Button::draw(canvas);
}

bool SkillLockButton::lookKey(uint64_t& key)
{
    takeStateArt();
    return Button::lookKey(key);
}

void SkillLockButton::onLeftUp(int32_t, int32_t)
{
    m_pressed = false;
    setCurrentPage(0);
    service<GumpPointer>().clearPointerCaptureIf(this);
    CGump* window = parent();
    if (m_readOnly || !window || !window->is(GumpKind::SkillGump))
        return;
    auto* skills = static_cast<SkillGump*>(window);
    const uint8_t next = nextLockState(skills->lockState(m_skill));
    skills->setLockState(m_skill, next);
    sendSkillLock(uint16_t(m_skill), next);
    takeStateArt();
}
