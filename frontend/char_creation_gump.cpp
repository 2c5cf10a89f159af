#include "frontend/char_creation_gump.h"

#include "data/character_names.h"
#include "data/config_key_rules.h"
#include "data/server_features.h"
#include "frontend/choice_panels.h"
#include "frontend/front_end_state.h"
#include "frontend/login_sequence.h"
#include "frontend/hair_tables.h"
#include "frontend/main_menu.h"
#include "frontend/profession_gump.h"
#include "frontend/start_location_gump.h"
#include "gfx/gump_art.h"
#include "gfx/hue_table.h"
#include "gfx/pixel_spans.h"
#include "gump/button.h"
#include "gump/entry_core.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/hue_control.h"
#include "gump/input_control.h"
#include "gump/list_box.h"
#include "net/client_packets.h"
#include "net/game_connection.h"
#include "net/new_character_record.h"
#include "net/packet_table.h"
#include "text/obscenity_filter.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int32_t kCreationNameHue = 902;
constexpr int32_t kCreationLabelHue = 1153;
constexpr int32_t kHueControlArt = 3604;
constexpr int32_t kPanelFrameArt = 3500;
constexpr int32_t kCreationFrameArt = 3600;
constexpr int32_t kElfNoEntitlementTooltip = 1072217;
constexpr int32_t kElfNoFeatureTooltip = 1072218;
constexpr int32_t kNextTooltip = 100045;
constexpr uint32_t kElfFeature = 0x80;
constexpr int32_t kElfListFlag = 8;
constexpr int32_t kPreviewX = 238;
constexpr int32_t kPreviewY = 98;
constexpr const char* kTooShortText = "Your character name is too short.";
constexpr const char* kUnacceptableText = "Unacceptable name.";

struct HueControlPlace {
    int32_t kind;
    bool randomStart;
    int32_t tooltip;
};
// In HueSlot order.
constexpr std::array<HueControlPlace, CharCreationGump::HueSlotCount> kHueControls = { {
    { 0, false, 100039 },
    { 6, false, 100039 },
    { 1, false, 100035 },
    { 7, false, 100035 },
    { 2, false, 100037 },
    { 3, true, 100040 },
    { 4, true, 100041 },
} };

struct PanelPlace {
    const char* text;
    int32_t y;
    int32_t tooltip;
};
// In PanelSlot order.
constexpr std::array<PanelPlace, CharCreationGump::PanelCount> kPanels = { {
    { "Skin Tone", 140, 100039 },
    { "Shirt Color", 185, 100040 },
    { "Pants Color", 230, 100041 },
    { "Skirt Color", 230, 100042 },
    { "Hair Color", 275, 100035 },
    { "Facial Hair Color", 320, 100037 },
} };

Button* addArtButton(CGump& parent, int32_t x, int32_t y, int32_t up, int32_t down, int32_t hover,
    GumpCallback callback, int32_t tooltip)
{
    auto* button = new Button(x, y, ButtonBehaviour::ClickOnRelease, 0, callback, up, down, false);
    button->setHoverArt(hover);
    button->setTooltipId(tooltip);
    gumpLink(button, &parent);
    return button;
}

InputControl* addCreationLabel(CGump& parent, int32_t x, int32_t y, const char* text, int32_t tooltip)
{
    auto* label = new InputControl(
        x, y, EntrySize { 160, 30, false }, int32_t(EntryMode::Text), 30, 9, kCreationLabelHue, false, false);
    label->options.readOnly = true;
    label->setNarrowText(text);
    label->setTooltipId(tooltip);
    label->redraw();
    gumpLink(label, &parent);
    return label;
}

TextEntry* addSelector(CGump& parent, int32_t x, int32_t y, int32_t font, int32_t tooltip)
{
    auto* selector
        = new TextEntry(x, y, EntrySize { 121, 24, false }, int32_t(EntryMode::ComboText), 10, font, kCreationNameHue, false, false);
    selector->iconArt = 253;
    selector->setTooltipId(tooltip);
    gumpLink(selector, &parent);
    return selector;
}

void drawArt(GumpPage& face, int32_t art, int32_t x, int32_t y, int32_t hue)
{
    if (hue > 0) {
        setCurrentHue(hue);
        drawGumpArt(hueSpanByRed, art, face.target(), x, y);
    } else {
        drawGumpArt(copySpanTransparent, art, face.target(), x, y);
    }
}

