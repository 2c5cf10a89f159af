#include "windows/icon_gumps.h"

#include "core/wide_text.h"
#include "data/skill_names.h"
#include "data/skill_values.h"
#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/gump_services.h"
#include "text/unicode_font.h"
#include "windows/spell_table.h"
#include "windows/weapon_abilities.h"
#include "windows/window_packets.h"

#include <algorithm>
#include <string>

namespace {

constexpr int32_t kIconHighlightHue = 33;
constexpr int32_t kIconDragOffset = 20;
constexpr int32_t kSkillIconFont = 1;
constexpr uint16_t kSkillIconColour = 0x7FFF;

// The art's picture on the (widened) face, through the highlight hue when
// marked.
void paintIconArt(GumpPage& face, int32_t art, bool highlighted)
{
    if (!face.isAllocated())
        return;
    if (highlighted) {
        setCurrentHueNumber(kIconHighlightHue);
        drawGumpArt(hueSpanByRed, art, face.target(), 0, 0);
    } else {
        drawGumpArt(copySpanTransparent, art, face.target(), 0, 0);
    }
}

int32_t paddedToEight(int32_t width) { return (width + 7) / 8 * 8; }

bool validIcon(GumpKind kind, int32_t iconId)
{
    switch (kind) {
    case GumpKind::SpellIcon:
        return spellBookKind(iconId) != kNoSpellBook;
    case GumpKind::SkillIcon:
        return iconId >= 0 && iconId < SkillNameTable::kMaxSkills;
    case GumpKind::AbilityIcon:
        return iconId == AbilityIconGump::kPrimary || iconId == AbilityIconGump::kSecondary;
    default:
        return false;
    }
}

} // namespace

IconGump::IconGump(int32_t x, int32_t y, int32_t iconId)
    : CGump(x, y, nullptr, 1, 0, 0)
    , m_iconId(iconId)
{
}

IconGump::~IconGump() { service<GumpPointer>().clearPointerCaptureIf(this); }

GumpPage& IconGump::clearedFace(int32_t width, int32_t height)
{
    GumpPage& face = *page(0);
    if (face.width != width || face.height != height || !face.isAllocated())
        face.allocate(width, height);
    std::fill(face.pixels.begin(), face.pixels.end(), uint16_t(0));
    setSize(width, height);
    return face;
}

void IconGump::takeDrag()
{
    m_clicks = WindowClicks {};
    m_clicks.leftDown = true;
    setDragAnchor(width() / 2, height() / 2);
    service<GumpPointer>().setPointerCapture(this);
}

void IconGump::draw(GumpCanvas& canvas)
{
    setCurrentPage(0);
    CGump::draw(canvas);
}

bool IconGump::containsPoint(int32_t x, int32_t y) { return x >= 0 && y >= 0 && x < width() && y < height(); }

void IconGump::onLeftDown(int32_t x, int32_t y)
{
    bringToFront(false);
    setDragAnchor(x, y);
    m_clicks.press();
}

void IconGump::onLeftUp(int32_t, int32_t)
{
    GumpHandle self(this);
    // A hold or a drag ends quietly; the release of a second press acts.
    if (m_clicks.release() == ClickEvent::Double)
        activate();
    if (self)
        service<GumpPointer>().clearPointerCaptureIf(this);
}

void IconGump::onRightUp(int32_t, int32_t)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    closeGump(this);
}

void IconGump::onDrag(int32_t x, int32_t y)
{
    if (!m_clicks.leftDown)
        return;
    if (WindowClicks::movedBeyondThreshold(x, y, dragAnchorX(), dragAnchorY()))
        m_clicks.dragStarted = true;
    moveBy(x - dragAnchorX(), y - dragAnchorY(), true, nullptr, true);
}

void IconGump::onHoverTick() { m_clicks.expire(); }

