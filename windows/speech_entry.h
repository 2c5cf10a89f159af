#pragma once
// The speech line: while the player is in the world, everything typed that no
// window takes goes into this one line at the bottom of the game area. Its
// first characters choose the kind of speech (say, emote, whisper, yell,
// party, guild, alliance, GM, command line), shown as a prefix in its own
// colour; Enter hands the line to the throttled speech senders, the party
// and command words, or the answer to a pending server prompt; the last 50
// lines can be recalled (Ctrl+Q back, Ctrl+W forward); the navigation keys
// walk. One line for the whole run; main thread only.
//
// With the UnicodeSpeech setting off the line holds bytes (one per unit,
// measured in ASCII font 3); with it on, UTF-16 units in the current Unicode
// font. The setting is read by every operation as it runs.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The server's text prompt that the next line answers.
struct PendingPrompt {
    bool pending = false;
    bool unicode = false;
    uint32_t serial = 0;
    uint32_t promptId = 0;
};
PendingPrompt& pendingPrompt();

// Prompt packets from the server (0x9A, and 0xC2 for a Unicode answer).
void handlePromptPacket(const uint8_t* packet);
void handleUnicodePromptPacket(const uint8_t* packet);


class SpeechEntry {
public:
    static constexpr size_t kMaxLength = 128;
    // Party lines stay within the party packets' room.
    static constexpr size_t kMaxPartyLength = 116;
    static constexpr int32_t kMaxWidth = 600;
    static constexpr size_t kHistorySize = 50;
    static constexpr uint16_t kCommandLineBody = 987;
    static constexpr int32_t kLineFont = 3;
    // The prompt answer keeps at most this many characters of a byte text.
    static constexpr size_t kMaxPromptUnits = 255;

    // A key pressed while no window holds the keyboard focus; true when the
    // line took it.
    bool onKeyDown(uint16_t virtualKey, bool control, bool alt, uint32_t keyFlags);
    // A typed character no key command took (a UTF-16 unit).
    void onChar(uint32_t code);
    // Appends a printable character under the length, glyph and width limits.
    void insertChar(char16_t code);
    // Shows the line again (after a focus change, or a change by another window).
    void refresh();
    void setMode(uint8_t mode) { m_mode = mode; }
    // Replaces the line (the party window fills it); the swallowed character
    // is forgotten.
    void setLine(std::u16string_view text, uint8_t mode);

    // Answers the pending prompt with `type` and the text, then empties the line.
    void sendPromptResponse(uint32_t type, std::string_view text);
    void sendPromptResponseWide(uint32_t type, std::u16string_view text);
    // The cancel key: answers a pending prompt with type 0 and an empty text;
    // false when none is pending.
    bool cancelPrompt();

    const std::u16string& text() const { return m_text; }
    uint8_t mode() const { return m_mode; }
    size_t historyCount() const { return m_history.size(); }

    // What the line shows: the prefix of its mode and the line (with the
    // caret while no window holds the keyboard focus), its hue and font.
    struct Shown {
        std::u16string text;
        uint16_t hue = 0;
        uint16_t font = 0;
        bool unicode = false;
    };
    Shown shownLine() const;

    // Back to the start: empty line, say, no history (tests).
    void reset();

private:
    struct HistoryEntry {
        std::u16string text;
        uint8_t mode = 0;
    };

    bool unicodeMode() const;
    size_t lengthLimit() const;
    bool measuresUnderWidth() const;
    void append(char16_t code, bool glyphTest);
    void backspace();
    void typedBlank();
    void enter();
    void sendLine(std::u16string_view line, uint8_t mode);
    void recall(int32_t step);
    void clearLine();

    std::u16string m_text;
    uint8_t m_mode = 0;
    std::vector<HistoryEntry> m_history;
    size_t m_historyWrite = 0;
    int32_t m_historyCursor = 0;
    bool m_swallow = false;
};

SpeechEntry& speechEntry();
