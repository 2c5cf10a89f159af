// The status gump's construction, its place in the status-bar table and its
// pictures: the full page, the bars and the names.
#include "windows/status_gump.h"

#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"
#include "gump/button.h"
#include "gump/gump_canvas.h"
#include "gump/gump_factory.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/gump_services.h"
#include "gump/input_control.h"
#include "text/ascii_font.h"
#include "windows/speech_services.h"
#include "windows/status_bar_table.h"
#include "windows/system_text.h"
#include "windows/target_gump.h"
#include "windows/window_packets.h"
#include "windows/window_services.h"
#include "windows/world_view_gump.h"
#include "world/body_animation.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr const char* kReuseMessage
    = "You have too many non-party status bars open, reusing old status bar for new one.";
constexpr uint16_t kReuseHue = 0;
constexpr uint16_t kReuseFont = 3;
constexpr int32_t kStatusTextFont = 1;
constexpr int32_t kStatusTextHue = 902;
constexpr int32_t kPartyNameFont = 3;
constexpr int32_t kSelfHue = 1153;
constexpr int32_t kUnknownHue = 902;
constexpr const char* kSelfName = "[* SELF *]";
constexpr int32_t kStatusNameX = 16;
constexpr int32_t kStatusNameWidth = 350;
constexpr uint8_t kYellowFlag = 0x08;
constexpr uint16_t kYellowKey = 2;
constexpr uint16_t kPartyPoisonedHue = 368;
constexpr uint16_t kPartyYellowHue = 53;
constexpr uint16_t kPartyManaHue = 1153;
constexpr uint16_t kPartyStaminaHue = 16;

// The vital bar's colouring of a mobile: poisoned wins over yellow.
enum class HitsLook : uint8_t { Normal, Poisoned, Yellow };

bool hasKey(const Mobile& mobile, uint16_t key)
{
    auto found = mobile.statusFlags.find(key);
    return found != mobile.statusFlags.end() && found->second != 0;
}

HitsLook hitsLookOf(const Mobile* mobile)
{
    if (!mobile)
        return HitsLook::Normal;
    if (showsPoisoned(*mobile))
        return HitsLook::Poisoned;
    if (hasKey(*mobile, kYellowKey) || (mobile->flags & kYellowFlag))
        return HitsLook::Yellow;
    return HitsLook::Normal;
}

int32_t hitsFillArt(HitsLook look)
{
    return look == HitsLook::Poisoned ? StatusGump::kPoisonedFillArt
        : look == HitsLook::Yellow    ? StatusGump::kYellowFillArt
                                      : StatusGump::kFillArt;
}

uint16_t partyHitsHue(HitsLook look)
{
    return look == HitsLook::Poisoned ? kPartyPoisonedHue : look == HitsLook::Yellow ? kPartyYellowHue : 0;
}

// One bar: its background, then the fill clipped to the filled width.
void drawStatusBar(GumpPage& overlay, int32_t y, int32_t current, int32_t maximum, int32_t fillArt, uint16_t hue,
    bool party)
{
    const BlitTarget target = overlay.target();
    const int32_t x = StatusGump::kBarX;
    drawGumpArt(copySpanTransparent, party ? StatusGump::kPartyBackgroundArt : StatusGump::kBarBackgroundArt,
        target, x, y);
    const int32_t filled = StatusGump::fillWidth(StatusGump::kBarWidth, current, maximum);
    if (filled <= 0)
        return;
    const ScreenRect clip { x, y, x + filled, y + StatusGump::kBarHeight };
    if (party && hue != 0) {
        setCurrentHueNumber(hue);
        drawGumpArtClipped(hueSpanByRed, fillArt, target, &clip, x, y);
    } else {
        drawGumpArtClipped(copySpanTransparent, fillArt, target, &clip, x, y);
    }
}

void drawNumber(GumpPage& face, int32_t x, int32_t y, const char* format, int32_t value)
{
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    drawAsciiText(x, y, kStatusTextFont, kStatusTextHue, text, face.surface(), wholeSurface(face.surface()));
}

