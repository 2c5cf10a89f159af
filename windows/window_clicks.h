#pragma once
// The click timing the game windows share: a press records its time; a
// second press within the double-click time makes the release a double
// click; when that time passes with the button up the single click runs on
// the hover tick, with the button down the press becomes a hold; a move of
// more than 4 pixels with the button down starts a drag. Times are tick-count
// milliseconds compared unsigned. Main thread only.

#include "gump/entry_core.h"
#include "platform/clock.h"

#include <cstdint>
#include <cstdlib>

// What a hover tick or a release completes.
enum class ClickEvent : uint8_t {
    None,
    // The first press outlasted the double-click time with the button down.
    Hold,
    Single,
    Double,
};

struct WindowClicks {
    static constexpr int32_t kMoveThreshold = 4;

    bool leftDown = false;
    bool dragStarted = false;
    // 0 idle, 1 first press (single click pending), 2 second press.
    int32_t clickState = 0;
    uint32_t pressTime = 0;

    // A press: the second within the time counts as the double click's.
    void press()
    {
        leftDown = true;
        if (clickState == 1) {
            clickState = 2;
        } else {
            clickState = 1;
            pressTime = platform::clock().tickMs();
        }
    }
    // The first press waited longer than the double-click time.
    bool firstPressExpired() const
    {
        return clickState == 1 && platform::clock().tickMs() - pressTime > kDoubleClickMs;
    }
    // On the hover tick: a first press past its time becomes a hold (the
    // button still down) or a single click.
    ClickEvent expire()
    {
        if (!firstPressExpired())
            return ClickEvent::None;
        clickState = 0;
        return leftDown ? ClickEvent::Hold : ClickEvent::Single;
    }
    // At the release: a hold or a drag just ends; a second press completes
    // the double click; a release with no press pending is a single click
    // at once. A first press stays pending for the tick.
    ClickEvent release()
    {
        leftDown = false;
        if (dragStarted) {
            dragStarted = false;
            clickState = 0;
            return ClickEvent::None;
        }
        if (clickState == 2) {
            clickState = 0;
            return ClickEvent::Double;
        }
        return clickState == 0 ? ClickEvent::Single : ClickEvent::None;
    }
    // The Shift key at the last left release of a game window, which the
    // single click that follows compares with the ShiftForContext setting.
    static void noteRelease(bool shiftHeld) { shiftAtRelease() = shiftHeld; }
    static bool shiftAtLastRelease() { return shiftAtRelease(); }
    static bool movedBeyondThreshold(int32_t x, int32_t y, int32_t pressX, int32_t pressY)
    {
        return std::abs(x - pressX) > kMoveThreshold || std::abs(y - pressY) > kMoveThreshold;
    }

private:
    static bool& shiftAtRelease()
    {
        static bool held = false;
        return held;
    }
};
