#pragma once
// Target bars: a small bar hanging under a mobile in the world view and
// following it, one for the last target (kind 1) and one for the current
// combatant (kind 2). A bar takes the mobile's place in the status-bar table
// and asks the server for its status; it closes itself when the mobile is
// gone, and gives the place back when no other window shows the mobile.
// The open bars are kept in a list of their own. Main thread only.

#include "gump/gump.h"

#include <cstdint>
#include <vector>

class Mobile;

class TargetGump final : public CGump {
public:
    static constexpr int32_t kFaceArt = 4200;
    static constexpr int32_t kFillArt = 4201;
    static constexpr int32_t kFillWidth = 34;
    static constexpr uint16_t kFillHue = 89;
    static constexpr uint16_t kPoisonedFillHue = 63;
    static constexpr int32_t kLastTarget = 1;
    static constexpr int32_t kCombatant = 2;

    TargetGump(Mobile& mobile, int32_t kind);
    ~TargetGump() override;

    // Replaces the open bar of kind 1 with one for the mobile.
    static TargetGump* showLastTarget(Mobile& mobile);
    // Replaces the open bar of kind 2 with one for the mobile.
    static TargetGump* showCombatant(Mobile& mobile);
    // Closes the first open bar showing the serial.
    static void closeForSerial(uint32_t serial);

    int32_t kind() const { return m_kind; }
    uint32_t mobileSerial() const { return m_serial; }
    int32_t current() const { return m_current; }
    int32_t maximum() const { return m_maximum; }
    // The hits the status packets report.
    void setFill(int32_t current, int32_t maximum);
    // Redraws the face from the mobile.
    void drawFace();

    void draw(GumpCanvas& canvas) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightDown(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void tick() override;

private:
    void releasePointer();
    // Follows the mobile; false when it is gone (and the bar closed).
    bool follow();

    int32_t m_kind;
    int32_t m_current = 1;
    int32_t m_maximum = 1;
    uint32_t m_serial;
};

// The mobile shows as poisoned: by its flags, or by the status value the
// server sent for it.
bool showsPoisoned(const Mobile& mobile);

// The first open target bar showing the serial, or null.
TargetGump* findTargetGump(uint32_t serial);
// Every open target bar, in the order they were opened.
template <typename Visit>
void forEachTargetGump(Visit visit);

namespace target_gump_detail {
// The list of open bars (a copy: a visit may close bars).
std::vector<GumpHandle> openBars();
} // namespace target_gump_detail

template <typename Visit>
void forEachTargetGump(Visit visit)
{
    for (const GumpHandle& handle : target_gump_detail::openBars()) {
        if (CGump* bar = handle.get())
            visit(static_cast<TargetGump*>(bar));
    }
}