// A number centred in `width` pixels from x.
void drawCentred(GumpPage& face, int32_t x, int32_t y, int32_t width, uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%u", value);
    const int32_t shown = measureAsciiChars(kStatusTextFont, int32_t(std::char_traits<char>::length(text)), text);
    drawAsciiText(x + (width - shown) / 2, y, kStatusTextFont, kStatusTextHue, text, face.surface(), wholeSurface(face.surface()));
}

// A value over its maximum, with the dividing line on the maximum's row.
void drawFraction(GumpPage& face, int32_t x, int32_t top, int32_t bottom, int32_t width, uint32_t value,
    uint32_t maximum, int32_t lineX)
{
    drawCentred(face, x, top, width, value);
    drawCentred(face, x, bottom, width, maximum);
    const TextClip whole = wholeSurface(face.surface());
    drawAsciiText(lineX, bottom, kStatusTextFont, kStatusTextHue, "____", face.surface(), whole);
    drawAsciiText(lineX + 2, bottom, kStatusTextFont, kStatusTextHue, "___", face.surface(), whole);
}

struct TooltipColumn {
    int32_t left;
    int32_t right;
};
constexpr std::array<TooltipColumn, 4> kTooltipColumns { { { 55, 122 }, { 122, 186 }, { 186, 257 }, { 257, 331 } } };
constexpr std::array<int32_t, 4> kTooltipRows { 68, 96, 124, 152 };
constexpr std::array<int32_t, 6> kLastColumnRows { 68, 90, 105, 119, 133, 152 };
constexpr int32_t kFirstTooltipId = 1061146;
constexpr int32_t kLastColumnFirstId = 1061158;

} // namespace

StatusGump::StatusGump(Mobile* owner, uint32_t serial, bool asBar)
    : CGump(0, 0, owner, 3, 0, 0)
    , m_createdAsBar(asBar)
{
    setTypeName("status gump");
    addKind(GumpKind::StatusGump);
    setOwnerSerial(serial);
    registerInTable();

    const bool own = serial == playerSerial();
    const GumpArtSize full = gumpArtSize(kFullArt);
    const GumpArtSize bar = gumpArtSize(own ? kPlayerBarArt : kOtherBarArt);
    setSize(full.width, full.height);
    setMinimisedSize(bar.width, bar.height);

    // A bar-sized rectangle centred on the pointer, kept on the screen.
    int32_t pointerX = 0, pointerY = 0;
    service<GumpPointer>().pointerPosition(pointerX, pointerY);
    const GumpScreen& screen = gumpScreen();
    const int32_t keptWidth = asBar ? bar.width : full.width;
    const int32_t keptHeight = asBar ? bar.height : full.height;
    int32_t x = std::max(pointerX - bar.width / 2, 0);
    int32_t y = std::max(pointerY - bar.height / 2, 0);
    x = std::max(std::min(x, screen.width - keptWidth - 1), 0);
    y = std::max(std::min(y, screen.height - keptHeight - 1), 0);
    setLocation(x, y);
    setMinimisedPosition(x, y);
    setRestorePosition(x, y);
    if (asBar)
        startMinimised();

    page(0)->allocate(full.width, full.height);
    page(1)->allocate(bar.width, bar.height);
    page(2)->allocate(full.width, full.height);
    addPartyControls();
    addLockButtons();
    update();
    gumpLink(Button::hotSpot(385, 146, 408, 168, ButtonBehaviour::ClickOnRelease, 0,
                 onParent<&StatusGump::minimiseToBar>, false),
        this);
}

StatusGump::~StatusGump()
{
    const uint32_t serial = ownerSerial();
    if (highlightingStatusGump() == this)
        clearStatusHighlight();
    leaveGroup();
    deleteChildren();
    if (!findTargetGump(serial))
        statusBarTable().release(serial);
}