void fillSwatch(GumpPage& face, int32_t y, int32_t hue)
{
    // A hue below 0 (no hue) has no swatch: it would name no entry.
    if (hue < 0 || hue >= HueTable::kEntryCount)
        return;
    const uint16_t colour = uint16_t(hueTable().entry(hue).colours[16] | 1);
    for (int32_t row = std::max(y, 0); row < std::min(y + CharCreationGump::kSwatchHeight, face.height); ++row)
        for (int32_t x = CharCreationGump::kSwatchX;
             x < std::min(CharCreationGump::kSwatchX + CharCreationGump::kSwatchWidth, face.width); ++x)
            face.pixels[size_t(row) * size_t(face.width) + size_t(x)] = colour;
}

template <void (CharCreationGump::*Choice)()>
void choose(CGump* parent)
{
    (static_cast<CharCreationGump*>(parent)->*Choice)();
}

} // namespace

CharCreationGump::CharCreationGump()
    : FrontEndGump(0, 0, kFrontEndWidth, kFrontEndHeight)
{
    setTypeName("CharCreation gump");
    addKind(GumpKind::CharCreation);
    setTooltipId(-1);
    makePage();

    m_nameEntry = new InputControl(
        250, 63, EntrySize { 210, 30, false }, int32_t(EntryMode::Text), 16, 5, kCreationNameHue, true, false);
    m_nameEntry->options.nameCharsOnly = true;
    m_nameEntry->options.marginX = 7;
    m_nameEntry->options.marginY = 2;
    m_nameEntry->setTooltipId(100043);
    m_nameEntry->redraw();
    gumpLink(m_nameEntry, this);

    m_hairLabel = addCreationLabel(*this, 97, 140, "Hair Style", 100036);
    m_facialLabel = addCreationLabel(*this, 97, 185, "Facial Hair Style", 100037);
    m_hairSelector = addSelector(*this, 97, 154, 9, 100036);
    m_facialSelector = addSelector(*this, 97, 199, 1, 100037);

    addArtButton(*this, 445, 435, 1808, 1810, 1809, choose<&CharCreationGump::chooseMale>, 1072211);
    addArtButton(*this, 445, 455, 1805, 1807, 1806, choose<&CharCreationGump::chooseFemale>, 1072211);
    m_maleMark = addArtButton(
        *this, 425, 435, kChosenMark, kChosenMark, kChosenMark, choose<&CharCreationGump::chooseMale>, 1072211);
    m_femaleMark = addArtButton(
        *this, 425, 455, kOpenMark, kOpenMark, kOpenMark, choose<&CharCreationGump::chooseFemale>, 1072211);
    addArtButton(*this, 200, 435, 1794, 1796, 1795, choose<&CharCreationGump::chooseHuman>, 1072212);
    addArtButton(*this, 200, 455, 1797, 1799, 1798, choose<&CharCreationGump::chooseElf>, 1072213);
    m_humanMark = addArtButton(
        *this, 180, 435, kChosenMark, kChosenMark, kChosenMark, choose<&CharCreationGump::chooseHuman>, 1072212);
    m_elfMark = addArtButton(
        *this, 180, 455, kOpenMark, kOpenMark, kOpenMark, choose<&CharCreationGump::chooseElf>, 1072213);
    m_next = addArtButton(*this, 610, 435, 5540, 5542, 5541, choose<&CharCreationGump::next>, kNextTooltip);
    addArtButton(*this, 586, 435, 5537, 5539, 5538, choose<&CharCreationGump::back>, 100044);
    addMainMenuButtons(*this);

    for (size_t i = 0; i < kPanels.size(); ++i) {
        auto* panel = new CPanelChoiceGump(490, kPanels[i].y, 130, 40, this, nullptr, kPanelFrameArt, false);
        panel->addItem(1, kPanels[i].text, kCreationLabelHue);
        panel->setTooltipId(kPanels[i].tooltip);
        panel->setVisible(i != SkirtPanel);
        gumpLink(panel, this);
        m_panels[i] = panel;
    }
    for (size_t i = 0; i < kHueControls.size(); ++i) {
        auto* control = new HueControl(
            489, 138, 125, 280, kHueControls[i].kind, kHueControlArt, kHueControls[i].randomStart);
        control->setTooltipId(kHueControls[i].tooltip);
        control->setVisible(false);
        gumpLink(control, this);
        m_hueControls[i] = control;
    }
    m_skinHue = m_hueControls[HumanSkin]->value();
    m_hairHue = m_hueControls[HumanHair]->value();
    m_facialHairHue = m_hueControls[FacialHair]->value();
    m_shirtHue = m_hueControls[Shirt]->value();
    m_trousersHue = m_hueControls[Trousers]->value();
    redraw();
}

