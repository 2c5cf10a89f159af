#pragma once
// The click model the spellbook and the combat ability book share: a press
// remembers its point and the icon under it; a drag pulls that icon off as an
// icon window of its own (which carries on the drag), or else moves the book;
// a release, or the hover tick once the double-click time has passed, gives a
// single or double click; a right click closes the book. Main thread only.

#include "gump/gump.h"
#include "windows/window_clicks.h"

#include <cstdint>

class IconPageBook : public CGump {
public:
    using CGump::CGump;

    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onHoverTick() override;

protected:
    // The icon a press at (x, y) would pull off, 0 or below for none.
    virtual int32_t iconAtPress(int32_t x, int32_t y) = 0;
    // The kind of icon window a pulled icon becomes.
    virtual GumpKind pulledIconKind() const = 0;
    virtual void singleClick(int32_t x, int32_t y) = 0;
    virtual void doubleClick(int32_t x, int32_t y) = 0;

private:
    int32_t m_pressX = 0;
    int32_t m_pressY = 0;
    // The icon pressed, 0 for none.
    int32_t m_pressedIcon = 0;
    WindowClicks m_clicks;
};
