#include "windows/race_change_gump.h"

#include "gfx/gump_art.h"
#include "gfx/hue_table.h"
#include "gfx/pixel_spans.h"
#include "gump/button.h"
#include "gump/gump_canvas.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/gump_services.h"
#include "gump/hue_control.h"
#include "gump/input_control.h"
#include "gump/list_box.h"
#include "text/ascii_font.h"
#include "windows/window_packets.h"

#include <algorithm>

namespace {

constexpr int32_t kRaceFrameArt = 3600;
constexpr int32_t kPanelArt = 3500;
constexpr int32_t kPickerArt = 3604;
constexpr int32_t kListArt = 3000;
constexpr int32_t kRaceLabelHue = 1153;
constexpr int32_t kRaceNameHue = 902;
constexpr int32_t kRaceLabelFont = 9;
constexpr int32_t kRacePreviewX = 183;
constexpr int32_t kRacePreviewY = 18;
constexpr int32_t kPanelX = 435;
constexpr int32_t kPanelWidth = 130;
constexpr int32_t kPanelHeight = 40;
constexpr int32_t kSwatchWidth = 121;
constexpr int32_t kSwatchHeight = 24;
constexpr int32_t kSwatchOffset = 14;
constexpr int32_t kHumanMaleBody = 1889;
constexpr int32_t kHumanFemaleBody = 1888;
constexpr int32_t kElfMaleBody = 1894;
constexpr int32_t kElfFemaleBody = 1893;

struct PickerPlace {
    int32_t kind;
    int32_t tooltip;
};
// In Picker order.
constexpr std::array<PickerPlace, RaceChangeGump::PickerCount> kPickers { {
    { 0, 100039 },
    { 6, 100039 },
    { 1, 100035 },
    { 7, 100035 },
    { 2, 100037 },
} };

struct RacePanelPlace {
    const char* label;
    int32_t y;
    int32_t tooltip;
};
// In Panel order.
constexpr std::array<RacePanelPlace, RaceChangeGump::PanelCount> kRacePanels { {
    { "Skin Tone", 60, 100039 },
    { "Hair Color", 105, 100035 },
    { "Facial Hair Color", 150, 100037 },
} };

GumpHandle& currentRaceChange()
{
    static GumpHandle gump;
    return gump;
}

void drawHued(GumpPage& face, int32_t art, int32_t hue)
{
    if (hue > 0) {
        setCurrentHue(hue);
        drawGumpArt(hueSpanByRed, art, face.target(), kRacePreviewX, kRacePreviewY);
    } else {
        drawGumpArt(copySpanTransparent, art, face.target(), kRacePreviewX, kRacePreviewY);
    }
}

void fillRaceSwatch(GumpPage& face, int32_t x, int32_t y, int32_t hue)
{
    if (hue < 0 || hue >= HueTable::kEntryCount)
        return;
    const uint16_t colour = uint16_t(hueTable().entry(hue).colours[16] | 1);
    for (int32_t row = std::max(y, 0); row < std::min(y + kSwatchHeight, face.height); ++row)
        for (int32_t column = std::max(x, 0); column < std::min(x + kSwatchWidth, face.width); ++column)
            face.pixels[size_t(row) * size_t(face.width) + size_t(column)] = colour;
}

InputControl* addRaceLabel(CGump& parent, int32_t x, int32_t y, const char* text, int32_t tooltip)
{
    auto* label = new InputControl(x, y, EntrySize { 160, 30, false }, int32_t(EntryMode::Text), 30, kRaceLabelFont,
        kRaceLabelHue, false, false);
    label->options.readOnly = true;
    label->setNarrowText(text);
    label->setTooltipId(tooltip);
    label->redraw();
    gumpLink(label, &parent);
    return label;
}

TextEntry* addField(CGump& parent, int32_t x, int32_t y)
{
    auto* field = new TextEntry(
        x, y, EntrySize { 121, 24, false }, int32_t(EntryMode::ComboText), 30, 1, kRaceNameHue, false, false);
    field->iconArt = 253;
    gumpLink(field, &parent);
    return field;
}

Button* addIndicator(CGump& parent, int32_t x, int32_t y, int32_t up, int32_t down, int32_t hover, int32_t tooltip)
{
    auto* button = new Button(x, y, ButtonBehaviour::ClickOnRelease, 0, nullptr, up, down, false);
    button->setHoverArt(hover);
    button->setDisabled(true);
    button->setTooltipId(tooltip);
    gumpLink(button, &parent);
    return button;
}

template <RaceChangeGump::Panel Which>
void onPanel(CGump* parent)
{
    static_cast<RaceChangeGump*>(parent)->openPanel(Which);
}

} // namespace