CharCreationGump::~CharCreationGump()
{
    if (frontEnd().appearanceWindow.get() == this)
        frontEnd().appearanceWindow = GumpHandle();
}

std::string CharCreationGump::name() const { return m_nameEntry->narrowText(); }

void CharCreationGump::setMarks(Button* chosen, Button* open)
{
    for (auto [button, art] : { std::pair { chosen, kChosenMark }, std::pair { open, kOpenMark } }) {
        button->setArtId(art);
        button->setDownArt(art);
        button->setHoverArt(art);
    }
}

void CharCreationGump::setFacialHairVisible(bool visible)
{
    m_facialSelector->setVisible(visible);
    m_facialLabel->setVisible(visible);
    m_panels[FacialHairPanel]->setVisible(visible);
    if (!visible)
        m_hueControls[FacialHair]->setVisible(false);
}

void CharCreationGump::hideHueControls()
{
    for (HueControl* control : m_hueControls)
        control->setVisible(false);
}

void CharCreationGump::showHueControl(HueSlot slot)
{
    hideHueControls();
    HueControl* control = m_hueControls[size_t(slot)];
    control->setVisible(true);
    control->redraw();
    control->bringToFront(false);
}

void CharCreationGump::drawPreview(GumpPage& face)
{
    const bool female = m_gender != kMale;
    const int32_t skin = m_skinHue > 0 ? m_skinHue : 0;
    const int32_t body = m_race == kElfRace ? (female ? 1893 : 1894) : (female ? 1888 : 1889);
    drawArt(face, body, kPreviewX, kPreviewY, skin);
    drawArt(face, female ? 1891 : 1890, kPreviewX, kPreviewY, 0);
    drawArt(face, female ? 1892 : 1848, kPreviewX, kPreviewY, m_trousersHue);
    drawArt(face, female ? 1812 : 1849, kPreviewX, kPreviewY, m_shirtHue);
    if (m_hairItemId != 0) {
        const int32_t row = drawnHairRow(m_race, m_gender, m_hairRow);
        const HairStyle& style = hairTable(m_race)[size_t(row)];
        drawArt(face, female ? style.femaleArt : style.maleArt, kPreviewX, kPreviewY, m_hairHue >= 0 ? m_hairHue : 0);
    }
    if (m_facialHairItemId != 0 && m_race == kHumanRace && !female) {
        for (const FacialHairStyle& style : facialHairTable())
            if (style.itemId == m_facialHairItemId && style.art != 0)
                drawArt(face, style.art, kPreviewX, kPreviewY, m_facialHairHue >= 0 ? m_facialHairHue : 0);
    }
}

void CharCreationGump::drawSwatches(GumpPage& face)
{
    fillSwatch(face, kSwatchTop, m_skinHue);
    fillSwatch(face, kSwatchTop + kSwatchPitch, m_shirtHue);
    fillSwatch(face, kSwatchTop + 2 * kSwatchPitch, m_trousersHue);
    fillSwatch(face, kSwatchTop + 3 * kSwatchPitch, m_hairHue);
    if (m_race == kHumanRace && m_gender == kMale)
        fillSwatch(face, kSwatchTop + 4 * kSwatchPitch, m_facialHairHue);
}

void CharCreationGump::redraw()
{
    GumpPage* face = page(0);
    if (!face || !face->isAllocated())
        return;
    std::fill(face->pixels.begin(), face->pixels.end(), uint16_t(0));
    const int32_t body = m_race == kElfRace ? (m_gender ? 1893 : 1894) : (m_gender ? 1888 : 1889);
    if (gumpArtSize(body).width > 0) {
        drawNinePatchRecord(82, 125, 151, 310, kCreationFrameArt, *face, true);
        drawNinePatchRecord(475, 125, 151, 310, kCreationFrameArt, *face, true);
        drawGumpArt(copySpanTransparent, 1800, face->target(), 238, 98);
        drawGumpArt(copySpanTransparent, 1801, face->target(), 280, 53);
        drawGumpArt(copySpanTransparent, 1802, face->target(), 240, 73);
        drawGumpArt(copySpanTransparent, 1803, face->target(), 247, 73);
        drawGumpArt(copySpanTransparent, 1804, face->target(), 463, 73);
        drawPreview(*face);
        drawSwatches(*face);
    }
    const int32_t row = std::clamp(m_hairRow, 0, kHairRows - 1);
    m_hairSelector->setNarrowText(hairTable(m_race)[size_t(row)].name);
    m_hairSelector->setValue(hairTable(m_race)[size_t(row)].itemId);
    m_hairSelector->redraw();
    const int32_t facial = std::clamp(m_facialHairRow, 0, kFacialHairRows - 1);
    m_facialSelector->setNarrowText(facialHairTable()[size_t(facial)].name);
    m_facialSelector->setValue(facialHairTable()[size_t(facial)].itemId);
    m_facialSelector->redraw();
}