SpellIconGump::SpellIconGump(int32_t x, int32_t y, int32_t spell)
    : IconGump(x, y, spell)
{
    setTypeName("spellicon gump");
    addKind(GumpKind::SpellIcon);
    if (spellNameClilocId(spell) != 0)
        setTooltipId(spellNameClilocId(spell));
    redrawIcon();
}

void SpellIconGump::redrawIcon()
{
    const int32_t art = spellIconArtForIcon(iconId());
    int32_t width = 0, height = 0;
    getGumpArtSize(art, width, height);
    paintIconArt(clearedFace(paddedToEight(width), height), art, isSpellActive(iconId()));
}

void SpellIconGump::activate() { castSpell(iconId(), 0, true); }

SkillIconGump::SkillIconGump(int32_t x, int32_t y, int32_t skill)
    : IconGump(x, y, skill)
{
    setTypeName("skillicon gump");
    addKind(GumpKind::SkillIcon);
    int32_t width = 0, height = 0;
    getGumpArtSize(kWidthArt, width, height);
    GumpPage& face = clearedFace(2 * width, height);
    if (!face.isAllocated())
        return;
    drawNinePatch(kFrameArt, face, true);
    const std::u16string name = bytesToWideString(skillNameTable().names[size_t(skill)]);
    const int32_t previousFont = getUnicodeFont();
    selectUnicodeFont(kSkillIconFont);
    drawUnicodeTextWrapped(face.surface(), face.width - 6, name.c_str(), 2, 4, kSkillIconColour,
        TextClip { 2, 4, face.width - 4, face.height - 6 }, true);
    selectUnicodeFont(previousFont);
}

void SkillIconGump::activate()
{
    sendSkillUse(iconId());
    setLastUsedSkill(iconId());
}

AbilityIconGump::AbilityIconGump(int32_t x, int32_t y, int32_t which)
    : IconGump(x, y, which)
{
    setTypeName("abilityicon gump");
    addKind(GumpKind::AbilityIcon);
    redrawIcon();
}

int32_t AbilityIconGump::ability() const
{
    return iconId() == kPrimary ? currentPrimaryAbility() : currentSecondaryAbility();
}

void AbilityIconGump::redrawIcon()
{
    int32_t width = 0, height = 0;
    getGumpArtSize(kSizeArt, width, height);
    const int32_t shown = ability();
    setTooltipId(abilityNameCliloc(shown));
    paintIconArt(clearedFace(paddedToEight(width), height), abilityIconArt(shown), activeWeaponAbility() == shown);
}

void AbilityIconGump::activate() { activateWeaponAbility(ability()); }

IconGump* findIconGump(GumpKind kind, int32_t iconId)
{
    IconGump* found = nullptr;
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
        if (gump->is(kind) && static_cast<IconGump*>(gump)->iconId() == iconId)
            found = static_cast<IconGump*>(gump);
    }
    return found;
}

IconGump* openIconGump(GumpKind kind, int32_t iconId, int32_t x, int32_t y)
{
    if (!validIcon(kind, iconId))
        return nullptr;
    IconGump* icon = nullptr;
    if (kind == GumpKind::SpellIcon)
        icon = new SpellIconGump(x, y, iconId);
    else if (kind == GumpKind::SkillIcon)
        icon = new SkillIconGump(x, y, iconId);
    else
        icon = new AbilityIconGump(x, y, iconId);
    gumpLink(icon, nullptr);
    return icon;
}

IconGump* dragOutIcon(GumpKind kind, int32_t iconId, int32_t screenX, int32_t screenY)
{
    IconGump* icon = findIconGump(kind, iconId);
    if (icon)
        icon->bringToFront(false);
    else
        icon = openIconGump(kind, iconId, screenX - kIconDragOffset, screenY - kIconDragOffset);
    if (icon)
        icon->takeDrag();
    return icon;
}

void redrawSpellIcons(int32_t spell)
{
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
        if (gump->is(GumpKind::SpellIcon) && static_cast<SpellIconGump*>(gump)->iconId() == spell)
            static_cast<SpellIconGump*>(gump)->redrawIcon();
    }
}
