#pragma once
// A name plate: 142 x 20 pixels over a world object showing its name, opened
// for each visible object while the all-names keys are held. It follows its
// object, closes when the object leaves the game area or disappears, and is
// clicked like the object: a click asks for the context menu, a double click
// uses the object, a drag pulls the mobile's status bar off, a right click
// closes the plate. A mobile's name is asked of the server (0x98) and drawn
// when the answer arrives. Owned by the gump manager; client pixels. Main
// thread only.

#include "gump/gump.h"
#include "windows/window_clicks.h"

#include <cstdint>
#include <string_view>

class WorldObject;

class NamePlateGump final : public CGump {
public:
    static constexpr int32_t kWidth = 142;
    static constexpr int32_t kHeight = 20;
    static constexpr int32_t kFirstFrameArt = 9400;
    static constexpr uint16_t kNameColour = 0x7FFF;
    static constexpr int32_t kNameFont = 1;

    explicit NamePlateGump(WorldObject& object);
    ~NamePlateGump() override;

    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onMouseOver(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onHoverTick() override;
    bool acceptsItemDrop() override { return true; }
    void followView() override { followMobile(); }

    // Draws `name` centred, shortened with "..." to fit.
    void drawName(std::string_view name);
    // Over the object again, or closed when it is gone or off the game area.
    void followMobile();
    uint32_t objectSerial() const { return m_objectSerial; }
    // The object while it exists; the plate closes itself otherwise (so the
    // caller stops when it answers null).
    WorldObject* objectOrClose();

private:
    void clickAction();

    uint32_t m_objectSerial;
    WindowClicks m_clicks;
};

// The name the server sent for a mobile, drawn on its plate when one shows.
void showMobileNameOnPlate(uint32_t serial, std::string_view name);
// The name as it fits `maxWidth` in the current Unicode font: its first
// characters followed by "..."; a name of 4 characters or fewer stays whole.
std::u16string fitNameWithEllipsis(std::u16string name, int32_t maxWidth);
