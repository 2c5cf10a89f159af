#pragma once
// What the messenger reaches beside it: the GM chat window that a "/i" line
// and its prompt open and that "/m" and "/e" lines feed, the system-message
// area for the service's notices, and the resize handle of the windows'
// grips. Each is installed at start-up by app/; until the window exists its
// do-nothing form (installed by app/service_defaults.cpp) answers. Main
// thread only.

#include "core/installed_service.h"
#include "gump/resize_limits.h"

#include <cstdint>
#include <string_view>

class CGump;

// The GM chat window. Entry points the line handler and the prompt use:
// - window(): the open GM chat window, or null; "/i" is ignored while one is
//   open, and "/e" and "/m" act only then.
// - open(): the player accepted the GM's request (the prompt of code 51);
//   the chat opens with the session of gmChatOffer() (messenger_protocol.h)
//   and sends "/i " itself through sendMessengerCommand.
// - addLine(line): a "/m" line for the open window, the whole line with its
//   command (line type 0).
// - close(): the GM ended the session; the window closes (its closing sends
//   "/e "). The line handler has shown its notice already.
class GmChatWindows {
public:
    virtual ~GmChatWindows() = default;
    virtual CGump* window() { return nullptr; }
    virtual void open() { }
    virtual void addLine(std::u16string_view) { }
    virtual void close() { }
};

template <>
struct ServiceFallback<GmChatWindows> {
    using Type = GmChatWindows;
};

// The system-message area: a UTF-16 line with no speaker.
class MessengerNotices {
public:
    virtual ~MessengerNotices() = default;
    virtual void addSystemText(uint16_t /*hue*/, uint16_t /*font*/, std::u16string_view) { }
};

template <>
struct ServiceFallback<MessengerNotices> {
    using Type = MessengerNotices;
};

// The resize handle a window's grip starts: an outline from the window's
// place that follows the pointer within the limits and calls the window's
// resize with the new size on release.
class ResizeHandles {
public:
    virtual ~ResizeHandles() = default;
    virtual void beginResize(CGump* /*window*/, const ResizeLimits&) { }
    // The outline of an inner divider: it starts at (width, height) from the
    // window's corner and hands its size back to the window's resize with
    // the split flag.
    virtual void beginSplitResize(CGump* /*window*/, int32_t /*width*/, int32_t /*height*/, const ResizeLimits&) { }
};

template <>
struct ServiceFallback<ResizeHandles> {
    using Type = ResizeHandles;
};
