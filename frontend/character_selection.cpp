#include "frontend/character_selection.h"

#include "data/config_file.h"
#include "data/config_key_rules.h"
#include "data/player_lists.h"
#include "data/server_config_store.h"
#include "frontend/feature_flags.h"
#include "frontend/front_end_dialogs.h"
#include "frontend/front_end_flow.h"
#include "frontend/front_end_shell.h"
#include "frontend/front_end_state.h"
#include "frontend/login_sequence.h"
#include "frontend/main_menu.h"
#include "gump/button.h"
#include "gump/entry_core.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/input_control.h"
#include "gump/toggle_control.h"
#include "net/client_packets.h"
#include "net/game_connection.h"
#include "platform/sockets.h"
#include "protocol/login_state.h"
#include "protocol/protocol_text.h"
#include "text/unicode_font.h"

#include <algorithm>

namespace {

constexpr int32_t kTitleHue = 847;
constexpr int32_t kCharacterNameHue = 902;
constexpr int32_t kHoverHue = 696;
constexpr int32_t kCharacterSelectedHue = 35;
constexpr int32_t kEmptyTooltip = 100023;
constexpr int32_t kNamedTooltip = 100022;
constexpr int32_t kSyncNoticeCliloc = 1043323;
// Red, green and blue 30 of 31.
constexpr uint16_t kSyncNoticeColour = 31710;

Button* addSelectionButton(CGump& parent, int32_t x, int32_t y, GumpCallback callback, int32_t art, int32_t tooltip)
{
    auto* button = new Button(x, y, ButtonBehaviour::ClickOnRelease, 0, callback, art, art + 2, false);
    button->setHoverArt(art + 1);
    button->setTooltipId(tooltip);
    gumpLink(button, &parent);
    return button;
}

void reconnect(CGump*) { reconnectFromCharacterSelection(); }

CharacterSelectionGump* currentSelection()
{
    return rememberedWindow<CharacterSelectionGump>(frontEnd().characterSelection);
}

} // namespace

CharacterSelectionGump::CharacterSelectionGump()
    : FrontEndGump(0, 0, kFrontEndWidth, kFrontEndHeight)
{
    setTypeName("Login gump");
    setTooltipId(-1);
    m_keys.fill(-1);
    // The current slot is any number a settings file gave: it only ever
    // selects one of the six entries.
    m_selected = std::clamp(configValues().defaultCharacterSlot, 0, kSlotCount - 1);
    GumpPage& face = makePage();
    const GumpArtSize corner = gumpArtSize(kFrameArt);
    const int32_t w = corner.width;
    const int32_t h = corner.height;
    drawNinePatchRecord(160, 70, 2 * w + 320, 2 * h + 300, kFrameArt, face, true);

    auto* title = new InputControl(
        w + 220, h + 60, EntrySize { 320, 30, false }, int32_t(EntryMode::ComboText), 16, 2, kTitleHue, false, false);
    title->options.readOnly = true;
    title->setNarrowText("Character Selection");
    title->setTooltipId(kNoTooltip);
    title->redraw();
    gumpLink(title, this);

    for (int32_t k = 0; k < kSlotCount; ++k) {
        auto* slot = new TextEntry(w + 180, 150 + 40 * k, EntrySize { 280, 30, false }, int32_t(EntryMode::Text), 30, 5,
            kCharacterNameHue, true, true);
        slot->options.readOnly = true;
        slot->options.marginX = 22;
        slot->hoverHue = kHoverHue;
        slot->selectedHue = kCharacterSelectedHue;
        slot->options.selected = k == m_selected;
        slot->setTooltipId(kEmptyTooltip);
        slot->setVisible(false);
        slot->redraw();
        gumpLink(slot, this);
        m_entries[size_t(k)] = slot;
    }

    m_newButton
        = addSelectionButton(*this, w + 180, 395, onParent<&CharacterSelectionGump::onNewCharacter>, 5533, 100025);
    addSelectionButton(*this, w + 398, 395, onParent<&CharacterSelectionGump::onDelete>, 5530, 100024);
    m_playButton = addSelectionButton(*this, 610, 435, onParent<&CharacterSelectionGump::onPlay>, 5540, 100027);
    m_backButton = addSelectionButton(*this, 586, 435, reconnect, 5537, 100026);

    if (serverConfigStore().isEnabled()) {
        m_syncToggle = new ToggleControl(
            200, 420, 210, 211, 1, kCharacterNameHue, "", serverConfigStore().syncFlag() != 0, 0, 0);
        gumpLink(m_syncToggle, this);
        const std::u16string notice = clilocText(kSyncNoticeCliloc);
        drawUnicodeTextLine(face.surface(), notice.c_str(), 230, 420, kSyncNoticeColour, wholeSurface(face.surface()));
    }
    addMainMenuButtons(*this);
}

