// Pastes arbitrary clipboard text into the main window the way the desktop
// hands it over: the first byte picks the text target (speech line, a
// single-line entry, another gump) and whether the rest is UTF-8 (as the
// desktop clipboard gives it) or raw UTF-16 units. Checks that the target
// never gets more than its limit, that a carriage return or line feed never
// reaches a target that stops at one, that a paste only ever inserts (no
// control character but the line ends arrives, so nothing acts as Escape,
// Backspace or Tab), that what arrives is the beginning of the text's own
// characters, and that UTF-16 survives the trip through UTF-8 and back.
#include "app/main_window.h"
#include "fuzz_byte_reader.h"
#include "platform/headless/headless_window.h"
#include "platform/sdl/sdl_key_map.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// The text without unpaired surrogates, cut at the first NUL (UTF-8 text from
// the desktop ends there).
std::u16string wellFormedPrefix(const std::u16string& text)
{
    std::u16string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t unit = text[i];
        if (unit == 0)
            break;
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
                out.push_back(unit);
                out.push_back(text[++i]);
            }
            continue;
        }
        if (unit >= 0xDC00 && unit <= 0xDFFF)
            continue;
        out.push_back(unit);
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    uint8_t mode = data[0];
    bool focused = mode & 1;
    bool singleLine = mode & 2;
    bool asUtf8 = mode & 4;

    std::u16string clipboard;
    if (asUtf8) {
        std::string utf8(reinterpret_cast<const char*>(data + 1), size - 1);
        platform::appendUtf8AsUtf16(utf8.c_str(), clipboard);
    } else {
        for (size_t i = 1; i + 1 < size; i += 2)
            clipboard.push_back(char16_t(fuzz::le16(data + i)));
        std::u16string expected = wellFormedPrefix(clipboard);
        std::u16string back;
        platform::appendUtf8AsUtf16(platform::utf16ToUtf8(clipboard).c_str(), back);
        if (back != expected)
            std::abort();
    }

    platform::HeadlessWindow window;
    std::u16string received;
    WindowServices services;
    services.hasFocusedGump = [focused] { return focused; };
    services.isFocusedGumpSingleLineEntry = [singleLine] { return singleLine; };
    services.sendKeyToFocusedGump = [&received](uint32_t code) { received.push_back(char16_t(code)); };
    services.speechChar = [&received](uint32_t code) { received.push_back(char16_t(code)); };
    // Escape asks these first; they answer "nothing pending".
    services.answerPendingPrompt = [] { return false; };
    services.cancelTargeting = [] { return false; };
    MainWindow main(window, services, {});
    window.setClipboardText(clipboard);
    main.pasteClipboardText();

    PasteLimit limit = pasteLimitFor(focused, focused && singleLine);
    if (received.size() > limit.maxCharacters || received.size() > clipboard.size())
        std::abort();
    // Only the text's characters arrive, in order; the controls are left out.
    size_t at = 0;
    for (char16_t unit : clipboard) {
        if (at == received.size())
            break;
        if (isPastedControl(unit))
            continue;
        if (received[at++] != unit)
            std::abort();
    }
    for (char16_t unit : received) {
        if ((unit < 0x20 && unit != u'\r' && unit != u'\n') || unit == 0x7F)
            std::abort();
    }
    if (limit.stopsAtReturn) {
        for (char16_t unit : received) {
            if (unit == u'\r' || unit == u'\n')
                std::abort();
        }
    }
    return 0;
}
