#include "data/skill_values.h"

SkillValues& skillValues()
{
    static SkillValues values;
    return values;
}

namespace {

int32_t g_lastUsedSkill = -1;

} // namespace

int32_t lastUsedSkill() { return g_lastUsedSkill; }

void setLastUsedSkill(int32_t skill) { g_lastUsedSkill = skill; }