CharacterSelectionGump::~CharacterSelectionGump() = default;

TextEntry* CharacterSelectionGump::entry(int32_t position) const
{
    return position >= 0 && position < kSlotCount ? m_entries[size_t(position)] : nullptr;
}

int32_t CharacterSelectionGump::keyAt(int32_t position) const
{
    return position >= 0 && position < kSlotCount ? m_keys[size_t(position)] : -1;
}

std::string CharacterSelectionGump::nameAt(int32_t position) const
{
    TextEntry* slot = entry(position);
    return slot ? slot->narrowText() : std::string();
}

int32_t CharacterSelectionGump::positionOf(CGump* control) const
{
    for (int32_t k = 0; k < kSlotCount; ++k) {
        if (m_entries[size_t(k)] == control)
            return k;
    }
    return -1;
}

void CharacterSelectionGump::addCharacter(const std::string& name, int32_t key)
{
    if (name.empty())
        return;
    const int32_t limit = maxCharacterSlots();
    if (m_count < limit && m_count < kSlotCount) {
        TextEntry* slot = m_entries[size_t(m_count)];
        slot->setNarrowText(name);
        slot->setVisible(true);
        slot->setTooltipId(kNamedTooltip);
        slot->redraw();
        if (gumpFocus() == slot)
            slot->onKey(GumpKey::kEnd);
        m_keys[size_t(m_count)] = key;
        ++m_count;
    }
    if (m_count >= limit && m_newButton)
        m_newButton->setVisible(false);
}

void CharacterSelectionGump::removeCharacter(int32_t key)
{
    int32_t position = -1;
    for (int32_t k = 0; k < m_count; ++k) {
        if (m_keys[size_t(k)] == key) {
            position = k;
            break;
        }
    }
    if (position < 0)
        return;
    for (int32_t k = position; k + 1 < m_count; ++k) {
        TextEntry* above = m_entries[size_t(k)];
        above->setNarrowText(m_entries[size_t(k + 1)]->narrowText());
        above->setTooltipId(kEmptyTooltip);
        above->redraw();
        m_keys[size_t(k)] = m_keys[size_t(k + 1)];
    }
    TextEntry* last = m_entries[size_t(m_count - 1)];
    last->setNarrowText("");
    last->options.readOnly = true;
    last->setVisible(false);
    last->redraw();
    m_keys[size_t(m_count - 1)] = -1;
    --m_count;
    if (m_count < maxCharacterSlots() && m_newButton)
        m_newButton->setVisible(true);
}

void CharacterSelectionGump::selectPosition(int32_t position)
{
    position = std::clamp(position, 0, kSlotCount - 1);
    if (position == m_selected)
        return;
    TextEntry* before = entry(m_selected);
    TextEntry* after = entry(position);
    before->options.selected = false;
    after->options.selected = true;
    before->redraw();
    after->redraw();
    m_selected = position;
}

void CharacterSelectionGump::onControlPressed(CGump* control)
{
    const int32_t position = positionOf(control);
    if (position >= 0)
        selectPosition(position);
}

void CharacterSelectionGump::onControlReleased(CGump* control)
{
    const int32_t position = positionOf(control);
    if (position < 0)
        return;
    selectPosition(position);
    if (nameAt(m_selected).empty()) {
        onNewCharacter();
        return;
    }
    if (serverConfigStore().isEnabled() && m_syncToggle)
        serverConfigStore().setSyncFlag(m_syncToggle->isChecked() ? 1 : 0);
    onPlay();
}

void CharacterSelectionGump::onEscape() { disconnectToMainMenu(this); }

void CharacterSelectionGump::onKey(uint32_t code)
{
    if (code == GumpKey::kEnter)
        onPlay();
    else if (code == GumpKey::kEscape)
        onEscape();
}

