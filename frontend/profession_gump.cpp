#include "frontend/profession_gump.h"

#include "core/message_boxes.h"
#include "data/config_key_rules.h"
#include "data/server_features.h"
#include "data/skill_names.h"
#include "frontend/char_creation_gump.h"
#include "frontend/character_selection.h"
#include "frontend/choice_panels.h"
#include "frontend/front_end_state.h"
#include "frontend/login_sequence.h"
#include "frontend/main_menu.h"
#include "frontend/profession_list.h"
#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"
#include "gump/button.h"
#include "gump/entry_core.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/gump_services.h"
#include "net/new_character_record.h"
#include "protocol/protocol_text.h"
#include "text/ascii_font.h"
#include "text/localization.h"
#include "text/string_file.h"
#include "text/unicode_font.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr int32_t kTitleCliloc = 3000326;
constexpr int32_t kProfessionTitleHue = 847;
constexpr int32_t kSelectorHue = 902;
constexpr int32_t kAdvancedArt = 5504;
constexpr int32_t kAdvancedTooltip = 1061226;
constexpr int32_t kButtonFrameArt = 3000;
constexpr int32_t kProfessionUpArt = 5545;
constexpr uint16_t kLabelColour = 0x8000;
constexpr uint32_t kLabelStyle = 0x12;
constexpr int32_t kStatFont = 1;
constexpr int32_t kStatHue = 1;
constexpr const char* kClickHere = "Click here";
constexpr const char* kUniqueSkillsText = "You must have three unique skills chosen!";

struct SliderPlace {
    int32_t kind, x, y, value;
};
constexpr std::array<SliderPlace, 6> kSliders = { {
    { 1, 160, 191, 60 },
    { 2, 160, 271, 10 },
    { 3, 160, 351, 10 },
    { 4, 340, 201, 50 },
    { 5, 340, 281, 50 },
    { 6, 340, 361, 0 },
} };
constexpr std::array<int32_t, 3> kStatRows = { 181, 261, 341 };
constexpr std::array<int32_t, 3> kSkillValueRows = { 211, 291, 371 };
constexpr std::array<int32_t, 3> kSelectorRows = { 171, 251, 331 };
constexpr std::array<const char*, 3> kStatNames = { "Strength", "Dexterity", "Intelligence" };

bool editServerSet() { return configValues().editServer.address != 0; }

std::string narrowOf(const std::u16string& text)
{
    std::string out;
    for (char16_t unit : text)
        out.push_back(char(unit & 0xFF));
    return out;
}

// The advanced button's label: entry 0 of the "professn" strings.
std::u16string advancedLabel()
{
    if (StringFile* file = findStringFile("professn", getLanguageCode(), "professn", false, false, false))
        if (const WString* text = file->getString(0))
            if (text->c_str())
                return std::u16string(text->c_str());
    return u"Advanced";
}

} // namespace

std::u16string professionNameText(int32_t textId) { return clilocText(textId); }

std::u16string professionDescriptionText(int32_t textId) { return clilocText(textId); }

ProfessionButton::ProfessionButton(int32_t x, int32_t y, int32_t record, ProfessionGump& window)
    : CGump(x, y, nullptr, 1, kWidth, kHeight)
    , m_record(record)
    , m_window(window)
{
    setTypeName("profession button");
    page(0)->allocate(kWidth, kHeight);
    paintFace();
}

void ProfessionButton::paintFace()
{
    GumpPage& face = *page(0);
    std::fill(face.pixels.begin(), face.pixels.end(), uint16_t(0));
    drawNinePatchRecord(10, 13, 175, 34, kButtonFrameArt, face, true);
    const std::vector<ProfessionRecord>& list = professionList();
    const ProfessionRecord* record
        = m_record >= 0 && size_t(m_record) < list.size() ? &list[size_t(m_record)] : nullptr;
    const int32_t art = record ? record->buttonArt : kAdvancedArt;
    drawGumpArt(copySpanTransparent, m_pressed ? art + (record ? 1 : 2) : art, face.target(), 130, 0);
    const std::u16string label = record ? professionNameText(record->nameTextId) : advancedLabel();
    pushUnicodeStyle(kLabelStyle);
    drawUnicodeTextWrapped(face.surface(), 145, label.c_str(), 17, 20, kLabelColour, wholeSurface(face.surface()), false);
    popUnicodeStyle();
}

void ProfessionButton::onLeftDown(int32_t, int32_t)
{
    m_pressed = true;
    paintFace();
}