void StatusGump::registerInTable()
{
    const uint32_t serial = ownerSerial();
    StatusBarTable& table = statusBarTable();
    const bool party = isPartyMember(serial);
    if (serial != playerSerial() && !party) {
        if (table.place(serial, false) == StatusBarTable::Placed::Reused)
            addSystemMessage(kReuseHue, kReuseFont, kReuseMessage);
        return;
    }
    // The player's own gump takes a slot only while the player is in the party.
    if (party && !table.moveToPartySlot(serial))
        table.place(serial, true);
}

bool StatusGump::moveToPartySlot() { return statusBarTable().moveToPartySlot(ownerSerial()); }

Mobile* StatusGump::mobile() const
{
    WorldObject* object = findObjectBySerial(ownerSerial());
    return object && object->isMobile() ? static_cast<Mobile*>(object) : nullptr;
}

bool StatusGump::isPartyBar() const { return isPartyMember(ownerSerial()); }

int32_t StatusGump::fillWidth(int32_t width, int32_t current, int32_t maximum)
{
    const double ratio = current <= maximum && maximum != 0 ? double(current) / double(maximum) : 1.0;
    return int32_t(double(width) * ratio);
}

void StatusGump::setVitals(const std::array<int32_t, 6>& values)
{
    m_record.hits = uint16_t(values[0]);
    m_record.maxHits = uint16_t(values[1]);
    m_record.mana = uint16_t(values[2]);
    m_record.maxMana = uint16_t(values[3]);
    m_record.stamina = uint16_t(values[4]);
    m_record.maxStamina = uint16_t(values[5]);
}

void StatusGump::addLockButtons()
{
    static constexpr std::array<int32_t, 3> kLockY { 78, 105, 133 };
    static constexpr std::array<GumpCallback, 3> kCallbacks { &StatusGump::onLockButton<0>,
        &StatusGump::onLockButton<1>, &StatusGump::onLockButton<2> };
    for (size_t stat = 0; stat < 3; ++stat) {
        auto* button = new Button(40, kLockY[stat], ButtonBehaviour::ClickOnRelease, 0, kCallbacks[stat],
            kLockArts[m_locks[stat]], kLockArts[m_locks[stat]], false);
        button->setVisible(false);
        gumpLink(button, this);
        m_lockButtons[stat] = GumpHandle(button);
    }
}

template <int32_t Stat>
void StatusGump::onLockButton(CGump* parent)
{
    static_cast<StatusGump*>(parent)->cycleLock(Stat);
}

void StatusGump::cycleLock(int32_t stat)
{
    m_locks[size_t(stat)] = uint8_t((m_locks[size_t(stat)] + 1) % 3);
    refreshStatLocks();
    sendStatLock(uint8_t(stat), m_locks[size_t(stat)]);
}

void StatusGump::refreshStatLocks()
{
    for (size_t stat = 0; stat < 3; ++stat) {
        auto* button = static_cast<Button*>(m_lockButtons[stat].get());
        if (!button)
            continue;
        button->setArtId(kLockArts[m_locks[stat]]);
        button->setDownArt(kLockArts[m_locks[stat]]);
    }
}

void StatusGump::setStatLocks(uint8_t strength, uint8_t dexterity, uint8_t intelligence)
{
    m_locks = { strength, dexterity, intelligence };
    refreshStatLocks();
    for (const GumpHandle& handle : m_lockButtons) {
        if (CGump* button = handle.get())
            button->setVisible(true);
    }
}

bool StatusGump::hasPartyControls() const { return m_partyButtons[0].get() && m_partyButtons[1].get(); }

void StatusGump::addPartyControls()
{
    if (!mobile() || !isPartyBar() || hasPartyControls())
        return;
    static constexpr std::array<int32_t, 2> kArts { 2360, 2361 };
    static constexpr std::array<int32_t, 2> kY { 20, 33 };
    for (int32_t id = 0; id < 2; ++id) {
        auto* button = new Button(16, kY[size_t(id)], ButtonBehaviour::ClickOnRelease, 0, forwardButtonToOwner,
            kArts[size_t(id)], 2362, true);
        button->setId(id);
        button->setPassId(true);
        gumpLink(button, this);
        m_partyButtons[size_t(id)] = GumpHandle(button);
    }
}