RaceChangeGump::RaceChangeGump(bool female, bool elf)
    : CGump(0, 0, nullptr, 1, kWidth, kHeight)
    , m_female(female)
    , m_elf(elf)
    , m_hairRow(elf ? 2 : 1)
{
    setTypeName("RaceChange gump");
    addKind(GumpKind::RaceChange);
    const GumpScreen& screen = gumpScreen();
    setLocation((screen.gameWidth - kWidth) / 2, (screen.gameHeight - kHeight) / 2);
    m_hairGraphic = raceChangeHairTable(elf)[size_t(m_hairRow)].graphic;
    currentRaceChange() = GumpHandle(this);

    addRaceLabel(*this, 42, 60, "Hair Style", 100036);
    m_hairField = addField(*this, 42, 74);
    addRaceLabel(*this, 42, 105, "Facial Hair Style", 100037);
    m_facialField = addField(*this, 42, 119);
    static constexpr std::array<GumpCallback, PanelCount> kPanelCallbacks { &onPanel<SkinPanel>,
        &onPanel<HairPanel>, &onPanel<FacialHairPanel> };
    for (int32_t which = 0; which < PanelCount; ++which) {
        if (which == FacialHairPanel && !hasFacialHair())
            continue;
        const RacePanelPlace& place = kRacePanels[size_t(which)];
        Button* spot = Button::hotSpot(kPanelX, place.y, kPanelX + kPanelWidth - 1, place.y + kPanelHeight - 1,
            ButtonBehaviour::ClickOnRelease, 0, kPanelCallbacks[size_t(which)], false);
        spot->setTooltipId(place.tooltip);
        gumpLink(spot, this);
        m_panels[size_t(which)] = GumpHandle(spot);
    }
    if (m_female)
        addIndicator(*this, 425, 360, 1805, 1807, 1806, 1072211);
    else
        addIndicator(*this, 425, 360, 1808, 1810, 1809, 1072211);
    if (m_elf)
        addIndicator(*this, 95, 360, 1797, 1799, 1798, 1072213);
    else
        addIndicator(*this, 95, 360, 1794, 1796, 1795, 1072212);
    auto* ok = new Button(550, 360, ButtonBehaviour::ClickOnRelease, 0, onParent<&RaceChangeGump::accept>, 5540,
        5542, false);
    ok->setHoverArt(5541);
    ok->setTooltipId(100045);
    gumpLink(ok, this);

    // The pickers lie over the panels, so they are linked last (on top).
    for (int32_t which = 0; which < PickerCount; ++which) {
        auto* control = new HueControl(434, 58, 125, 280, kPickers[size_t(which)].kind, kPickerArt, false);
        control->setTooltipId(kPickers[size_t(which)].tooltip);
        control->setVisible(false);
        gumpLink(control, this);
        m_pickers[size_t(which)] = GumpHandle(control);
    }
    m_skinHue = picker(m_elf ? ElfSkin : HumanSkin)->value();
    m_hairHue = picker(m_elf ? ElfHair : HumanHair)->value();
    m_facialHairHue = picker(FacialHair)->value();
    page(0)->allocate(kWidth, kHeight);
    redraw();
}

RaceChangeGump::~RaceChangeGump() { deleteChildren(); }

HueControl* RaceChangeGump::picker(Picker which) const
{
    return static_cast<HueControl*>(m_pickers[size_t(which)].get());
}

void RaceChangeGump::redraw()
{
    GumpPage& face = *page(0);
    if (!face.isAllocated())
        return;
    std::fill(face.pixels.begin(), face.pixels.end(), uint16_t(0));
    drawNinePatchRecord(0, 0, kWidth, kHeight, kRaceFrameArt, face, true);
    drawNinePatchRecord(27, 45, 151, 310, kRaceFrameArt, face, true);
    drawNinePatchRecord(420, 45, 151, 310, kRaceFrameArt, face, true);
    drawGumpArt(copySpanTransparent, 1800, face.target(), kRacePreviewX, kRacePreviewY);
    drawGumpArt(copySpanTransparent, 1897, face.target(), 213, kRacePreviewY);

    const int32_t body = m_elf ? (m_female ? kElfFemaleBody : kElfMaleBody)
                               : (m_female ? kHumanFemaleBody : kHumanMaleBody);
    drawHued(face, body, m_skinHue);
    const RaceHairStyle& hair = raceChangeHairTable(m_elf)[size_t(m_hairRow)];
    const int32_t hairArt = m_female ? hair.femaleArt : hair.maleArt;
    if (hairArt != 0)
        drawHued(face, hairArt, m_hairHue);
    const RaceFacialHairStyle& beard = raceChangeFacialHairTable()[size_t(m_facialHairRow)];
    if (hasFacialHair() && beard.art != 0)
        drawHued(face, beard.art, m_facialHairHue);

    TextSurface surface = face.surface();
    for (int32_t which = 0; which < PanelCount; ++which) {
        if (which == FacialHairPanel && !hasFacialHair())
            continue;
        const RacePanelPlace& place = kRacePanels[size_t(which)];
        drawNinePatchRecord(kPanelX, place.y, kPanelWidth, kPanelHeight, kPanelArt, face, true);
        drawAsciiText(kPanelX + 6, place.y + 1, kRaceLabelFont, kRaceLabelHue, place.label, surface, wholeSurface(surface));
    }
    fillRaceSwatch(face, kPanelX, kRacePanels[SkinPanel].y + kSwatchOffset, m_skinHue);
    fillRaceSwatch(face, kPanelX, kRacePanels[HairPanel].y + kSwatchOffset, m_hairHue);
    if (hasFacialHair())
        fillRaceSwatch(face, kPanelX, kRacePanels[FacialHairPanel].y + kSwatchOffset, m_facialHairHue);

    m_hairField->setNarrowText(hair.name);
    m_hairField->redraw();
    m_facialField->setNarrowText(beard.name);
    m_facialField->redraw();
}

