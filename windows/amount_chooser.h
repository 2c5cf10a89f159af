#pragma once
// The amount chooser ("stack gump"): asks how many of a stack to lift. The
// pick-up of a stack opens it through the factory (kind 49) at the pointer;
// the player sets the amount with the slider or by typing digits, and OK (or
// Enter) closes it and lifts that many (nothing for 0). A right click closes
// it and lifts nothing. A window built on it (the mahjong score transfer)
// gives OK its own action. The chooser names its item by serial; the item's
// window lookup finds it by owner. Main thread only.

#include "windows/dialog_window.h"

#include <cstdint>
#include <string>

class Button;
class Item;
class Thumb;

class StackGump : public DialogWindow {
public:
    static constexpr int32_t kFaceArt = 2140;
    static constexpr int32_t kThumbArt = 2117;
    static constexpr int32_t kThumbHoverArt = 2118;
    static constexpr int32_t kOkArt = 2141;
    static constexpr int32_t kOkPressedArt = 2142;
    static constexpr int32_t kOkHoverArt = 2076;
    static constexpr int32_t kTextFont = 1;
    static constexpr int32_t kTextHue = 902;

    // The amount starts at the whole stack (with no item: maximum 1, amount 0).
    StackGump(int32_t x, int32_t y, Item* item);
    ~StackGump() override;

    void onLeftDown(int32_t x, int32_t y) override;
    void onSlider(int32_t position, int32_t range, CGump* thumb) override;
    void onKey(uint32_t code) override;

    // Closes the window, then lifts the amount of the item (OK and Enter).
    void accept();
    // Draws the face, the amount and (while focused) the caret.
    void redraw();

    int32_t amount() const { return m_amount; }
    int32_t maximum() const { return m_maximum; }
    const std::string& text() const { return m_text; }
    Thumb* thumb() const { return m_thumb; }
    Button* okButton() const { return m_ok; }

    // What OK does once the window is closed (the window is gone by then,
    // so it is a plain function); the chooser lifts the amount.
    using AmountAction = void (*)(uint32_t itemSerial, int32_t amount);
    static void liftAmount(uint32_t itemSerial, int32_t amount);

protected:
    void setAmountAction(AmountAction action) { m_action = action; }

private:
    AmountAction m_action = liftAmount;
    uint32_t m_itemSerial = 0;
    int32_t m_maximum = 1;
    int32_t m_amount = 0;
    std::string m_text;
    bool m_typed = false;
    Thumb* m_thumb = nullptr;
    Button* m_ok = nullptr;
};