void StatusGump::onCommand(int32_t commandId)
{
    if (hasPartyControls() && (commandId == 0 || commandId == 1)) {
        m_pendingTargetClick = true;
        service<SpellCasting>().castSpell(commandId == 0 ? kGreaterHealSpell : kCureSpell);
        return;
    }
    m_pendingTargetClick = false;
}

void StatusGump::minimiseToBar()
{
    minimizeClearingPage(this, 2);
    update();
}

void StatusGump::restoreToPage()
{
    if (GumpPage* overlay = page(2))
        std::fill(overlay->pixels.begin(), overlay->pixels.end(), uint16_t(0));
    restore();
    leaveGroup();
    update();
}

void StatusGump::update()
{
    if (!isVisible())
        return;
    GumpHandle self(this);
    if (!owner() || !isValidWorldObject(owner()))
        setOwner(nullptr);
    if (!owner()) {
        if (Mobile* found = mobile()) {
            setOwner(found);
            sendStatusRequest(kStatusBarRequest, found->serial);
        }
    }
    if (m_pendingTargetClick && isTargetPending()) {
        m_pendingTargetClick = false;
        completeTarget(mobile());
        if (!self)
            return;
    }
    drawPages();
}

void StatusGump::drawPages()
{
    GumpPage& face = *page(0);
    GumpPage& bar = *page(1);
    GumpPage& overlay = *page(2);
    if (!face.isAllocated() || !bar.isAllocated() || !overlay.isAllocated())
        return;
    Mobile* shown = mobile();
    const bool own = ownerSerial() == playerSerial();
    const bool party = isPartyBar();

    std::fill(face.pixels.begin(), face.pixels.end(), uint16_t(0));
    drawGumpArt(copySpanTransparent, kFullArt, face.target(), 0, 0);
    if (!party) {
        std::fill(bar.pixels.begin(), bar.pixels.end(), uint16_t(0));
        if (own) {
            const PlayerMobile* self = player();
            drawGumpArt(copySpanTransparent, self && self->warMode ? kWarBarArt : kPlayerBarArt, bar.target(), 0, 0);
        } else {
            const uint16_t hue = shown ? getNotorietyHue(shown) : kUnknownHue;
            const bool plain = shown && (shown->notoriety == 3 || shown->notoriety == 4 || hue == 0);
            if (plain) {
                drawGumpArt(copySpanTransparent, kOtherBarArt, bar.target(), 0, 0);
            } else {
                setCurrentHueNumber(hue);
                drawGumpArt(hueSpanByRed, kOtherBarArt, bar.target(), 0, 0);
            }
        }
    }
    if (m_record.name.empty() && !nameEntry())
        return;

    drawBars(overlay);
    if (shown && party && !hasPartyControls()) {
        addPartyControls();
    } else if (!shown && hasPartyControls()) {
        closeGump(m_partyButtons[0].get());
        closeGump(m_partyButtons[1].get());
    }

    if (!isMinimised())
        drawFullPage(face);
    else if (!nameEntry())
        drawBarName(bar);
}

