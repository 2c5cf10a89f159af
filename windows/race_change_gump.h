#pragma once
// The race change window the server asks for (0xBF sub-command 0x2A): the
// player picks a hair style and a facial hair style allowed for the gender
// and race, and the skin, hair and facial hair hues, over a paperdoll
// preview. OK answers with the same sub-command carrying the choices; a
// right click answers with the empty sub-command. Hues are 0-based hue
// table indices as the hue controls give them; the reply carries them + 1.
// The gump manager owns the window. Main thread only.

#include "gump/gump.h"

#include <array>
#include <cstdint>
#include <vector>

class HueControl;
class TextEntry;

struct RaceHairStyle {
    const char* name;
    uint16_t graphic;
    int32_t maleArt;
    int32_t femaleArt;
    bool male;
    bool female;
};

struct RaceFacialHairStyle {
    const char* name;
    uint16_t graphic;
    int32_t art;
};

inline constexpr int32_t kRaceHairRows = 11;
inline constexpr int32_t kRaceFacialHairRows = 8;
const std::array<RaceHairStyle, kRaceHairRows>& raceChangeHairTable(bool elf);
const std::array<RaceFacialHairStyle, kRaceFacialHairRows>& raceChangeFacialHairTable();
// The rows of the race's table the gender may choose, in table order.
std::vector<int32_t> raceChangeHairRows(bool elf, bool female);

class RaceChangeGump final : public CGump {
public:
    static constexpr int32_t kWidth = 594;
    static constexpr int32_t kHeight = 400;
    enum Picker : int32_t { HumanSkin, ElfSkin, HumanHair, ElfHair, FacialHair, PickerCount };
    enum Panel : int32_t { SkinPanel, HairPanel, FacialHairPanel, PanelCount };

    RaceChangeGump(bool female, bool elf);
    ~RaceChangeGump() override;

    bool isFemale() const { return m_female; }
    bool isElf() const { return m_elf; }
    bool hasFacialHair() const { return !m_female && !m_elf; }
    int32_t hairRow() const { return m_hairRow; }
    int32_t facialHairRow() const { return m_facialHairRow; }
    uint16_t hairGraphic() const { return m_hairGraphic; }
    uint16_t facialHairGraphic() const { return m_facialHairGraphic; }
    int32_t skinHue() const { return m_skinHue; }
    int32_t hairHue() const { return m_hairHue; }
    int32_t facialHairHue() const { return m_facialHairHue; }
    HueControl* picker(Picker which) const;
    TextEntry* hairField() const { return m_hairField; }
    TextEntry* facialHairField() const { return m_facialField; }
    CGump* panel(Panel which) const { return m_panels[size_t(which)].get(); }

    void redraw();
    // Shows the picker the panel stands for.
    void openPanel(Panel which);
    // Sends the choices and closes.
    void accept();

    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onControlChanged(CGump* control) override;
    void onControlActivated(CGump* control) override;
    WString getTooltipText(int32_t, int32_t) override { return WString(); }
    bool isInGameView() override { return true; }
    bool isClosableByCloseAll() override { return false; }

private:
    bool m_female;
    bool m_elf;
    int32_t m_hairRow;
    int32_t m_facialHairRow = 0;
    uint16_t m_hairGraphic = 0;
    uint16_t m_facialHairGraphic = 0;
    int32_t m_skinHue = 0;
    int32_t m_hairHue = 0;
    int32_t m_facialHairHue = 0;
    std::array<GumpHandle, PickerCount> m_pickers;
    std::array<GumpHandle, PanelCount> m_panels;
    TextEntry* m_hairField = nullptr;
    TextEntry* m_facialField = nullptr;
    bool m_pressed = false;
};

// The server's request: any open window closes; with `open` a new one for
// the gender (1 female) and race (1 elf) opens on top.
RaceChangeGump* openRaceChange(bool open, uint8_t gender, uint8_t race);
RaceChangeGump* findRaceChangeGump();
