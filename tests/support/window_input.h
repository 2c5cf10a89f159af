#pragma once
// Input as a player gives it, through the headless window's message queue,
// for the tests and long runs that drive the whole program. Main thread only.

#include "platform/clock.h"
#include "platform/headless/headless_window.h"
#include "platform/window.h"

#include <cstdint>
#include <string>

namespace test {

// How long a click holds the button down (client milliseconds).
inline constexpr uint32_t kClickPressMs = 120;

inline void typeText(platform::HeadlessWindow& window, const std::string& text)
{
    for (char c : text)
        window.postMessage({ platform::MessageKind::Char, uint32_t(uint8_t(c)), 0, 0, 0 });
}

inline void pressKey(platform::HeadlessWindow& window, uint16_t virtualKey)
{
    window.postMessage({ platform::MessageKind::KeyDown, virtualKey, 1, 0, 0 });
    window.postMessage({ platform::MessageKind::KeyUp, virtualKey,
        platform::kKeyDataReleased | platform::kKeyDataWasDown | 1, 0, 0 });
}

// A click as a hand makes it: the button stays down a moment.
inline void clickAt(platform::HeadlessWindow& window, int32_t x, int32_t y)
{
    using platform::MessageKind;
    window.postMessage({ MessageKind::MouseMove, 0, 0, x, y });
    window.postMessage({ MessageKind::LeftButtonDown, 1, 0, x, y });
    window.scheduleMessage(platform::clock().tickMs() + kClickPressMs, { MessageKind::LeftButtonUp, 0, 0, x, y });
}

// Both clicks go into the queue at once: the loop takes them in one pass, so
// a slow frame cannot stretch them apart.
inline void doubleClickAt(platform::HeadlessWindow& window, int32_t x, int32_t y)
{
    using platform::MessageKind;
    window.postMessage({ MessageKind::MouseMove, 0, 0, x, y });
    for (int i = 0; i < 2; ++i) {
        window.postMessage({ MessageKind::LeftButtonDown, 1, 0, x, y });
        window.postMessage({ MessageKind::LeftButtonUp, 0, 0, x, y });
    }
}

} // namespace test