void ProfessionButton::onLeftUp(int32_t, int32_t)
{
    m_pressed = false;
    service<GumpPointer>().setPointerCapture(nullptr);
    paintFace();
    // The window deletes its buttons, this one among them.
    m_window.onProfessionChosen(*this);
}

WString ProfessionButton::getTooltipText(int32_t, int32_t)
{
    if (!frontEnd().professionWindow)
        return WString();
    const std::vector<ProfessionRecord>& list = professionList();
    const int32_t id = m_record >= 0 && size_t(m_record) < list.size() ? list[size_t(m_record)].descriptionTextId
                                                                         : kAdvancedTooltip;
    return WString(professionDescriptionText(id).c_str());
}

SkillSelector::SkillSelector(int32_t x, int32_t y, int32_t eventCode, ProfessionGump& window)
    : TextEntry(x, y, EntrySize { 175, 25, false }, int32_t(EntryMode::Text), 30, 1, kSelectorHue, false, false)
    , m_eventCode(eventCode)
    , m_window(window)
{
    options.readOnly = true;
    setTooltipId(kNoTooltip);
    setNarrowText(kClickHere);
    redraw();
}

void SkillSelector::onLeftUp(int32_t, int32_t)
{
    service<GumpPointer>().setPointerCapture(nullptr);
    m_window.onCreationEvent(m_eventCode);
}

ProfessionGump::ProfessionGump()
    : FrontEndGump(0, 0, kFrontEndWidth, kFrontEndHeight)
{
    setTypeName("normal gump");
    setTooltipId(-1);
    makePage();
    addMainMenuButtons(*this);

    auto* title = new InputControl(
        155, 124, EntrySize { 400, 30, false }, int32_t(EntryMode::Text), 60, 2, kProfessionTitleHue, false, false);
    title->options.readOnly = true;
    title->setNarrowText(narrowOf(clilocText(kTitleCliloc)));
    title->setTooltipId(kNoTooltip);
    title->redraw();
    gumpLink(title, this);

    loadProfessions();
    m_statGroup = std::make_unique<SliderGroup>(80, 80, kStatEvent, this);
    m_skillGroup = std::make_unique<SliderGroup>(100, 100, kSkillEvent, this);
    for (size_t i = 0; i < kSliders.size(); ++i) {
        const SliderPlace& place = kSliders[i];
        auto* slider = new SliderGump();
        slider->setKind(place.kind);
        const bool stat = place.kind <= 3;
        slider->setRange(stat ? 10 : 0, stat ? 60 : 50);
        slider->setValue(place.value);
        slider->setLocation(place.x, place.y);
        slider->placeKnob();
        slider->setVisible(false);
        gumpLink(slider, this);
        (stat ? m_statGroup : m_skillGroup)->addMember(slider);
        m_sliders[i] = slider;
    }
    for (size_t i = 0; i < m_selectors.size(); ++i) {
        auto* selector = new SkillSelector(340, kSelectorRows[i], kFirstSelectorEvent + int32_t(i), *this);
        selector->setVisible(false);
        gumpLink(selector, this);
        m_selectors[i] = selector;
    }

    m_skillList = new SkillChoiceList(this, 3000, 200, 215);
    m_skillList->setLocation(320, 168);
    m_skillList->setVisible(false);
    if (skillNameTable().count == 0)
        loadSkillNames();
    const SkillNameTable& skills = skillNameTable();
    for (int32_t i = 0; i < skills.count; ++i) {
        const int32_t number = skills.alphabetical[size_t(i)];
        if (isSkillOffered(number))
            m_skillList->addItem(number, std::string(skills.nameOf(number)), 0);
    }
    m_skillList->redrawList();
    gumpLink(m_skillList, this);

    auto addArrow = [this](int32_t x, int32_t art, GumpCallback callback) {
        auto* arrow = new Button(x, 435, ButtonBehaviour::ClickOnRelease, 0, callback, art, art + 2, false);
        arrow->setHoverArt(art + 1);
        gumpLink(arrow, this);
    };
    addArrow(610, 5540, onParent<&ProfessionGump::proceed>);
    addArrow(586, 5537, onParent<&ProfessionGump::back>);

    m_chosenSkills = { 0, 0, 0 };
    for (NewCharacterSkill& skill : newCharacterRecord().skills)
        skill.number = 0;
    applyRecord(-1);
}

