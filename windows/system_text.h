#pragma once
// System messages, and the texts the speech code shows over objects and in
// the system-message area. Each text first goes to the journal (with the
// prefix state the caller set, which is then reset), then to its window
// (TextWindows, windows/speech_services.h). The same journal step is put in
// front of the world's overhead texts (installSystemTextServices). Main
// thread only.

#include <cstdint>
#include <string>
#include <string_view>

class CGump;
class StaticObject;

// A line in the system-message area (hue 0 for ordinary notices, font 3 for
// nearly all). Nothing is shown or journaled when that ASCII font is not
// loaded; false then.
bool addSystemMessage(uint16_t hue, uint16_t font, std::string_view text);
// A UTF-16 line in the system-message area with no speaker and no journal
// prefix; `language` is its language code.
void addSystemText(uint16_t hue, uint16_t font, std::u16string_view text, std::string_view language);
// A byte line in the system-message area, journaled with the prefix state as
// it stands (the font is not checked).
void showSystemBark(std::string_view text, uint16_t hue, uint16_t font);
// A UTF-16 text over `owner` (the system-message area when null), journaled
// with the prefix state as it stands.
void showUnicodeBark(
    StaticObject* owner, std::u16string_view text, uint16_t hue, uint16_t font, std::string_view language, CGump* extra);
// Speech of an object: its older texts are trimmed (at most three stay), then
// the text is shown over it.
void showObjectSpeech(
    StaticObject& object, std::u16string_view text, uint16_t hue, uint16_t font, std::string_view language, CGump* extra);

// True while one of the steps above makes the window of a text that was
// journaled as a "You see: " name: the text windows place such a name where
// the item was clicked.
bool isShowingYouSeeText();

// The language code of texts that carry none: the current language.
std::string currentTextLanguage();

// Start-up, after the game windows' services (windows/game_window_services.h):
// the system messages of every layer (WindowNotices::addSystemMessage; the
// other window notices stay with the service installed before), the journal
// step in front of the world's overhead texts (the game windows' texts), and
// the world's messages (system text, "You see: " names). Uninstalled before
// the game windows' services, in reverse order.
void installSystemTextServices();
void uninstallSystemTextServices();
