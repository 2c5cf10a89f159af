#include "platform/display.h"
#include "platform/window.h"
#include "support/scoped_environment.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <string>

namespace {

// The characters the SDL window queues after a text event typed with the
// given modifiers held.
std::u16string typedWith(SDL_Keymod modifiers, const char* text)
{
    test::ScopedEnvironment driver("SDL_VIDEODRIVER", "dummy");
    // The display owns the SDL window the client's window speaks for.
    std::unique_ptr<platform::Display> display = platform::createSdlDisplay("test", 64, 48);
    std::unique_ptr<platform::Window> window = platform::createSdlWindow();
    if (!display || !window)
        return u"(no window)";
    platform::WindowCreateParams params;
    params.clientWidth = 64;
    params.clientHeight = 48;
    if (!window->create(params))
        return u"(no window)";
    platform::WindowMessage message;
    while (window->peekMessage(message)) { }
    SDL_SetModState(modifiers);
    SDL_Event event {};
    event.type = SDL_TEXTINPUT;
    event.text.windowID = SDL_GetWindowID(SDL_GetKeyboardFocus());
    SDL_strlcpy(event.text.text, text, sizeof event.text.text);
    SDL_PushEvent(&event);
    std::u16string typed;
    while (window->peekMessage(message)) {
        if (message.kind == platform::MessageKind::Char)
            typed += char16_t(message.code);
    }
    SDL_SetModState(KMOD_NONE);
    window->destroy();
    return typed;
}

TEST(SdlWindowText, TypingReachesTheQueueButALeftAltChordDoesNot)
{
    EXPECT_EQ(typedWith(KMOD_NONE, "r"), u"r");
    EXPECT_EQ(typedWith(KMOD_LSHIFT, "R"), u"R");
    EXPECT_EQ(typedWith(KMOD_LALT, "r"), u"");
    // AltGr types characters on many layouts.
    EXPECT_EQ(typedWith(KMOD_MODE, "@"), u"@");
}

} // namespace