void CharacterSelectionGump::onMouseOver(int32_t, int32_t)
{
    for (TextEntry* slot : m_entries)
        slot->redraw();
    setFrontEndCursor();
}

void CharacterSelectionGump::onLeftUp(int32_t, int32_t) { releasePointerCapture(); }
void CharacterSelectionGump::onRightUp(int32_t, int32_t) { releasePointerCapture(); }

void storeChosenCharacter(const std::string& name, int32_t position, int32_t key)
{
    loginSession().playerName = name;
    configFiles().setCharacterName(name);
    configValues().defaultCharacterSlot = key;
    const std::string positionText = std::to_string(position);
    setConfigValue(ConfigKeyKind::PlayerName, name);
    setConfigValue(ConfigKeyKind::DefaultChar, positionText);
    setConfigValueGlobal(ConfigKeyKind::PlayerName, name);
    setConfigValueGlobal(ConfigKeyKind::DefaultChar, positionText);
    // The slot's speech and emote hues become the ones in use.
    if (key >= 0 && size_t(key) < kCharacterSlots) {
        speechStyle().speechHue = characterHues().speech[size_t(key)];
        speechStyle().emoteHue = characterHues().emote[size_t(key)];
    }
}

void CharacterSelectionGump::playPosition(int32_t position)
{
    const std::string name = nameAt(position);
    const int32_t key = keyAt(position);
    storeChosenCharacter(name, position, key);
    setVisible(false);
    sendPlayCharacter(name, key);
}

void CharacterSelectionGump::onPlay()
{
    gumpReleaseFocus();
    const int32_t position = m_selected;
    const std::string name = nameAt(position);
    if (name.empty()) {
        setVisible(false);
        showMessage(std::string(kNoCharacterToPlayText), this, false);
        return;
    }
    const int32_t key = keyAt(position);
    const CharacterSlots& slots = characterSlots();
    if (key >= 0 && size_t(key) < CharacterSlots::kSlotCount && !slots.passwords[size_t(key)].empty()) {
        gumpLink(new PlayCharGump(name), nullptr);
        setVisible(false);
        return;
    }
    playPosition(position);
}

void CharacterSelectionGump::onDelete()
{
    setVisible(false);
    const std::string name = nameAt(m_selected);
    if (name.empty()) {
        showMessage(std::string(kNoCharacterToDeleteText), this, false);
        return;
    }
    gumpLink(new DeleteCharGump(name), nullptr);
}

void CharacterSelectionGump::onNewCharacter()
{
    if (m_count >= maxCharacterSlots()) {
        showMessage(std::string(kMaximumCharactersText), nullptr, false);
        return;
    }
    setVisible(false);
    service<CharacterCreation>().openProfessionWindow();
}

void confirmPlayCharacter(PlayCharGump& dialog)
{
    CharacterSelectionGump* selection = currentSelection();
    const int32_t position = selection ? selection->selectedPosition() : 0;
    const std::string name = selection ? selection->nameAt(position) : std::string();
    if (name.empty()) {
        dialog.setVisible(false);
        showMessage(std::string(kNoCharacterToPlayText), &dialog, false);
        return;
    }
    const int32_t key = selection->keyAt(position);
    // Kept, but neither sent nor compared.
    if (InputControl* password = dialog.passwordEntry())
        configValues().characterPassword = password->narrowText();
    storeChosenCharacter(name, position, key);
    closeGump(&dialog);
    sendPlayCharacter(name, key);
}

void confirmDeleteCharacter(DeleteCharGump& dialog)
{
    CharacterSelectionGump* selection = currentSelection();
    const int32_t position = selection ? selection->selectedPosition() : 0;
    if (!selection || selection->nameAt(position).empty()) {
        showMessage(std::string(kNoCharacterToDeleteText), nullptr, false);
        closeGump(&dialog);
        return;
    }
    const int32_t key = selection->keyAt(position);
    deleteCurrentWaiting();
    closeGump(&dialog);
    if (!(selection = currentSelection()))
        return;
    makeCurrentWaiting(kDeletingText, selection, true, true, true);
    // The deletion collects no password of its own: the account's goes,
    // which the server checks (and refuses with 0x85 when wrong).
    PacketStorage<48> packet;
    if (buildDeleteCharacterPacket(
            packet, loginSession().password.c_str(), uint32_t(key), platform::localIPv4Address()))
        sendPacket(packet);
    selection->setVisible(false);
}
