#pragma once
// Damage numbers: the value of a hit rising over the mobile's head for
// 1500 ms, fading for its last 500 ms. Numbers of one mobile start at least
// 20 pixels apart, each below the last. Owned by the gump manager; client
// pixels. Main thread only; times are tick-count milliseconds.

#include "gump/gump.h"

#include <cstdint>
#include <string>

class DamageNumbersGump final : public CGump {
public:
    static constexpr uint32_t kLifeMs = 1500;
    static constexpr uint32_t kFadeAfterMs = 1000;
    static constexpr int32_t kFont = 3;
    static constexpr float kSpeed = 1.2f;
    static constexpr int32_t kMinimumGap = 20;
    static constexpr int32_t kMaximumSpacing = 100;

    DamageNumbersGump(uint32_t serial, int32_t damage, uint16_t hue);
    ~DamageNumbersGump() override;

    void draw(GumpCanvas& canvas) override;
    // One rise step (every update); the number closes once its life is over.
    void riseStep() override;
    void followView() override { placeOverMobile(); }

    // The anchor over the mobile again (kept when it is gone), then a rise.
    void placeOverMobile();
    void rise();

    uint32_t serial() const { return m_serial; }
    bool isFading() const { return m_fading; }
    int32_t spacing() const { return m_spacing; }
    const std::string& text() const { return m_text; }
    uint16_t hue() const { return m_hue; }

private:
    uint32_t m_serial;
    uint32_t m_creationTime;
    uint32_t m_endTime;
    uint32_t m_fadeTime;
    uint32_t m_lastStepTime;
    int32_t m_anchorX = 0;
    int32_t m_anchorY = 0;
    bool m_fading = false;
    std::string m_text;
    uint16_t m_hue;
    float m_risen = 0;
    int32_t m_spacing = 0;
};

// A hit on `serial` (the 0x0B payload and the 0xBF sub-command 0x22 payload
// give these): nothing for 0; hue 52 over the player, 33 over others.
void showDamageNumber(uint32_t serial, int32_t damage);
