#pragma once
// The player's skill values as the server reports them in packet 0x3A: per
// skill its value, base value and cap in tenths of a percent and its lock
// state (0 up, 1 down, 2 locked). Main thread only.

#include <array>
#include <cstddef>
#include <cstdint>

struct SkillValues {
    static constexpr int32_t kCount = 55;
    static constexpr uint16_t kDefaultCap = 1000;
    static constexpr uint8_t kLastLockState = 2;

    std::array<uint16_t, kCount> value {};
    std::array<uint16_t, kCount> base {};
    std::array<uint8_t, kCount> lock {};
    std::array<uint16_t, kCount> cap {};

    void clear() { *this = SkillValues {}; }
    // Ignored outside 0..54.
    void set(int32_t skill, uint16_t newValue, uint16_t newBase, uint8_t newLock, uint16_t newCap)
    {
        if (skill < 0 || skill >= kCount)
            return;
        const size_t at = size_t(skill);
        value[at] = newValue;
        base[at] = newBase;
        lock[at] = newLock;
        cap[at] = newCap;
    }
};

SkillValues& skillValues();
// The skill the player used last from the skill window (for the macro that
// uses it again); -1 before any.
int32_t lastUsedSkill();
void setLastUsedSkill(int32_t skill);
