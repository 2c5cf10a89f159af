#pragma once
// The first screen of character creation: the player picks a profession
// template from the tree of "prof.txt" (each fixes the three stats and three
// starting skills) or takes the advanced path and sets stats and skills with
// the sliders, picking the three skills from a list. The results go into the
// NewCharacterRecord; the next step is the appearance window. Main thread
// only.

#include "frontend/creation_sliders.h"
#include "frontend/front_end_gump.h"
#include "gump/input_control.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class ProfessionGump;
class SkillChoiceList;

// One profession (or category) button; record -1 is the advanced button.
class ProfessionButton final : public CGump {
public:
    static constexpr int32_t kWidth = 195;
    static constexpr int32_t kHeight = 60;

    ProfessionButton(int32_t x, int32_t y, int32_t record, ProfessionGump& window);

    int32_t record() const { return m_record; }
    bool isPressed() const { return m_pressed; }
    void paintFace();

    void draw(GumpCanvas& canvas) override { drawOwnBuffer(canvas); }
    bool containsPoint(int32_t x, int32_t y) override { return x >= 0 && y >= 0 && x < kWidth && y < kHeight; }
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    WString getTooltipText(int32_t x, int32_t y) override;
    bool isClosableByCloseAll() override { return false; }

private:
    int32_t m_record;
    ProfessionGump& m_window;
    bool m_pressed = false;
};

// A skill selector: shows a skill name ("Click here" until one is chosen)
// and raises its event code on release.
class SkillSelector final : public TextEntry {
public:
    SkillSelector(int32_t x, int32_t y, int32_t eventCode, ProfessionGump& window);
    void onLeftUp(int32_t x, int32_t y) override;

private:
    int32_t m_eventCode;
    ProfessionGump& m_window;
};

class ProfessionGump final : public FrontEndGump, public CreationEventListener {
public:
    static constexpr int32_t kUpEvent = 0;
    static constexpr int32_t kFirstSelectorEvent = 7;
    static constexpr int32_t kStatEvent = 11;
    static constexpr int32_t kSkillEvent = 12;

    ProfessionGump();
    ~ProfessionGump() override;

    // -1 lists the top level; a category lists its children; a profession
    // shows its template.
    void applyRecord(int32_t record);
    void addProfessionButton(int32_t record, int32_t index);
    void onProfessionChosen(ProfessionButton& button);
    void redraw();
    // The next arrow: the three skills must differ.
    void proceed();
    void back();
    void storeChoices();
    void onCreationEvent(int32_t code) override;

    void onLeftDown(int32_t x, int32_t y) override;
    bool containsPoint(int32_t, int32_t) override { return isVisible(); }
    bool isClosableByCloseAll() override { return false; }

    SliderGump* slider(int32_t kind) const { return kind >= 1 && kind <= 6 ? m_sliders[size_t(kind - 1)] : nullptr; }
    SliderGroup& statGroup() { return *m_statGroup; }
    SliderGroup& skillGroup() { return *m_skillGroup; }
    SkillChoiceList* skillList() const { return m_skillList; }
    SkillSelector* selector(int32_t index) const { return m_selectors[size_t(index)]; }
    int32_t chosenSkill(int32_t index) const { return m_chosenSkills[size_t(index)]; }
    const std::vector<ProfessionButton*>& buttons() const { return m_buttons; }
    int32_t currentRecord() const { return m_current; }
    int32_t professionId() const { return m_professionId; }
    bool showsStats() const { return m_showStats; }

private:
    void deleteButtons();
    void showControls(bool sliders, bool selectors);

    std::unique_ptr<SliderGroup> m_statGroup;
    std::unique_ptr<SliderGroup> m_skillGroup;
    std::array<SliderGump*, 6> m_sliders {};
    std::array<SkillSelector*, 3> m_selectors {};
    std::array<int32_t, 3> m_chosenSkills {};
    SkillChoiceList* m_skillList = nullptr;
    int32_t m_activeSelector = 0;
    int32_t m_professionId = 0;
    int32_t m_current = -1;
    int32_t m_previous = -1;
    std::vector<ProfessionButton*> m_buttons;
    bool m_showStats = false;
};

// The texts of a profession's button and tooltip.
std::u16string professionNameText(int32_t textId);
std::u16string professionDescriptionText(int32_t textId);

// Opens the profession window on top (or shows the one that exists).
ProfessionGump* openProfessionWindow();
