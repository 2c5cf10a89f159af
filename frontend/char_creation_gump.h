#pragma once
// The second screen of character creation: the character's name, gender and
// race, hair and facial-hair styles and the hues of skin, shirt, trousers or
// skirt, hair and facial hair, over a paperdoll preview. Next checks the name
// and hands over to the start location; back returns to the profession
// window. Hues are 0-based hue-table indices (the create request gets them
// + 1); -1 means none. Main thread only.

#include "frontend/front_end_gump.h"

#include <array>
#include <cstdint>
#include <string>

class Button;
class CPanelChoiceGump;
class HueControl;
class InputControl;
class TextEntry;

class CharCreationGump final : public FrontEndGump {
public:
    static constexpr int32_t kArt = 1260;
    static constexpr int32_t kChosenMark = 1895;
    static constexpr int32_t kOpenMark = 1896;
    static constexpr int32_t kSwatchX = 490;
    static constexpr int32_t kSwatchTop = 154;
    static constexpr int32_t kSwatchPitch = 45;
    static constexpr int32_t kSwatchWidth = 121;
    static constexpr int32_t kSwatchHeight = 24;

    // The hue controls, by what they colour.
    enum HueSlot : int32_t { HumanSkin, ElfSkin, HumanHair, ElfHair, FacialHair, Shirt, Trousers, HueSlotCount };
    // The colour panels.
    enum PanelSlot : int32_t { SkinPanel, ShirtPanel, PantsPanel, SkirtPanel, HairPanel, FacialHairPanel, PanelCount };

    CharCreationGump();
    ~CharCreationGump() override;

    void redraw();
    void chooseMale();
    void chooseFemale();
    void chooseHuman();
    void chooseElf();
    void next();
    void back();

    void onControlChanged(CGump* control) override;
    void onControlActivated(CGump* control) override { openStyleList(control); }
    void openStyleList(CGump* control);
    void onEnter() override;
    void onEscape() override { back(); }
    void onRightUp(int32_t, int32_t) override { releasePointerCapture(); }
    WString getTooltipText(int32_t, int32_t) override { return WString(); }
    bool isInGameView() override { return true; }
    bool isClosableByCloseAll() override { return false; }

    int32_t gender() const { return m_gender; }
    int32_t race() const { return m_race; }
    int32_t hairRow() const { return m_hairRow; }
    int32_t hairItemId() const { return m_hairItemId; }
    int32_t facialHairRow() const { return m_facialHairRow; }
    int32_t facialHairItemId() const { return m_facialHairItemId; }
    int32_t skinHue() const { return m_skinHue; }
    int32_t hairHue() const { return m_hairHue; }
    int32_t facialHairHue() const { return m_facialHairHue; }
    int32_t shirtHue() const { return m_shirtHue; }
    int32_t trousersHue() const { return m_trousersHue; }
    // The race change window's path and tests set hues directly.
    void setHairHue(int32_t hue) { m_hairHue = hue; }
    void setFacialHairHue(int32_t hue) { m_facialHairHue = hue; }
    std::string name() const;

    InputControl* nameEntry() const { return m_nameEntry; }
    TextEntry* hairSelector() const { return m_hairSelector; }
    TextEntry* facialHairSelector() const { return m_facialSelector; }
    HueControl* hueControl(HueSlot slot) const { return m_hueControls[size_t(slot)]; }
    CPanelChoiceGump* panel(PanelSlot slot) const { return m_panels[size_t(slot)]; }
    Button* nextArrow() const { return m_next; }

private:
    void setFacialHairVisible(bool visible);
    void setMarks(Button* chosen, Button* open);
    void showHueControl(HueSlot slot);
    void hideHueControls();
    void drawPreview(GumpPage& face);
    void drawSwatches(GumpPage& face);

    int32_t m_gender = 0;
    int32_t m_race = 0;
    int32_t m_hairRow = 1;
    int32_t m_hairItemId = 0x203B;
    int32_t m_facialHairRow = 0;
    int32_t m_facialHairItemId = 0;
    int32_t m_skinHue = 0;
    int32_t m_hairHue = 0;
    int32_t m_facialHairHue = 0;
    int32_t m_trousersHue = 0;
    int32_t m_shirtHue = 0;

    InputControl* m_nameEntry = nullptr;
    InputControl* m_hairLabel = nullptr;
    InputControl* m_facialLabel = nullptr;
    TextEntry* m_hairSelector = nullptr;
    TextEntry* m_facialSelector = nullptr;
    std::array<HueControl*, HueSlotCount> m_hueControls {};
    std::array<CPanelChoiceGump*, PanelCount> m_panels {};
    Button* m_maleMark = nullptr;
    Button* m_femaleMark = nullptr;
    Button* m_humanMark = nullptr;
    Button* m_elfMark = nullptr;
    Button* m_next = nullptr;
};

// Shows the appearance window on top, made when there is none.
CharCreationGump* openAppearanceWindow();

// The reply of the race change window (0xBF sub-command 0x2A): skin hue + 1,
// hair item id, hair hue + 1, facial hair item id, facial hair hue + 1.
bool sendAppearanceRaceChangeReply(int32_t skinHue, int32_t hairItemId, int32_t hairHue, int32_t facialHairItemId,
    int32_t facialHairHue);
