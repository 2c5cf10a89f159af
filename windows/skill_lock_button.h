#pragma once
// The lock button of a skill row: it shows the skill's lock state (0 up,
// 1 down, 2 locked) as the skill window knows it, and a click steps the
// state 0 -> 1 -> 2 -> 0 and tells the server (0x3A). The button of a
// read-only window (another mobile's list) changes nothing and sends
// nothing. A child of a SkillGump. Main thread only.

#include "gump/button.h"

#include <cstdint>

class SkillLockButton final : public Button {
public:
    static constexpr int32_t kStateArts[3] = { 2436, 2438, 2092 };

    SkillLockButton(int32_t x, int32_t y, int32_t skill, bool readOnly);

    int32_t skill() const { return m_skill; }
    bool isReadOnly() const { return m_readOnly; }
    uint8_t state() const;

    void draw(GumpCanvas& canvas) override;
    // The face of the lock state the skill window holds now.
    bool lookKey(uint64_t& key) override;
    void onLeftUp(int32_t x, int32_t y) override;
    bool isClosableByCloseAll() override { return false; }

private:
    // The art of the current state (the last one for a state out of range).
    void takeStateArt();

    int32_t m_skill;
    bool m_readOnly;
};