void RaceChangeGump::openPanel(Panel which)
{
    for (const GumpHandle& handle : m_pickers) {
        if (CGump* control = handle.get())
            control->setVisible(false);
    }
    HueControl* shown = nullptr;
    if (which == SkinPanel)
        shown = picker(m_elf ? ElfSkin : HumanSkin);
    else if (which == HairPanel)
        shown = picker(m_elf ? ElfHair : HumanHair);
    else if (hasFacialHair())
        shown = picker(FacialHair);
    if (shown) {
        shown->setVisible(true);
        shown->bringToFront(true);
    }
}

void RaceChangeGump::onControlChanged(CGump* control)
{
    if (control == picker(HumanSkin) || control == picker(ElfSkin)) {
        m_skinHue = static_cast<HueControl*>(control)->value();
    } else if (control == picker(HumanHair) || control == picker(ElfHair)) {
        m_hairHue = static_cast<HueControl*>(control)->value();
    } else if (control == picker(FacialHair)) {
        m_facialHairHue = picker(FacialHair)->value();
    } else if (control == m_hairField) {
        // The list counts only the styles the gender may wear.
        const std::vector<int32_t> rows = raceChangeHairRows(m_elf, m_female);
        const int32_t position = m_hairField->value();
        if (position >= 0 && size_t(position) < rows.size()) {
            m_hairRow = rows[size_t(position)];
            m_hairGraphic = raceChangeHairTable(m_elf)[size_t(m_hairRow)].graphic;
        }
    } else if (control == m_facialField) {
        const int32_t row = m_facialField->value();
        if (row >= 0 && row < kRaceFacialHairRows) {
            m_facialHairRow = row;
            m_facialHairGraphic = raceChangeFacialHairTable()[size_t(row)].graphic;
        }
    }
    redraw();
}

void RaceChangeGump::onControlActivated(CGump* control)
{
    int32_t x = 0;
    int32_t y = 0;
    control->localToScreen(x, y);
    SizedListBoxControl* list = nullptr;
    if (control == m_hairField) {
        list = new SizedListBoxControl(x, y, kListArt, 130, 30, 1, kRaceNameHue, 2);
        const std::vector<int32_t> rows = raceChangeHairRows(m_elf, m_female);
        for (size_t i = 0; i < rows.size(); ++i)
            list->addItem(int32_t(i), raceChangeHairTable(m_elf)[size_t(rows[i])].name);
    } else if (control == m_facialField && hasFacialHair()) {
        list = new SizedListBoxControl(x + 3, y, kListArt, 170, 30, 1, kRaceNameHue, 2);
        for (int32_t row = 0; row < kRaceFacialHairRows; ++row)
            list->addItem(row, raceChangeFacialHairTable()[size_t(row)].name);
    }
    if (list)
        showListBox(list, static_cast<TextEntryCore*>(control));
}

void RaceChangeGump::accept()
{
    sendRaceChangeReply(uint16_t(m_skinHue + 1), m_hairGraphic, uint16_t(m_hairHue + 1),
        hasFacialHair() ? m_facialHairGraphic : 0, uint16_t(m_facialHairHue + 1));
    closeGump(this);
}

void RaceChangeGump::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    drawPage(canvas);
    drawChildren(canvas);
}

bool RaceChangeGump::containsPoint(int32_t x, int32_t y)
{
    GumpPage* face = page(0);
    if (!face || !face->isAllocated() || x < 0 || y < 0 || x >= face->width || y >= face->height)
        return false;
    return face->pixel(x, y) != 0;
}

void RaceChangeGump::onLeftDown(int32_t x, int32_t y)
{
    GumpHandle self(this);
    bringToFront(false);
    if (!self)
        return;
    setDragAnchor(x, y);
    m_pressed = true;
}

void RaceChangeGump::onLeftUp(int32_t, int32_t)
{
    m_pressed = false;
    service<GumpPointer>().clearPointerCaptureIf(this);
}

void RaceChangeGump::onDrag(int32_t x, int32_t y)
{
    if (m_pressed)
        moveBy(x - dragAnchorX(), y - dragAnchorY(), true, nullptr, true);
}

void RaceChangeGump::onRightUp(int32_t, int32_t)
{
    sendRaceChangeRefusal();
    service<GumpPointer>().clearPointerCaptureIf(this);
    closeGump(this);
}

RaceChangeGump* findRaceChangeGump() { return static_cast<RaceChangeGump*>(currentRaceChange().get()); }

RaceChangeGump* openRaceChange(bool open, uint8_t gender, uint8_t race)
{
    closeGump(findRaceChangeGump());
    if (!open)
        return nullptr;
    auto* gump = new RaceChangeGump(gender == 1, race == 1);
    gumpLink(gump, nullptr);
    return gump;
}
