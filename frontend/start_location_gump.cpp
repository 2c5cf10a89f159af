#include "frontend/start_location_gump.h"

#include "data/config_file.h"
#include "data/config_key_rules.h"
#include "data/player_lists.h"
#include "data/targeting.h"
#include "frontend/char_creation_gump.h"
#include "frontend/character_selection.h"
#include "frontend/feature_flags.h"
#include "frontend/front_end_state.h"
#include "frontend/hair_tables.h"
#include "frontend/login_sequence.h"
#include "frontend/main_menu.h"
#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"
#include "gump/button.h"
#include "gump/entry_core.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "gump/html_view.h"
#include "net/new_character_record.h"
#include "platform/clock.h"
#include "protocol/login_state.h"
#include "protocol/protocol_text.h"
#include "text/ascii_font.h"

#include <algorithm>
#include <vector>

namespace {

constexpr std::array<StartCity, kStartCityCount> kCities = { {
    { "Fennick", 101, 143, 1075072 },
    { "Tarvel", 247, 96, 1075073 },
    { "Osthall", 173, 203, 1075074 },
    { "Heskmere", 335, 160, 1075075 },
    { "Kestrom", 200, 307, 1075076 },
    { "Corvanta", 335, 252, 1075077 },
    { "Saltby", 161, 396, 1075078 },
    { "Pellin Key", 99, 247, 1075079 },
    { "Orrdale", 277, 133, 1075080 },
} };
constexpr int32_t kOtherDescription = 1074235;
constexpr int32_t kHeskmere = 3;
constexpr int32_t kHeskmereMarkerShift = 60;
constexpr int32_t kMarkerArt = 1209;
constexpr int32_t kSelectedMarkerArt = 1210;
constexpr int32_t kLocationSelectedHue = 1153;
constexpr int32_t kHoveredHue = 153;
constexpr int32_t kCityHue = 88;
constexpr uint32_t kStartDescriptionFlags = 0x2002;
constexpr size_t kMaxCityName = 64;
constexpr uint16_t kNewSpeechHue = 90;
constexpr uint16_t kNewEmoteHue = 549;

void measure(const char* text, int32_t& width, int32_t& height)
{
    int32_t baseline = 0;
    width = 0;
    height = 0;
    measureAsciiText(StartLocationGump::kCityFont, text, width, height, baseline);
}

} // namespace

const std::array<StartCity, kStartCityCount>& startCities() { return kCities; }

int32_t startCityDescription(int32_t city)
{
    return city >= 0 && city < kStartCityCount ? kCities[size_t(city)].description : kOtherDescription;
}

StartLocationGump::StartLocationGump(CharCreationGump* appearance, int32_t mapArt)
    : FrontEndGump(0, 0, kFrontEndWidth, kFrontEndHeight)
    , m_appearance(appearance)
    , m_mapArt(mapArt)
{
    setTypeName("map gump");
    setTooltipId(-1);
    const bool elf = appearance ? appearance->race() == kElfRace : newCharacterRecord().race == 1;
    m_chosen = m_selected = m_hovered = elf ? 0 : 2;
    m_chosenName = kCities[size_t(m_chosen)].name;
    auto addArrow = [this](int32_t x, int32_t art, GumpCallback callback) {
        auto* arrow = new Button(x, 435, ButtonBehaviour::ClickOnRelease, 0, callback, art, art + 2, false);
        arrow->setHoverArt(art + 1);
        gumpLink(arrow, this);
    };
    addArrow(610, 5540, [](CGump* window) { createCharacter(*static_cast<StartLocationGump*>(window)); });
    addArrow(586, 5537, onParent<&StartLocationGump::back>);
    makePage();
    showDescription();
    redrawPage();
}

StartLocationGump::~StartLocationGump()
{
    if (frontEnd().startLocationWindow.get() == this)
        frontEnd().startLocationWindow = GumpHandle();
}

