#pragma once
// The two choice menus the server opens with 0x7C, both answered with 0x7D:
// the object picker ("objpicker gump"), a strip of item pictures that
// slides left and right, one picked by a double click (closing it any other
// way answers "none"); and the string picker ("stringpicker gump"), a modal
// column of texts with radio boxes, OK and Cancel. Main thread only; points
// are local pixels.

#include "windows/dialog_window.h"
#include "windows/window_clicks.h"

#include <cstdint>
#include <string>
#include <vector>

class InputControl;
class ToggleControl;

// One entry of a choice menu: a picture (or a value the string picker sends
// back) with its hue and its name.
struct MenuChoice {
    uint16_t graphic = 0;
    uint16_t hue = 0;
    std::string name;
};

class ObjPickerGump final : public DialogWindow {
public:
    static constexpr int32_t kFaceArt = 2320;
    // The strip, right and bottom edges inside it.
    static constexpr int32_t kStripLeft = 40;
    static constexpr int32_t kStripTop = 47;
    static constexpr int32_t kStripRight = 257;
    static constexpr int32_t kStripBottom = 91;
    static constexpr int32_t kMissingWidth = 44;

    ObjPickerGump(int32_t x, int32_t y, uint32_t serial, uint16_t menuId, std::string_view title,
        std::vector<MenuChoice> choices);
    // Answers the menu: the chosen entry, or index 0 for none.
    ~ObjPickerGump() override;

    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onMouseOver(int32_t x, int32_t y) override;
    void tick() override;

    // The entry under a local point, or -1 (none while sliding).
    int32_t choiceAt(int32_t x, int32_t y) const;
    void scrollLeft();
    void scrollRight();
    // Draws the strip from the first shown picture.
    void drawStrip();

    int32_t firstVisible() const { return m_first; }
    int32_t chosen() const { return m_chosen; }
    bool isSliding() const { return m_sliding; }
    int32_t slideOffset() const { return m_offset; }
    InputControl* nameEntry() const { return m_nameEntry; }
    // The width a picture takes in the strip.
    int32_t pictureWidth(int32_t index) const;

private:
    uint32_t m_serial;
    uint16_t m_menuId;
    std::vector<MenuChoice> m_choices;
    int32_t m_first = 0;
    int32_t m_chosen = 0;
    int32_t m_hovered = -1;
    bool m_sliding = false;
    int32_t m_offset = 0;
    int32_t m_step = 0;
    InputControl* m_nameEntry = nullptr;
    WindowClicks m_clicks;
};

class StringPickerGump final : public DialogWindow {
public:
    static constexpr int32_t kWidth = 400;
    static constexpr int32_t kFrameArt = 5100;
    static constexpr char kChooseOne[] = "Must choose one to continue.";

    StringPickerGump(uint32_t serial, uint16_t menuId, std::string_view title, std::vector<MenuChoice> choices);
    ~StringPickerGump() override;

    void onRightUp(int32_t x, int32_t y) override;
    void onControlChanged(CGump* control) override;

    // OK: the checked choice (a waiting box while none is); Cancel: none.
    void accept();
    void cancel();

    const std::vector<ToggleControl*>& boxes() const { return m_boxes; }

private:
    uint32_t m_serial;
    uint16_t m_menuId;
    std::vector<MenuChoice> m_choices;
    std::vector<ToggleControl*> m_boxes;
};

// The slide of the object picker's strip by one picture of `width` pixels:
// the offset the strip is drawn shifted by, and the step of each update. A
// slide to the left ends at offset 0; one to the right ends at width - 1,
// when the next picture becomes the first.
struct StripSlide {
    bool sliding = false;
    int32_t offset = 0;
    int32_t step = 0;
};
StripSlide startSlideLeft(int32_t width);
StripSlide startSlideRight(int32_t width);
// One update of a slide; true when a slide to the right just ended.
bool stepSlide(StripSlide& slide, int32_t width);

// Packet 0x7C: the object picker when the first entry has a picture, else
// the string picker (a menu of no entries opens nothing).
void handleItemListMenu(const uint8_t* packet);
