#pragma once
// The Context Help window: the help pages (help_index.h) in an HTML view,
// with Back, Index, Recent topics and Search buttons along its bottom. At
// most one exists; F1, the menubar's help button, help links and the server
// open it. Links inside it lead to further help pages. Main thread only.

#include "gump/gump.h"

#include <string>
#include <string_view>

class HtmlView;
class UnicodeInputControl;

namespace ContextHelpCommand {
inline constexpr int32_t kBack = 0;
inline constexpr int32_t kIndex = 1;
inline constexpr int32_t kRecent = 2;
inline constexpr int32_t kSearch = 3;
} // namespace ContextHelpCommand

inline constexpr int32_t kContextHelpWidth = 400;
inline constexpr int32_t kContextHelpHeight = 300;

// The buttons' art and spacing: art 2445 unless four would not fit across
// the window, then art 2443; x of button i is 42 + i * (width + spacing).
struct ContextHelpButtonLayout {
    int32_t art = 0;
    int32_t width = 0;
    int32_t spacing = 0;
};
ContextHelpButtonLayout contextHelpButtonLayout(int32_t wideArtWidth, int32_t narrowArtWidth);

class ContextHelpGump final : public CGump {
public:
    // Centred in the game window and linked at the top; clears the menubar
    // help button's highlight.
    ContextHelpGump();
    ~ContextHelpGump() override;

    // The window's own page change: the view's text with blue links, from
    // the top.
    void setHtml(std::u16string_view html);
    // A "?" link of the view that is no topic link: "?RelatedTopics12",
    // "?Index" or "?12".
    void onLink(std::u16string_view href);

    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onEnter() override;
    void onCommand(int32_t command) override;

    HtmlView* view() const;
    UnicodeInputControl* searchEntry() const;
    CGump* button(int32_t command) const { return m_buttons[size_t(command)].get(); }
    bool movable = true;
    bool keptOnRightClick = false;

private:
    void onBackButton() { onCommand(ContextHelpCommand::kBack); }
    void onIndexButton() { onCommand(ContextHelpCommand::kIndex); }
    void onRecentButton() { onCommand(ContextHelpCommand::kRecent); }
    void onSearchButton() { onCommand(ContextHelpCommand::kSearch); }
    void drawTitle();

    GumpHandle m_view;
    GumpHandle m_buttons[4];
    GumpHandle m_searchEntry;
    int32_t m_searchX = 0;
    bool m_pressed = false;
};

// The open window, or null.
ContextHelpGump* contextHelpWindow();
// F1 and the menubar's help button: the open window is kept on the screen
// and raised; otherwise one is made with the newest help page.
void openOrRaiseContextHelp();
// A topic for the player (help links, the server, other windows): recorded
// and shown; with the window closed and no create flag the menubar's help
// button is highlighted instead.
void openHelpTopic(int32_t topic, bool create);
// The server's help control (0xBF 0x17): 1 opens a topic, 2 clears the
// highlight, 3 places the window by keypad position, 4 fixes it in place,
// 5 keeps it from a right click.
void helpControl(uint8_t command, uint32_t topic, uint8_t value);
// Keypad position 1-9 of a 400 x 300 window on a screen of width x height;
// false (x and y untouched) for any other value.
bool contextHelpKeypadPlace(int32_t position, int32_t width, int32_t height, int32_t& x, int32_t& y);
// Whether the menubar's help button should show highlighted.
bool& helpButtonHighlighted();