HtmlView* StartLocationGump::description() const { return static_cast<HtmlView*>(m_description.get()); }

bool StartLocationGump::containsPoint(int32_t x, int32_t y)
{
    return x >= 0 && y >= 0 && x < width() + 200 && y < height() + 150;
}

void StartLocationGump::redrawPage()
{
    GumpPage* face = page(0);
    if (!face || !face->isAllocated())
        return;
    std::fill(face->pixels.begin(), face->pixels.end(), uint16_t(0));
    drawGumpArt(copySpanTransparent, m_mapArt, face->target(), 57, 49);
    drawGumpArt(copySpanTransparent, 5536, face->target(), 0, 4);
    const TextSurface surface = face->surface();
    for (int32_t city = 0; city < kStartCityCount; ++city) {
        const StartCity& place = kCities[size_t(city)];
        const int32_t markerX = place.x + (city == kHeskmere ? kHeskmereMarkerShift : 0);
        drawGumpArt(copySpanTransparent, city == m_selected ? kSelectedMarkerArt : kMarkerArt, face->target(), markerX,
            place.y);
        const int32_t hue = city == m_selected ? kLocationSelectedHue : city == m_hovered ? kHoveredHue : kCityHue;
        drawAsciiText(place.x, place.y, kCityFont, hue, place.name, surface, wholeSurface(surface));
    }
}

void StartLocationGump::showDescription()
{
    if (m_selected == -1)
        return;
    closeGump(m_description.get());
    auto* view = new HtmlView(this, 1, kStartDescriptionFlags, false, true);
    view->setRect(452, 60, 173, 367);
    view->setText(clilocText(startCityDescription(m_selected)), 0);
    m_description = GumpHandle(view);
}

int32_t StartLocationGump::cityAt(int32_t x, int32_t y) const
{
    for (int32_t city = 0; city < kStartCityCount; ++city) {
        const StartCity& place = kCities[size_t(city)];
        int32_t w = 0;
        int32_t h = 0;
        measure(place.name, w, h);
        if (x >= place.x && x <= place.x + w && y >= place.y - h && y <= place.y + h)
            return city;
    }
    return -1;
}

void StartLocationGump::onMouseOver(int32_t x, int32_t y)
{
    m_hovered = cityAt(x, y);
    redrawPage();
}

void StartLocationGump::pick(int32_t city)
{
    if (city < 0 || city == m_chosen)
        return;
    m_chosenName = std::string(kCities[size_t(city)].name).substr(0, kMaxCityName);
    m_chosen = m_selected = city;
    showDescription();
}

void StartLocationGump::onLeftDown(int32_t x, int32_t y)
{
    pick(cityAt(x, y));
    redrawPage();
    if (!m_click.press(*this, x, y))
        return;
}

void StartLocationGump::onHoverTick()
{
    if (m_click.clickPhase == 1 && platform::clock().tickMs() - m_click.pressTime > kDoubleClickMs) {
        m_click.clickPhase = 0;
        if (m_click.pressPending)
            m_longPress = true;
    }
    if (!m_click.pressPending)
        return;
    if (++m_click.hoverTicks >= 2) {
        m_click.hoverTicks = 0;
        pick(cityAt(dragAnchorX(), dragAnchorY()));
        redrawPage();
    }
}

void StartLocationGump::onLeftUp(int32_t, int32_t)
{
    m_click.pressPending = false;
    service<GumpPointer>().setPointerCapture(nullptr);
    if (m_longPress) {
        m_longPress = false;
        m_click.clickPhase = 0;
    } else if (m_click.clickPhase == 2) {
        m_click.clickPhase = 0;
        createCharacter(*this);
    }
}

void StartLocationGump::back()
{
    if (CGump* appearance = m_appearance.get())
        appearance->setVisible(true);
    if (frontEnd().startLocationWindow.get() == this)
        frontEnd().startLocationWindow = GumpHandle();
    setVisible(false);
    closeGump(this);
}

