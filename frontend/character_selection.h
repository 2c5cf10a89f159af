#pragma once
// The character selection: the account's characters on the chosen shard, in
// up to six slot entries, after the game login. From here the player plays
// a character (asking its password first when it has one), deletes one
// (after a confirmation), starts creating a new one, or goes back to the
// shard list or the main menu. How many slots may be used comes from the
// character list's flags and the server's features. Main thread only.

#include "frontend/front_end_gump.h"

#include <array>
#include <cstdint>
#include <string>

class Button;
class DeleteCharGump;
class PlayCharGump;
class TextEntry;
class ToggleControl;

class CharacterSelectionGump final : public FrontEndGump {
public:
    static constexpr int32_t kSlotCount = 6;
    static constexpr int32_t kFrameArt = 2600;

    CharacterSelectionGump();
    ~CharacterSelectionGump() override;

    // Fills the next free entry; an empty name is ignored, and nothing is
    // added past the slot limit. The new-character button hides once the
    // limit is reached.
    void addCharacter(const std::string& name, int32_t key);
    // Takes the character of the server's slot `key` out; the entries below
    // move up. The new-character button shows again below the limit.
    void removeCharacter(int32_t key);
    int32_t characterCount() const { return m_count; }
    int32_t selectedPosition() const { return m_selected; }
    // Moves the selection to `position` (clamped to the six entries).
    void selectPosition(int32_t position);
    int32_t keyAt(int32_t position) const;
    std::string nameAt(int32_t position) const;
    TextEntry* entry(int32_t position) const;
    Button* newCharacterButton() const { return m_newButton; }
    ToggleControl* syncToggle() const { return m_syncToggle; }

    void onPlay();
    void onDelete();
    void onNewCharacter();

    void onControlPressed(CGump* control) override;
    // A double click on an entry: play it, or create a character on an
    // empty one.
    void onControlReleased(CGump* control) override;
    void onEnter() override { onPlay(); }
    void onEscape() override;
    void onKey(uint32_t code) override;
    void onMouseOver(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;

private:
    int32_t positionOf(CGump* control) const;
    void playPosition(int32_t position);

    int32_t m_selected = 0;
    std::array<int32_t, kSlotCount> m_keys {};
    std::array<TextEntry*, kSlotCount> m_entries {};
    Button* m_playButton = nullptr;
    Button* m_backButton = nullptr;
    Button* m_newButton = nullptr;
    ToggleControl* m_syncToggle = nullptr;
    int32_t m_count = 0;
};

// The Yes of the two confirmations.
void confirmPlayCharacter(PlayCharGump& dialog);
void confirmDeleteCharacter(DeleteCharGump& dialog);

// The character-list slot and the position the play request remembers.
void storeChosenCharacter(const std::string& name, int32_t position, int32_t key);