ProfessionGump::~ProfessionGump()
{
    // The sliders are children and go with the window; their group must not
    // be reached while they die.
    for (SliderGump* slider : m_sliders)
        if (slider)
            slider->setGroup(nullptr);
    if (frontEnd().professionWindow.get() == this)
        frontEnd().professionWindow = GumpHandle();
}

void ProfessionGump::showControls(bool sliders, bool selectors)
{
    for (SliderGump* slider : m_sliders)
        slider->setVisible(sliders);
    for (SkillSelector* selector : m_selectors)
        selector->setVisible(selectors);
}

void ProfessionGump::deleteButtons()
{
    std::vector<ProfessionButton*> buttons;
    buttons.swap(m_buttons);
    for (ProfessionButton* button : buttons)
        closeGump(button);
}

void ProfessionGump::addProfessionButton(int32_t record, int32_t index)
{
    auto* button = new ProfessionButton(index % 2 == 0 ? 135 : 330, (index / 2) * 70 + 155, record, *this);
    gumpLink(button, this);
    m_buttons.push_back(button);
}

void ProfessionGump::applyRecord(int32_t record)
{
    showControls(false, false);
    m_showStats = false;
    frontEnd().advancedMode = false;
    deleteButtons();
    const std::vector<ProfessionRecord>& list = professionList();
    if (record < 0 || size_t(record) >= list.size()) {
        int32_t index = 0;
        for (size_t i = 0; i < list.size(); ++i)
            if (list[i].topLevel)
                addProfessionButton(int32_t(i), index++);
        addProfessionButton(-1, index);
    } else if (list[size_t(record)].category) {
        int32_t index = 0;
        for (const std::string& child : list[size_t(record)].children) {
            const int32_t found = findProfession(child);
            if (found < 0) {
                const std::string text = "Couldn't find Profession " + child
                    + " in profession.txt.  Please insure that VO is fully installed on your computer.";
                showMessageBox(text.c_str(), "Profession Gump", AfterBox::Return);
                break;
            }
            addProfessionButton(found, index++);
        }
    } else {
        const ProfessionRecord& chosen = list[size_t(record)];
        showControls(true, false);
        m_showStats = true;
        const std::array<int32_t, 3> stats = { chosen.strength, chosen.dexterity, chosen.intelligence };
        for (int32_t i = 0; i < 3; ++i) {
            m_sliders[size_t(i)]->setValue(stats[size_t(i)]);
            const bool has = size_t(i) < chosen.skills.size();
            m_sliders[size_t(3 + i)]->setValue(has ? chosen.skills[size_t(i)].value : 0);
            m_chosenSkills[size_t(i)] = has ? chosen.skills[size_t(i)].number : 0;
        }
        // A template whose values do not add up is brought to the sums the
        // sliders keep, around its first stat and first skill.
        if (m_statGroup->sum() != m_statGroup->total())
            m_statGroup->redistribute(*m_sliders[0]);
        if (m_skillGroup->sum() != m_skillGroup->total())
            m_skillGroup->redistribute(*m_sliders[3]);
        for (SliderGump* slider : m_sliders)
            slider->placeKnob();
        m_professionId = chosen.id;
    }
    redraw();
}

void ProfessionGump::onProfessionChosen(ProfessionButton& button)
{
    const int32_t record = button.record();
    const std::vector<ProfessionRecord>& list = professionList();
    if (record < 0 || size_t(record) >= list.size()) {
        frontEnd().advancedMode = true;
        deleteButtons();
        showControls(true, true);
        m_showStats = true;
        m_chosenSkills = { 0, 0, 0 };
        for (SkillSelector* selector : m_selectors) {
            selector->setNarrowText(kClickHere);
            selector->redraw();
        }
        redraw();
        return;
    }
    const int32_t id = list[size_t(record)].id;
    const bool edit = editServerSet();
    if ((id == 4 || id == 5) && !(hasServerFeature(kProfessionNecromancyFeature) && (characterListFlag(5) || edit))) {
        showMessage(clilocText(1062042), nullptr, false);
        return;
    }
    if ((id == 6 || id == 7) && !(hasServerFeature(kProfessionSamuraiFeature) && (characterListFlag(7) || edit))) {
        showMessage(clilocText(1063016), nullptr, false);
        return;
    }
    applyRecord(record);
    m_previous = m_current;
    m_current = record;
    if (list[size_t(record)].category)
        return;
    GumpHandle self(this);
    proceed();
    if (self)
        redraw();
}

void ProfessionGump::onLeftDown(int32_t x, int32_t y)
{
    const GumpArtSize up = gumpArtSize(kProfessionUpArt);
    if (x >= 231 && y >= 51 && x < 231 + up.width && y < 51 + up.height)
        onCreationEvent(kUpEvent);
}

