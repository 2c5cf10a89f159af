#pragma once
// The last screen of character creation: a map with nine cities, where the
// player picks the one the new character starts in and confirms. Confirming
// fills the rest of the NewCharacterRecord from the appearance window and
// sends the create request. A character made from a profession template
// never sees the map: a random city is taken and the request goes at once.
// Main thread only.

#include "frontend/front_end_gump.h"
#include "frontend/scroll_choice_gump.h"

#include <array>
#include <cstdint>
#include <string>

class CharCreationGump;
class HtmlView;

struct StartCity {
    const char* name;
    int32_t x;
    int32_t y;
    int32_t description;
};

inline constexpr int32_t kStartCityCount = 9;
const std::array<StartCity, kStartCityCount>& startCities();
// The localized description of a city (another index has its own text).
int32_t startCityDescription(int32_t city);

class StartLocationGump final : public FrontEndGump {
public:
    static constexpr int32_t kMapArt = 5528;
    static constexpr int32_t kCityFont = 3;

    StartLocationGump(CharCreationGump* appearance, int32_t mapArt);
    ~StartLocationGump() override;

    void redrawPage();
    void showDescription();
    // The city whose name lies under a local point; -1 none.
    int32_t cityAt(int32_t x, int32_t y) const;
    void back();

    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onMouseOver(int32_t x, int32_t y) override;
    void onMouseLeave() override { }
    void onHoverTick() override;
    bool isClosableByCloseAll() override { return false; }

    int32_t chosenCity() const { return m_chosen; }
    int32_t selectedCity() const { return m_selected; }
    int32_t hoveredCity() const { return m_hovered; }
    void setChosenCity(int32_t city) { m_chosen = m_selected = city; }
    const std::string& chosenCityName() const { return m_chosenName; }
    HtmlView* description() const;

private:
    void pick(int32_t city);

    GumpHandle m_appearance;
    int32_t m_mapArt;
    int32_t m_chosen = 2;
    int32_t m_selected = 2;
    int32_t m_hovered = 2;
    std::string m_chosenName;
    GumpHandle m_description;
    ChoiceClick m_click;
    bool m_longPress = false;
};

// The hand-over from the appearance window's next step.
void startLocationStep(CharCreationGump& appearance);
// Fills the record from the appearance window and sends the create request.
void createCharacter(StartLocationGump& window);

// The lowest slot number not used by the first `slotLimit` keys (negative
// keys are free; keys at or above the limit mark nothing).
int32_t lowestFreeSlot(const int32_t* keys, int32_t keyCount, int32_t slotLimit);
// The start-location index the request carries for a city: the server's
// index of that entry, or 255 when the server sent no such entry.
uint8_t startLocationIndexFor(int32_t city);
