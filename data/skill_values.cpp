#include "data/skill_values.h"

SkillValues& skillValues()
{
    static SkillValues values;
    return values;
}
