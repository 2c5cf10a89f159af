#pragma once
// The two smaller choice lists of character creation. CPanelChoiceGump is a
// fixed panel of rows without a scroll bar (the appearance window's colour
// buttons): a press tells its listener at once, and each choice tells it
// again; the panel stays open. SkillChoiceList is the profession window's
// scrolling skill list: a choice hides it and raises event 10 on the
// profession window. Both use the click timing of the scrolling list.
// Main thread only.

#include "frontend/scroll_choice_gump.h"

#include <cstdint>
#include <string>
#include <vector>

class CreationEventListener;

class CPanelChoiceGump final : public CGump {
public:
    static constexpr int32_t kRowFont = 9;
    static constexpr int32_t kHighlightHue = 33;

    CPanelChoiceGump(int32_t x, int32_t y, int32_t width, int32_t height, CGump* listener, InputControl* target,
        int32_t frameArt, bool wideText);

    // False once 100 rows are held.
    bool addItem(int32_t value, const std::string& text, uint16_t colour);
    // Repaints the rows (drawChoicePanel).
    void drawChoicePanel();
    int32_t count() const { return int32_t(m_texts.size()); }
    const std::string& textAt(int32_t row) const { return m_texts[size_t(row)]; }
    int32_t valueAt(int32_t row) const { return m_values[size_t(row)]; }
    int32_t rowAt(int32_t x, int32_t y) const;
    bool isHighlighted() const { return m_highlight; }

    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override { return isVisible() && containsPointInBuffer(x, y); }
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onMouseOver(int32_t x, int32_t y) override;
    void onMouseLeave() override;
    void onHoverTick() override;
    bool isInGameView() override { return true; }
    bool isClosableByCloseAll() override { return false; }
    void kindAction() override { choose(dragAnchorX(), dragAnchorY()); }
    void choose(int32_t x, int32_t y);

private:
    GumpHandle m_listener;
    GumpHandle m_target;
    std::vector<int32_t> m_values;
    std::vector<uint16_t> m_colours;
    std::vector<std::string> m_texts;
    ScreenRect m_listRect;
    int32_t m_hovered = -1;
    bool m_highlight = false;
    ChoiceClick m_click;
    bool m_held = false;
};

class SkillChoiceList final : public ScrollChoiceGump {
public:
    static constexpr int32_t kChosenEvent = 10;
    static constexpr int32_t kRowFont = 9;

    SkillChoiceList(CreationEventListener* listener, int32_t frameArt, int32_t width, int32_t height);

    void draw(GumpCanvas& canvas) override;
    void onRightUp(int32_t x, int32_t y) override;
    void choose(int32_t x, int32_t y) override;
    int32_t chosenRow() const { return m_chosenRow; }

private:
    CreationEventListener* m_events;
    int32_t m_chosenRow = -1;
};
