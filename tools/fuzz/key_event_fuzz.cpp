// Arbitrary key events through the key map and the window procedure: each
// record is an SDL key code, modifier bits and a repeat flag. The key map
// must give a code the stored files can hold (one byte, letters and digits as
// their upper-case ASCII values); the window procedure then routes the key
// with the modifiers held, runs the accelerator lookup first, and must only
// ever run a command the accelerator table names for that very chord.
#include "app/main_window.h"
#include "fuzz_byte_reader.h"
#include "platform/headless/headless_window.h"
#include "platform/sdl/sdl_key_map.h"
#include "platform/virtual_keys.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace vk = platform::vk;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    platform::HeadlessWindow window;
    WindowServices services;
    bool inGame = size > 0 && (data[0] & 1);
    services.isInGame = [inGame] { return inGame; };
    uint16_t lastCommand = 0;
    services.runCommand = [&lastCommand](uint16_t id) { lastCommand = id; };
    int32_t warRequests = 0;
    services.setWarMode = [&warRequests](int32_t) { ++warRequests; };
    services.speechKeyDown = [](uint16_t, uint32_t) { return false; };
    MainWindow main(window, services, {});
    main.handleMessage({ platform::MessageKind::Create, 0, 0, 0, 0 });
    main.handleMessage({ platform::MessageKind::Size, 0, 0, 640, 480 });

    for (size_t at = 1; at + 6 <= size; at += 6) {
        int32_t sdlKey = int32_t(fuzz::le32(data + at));
        uint8_t modifiers = data[at + 4];
        uint8_t flags = data[at + 5];
        // Printable keys are their characters; others have bit 30 set.
        if (flags & 0x80)
            sdlKey = (sdlKey & 0x1FF) | (1 << 30);
        uint16_t code = platform::virtualKeyForSdlKey(sdlKey);
        if (code > 0xFF)
            std::abort();
        if (sdlKey >= 'a' && sdlKey <= 'z' && code != uint16_t(sdlKey - 'a' + 'A'))
            std::abort();
        if (sdlKey >= '0' && sdlKey <= '9' && code != uint16_t(sdlKey))
            std::abort();
        if (!code)
            continue;
        bool control = modifiers & 1;
        bool alt = modifiers & 2;
        bool shift = modifiers & 4;
        window.setKeyHeld(vk::kControl, control);
        window.setKeyHeld(vk::kAlt, alt);
        window.setKeyHeld(vk::kShift, shift);
        uint32_t keyData = 1;
        if (alt)
            keyData |= platform::kKeyDataAltHeld;
        if (flags & 1)
            keyData |= platform::kKeyDataWasDown;
        bool up = flags & 2;
        platform::WindowMessage message { up ? (alt ? platform::MessageKind::SysKeyUp : platform::MessageKind::KeyUp)
                                             : (alt ? platform::MessageKind::SysKeyDown
                                                    : platform::MessageKind::KeyDown),
            code, keyData, 0, 0 };
        lastCommand = 0;
        main.translateAccelerator(message);
        main.handleMessage(message);
        if (lastCommand) {
            if (up || (keyData & platform::kKeyDataWasDown) || findAccelerator(code, control, alt, shift) != lastCommand)
                std::abort();
        }
        platform::WindowMessage queued;
        while (window.peekMessage(queued))
            main.handleMessage(queued);
    }
    return 0;
}