void CharCreationGump::chooseMale()
{
    m_gender = kMale;
    setMarks(m_maleMark, m_femaleMark);
    if (m_race == kHumanRace)
        setFacialHairVisible(true);
    m_panels[PantsPanel]->setVisible(true);
    m_panels[SkirtPanel]->setVisible(false);
    if (!isHairAllowed(m_race, m_gender, m_hairRow)) {
        m_hairRow = keptHairRow(m_race, m_gender, m_hairRow);
        m_hairItemId = hairTable(m_race)[size_t(m_hairRow)].itemId;
    }
    redraw();
}

void CharCreationGump::chooseFemale()
{
    m_gender = kFemale;
    setMarks(m_femaleMark, m_maleMark);
    setFacialHairVisible(false);
    m_panels[PantsPanel]->setVisible(false);
    m_panels[SkirtPanel]->setVisible(true);
    if (!isHairAllowed(m_race, m_gender, m_hairRow)) {
        m_hairRow = keptHairRow(m_race, m_gender, m_hairRow);
        m_hairItemId = hairTable(m_race)[size_t(m_hairRow)].itemId;
    }
    redraw();
}

void CharCreationGump::chooseHuman()
{
    if (m_race != kElfRace)
        return;
    m_race = kHumanRace;
    setMarks(m_humanMark, m_elfMark);
    if (m_gender == kMale)
        setFacialHairVisible(true);
    m_hueControls[ElfSkin]->setVisible(false);
    m_hueControls[ElfHair]->setVisible(false);
    m_skinHue = m_hueControls[HumanSkin]->value();
    m_hairHue = m_hueControls[HumanHair]->value();
    m_hairRow = keptHairRow(m_race, m_gender, m_hairRow);
    m_hairItemId = hairTable(m_race)[size_t(m_hairRow)].itemId;
    m_next->setDisabled(false);
    m_next->setTooltipId(kNextTooltip);
    redraw();
}

void CharCreationGump::chooseElf()
{
    if (m_race != kHumanRace)
        return;
    m_race = kElfRace;
    setMarks(m_elfMark, m_humanMark);
    setFacialHairVisible(false);
    m_hueControls[HumanSkin]->setVisible(false);
    m_hueControls[HumanHair]->setVisible(false);
    m_skinHue = m_hueControls[ElfSkin]->value();
    m_hairHue = m_hueControls[ElfHair]->value();
    m_hairRow = keptHairRow(m_race, m_gender, m_hairRow);
    m_hairItemId = hairTable(m_race)[size_t(m_hairRow)].itemId;
    const bool entitled = characterListFlag(kElfListFlag) || configValues().editServer.address != 0;
    if (!entitled) {
        m_next->setDisabled(true);
        m_next->setTooltipId(kElfNoEntitlementTooltip);
    } else if (!hasServerFeature(kElfFeature)) {
        m_next->setDisabled(true);
        m_next->setTooltipId(kElfNoFeatureTooltip);
    }
    redraw();
}