void startLocationStep(CharCreationGump& appearance)
{
    FrontEndRecords& records = frontEnd();
    if (records.startLocationWindow)
        return;
    auto* window = new StartLocationGump(&appearance, StartLocationGump::kMapArt);
    records.startLocationWindow = GumpHandle(window);
    addMainMenuButtons(*window);
    if (records.advancedMode) {
        gumpLink(window, nullptr);
        return;
    }
    // A template character goes straight on, from a random city. The window
    // stays unlinked; the create request's waiting box names it as covered.
    gumpLink(window, nullptr);
    window->setVisible(false);
    window->setChosenCity(randomBelow(kStartCityCount));
    createCharacter(*window);
}

int32_t lowestFreeSlot(const int32_t* keys, int32_t keyCount, int32_t slotLimit)
{
    std::vector<bool> used(size_t(std::max(slotLimit, 0)), false);
    for (int32_t i = 0; i < std::min(keyCount, slotLimit); ++i) {
        const int32_t key = keys[i];
        // A key past the slot limit marks nothing.
        if (key >= 0 && key < slotLimit)
            used[size_t(key)] = true;
    }
    int32_t slot = 0;
    while (slot < slotLimit && used[size_t(slot)])
        ++slot;
    return slot;
}

uint8_t startLocationIndexFor(int32_t city)
{
    const StartLocationList& list = startLocations();
    const int32_t entry = std::max(city, 0);
    if (size_t(entry) >= list.indexes.size())
        return 255;
    return list.indexes[size_t(entry)];
}

void createCharacter(StartLocationGump& window)
{
    auto* appearance = rememberedWindow<CharCreationGump>(frontEnd().appearanceWindow);
    NewCharacterRecord& record = newCharacterRecord();
    if (appearance) {
        const bool female = appearance->gender() != kMale;
        const bool elf = appearance->race() == kElfRace;
        record.female = female ? 1 : 0;
        record.race = uint8_t(appearance->race());
        record.skinHue = uint16_t(appearance->skinHue() + 1);
        record.hairStyle = uint16_t(appearance->hairItemId());
        record.hairHue = uint16_t(appearance->hairHue() + 1);
        if (female || elf) {
            record.facialHairStyle = 0;
            record.facialHairHue = 0;
        } else {
            record.facialHairStyle = uint16_t(appearance->facialHairItemId());
            record.facialHairHue = uint16_t(appearance->facialHairHue() + 1);
        }
        record.shirtHue = uint16_t(appearance->shirtHue() + 1);
        record.trousersHue = uint16_t(appearance->trousersHue() + 1);
    }
    record.startLocation = startLocationIndexFor(window.chosenCity());

    int32_t slot = 0;
    if (auto* selection = rememberedWindow<CharacterSelectionGump>(frontEnd().characterSelection)) {
        const int32_t limit = std::min(maxCharacterSlots(), CharacterSelectionGump::kSlotCount);
        std::array<int32_t, CharacterSelectionGump::kSlotCount> keys {};
        for (int32_t i = 0; i < CharacterSelectionGump::kSlotCount; ++i)
            keys[size_t(i)] = selection->keyAt(i);
        slot = lowestFreeSlot(keys.data(), limit, limit);
    }
    record.characterSlot = uint32_t(slot);

    const std::string name(record.name, std::find(std::begin(record.name), std::end(record.name), '\0'));
    if (size_t(slot) < kCharacterSlots) {
        characterHues().speech[size_t(slot)] = kNewSpeechHue;
        characterHues().emote[size_t(slot)] = kNewEmoteHue;
        characterSlots().names[size_t(slot)] = name.substr(0, CharacterSlots::kMaxTextLength);
    }
    loginSession().playerName = name;
    setConfigValue(ConfigKeyKind::PlayerName, name);
    setConfigValue(ConfigKeyKind::DefaultChar, std::to_string(slot));
    sendCreateCharacter(record, &window);
}