void StatusGump::drawBars(GumpPage& overlay)
{
    std::fill(overlay.pixels.begin(), overlay.pixels.end(), uint16_t(0));
    if (!isMinimised())
        return;
    const Mobile* shown = mobile();
    const bool own = ownerSerial() == playerSerial();
    const bool party = isPartyBar();
    const StatusRecord& r = m_record;
    const HitsLook look = hitsLookOf(shown);
    if (own && !party) {
        drawStatusBar(overlay, 12, r.hits, r.maxHits, hitsFillArt(look), 0, false);
        drawStatusBar(overlay, 25, r.mana, r.maxMana, kFillArt, 0, false);
        drawStatusBar(overlay, 38, r.stamina, r.maxStamina, kFillArt, 0, false);
    } else if (party && (own || shown)) {
        drawStatusBar(overlay, 20, r.hits, r.maxHits, kPartyFillArt, partyHitsHue(look), true);
        drawStatusBar(overlay, 33, r.mana, r.maxMana, kPartyFillArt, kPartyManaHue, true);
        drawStatusBar(overlay, 46, r.stamina, r.maxStamina, kPartyFillArt, kPartyStaminaHue, true);
    } else if (party) {
        for (int32_t y : { 20, 33, 46 })
            drawStatusBar(overlay, y, 1, 1, kPartyFillArt, kUnknownHue, true);
    } else if (shown) {
        drawStatusBar(overlay, 38, r.hits, r.maxHits, hitsFillArt(look), 0, false);
    } else {
        drawStatusBar(overlay, 38, 0, 1, kFillArt, 0, false);
    }
}

void StatusGump::drawFullPage(GumpPage& face)
{
    const StatusRecord& r = m_record;
    TextSurface surface = face.surface();
    drawAsciiTextWrapped(40, 50, kStatusTextFont, kStatusTextHue, r.name.c_str(), kStatusNameWidth, surface, wholeSurface(surface), 0,
        0, true);
    drawNumber(face, 88, 87, "%u", r.strength);
    drawNumber(face, 88, 115, "%u", r.dexterity);
    drawNumber(face, 88, 143, "%u", r.intelligence);
    drawFraction(face, 148, 70, 83, 30, r.hits, r.maxHits, 145);
    drawFraction(face, 148, 98, 111, 30, r.stamina, r.maxStamina, 145);
    drawFraction(face, 148, 126, 139, 30, r.mana, r.maxMana, 145);
    drawNumber(face, 220, 87, "%u", r.statCap);
    drawNumber(face, 220, 115, "%d", int16_t(r.extended[4]));
    drawFraction(face, 217, 126, 139, 34, r.valueB, r.maxValueB, 215);
    char text[32];
    std::snprintf(text, sizeof text, "%u-%u", unsigned(r.rangeLow), unsigned(r.rangeHigh));
    drawAsciiText(280, 87, kStatusTextFont, kStatusTextHue, text, surface, wholeSurface(surface));
    std::snprintf(text, sizeof text, "%u", r.gold);
    drawAsciiText(280, 115, kStatusTextFont, kStatusTextHue, text, surface, wholeSurface(surface));
    std::snprintf(text, sizeof text, "%u/%u", unsigned(r.followers), unsigned(r.maxFollowers));
    drawAsciiText(285, 143, kStatusTextFont, kStatusTextHue, text, surface, wholeSurface(surface));
    const std::array<int16_t, 5> resistances { int16_t(r.valueA), int16_t(r.extended[0]), int16_t(r.extended[1]),
        int16_t(r.extended[2]), int16_t(r.extended[3]) };
    static constexpr std::array<int32_t, 5> kResistanceY { 84, 101, 116, 129, 143 };
    for (size_t i = 0; i < resistances.size(); ++i)
        drawNumber(face, resistances[i] < 0 ? 348 : 355, kResistanceY[i], "%d", resistances[i]);
}

void StatusGump::drawBarName(GumpPage& bar)
{
    const bool own = ownerSerial() == playerSerial();
    const bool party = isPartyBar();
    if (own && !party)
        return;
    if (party)
        std::fill(bar.pixels.begin(), bar.pixels.end(), uint16_t(0));
    int32_t width = 0, height = 0, baseline = 0;
    measureAsciiText(kStatusTextFont, "Aq", width, height, baseline);
    const int32_t y = height + (party ? 4 : 14);
    TextSurface surface = bar.surface();
    if (own)
        drawAsciiText(kStatusNameX, y, kPartyNameFont, kSelfHue, kSelfName, surface, wholeSurface(surface));
    else if (party)
        drawAsciiText(kStatusNameX, y, kPartyNameFont, getNotorietyHue(mobile()), m_record.name.c_str(), surface,
            wholeSurface(surface));
    else
        drawAsciiText(kStatusNameX, y, kStatusTextFont, kStatusTextHue, m_record.name.c_str(), surface, wholeSurface(surface));
}

