#pragma once
// The credits roll: the lines of "credits.dat" scroll up from the bottom of
// the 640 x 480 screen over a background picture while music plays, until
// the last line has left the top or the player presses a key or a mouse
// button. The roll does not use the gump manager: it runs a loop of its own
// (one step every 33 ms), takes the window's messages itself and draws
// straight into the back buffer, then hands the screen back to the caller.
// Closing the window during the roll ends the program with exit code 1.
//
// "credits.dat" is text: a line whose first word is "!" holds keyword and
// value pairs (color, defaultcolor, font, defaultfont, song); every other
// line, empty ones included, is a line of the roll in the current colour
// and font. Main thread only.

#include "core/step_timer.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Up to 32 numbers and a cursor that goes round them.
class IntCycle {
public:
    static constexpr int32_t kCapacity = 32;

    void clear() { m_count = 0, m_cursor = 0; }
    // Ignored once 32 are held.
    void push(int32_t value);
    // The item at the cursor; 0 while empty.
    int32_t current() const;
    // Moves the cursor on (back to the first after the last) and returns
    // that item; nothing moves while the cycle is empty.
    int32_t next();
    int32_t count() const { return m_count; }

private:
    int32_t m_count = 0;
    int32_t m_cursor = 0;
    std::array<int32_t, kCapacity> m_items {};
};

struct CreditLine {
    std::u16string text;
    int32_t colour = 0; // 15-bit
    int32_t font = 0; // Unicode font 0..2
    int32_t width = 0;
    int32_t height = 0;
};

// The colour and font a line starts with when no command line changed them;
// "defaultcolor" and "defaultfont" change them for the rest of the run.
struct CreditDefaults {
    int32_t colour = 0x7777;
    int32_t font = 0;
};
CreditDefaults& creditDefaults();

// The lines and songs of a credits file's text (lines split at CR and LF,
// each cut at 256 characters). Fonts outside 0..2 are taken as the nearest.
void parseCreditsText(std::string_view text, std::vector<CreditLine>& lines, IntCycle& songs);

class CreditsScreen {
public:
    static constexpr int32_t kScreenWidth = 640;
    static constexpr int32_t kScreenHeight = 480;
    static constexpr int32_t kLineHeight = 18;
    static constexpr int32_t kBackgroundArt = 1280;
    static constexpr int32_t kMenuBackgroundArt = 5500;

    CreditsScreen();

    // Plays the roll to its end; false (at once) when the file yields no
    // line.
    bool run();
    // Reads the file into the lines and songs; false without a line.
    bool load();
    // One pass of the roll's loop.
    void step();
    // The roll into the 640 x 480 picture, then into the back buffer.
    void draw();

    bool isDone() const { return m_done; }
    int32_t firstLine() const { return m_firstLine; }
    int32_t offset() const { return m_offset; }
    const std::vector<CreditLine>& lines() const { return m_lines; }
    IntCycle& songs() { return m_songs; }
    const std::vector<uint16_t>& picture() const { return m_picture; }

private:
    // Takes one message off the window's queue.
    void pumpOneMessage();
    void advance();
    void copyPictureToBackBuffer();

    int32_t m_firstLine = 0;
    int32_t m_offset = -30;
    bool m_done = false;
    std::vector<CreditLine> m_lines;
    IntCycle m_songs;
    StepTimer m_timer;
    std::vector<uint16_t> m_picture;
};
