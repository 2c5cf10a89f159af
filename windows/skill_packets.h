#pragma once
// The skills packet from the server (0x3A) and the skill-change notice.
// 0x3A brings one skill (type 0xFF, or 0xDF with its cap), a table of skill
// names (0xFE), or a list (type 0 the player's, 2 with caps; 1 and 3 the
// same of another mobile, shown in a window of its own). A packet cut
// short, with a skill outside the 55, a lock state above 2, more than 55
// names or a list without its end is refused whole. Main thread only.

#include <cstdint>

void handleSkills(const uint8_t* packet);
void registerSkillHandler();

// Called with a skill's new value before it is stored: the changes of each
// skill add up, and once they reach the "SkillReportDiff" setting (tenths
// of a percent) the player is told of the latest change.
void reportSkillChange(int32_t skill, int32_t newValue);
// Forgets the changes added up so far.
void resetSkillChangeReports();

// At most this many windows of other mobiles' skills are open; a new one
// closes the oldest.
inline constexpr int32_t kMaxOtherSkillWindows = 8;