void CharCreationGump::onControlChanged(CGump* control)
{
    if (control == m_panels[HairPanel])
        showHueControl(m_race == kElfRace ? ElfHair : HumanHair);
    else if (control == m_panels[SkinPanel])
        showHueControl(m_race == kElfRace ? ElfSkin : HumanSkin);
    else if (control == m_panels[FacialHairPanel]) {
        if (m_race == kHumanRace && m_gender == kMale)
            showHueControl(FacialHair);
    } else if (control == m_panels[ShirtPanel])
        showHueControl(Shirt);
    else if (control == m_panels[PantsPanel] || control == m_panels[SkirtPanel])
        showHueControl(Trousers);
    else if (control == m_hueControls[HumanHair] || control == m_hueControls[ElfHair])
        m_hairHue = static_cast<HueControl*>(control)->value();
    else if (control == m_hueControls[HumanSkin] || control == m_hueControls[ElfSkin])
        m_skinHue = static_cast<HueControl*>(control)->value();
    else if (control == m_hueControls[FacialHair])
        m_facialHairHue = m_hueControls[FacialHair]->value();
    else if (control == m_hueControls[Shirt])
        m_shirtHue = m_hueControls[Shirt]->value();
    else if (control == m_hueControls[Trousers])
        m_trousersHue = m_hueControls[Trousers]->value();
    else if (control == m_hairSelector) {
        const std::vector<int32_t> rows = allowedHairRows(m_race, m_gender);
        const int32_t position = m_hairSelector->value();
        if (position >= 0 && size_t(position) < rows.size()) {
            m_hairRow = rows[size_t(position)];
            m_hairItemId = hairTable(m_race)[size_t(m_hairRow)].itemId;
        }
    } else if (control == m_facialSelector) {
        const int32_t row = m_facialSelector->value();
        if (row >= 0 && row < kFacialHairRows) {
            m_facialHairRow = row;
            m_facialHairItemId = facialHairTable()[size_t(row)].itemId;
        }
    }
    redraw();
}

void CharCreationGump::openStyleList(CGump* control)
{
    int32_t x = 0;
    int32_t y = 0;
    control->localToScreen(x, y);
    SizedListBoxControl* list = nullptr;
    if (control == m_hairSelector) {
        list = new SizedListBoxControl(x, y, 3000, 130, 30, 1, kCreationNameHue, 2);
        const std::vector<int32_t> rows = allowedHairRows(m_race, m_gender);
        for (size_t i = 0; i < rows.size(); ++i)
            list->addItem(int32_t(i), hairTable(m_race)[size_t(rows[i])].name);
    } else if (control == m_facialSelector && m_race == kHumanRace && m_gender == kMale) {
        list = new SizedListBoxControl(x + 3, y, 3000, 170, 30, 1, kCreationNameHue, 2);
        for (int32_t row = 0; row < kFacialHairRows; ++row)
            list->addItem(row, facialHairTable()[size_t(row)].name);
    }
    if (list)
        showListBox(list, static_cast<TextEntryCore*>(control));
}

void CharCreationGump::onEnter()
{
    if (!m_next->isDisabled())
        next();
}

void CharCreationGump::next()
{
    std::string typed = name();
    if (typed.size() < 2) {
        setVisible(false);
        showMessage(std::string(kTooShortText), this, false);
        return;
    }
    // The name must pass the name rules and the player's own word list.
    std::string censored = typed;
    censorTextNarrow(censored.data());
    if (validateCharacterName(typed) != 0 || censored != typed) {
        setVisible(false);
        showMessage(std::string(kUnacceptableText), this, false);
        return;
    }
    setVisible(false);
    NewCharacterRecord& record = newCharacterRecord();
    std::fill(std::begin(record.name), std::end(record.name), '\0');
    std::copy_n(typed.begin(), std::min(typed.size(), sizeof record.name), record.name);
    startLocationStep(*this);
}

void CharCreationGump::back()
{
    FrontEndRecords& records = frontEnd();
    GumpHandle self(this);
    if (auto* profession = rememberedWindow<ProfessionGump>(records.professionWindow)) {
        if (records.advancedMode) {
            profession->setVisible(true);
        } else {
            closeGump(profession);
            openProfessionWindow();
        }
    } else {
        openProfessionWindow();
    }
    if (!self)
        return;
    setVisible(false);
    closeGump(this);
}

CharCreationGump* openAppearanceWindow()
{
    FrontEndRecords& records = frontEnd();
    if (auto* window = rememberedWindow<CharCreationGump>(records.appearanceWindow)) {
        window->setVisible(true);
        window->bringToFront(false);
        return window;
    }
    auto* window = new CharCreationGump();
    gumpLink(window, nullptr);
    records.appearanceWindow = GumpHandle(window);
    return window;
}

bool sendAppearanceRaceChangeReply(
    int32_t skinHue, int32_t hairItemId, int32_t hairHue, int32_t facialHairItemId, int32_t facialHairHue)
{
    PacketStorage<32> packet;
    if (!buildRaceChangeReplyPacket(packet, uint16_t(skinHue + 1), uint16_t(hairItemId), uint16_t(hairHue + 1),
            uint16_t(facialHairItemId), uint16_t(facialHairHue + 1)))
        return false;
    return sendPacket(packet);
}