void StatusGump::openNameEntry()
{
    if (m_nameEntryOpened)
        return;
    m_nameEntryOpened = true;
    auto* entry = new InputControl(13, 12, EntrySize { minimisedWidth() - 32, 16, false }, int32_t(EntryMode::Text),
        30, kStatusTextFont, 14, true, false);
    entry->setNarrowText(m_record.name);
    entry->redraw();
    gumpLink(entry, this);
    m_nameEntry = GumpHandle(entry);
    gumpSetFocus(entry);
    m_record.name.clear();
    update();
}

InputControl* StatusGump::nameEntry() const { return static_cast<InputControl*>(m_nameEntry.get()); }

void StatusGump::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    GumpPage* face = page(isMinimised() ? 1 : 0);
    GumpPage* overlay = page(2);
    int32_t x = 0, y = 0;
    localToScreen(x, y);
    if (face && face->isAllocated())
        drawImageClipped(copySpanTransparent, face->pixels.data(), face->width, face->height, canvas.target(),
            &canvas.clip(), x, y);
    if (overlay && overlay->isAllocated())
        drawImageClipped(copySpanTransparent, overlay->pixels.data(), overlay->width, overlay->height,
            canvas.target(), &canvas.clip(), x, y);
    forEachChildBottomUp([&](CGump* child) {
        const bool shows
            = child->is(GumpKind::Button) ? child->showsWhileParentMinimised() == isMinimised() : isMinimised();
        if (shows)
            child->draw(canvas);
    });
}

bool StatusGump::containsPoint(int32_t x, int32_t y)
{
    GumpPage* shown = page(isMinimised() ? 1 : 0);
    if (!shown || !shown->isAllocated() || x < 0 || y < 0 || x >= shown->width || y >= shown->height)
        return false;
    if (!mobile() || isPartyBar())
        return true;
    return shown->pixel(x, y) != 0 || page(2)->pixel(x, y) != 0;
}

int32_t StatusGump::fullPageTooltipId(int32_t x, int32_t y)
{
    for (size_t column = 0; column < kTooltipColumns.size(); ++column) {
        if (x <= kTooltipColumns[column].left || x >= kTooltipColumns[column].right)
            continue;
        for (size_t row = 0; row + 1 < kTooltipRows.size(); ++row) {
            if (y > kTooltipRows[row] && y < kTooltipRows[row + 1])
                return kFirstTooltipId + int32_t(column * 3 + row);
        }
    }
    if (x > 331 && x < 383) {
        for (size_t row = 0; row + 1 < kLastColumnRows.size(); ++row) {
            if (y > kLastColumnRows[row] && y < kLastColumnRows[row + 1])
                return kLastColumnFirstId + int32_t(row);
        }
    }
    return -1;
}

WString StatusGump::getTooltipText(int32_t x, int32_t y)
{
    int32_t id = isMinimised() ? -1 : fullPageTooltipId(x, y);
    if (id < 0)
        id = tooltipId() == kNoTooltip || tooltipId() == -1 ? -1 : tooltipId();
    const WString* text = id >= 0 ? gumpTooltipText(id) : nullptr;
    return text ? *text : WString();
}

StatusGump* findStatusGumpOf(uint32_t serial)
{
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
        if (gump->is(GumpKind::StatusGump) && gump->ownerSerial() == serial)
            return static_cast<StatusGump*>(gump);
    }
    return nullptr;
}

std::vector<GumpHandle> statusGumpsOf(uint32_t serial)
{
    std::vector<GumpHandle> found;
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
        if (gump->is(GumpKind::StatusGump) && gump->ownerSerial() == serial)
            found.emplace_back(gump);
    }
    return found;
}
