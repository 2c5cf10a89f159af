#include "windows/macro_runner.h"

#include "core/wide_text.h"
#include "data/client_services.h"
#include "data/settings_registry.h"
#include "data/targeting.h"
#include "data/view_range.h"
#include "gump/desktop_file.h"
#include "gump/gump.h"
#include "gump/gump_factory.h"
#include "gump/gump_manager.h"
#include "net/client_packets.h"
#include "protocol/target_cursor.h"
#include "windows/own_character_actions.h"
#include "windows/speech_throttle.h"
#include "windows/status_gump.h"
#include "windows/system_text.h"
#include "windows/target_gump.h"
#include "windows/window_packets.h"
#include "windows/window_services.h"
#include "world/circle_of_transparency.h"
#include "world/container_item.h"
#include "world/item.h"
#include "world/mobile.h"
#include "world/object_interaction.h"
#include "world/object_manager.h"
#include "world/walking.h"
#include "world/world_screen.h"
#include "world/world_settings.h"

#include <array>
#include <string>

namespace macro {

namespace {

constexpr uint8_t kOpenDoorCommand = 0x58;
constexpr uint8_t kMacroUseSkillCommand = 0x24;
constexpr uint8_t kActionCommand = 0xC7;
constexpr uint8_t kVirtueCommand = 0xF4;
constexpr uint16_t kEquipLastWeaponCommand = 30;
constexpr uint8_t kSpeechTypes[4] = { 0, 2, 8, 9 };
constexpr uint8_t kHiddenFlag = 0x80;
constexpr uint16_t kMacroNoticeFont = 3;
constexpr const char* kQuitQuestion = "Quit         Vardun Online?";

MacroWindows& macroWindows() { return service<MacroWindows>(); }

bool inGame() { return gameState().isInGame() && player() != nullptr; }

void notice(std::string_view text) { addSystemMessage(0, kMacroNoticeFont, text); }

// The book kind of each spellbook window name; 0 for the other names.
int32_t spellbookKind(int32_t window)
{
    switch (window) {
    case kMageSpellbook:
        return 1;
    case kNecroSpellbook:
        return 2;
    case kPaladinSpellbook:
        return 3;
    case kBushidoSpellbook:
        return 5;
    case kNinjitsuSpellbook:
        return 6;
    case kSpellWeavingSpellbook:
        return 7;
    default:
        return 0;
    }
}

bool ownedByPlayer(const CGump& gump) { return gump.owner() && gump.owner() == player(); }

CGump* findTopGump(bool (*matches)(const CGump&))
{
    for (CGump* gump = gumpListHead(); gump; gump = gump->next()) {
        if (matches(*gump))
            return gump;
    }
    return nullptr;
}

// The requests without a sender of their own: built into a small buffer and
// queued as the windows queue theirs.
template <typename Build>
void buildAndQueue(Build build)
{
    std::array<uint8_t, 32> storage {};
    PacketBuffer packet(storage.data(), storage.size());
    if (build(packet) && !packet.failed())
        sendWindowPacket(packet);
}

void sendTargetAnswer(uint8_t type, uint32_t serial, uint16_t x, uint16_t y, uint16_t z, uint16_t graphic)
{
    const ServerTargetCursor& cursor = serverTargetCursor();
    buildAndQueue([&](PacketBuffer& p) {
        return buildTargetResponsePacket(p, type, cursor.cursorId, cursor.cursorFlag, serial, x, y, z, graphic);
    });
    endTargeting();
}

bool answerLastTarget()
{
    if (!targetingState().targetingActive)
        return false;
    const LastTarget& last = lastTarget();
    switch (last.kind) {
    case LastTargetKind::Object:
        sendTargetAnswer(0, last.serial, 0, 0, 0, 0);
        break;
    case LastTargetKind::Land:
        sendTargetAnswer(1, 0, last.x, last.y, last.z, 0);
        break;
    case LastTargetKind::Static:
        sendTargetAnswer(1, 0, last.x, last.y, last.z, last.graphic);
        break;
    case LastTargetKind::None:
        endTargeting();
        break;
    }
    return true;
}

void targetSelf()
{
    PlayerMobile* self = player();
    if (!self || !targetingState().targetingActive)
        return;
    sendTargetAnswer(0, self->serial, uint16_t(self->x), uint16_t(self->y), uint16_t(self->z), self->graphic);
}

bool isOnScreen(const WorldObject& object)
{
    const WorldScreen& screen = worldScreen();
    const GumpScreen& area = gumpScreen();
    const ScreenRect& rect = object.screenRect;
    return rect.right >= screen.viewPixelX && rect.left <= screen.viewPixelX + area.gameWidth
        && rect.bottom >= screen.viewPixelY && rect.top <= screen.viewPixelY + area.gameHeight;
}

// Lifting is noted for the drag code, as a pick-up by hand does.
void noteLifted(const Item& item)
{
    DragState& drag = dragState();
    drag.serial = item.serial;
    drag.graphic = item.graphic;
    drag.hue = item.hue;
    drag.flags = item.flags;
}

void sendPickUp(uint32_t serial)
{
    buildAndQueue([serial](PacketBuffer& p) { return buildPickUpItemPacket(p, serial, 0); });
}

void changeUpdateRange(int32_t range)
{
    UpdateRangeState& state = updateRangeState();
    const int32_t clamped = range < kMinUpdateRange ? kMinUpdateRange : range > kMaxUpdateRange ? kMaxUpdateRange : range;
    state.desiredUpdateRange = clamped;
    state.autoUpdateRange = false;
    state.pendingUpdateRange = clamped;
    state.updateRangePending = true;
    sendPendingUpdateRange();
}

void closeWindow(int32_t window)
{
    if (CGump* gump = findGumpByName(window))
        closeGump(gump);
}

CGump* windowForResize(int32_t window)
{
    switch (window) {
    case kMail:
        return macroWindows().findMessageList();
    case kPartyChat:
        return macroWindows().findPartyChat();
    default:
        return findGumpByName(window);
    }
}

void minimizeWindow(int32_t window)
{
    // These two are closed, not minimised; the gump is gone after that.
    if (window == kConfiguration || window == kPartyManifest) {
        closeWindow(window);
        return;
    }
    if (CGump* gump = windowForResize(window))
        gump->minimize();
}

void maximizeWindow(int32_t window)
{
    if (window == kConfiguration || window == kPartyManifest) {
        openGumpByName(window);
        return;
    }
    if (CGump* gump = windowForResize(window))
        gump->restore();
}

void askQuit()
{
    if (gumpModal())
        return;
    service<YesNoQuestions>().ask(QuestionKind::Logout, kQuitQuestion, 0);
}

void toggleBoolSetting(const char16_t* name)
{
    SettingsRegistry& registry = settings();
    registry.setBoolSetting(name, registry.getBoolSetting(name) ? 0 : 1);
}

int32_t textNumber(const MacroAction& action) { return wstrToInt(action.text.c_str()); }

} // namespace

int32_t& lastSkillUsed()
{
    static int32_t skill = -1;
    return skill;
}

MacroRunState& macroRunState()
{
    static MacroRunState state;
    return state;
}

MacroMemory& macroMemory()
{
    static MacroMemory memory;
    return memory;
}

bool startMacroForKey(uint16_t virtualKey, bool control, bool alt, bool shift)
{
    const std::vector<MacroRecord>& macros = macroList().macros;
    for (size_t i = 0; i < macros.size(); ++i) {
        const MacroRecord& record = macros[i];
        if (record.virtualKey == virtualKey && record.control == control && record.alt == alt && record.shift == shift) {
            startMacro(int32_t(i));
            return true;
        }
    }
    return false;
}

void startMacro(int32_t n)
{
    MacroRunState& state = macroRunState();
    if (state.running) {
        state.delayActive = false;
        state.delayCounter = 0;
        state.waitForTarget = 0;
        return;
    }
    if (n < 0 || size_t(n) >= macroList().macros.size())
        return;
    state.running = true;
    state.macro = n;
    state.generation = macroList().generation;
    state.step = 0;
}

void runMacroStep()
{
    MacroRunState& state = macroRunState();
    if (state.delayActive) {
        if (++state.delayCounter > state.delayLength) {
            state.delayCounter = 0;
            state.delayActive = false;
        }
        return;
    }
    if (!state.running)
        return;
    const MacroList& list = macroList();
    // The list was read again or edited: the record is gone.
    if (state.generation != list.generation || size_t(state.macro) >= list.macros.size()) {
        state.running = false;
        return;
    }
    if (state.waitForTarget != 0) {
        if (++state.waitForTarget > kMaxWaitForTargetFrames || targetingState().targetingActive)
            state.waitForTarget = 0;
        return;
    }
    const MacroRecord& record = list.macros[size_t(state.macro)];
    if (state.step < record.count) {
        if (executeMacroAction(record, state.step)) {
            ++state.step;
        } else if (++state.retries > kMaxRetries) {
            state.running = false;
            state.retries = 0;
            return;
        }
    }
    if (state.step >= record.count)
        state.running = false;
}

void lowerMacroDelay()
{
    int32_t& cooldown = macroMemory().armCooldown;
    if (cooldown > 0)
        --cooldown;
}

bool executeMacroAction(const MacroRecord& macro, int32_t step)
{
    if (step < 0 || step >= macro.count || step >= kMaxActions)
        return true;
    const MacroAction& action = macro.actions[size_t(step)];
    const bool game = inGame();
    PlayerMobile* self = player();
    switch (action.action) {
    case kSay:
    case kEmote:
    case kWhisper:
    case kYell:
        if (game)
            sendSpeech(action.text, kSpeechTypes[action.action - kSay]);
        break;
    case kWalk:
        if (game) {
            if (self->following != 0)
                stopFollowing();
            requestStep(action.argument, 0, true);
        }
        break;
    case kWarPeace:
        if (game)
            setWarMode(-1);
        break;
    case kPaste:
        macroWindows().pasteClipboard();
        break;
    case kOpen:
        if (game)
            openGumpByName(action.argument);
        break;
    case kClose:
        if (game)
            closeWindow(action.argument);
        break;
    case kMinimize:
        if (game)
            minimizeWindow(action.argument);
        break;
    case kMaximize:
        if (game)
            maximizeWindow(action.argument);
        break;
    case kOpenDoor:
        if (game)
            sendTextCommand(kOpenDoorCommand, "");
        break;
    case kUseSkill:
        if (game)
            sendTextCommand(kMacroUseSkillCommand, std::to_string(action.argument) + " 0");
        break;
    case kLastSkill:
        if (game && lastSkillUsed() != -1)
            sendTextCommand(kMacroUseSkillCommand, std::to_string(lastSkillUsed()) + " 0");
        break;
    case kCastSpell:
        if (game)
            macroWindows().castSpell(action.argument);
        break;
    case kLastSpell:
        if (game && macroWindows().lastSpell() != -1)
            macroWindows().castSpell(macroWindows().lastSpell());
        break;
    case kLastObject:
        if (game && lastUsedObject().serial != 0) {
            if (WorldObject* object = findObjectBySerial(lastUsedObject().serial))
                useObject(*object);
        }
        break;
    case kBow:
        if (game)
            sendTextCommand(kActionCommand, "bow");
        break;
    case kSalute:
        if (game)
            sendTextCommand(kActionCommand, "salute");
        break;
    case kQuitGame:
        if (game)
            askQuit();
        break;
    case kAllNames:
        if (game)
            requestAllNames();
        break;
    case kLastTarget:
        if (game)
            return answerLastTarget();
        break;
    case kTargetSelf:
        if (game)
            targetSelf();
        break;
    case kArmDisarm:
        if (game && !dragState().dragging)
            toggleArmDisarm(action.argument);
        break;
    case kWaitForTarg:
        macroRunState().waitForTarget = 1;
        break;
    case kTargetNext:
        targetNext();
        break;
    case kAttackLast:
        if (lastTarget().kind != LastTargetKind::Object)
            notice("You have no last target set.");
        else
            sendAttackRequest(lastTarget().serial);
        break;
    case kDelay: {
        MacroRunState& state = macroRunState();
        state.delayLength = textNumber(action);
        state.delayCounter = 0;
        state.delayActive = true;
        break;
    }
    case kCircleTrans:
        toggleBoolSetting(u"UseCircleTrans");
        worldObjectSettings().useCircleTrans = settings().getBoolSetting(u"UseCircleTrans") != 0;
        invalidateWholeScreen();
        break;
    case kCommand:
        break;
    case kCloseGumps:
        gumpCloseAllClosableKinds();
        break;
    case kAlwaysRun:
        toggleBoolSetting(u"AlwaysRun");
        showSystemBark(settings().getBoolSetting(u"AlwaysRun") ? "Always Run is now on." : "Always Run is now off.", 0,
            kMacroNoticeFont);
        break;
    case kSaveDesktop:
        desktopWrite();
        notice("Done saving desktop.");
        break;
    case kKillGumpOpen:
        desktopPendingClear();
        notice("Cancelled opening containers.");
        break;
    case kPrimaryAbility:
    case kSecondaryAbility:
        if (areObjectPropertyListsOn()) {
            macroWindows().toggleWeaponAbility(action.action == kPrimaryAbility);
        } else {
            // The ability request of servers without property lists.
            const uint16_t subCommand = action.action == kPrimaryAbility ? 9 : 10;
            buildAndQueue([subCommand](PacketBuffer& p) {
                packetBegin(p, 0xBF);
                return packetPutShort(p, subCommand);
            });
        }
        break;
    case kEquipLastWeapon:
        if (game)
            sendEncodedCommand(self->serial, kEquipLastWeaponCommand);
        break;
    case kSetUpdateRange:
        if (game)
            changeUpdateRange(textNumber(action));
        break;
    case kModifyUpdateRange:
        if (game)
            changeUpdateRange(currentUpdateRange() + textNumber(action));
        break;
    case kIncreaseUpdateRange:
        if (game)
            increaseUpdateRange();
        break;
    case kDecreaseUpdateRange:
        if (game)
            decreaseUpdateRange();
        break;
    case kMaxUpdateRange:
    case kDefaultUpdateRange:
        if (game)
            maxUpdateRange();
        break;
    case kMinUpdateRange:
        if (game)
            minUpdateRange();
        break;
    case kUpdateRangeInfo:
        if (game)
            updateRangeInfo();
        break;
    case kEnableRangeColor:
        if (game)
            enableRangeColor();
        break;
    case kDisableRangeColor:
        if (game)
            disableRangeColor();
        break;
    case kToggleRangeColor:
        if (game)
            toggleRangeColor();
        break;
    case kInvokeVirtue:
        if (game)
            sendTextCommand(kVirtueCommand, std::to_string(action.argument));
        break;
    default:
        break;
    }
    return true;
}

void openGumpByName(int32_t window)
{
    PlayerMobile* self = player();
    if (!self)
        return;
    if (const int32_t book = spellbookKind(window)) {
        macroWindows().openSpellbook(book);
        return;
    }
    switch (window) {
    case kConfiguration:
        own_actions::openOptions();
        break;
    case kPaperdoll:
        own_actions::openPaperdoll();
        break;
    case kStatus:
        own_actions::openStatus(*self);
        break;
    case kJournal:
        own_actions::openJournal();
        break;
    case kSkills:
        own_actions::requestSkills();
        break;
    case kChat:
        own_actions::openChat();
        break;
    case kBackpack:
        own_actions::openBackpack();
        break;
    case kOverview:
        own_actions::openMap();
        break;
    case kMail:
        macroWindows().showMessageList();
        break;
    case kPartyManifest:
        macroWindows().showPartyWindow();
        break;
    case kPartyChat:
        macroWindows().showPartyChat();
        break;
    case kCombatBook:
        gumpOpenByKind(nullptr, gump_kind::kAbilityBook, nullptr, false, false);
        break;
    case kGuild:
        own_actions::requestGuild();
        break;
    case kQuestLog:
        own_actions::requestQuests();
        break;
    default:
        break;
    }
}

CGump* findGumpByName(int32_t window)
{
    if (const int32_t book = spellbookKind(window))
        return macroWindows().findSpellbook(book);
    switch (window) {
    case kConfiguration:
        return findTopGump([](const CGump& g) { return g.is(GumpKind::OptionsGump); });
    case kPaperdoll:
        return findTopGump([](const CGump& g) { return g.is(GumpKind::Paperdoll) && ownedByPlayer(g); });
    case kStatus:
        return findTopGump([](const CGump& g) { return g.is(GumpKind::StatusGump) && ownedByPlayer(g); });
    case kJournal:
        return findTopGump([](const CGump& g) { return g.is(GumpKind::TextWindow); });
    case kSkills:
        return findTopGump([](const CGump& g) { return g.is(GumpKind::SkillGump); });
    case kChat:
        return findTopGump([](const CGump& g) { return g.is(GumpKind::ChatWindow); });
    case kBackpack:
        return findTopGump([](const CGump& g) {
            const PlayerMobile* self = player();
            const Item* backpack = self ? self->layerItem(Mobile::kBackpackLayer) : nullptr;
            return g.is(GumpKind::ContainerGump) && backpack && g.owner() == backpack;
        });
    case kOverview:
        return findTopGump([](const CGump& g) { return g.is(GumpKind::Radar); });
    case kMail:
        return macroWindows().findMessageList();
    case kPartyManifest:
        return macroWindows().findPartyWindow();
    case kCombatBook:
        return findTopGump([](const CGump& g) { return g.is(GumpKind::AbilityBook); });
    default:
        return nullptr;
    }
}

void requestAllNames()
{
    const uint32_t self = playerSerial();
    // Mobiles first, then the corpses.
    for (int pass = 0; pass < 2; ++pass) {
        for (Item* item = itemList().head(); item; item = ItemList::next(item)) {
            if (item->serial == self || !isOnScreen(*item))
                continue;
            const bool wanted = pass == 0
                ? item->isMobile() && !(item->flags & kHiddenFlag) && item->graphic != 0
                : !item->isMobile() && item->graphic == Corpse::kCorpseGraphic && item->isPlaced();
            if (wanted)
                sendNameRequest(item->serial);
        }
    }
}

void toggleArmDisarm(int32_t hand)
{
    MacroMemory& memory = macroMemory();
    if (memory.armCooldown != 0) {
        notice("You must wait to perform another action.");
        return;
    }
    memory.armCooldown = kArmCooldownFrames;
    if (hand != kLeftHand && hand != kRightHand) {
        notice("You must select the right or left arm in the macro options.");
        return;
    }
    PlayerMobile* self = player();
    if (!self)
        return;
    const int32_t layer = hand == kRightHand ? 1 : 2;
    Item* held = self->layerItem(layer);
    uint32_t& remembered = memory.rememberedWeapon[hand];
    if (held) {
        Item* backpack = self->layerItem(Mobile::kBackpackLayer);
        if (!backpack)
            return;
        noteLifted(*held);
        sendPickUp(held->serial);
        sendDropRequest(held->serial, 0xFFFF, 0xFFFF, 0, backpack->serial);
        remembered = held->serial;
        return;
    }
    if (remembered == 0) {
        notice("You must first disarm a weapon in order to arm one.");
        return;
    }
    // The weapon may have gone since it was put away.
    Item* weapon = findItemBySerial(remembered);
    if (!weapon) {
        remembered = 0;
        return;
    }
    noteLifted(*weapon);
    sendPickUp(weapon->serial);
    sendWearRequest(weapon->serial, uint8_t(layer), self->serial);
}

void targetNext()
{
    MacroMemory& memory = macroMemory();
    // The player is never its own next target.
    const auto firstMobile = [](Item* from) {
        for (Item* item = from; item; item = ItemList::next(item)) {
            if (item->isMobile() && !item->isPlayer())
                return item;
        }
        return static_cast<Item*>(nullptr);
    };
    Item* chosen = nullptr;
    Item* kept = nullptr;
    if (memory.nextTarget != 0) {
        for (Item* item = itemList().head(); item; item = ItemList::next(item)) {
            if (item->serial == memory.nextTarget && item->isMobile()) {
                kept = item;
                break;
            }
        }
    }
    if (kept) {
        chosen = firstMobile(ItemList::next(kept));
        if (!chosen)
            chosen = firstMobile(itemList().head());
    } else {
        chosen = firstMobile(itemList().head());
    }
    if (!chosen) {
        notice("There are no mobiles on screen to select.");
        return;
    }
    memory.nextTarget = chosen->serial;
    TargetGump::showLastTarget(static_cast<Mobile&>(*chosen));
}

} // namespace macro