void ProfessionGump::onCreationEvent(int32_t code)
{
    const std::vector<ProfessionRecord>& list = professionList();
    switch (code) {
    case kUpEvent:
        m_current = m_current >= 0 && size_t(m_current) < list.size() ? list[size_t(m_current)].parent : -1;
        applyRecord(m_current);
        break;
    case 7:
    case 8:
    case 9:
        m_activeSelector = code - kFirstSelectorEvent;
        m_skillList->setVisible(true);
        m_skillList->bringToFront(false);
        break;
    case SkillChoiceList::kChosenEvent: {
        const int32_t row = m_skillList->chosenRow();
        if (row >= 0 && row < m_skillList->count()) {
            const int32_t number = m_skillList->valueAt(row);
            m_chosenSkills[size_t(m_activeSelector)] = number;
            SkillSelector* selector = m_selectors[size_t(m_activeSelector)];
            selector->setNarrowText(std::string(skillNameTable().nameOf(number)));
            selector->redraw();
        }
        break;
    }
    default:
        break;
    }
    storeChoices();
    redraw();
}

void ProfessionGump::storeChoices()
{
    NewCharacterRecord& record = newCharacterRecord();
    for (size_t i = 0; i < 3; ++i) {
        record.skills[i].number = uint8_t(m_chosenSkills[i]);
        record.skills[i].value = uint8_t(std::clamp(m_sliders[3 + i]->value(), 0, 255));
    }
    record.strength = uint8_t(std::clamp(m_sliders[0]->value(), 10, 255));
    record.dexterity = uint8_t(std::clamp(m_sliders[1]->value(), 10, 255));
    record.intelligence = uint8_t(std::clamp(m_sliders[2]->value(), 10, 255));
    record.professionId = uint32_t(m_professionId);
}

void ProfessionGump::redraw()
{
    GumpPage* face = page(0);
    if (!face || !face->isAllocated())
        return;
    std::fill(face->pixels.begin(), face->pixels.end(), uint16_t(0));
    drawNinePatchRecord(100, 80, 470, 372, 2600, *face, true);
    drawGumpArt(copySpanTransparent, 1419, face->target(), 213, 57);
    drawGumpArt(copySpanTransparent, 1417, face->target(), 290, 44);
    drawGumpArt(copySpanTransparent, 5546, face->target(), 299, 53);
    if (!m_showStats)
        return;
    const TextSurface surface = face->surface();
    const TextClip whole = wholeSurface(surface);
    char number[16];
    for (size_t i = 0; i < 3; ++i) {
        drawAsciiText(160, kStatRows[i], kStatFont, kStatHue, kStatNames[i], surface, whole);
        std::snprintf(number, sizeof number, "%d", m_sliders[i]->value());
        drawAsciiText(285, kStatRows[i], kStatFont, kStatHue, number, surface, whole);
        std::snprintf(number, sizeof number, "%d", m_sliders[3 + i]->value());
        TextClip cut = whole;
        cut.right = std::min(cut.right, 530);
        drawAsciiText(495, kSkillValueRows[i], kStatFont, kStatHue, number, surface, cut);
    }
}

void ProfessionGump::proceed()
{
    const bool unique = m_chosenSkills[0] != m_chosenSkills[1] && m_chosenSkills[0] != m_chosenSkills[2]
        && m_chosenSkills[1] != m_chosenSkills[2];
    if (!unique) {
        setVisible(false);
        showMessage(std::string(kUniqueSkillsText), this, false);
        return;
    }
    storeChoices();
    setVisible(false);
    openAppearanceWindow();
}

void ProfessionGump::back()
{
    if (frontEnd().advancedMode) {
        applyRecord(-1);
        return;
    }
    CharacterSelectionGump* selection = rememberedWindow<CharacterSelectionGump>(frontEnd().characterSelection);
    if (selection && selection->characterCount() > 0)
        selection->setVisible(true);
    else
        reconnectFromCharacterSelection();
    closeGump(this);
}

ProfessionGump* openProfessionWindow()
{
    FrontEndRecords& records = frontEnd();
    if (auto* window = rememberedWindow<ProfessionGump>(records.professionWindow)) {
        window->setVisible(true);
        window->bringToFront(false);
        return window;
    }
    auto* window = new ProfessionGump();
    gumpLink(window, nullptr);
    records.professionWindow = GumpHandle(window);
    return window;
}
