#pragma once
// The paperdoll: one mobile dressed, on a background with the title line the
// server sent, the body picture and every worn item as a large gump-art
// picture stacked in the layer order of what is worn. The player's own adds a
// column of buttons (help, options, log out, quests, skills, guild,
// war/peace), five small item slots for jewellery-like layers, a party icon
// and, with property lists, the combat ability book icon; every paperdoll
// has a status button, a profile icon and a virtue icon. Worn items are
// picked off (a hold or a 5-pixel move), clicked (target, context menu,
// name) and double-clicked (use); a held wearable item is previewed
// translucent in its layer while it is over a free one.
//
// The gump manager owns the window; it names its mobile by serial (the world
// tells it when the equipment changes, PaperdollViews). The page is rendered
// again only when marked dirty. Points are local pixels. Main thread only;
// times are tick-count milliseconds.

#include "gump/gump.h"
#include "windows/equipment_layers.h"
#include "windows/window_clicks.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class Button;
class Item;
class Mobile;

class PaperdollGump final : public CGump {
public:
    static constexpr int32_t kOwnBackgroundArt = 2000;
    static constexpr int32_t kOtherBackgroundArt = 2001;
    static constexpr int32_t kMinimisedArt = 2030;
    static constexpr int32_t kProfileArt = 2002;
    static constexpr int32_t kVirtueArt = 113;
    static constexpr int32_t kSlotFrameArt = 9028;
    static constexpr int32_t kSlotFillArt = 9274;
    static constexpr int32_t kAbilityBookArt = 11060;
    static constexpr int32_t kBodyX = 8;
    static constexpr int32_t kBodyY = 19;
    static constexpr int32_t kBackpackX = 3;
    static constexpr int32_t kTitleMaxLength = 59;
    static constexpr std::array<int32_t, 5> kSlotLayers { 6, 18, 10, 8, 14 };

    PaperdollGump(int32_t x, int32_t y, Mobile& mobile, std::string_view title, bool warMode);
    ~PaperdollGump() override;

    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onMouseOver(int32_t x, int32_t y) override;
    void onMouseLeave() override;
    void onDrag(int32_t x, int32_t y) override;
    void onHoverTick() override;
    bool acceptsItemDrop() override { return true; }

    void setStatusFlags(uint8_t flags) { m_liftAllowed = flags != 0; }
    bool isLiftAllowed() const { return m_liftAllowed; }
    void markDirty() { m_dirty = true; }
    // Another part's state the doll shows changed (the messenger's mail).
    void refreshLayout() override { markDirty(); }
    bool isDirty() const { return m_dirty; }
    void setTitle(std::string_view title);
    const std::string& title() const { return m_title; }
    // The layer under a local point: the own paperdoll's item slots first,
    // then the worn pictures from the top; the backpack only with
    // `includeBackpack`. -1 for none.
    int32_t itemSlotAt(int32_t x, int32_t y, bool includeBackpack);
    // The layer a held item is previewed in (-1: none).
    int32_t pressedLayer() const { return m_pressedLayer; }
    void setPressedLayer(int32_t layer) { m_pressedLayer = layer; }
    Button* warButton() const;
    // The mobile while it exists.
    Mobile* mobile() const;
    uint32_t mobileSerial() const { return m_mobileSerial; }
    bool isOwn() const;

    // Renders the page now (draw does when it is dirty).
    void render();

private:
    void addButtons(bool warMode);
    void pickUpPressed();
    void singleClick(int32_t x, int32_t y);
    void doubleClick(int32_t x, int32_t y);
    // A first press settled: a hold picks up, a click is a single click.
    void settle(ClickEvent event);

    uint32_t m_mobileSerial;
    GumpHandle m_warButton;
    int32_t m_pressedLayer = -1;
    std::string m_title;
    WindowClicks m_clicks;
    bool m_dirty = true;
    bool m_liftAllowed = false;
};

// The body picture of a paperdoll, the body whose equipment pictures it
// wears, whether it is a ghost, female, and hued on its grey pixels only.
struct PaperdollBody {
    int32_t picture = 12;
    int32_t base = 400;
    bool ghost = false;
    bool female = false;
    bool listed = false;
};
// For a body the table does not list, `female` and `race` (2: the second
// body set) decide.
PaperdollBody paperdollBodyFor(int32_t body, bool female, int32_t race);

// The paperdoll showing `mobile`, or null.
PaperdollGump* findPaperdoll(const Mobile& mobile);
// The server's paperdoll packet (0x88): the window of the mobile with its
// title, opened or refreshed; flags bit 1 allows taking items off another
// mobile's paperdoll. Null when the mobile is unknown.
inline constexpr uint8_t kPaperdollLiftFlag = 0x02;
inline constexpr int32_t kPaperdollTitleField = 60;
PaperdollGump* openPaperdoll(uint32_t serial, std::string_view title, uint8_t flags);
// The packet itself (fixed length 66: serial, title, flags), read checked.
void handleOpenPaperdoll(const uint8_t* packet);
// Registers the handler with the dispatcher.
void registerPaperdollHandlers();
// The paperdoll picture (gump art) of a worn item on a body, with the female
// range and the gump.def fallback; 0 when there is none.
int32_t paperdollPictureFor(int32_t baseBody, bool female, const Item& item, const LayerItems& layers, int32_t layer,
    uint16_t& hue);
// The box {left, top, right, bottom} of the non-zero pixels of a picture;
// empty when every pixel is 0.
ScreenRect findPixelBounds(const uint16_t* pixels, int32_t width, int32_t height);
