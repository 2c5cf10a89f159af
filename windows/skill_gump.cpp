#include "windows/skill_gump.h"

#include "data/server_features.h"
#include "data/skill_groups.h"
#include "data/skill_names.h"
#include "data/skill_values.h"
#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"
#include "gump/button.h"
#include "gump/desktop_file.h"
#include "gump/desktop_records.h"
#include "gump/gump_canvas.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/input_control.h"
#include "gump/thumb.h"
#include "gump/toggle_control.h"
#include "net/buffered_connection.h"
#include "text/ascii_font.h"
#include "text/pixel_primitives.h"
#include "windows/skill_lock_button.h"
#include "windows/window_packets.h"
#include "windows/window_services.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

constexpr int32_t kSkillScrollUpArt = 2084;
constexpr int32_t kSkillScrollDownArt = 2085;
constexpr int32_t kSkillGripHoverArt = 2095;
constexpr int32_t kSkillThumbArt = 2088;
constexpr int32_t kNewGroupArt = 2445;
constexpr int32_t kToggleArt = 2360;
constexpr int32_t kToggleCheckedArt = 2361;
constexpr int32_t kToggleHue = 902;
constexpr int32_t kToggleFont = 1;
constexpr int32_t kHeaderFont = 6;
constexpr int32_t kSkillFont = 9;
constexpr int32_t kSkillHue = 648;
constexpr int32_t kTotalFont = 3;
constexpr int32_t kSkillTotalHue = 101;
constexpr int32_t kSeparatorArt = 2101;
// (169, 152, 99) in 5-5-5.
constexpr uint16_t kHighlightColour = uint16_t((169 >> 3) << 10 | (152 >> 3) << 5 | (99 >> 3));
constexpr int32_t kPropertyListFlag = 5;
constexpr int32_t kSamuraiFlag = 7;
constexpr uint32_t kCombatSkillsFeature = 0x10;
constexpr uint32_t kSkillSamuraiFeature = 0x40;
constexpr int32_t kPlayerWindowX = 100;
constexpr int32_t kPlayerWindowY = 100;

bool g_skillGumpRequested = false;
SkillGump* g_playerSkillGump = nullptr;

int32_t skillArtHeight(int32_t art) { return gumpArtSize(art).height; }

void drawSkillArt(GumpPage& page, int32_t art, int32_t x, int32_t y)
{
    drawGumpArt(copySpanTransparent, art, page.target(), x, y);
}

std::string tenths(int32_t value)
{
    char text[24];
    std::snprintf(text, sizeof text, "%d.%d", value / 10, value % 10);
    return text;
}

int32_t frameArt() { return gumpArtSize(SkillGump::kFrameArt).exists() ? SkillGump::kFrameArt : SkillGump::kFallbackFrameArt; }

int32_t frameWidth()
{
    const GumpArtSize own = gumpArtSize(SkillGump::kFrameArt);
    return own.exists() ? own.width : SkillGump::kFallbackWidth;
}

void useSkillButton(CGump* parent) { static_cast<SkillGump*>(parent)->useSkill(parent->lastCommandId()); }

} // namespace

int32_t drawSkillText(
    const TextSurface& surface, int32_t x, int32_t top, int32_t font, int32_t hue, const char* text, const TextClip& clip)
{
    int32_t textWidth = 0, textHeight = 0, baseline = 0;
    measureAsciiText(font, text, textWidth, textHeight, baseline);
    drawAsciiText(x, top + baseline, font, hue, text, surface, clip);
    return textWidth;
}

bool isSkillHidden(int32_t skill)
{
    const bool propertyLists = areObjectPropertyListsOn();
    switch (skill) {
    case 49:
    case 51:
        return !(hasServerFeature(kCombatSkillsFeature) && propertyLists);
    case 50:
        return !propertyLists;
    case 52:
    case 53:
        return !(hasServerFeature(kSkillSamuraiFeature) && (characterListFlag(kSamuraiFlag) || editServerMode()));
    default:
        return false;
    }
}

SkillGump::SkillGump(int32_t x, int32_t y, bool otherMobile)
    : CGump(x, y, nullptr, 2, frameWidth(), kHeight)
    , m_ownValues(otherMobile)
    , m_readOnly(otherMobile)
{
    setTypeName("skill gump");
    addKind(GumpKind::SkillGump);
    loadSkillNames();
    std::optional<DesktopPendingEntry> restored;
    if (!otherMobile) {
        restored = desktopTakePending(DesktopRecordType::kSkillWindow, 0);
        if (restored)
            setLocation(restored->x, restored->y);
        g_playerSkillGump = this;
    }
    setSizeLimits(width(), kHeight, width(), -1);
    const GumpArtSize minimised = gumpArtSize(kMinimisedArt);
    setMinimisedSize(minimised.width, minimised.height);
    page(1)->allocate(minimised.width, minimised.height);
    if (page(1)->isAllocated())
        drawSkillArt(*page(1), kMinimisedArt, 0, 0);

    const int32_t grip = skillArtHeight(kGripArt);
    const int32_t w = width();
    const int32_t h = height();
    auto* minimise = new Button(170, 0, ButtonBehaviour::ClickOnRelease, 0,
        [](CGump* parent) { parent->minimize(); }, kMinimiseArt, kMinimiseArt, false);
    gumpLink(minimise, this);
    auto* up = new Button(290, 56, ButtonBehaviour::ClickOnRelease, 0,
        [](CGump* parent) { static_cast<SkillGump*>(parent)->scrollRows(-1); }, kSkillScrollUpArt, kSkillScrollUpArt,
        false);
    gumpLink(up, this);
    auto* newGroup = new LabelButton(56, h - 59, ButtonBehaviour::ClickOnRelease, 0, onParent<&SkillGump::addGroup>,
        kNewGroupArt, kNewGroupArt, false);
    newGroup->setText(u"New Group");
    gumpLink(newGroup, this);
    auto* down = new Button(290, h - grip - 66, ButtonBehaviour::ClickOnRelease, 0,
        [](CGump* parent) { static_cast<SkillGump*>(parent)->scrollRows(1); }, kSkillScrollDownArt,
        kSkillScrollDownArt, false);
    gumpLink(down, this);
    auto* resizeGrip = new Button(170, h - grip - 3, ButtonBehaviour::ClickOnRelease, 0,
        [](CGump* parent) { service<WindowResizing>().startResize(parent); }, kGripArt, kGripArt, false);
    resizeGrip->setHoverArt(kSkillGripHoverArt);
    gumpLink(resizeGrip, this);
    auto* knob = new Thumb(w - 50, 72, true, h - grip - 70, kSkillThumbArt);
    gumpLink(knob, this);
    m_thumb = GumpHandle(knob);
    auto* real = new ToggleControl(
        w - 150, h - 60, kToggleArt, kToggleCheckedArt, kToggleFont, kToggleHue, "- Show Real", false, 0, 0);
    gumpLink(real, this);
    m_showRealToggle = GumpHandle(real);
    auto* caps = new ToggleControl(
        w - 150, h - 48, kToggleArt, kToggleCheckedArt, kToggleFont, kToggleHue, "- Show Caps", false, 0, 0);
    gumpLink(caps, this);
    m_showCapsToggle = GumpHandle(caps);

    rebuild();
    if (restored && restored->height > kHeight)
        resize(width(), restored->height, false);
    if (restored && restored->minimised != 0)
        minimize();
}

SkillGump::~SkillGump()
{
    applyRename();
    m_selected = -1;
    if (g_playerSkillGump == this)
        g_playerSkillGump = nullptr;
    deleteChildren();
}

Thumb* SkillGump::thumb() const { return static_cast<Thumb*>(m_thumb.get()); }

InputControl* SkillGump::renameEntry() const { return static_cast<InputControl*>(m_rename.get()); }

void SkillGump::setSkill(int32_t skill, uint16_t value, uint16_t base, uint8_t lock, uint16_t cap)
{
    if (skill < 0 || skill >= SkillValues::kCount)
        return;
    m_own[size_t(skill)] = { value, base, lock, cap };
}

uint8_t SkillGump::lockState(int32_t skill) const
{
    if (skill < 0 || skill >= SkillValues::kCount)
        return 0;
    return m_ownValues ? m_own[size_t(skill)].lock : skillValues().lock[size_t(skill)];
}

void SkillGump::setLockState(int32_t skill, uint8_t state)
{
    if (skill < 0 || skill >= SkillValues::kCount)
        return;
    // Another mobile's locks stay in this window: the player's table is
    // only ever the player's.
    if (m_ownValues)
        m_own[size_t(skill)].lock = state;
    else
        skillValues().lock[size_t(skill)] = state;
}

uint16_t SkillGump::shownValue(int32_t skill) const
{
    if (skill < 0 || skill >= SkillValues::kCount)
        return 0;
    const size_t at = size_t(skill);
    const SkillValues& player = skillValues();
    if (m_showReal)
        return m_ownValues ? m_own[at].base : player.base[at];
    if (m_showCaps)
        return m_ownValues ? m_own[at].cap : player.cap[at];
    return m_ownValues ? m_own[at].value : player.value[at];
}

int32_t SkillGump::total() const
{
    int32_t sum = 0;
    const SkillValues& player = skillValues();
    for (size_t at = 0; at < size_t(SkillValues::kCount); ++at) {
        if (m_ownValues)
            sum += m_own[at].base;
        else
            sum += m_showReal ? player.base[at] : player.value[at];
    }
    return sum;
}

std::vector<SkillListRow> SkillGump::rows() const
{
    const SkillGroupTable& groups = skillGroupTable();
    const SkillNameTable& names = skillNameTable();
    std::vector<SkillListRow> list;
    for (int32_t group = 0; group < groups.count; ++group) {
        list.push_back({ group, -1 });
        if (!isExpanded(group))
            continue;
        for (int32_t at = 0; at < names.count; ++at) {
            const int32_t skill = names.alphabetical[size_t(at)];
            if (groups.groupOf(skill) == group && !isSkillHidden(skill))
                list.push_back({ group, skill });
        }
    }
    return list;
}

int32_t SkillGump::listBottom() const { return height() - skillArtHeight(kGripArt) - 70; }

int32_t SkillGump::rowsShown() const { return std::max((listBottom() - kListTop) / kRowHeight, 0); }

int32_t SkillGump::rowAt(int32_t x, int32_t y) const
{
    if (isMinimised() || x < kListLeft || x >= kListRight || y < kListTop)
        return -1;
    const int32_t shown = (y - kListTop) / kRowHeight;
    if (shown >= rowsShown())
        return -1;
    const int32_t row = m_top + shown;
    return row < int32_t(rows().size()) ? row : -1;
}

void SkillGump::clampTop(int32_t rowCount) { m_top = std::clamp(m_top, 0, std::max(rowCount - 1, 0)); }

void SkillGump::syncThumb(int32_t rowCount)
{
    if (Thumb* knob = thumb())
        knob->setPosition(m_top, std::max(rowCount - 1, 0));
}

void SkillGump::rebuild()
{
    const std::vector<SkillListRow> list = rows();
    clampTop(int32_t(list.size()));
    paintPage();
    placeRowButtons(list);
    syncThumb(int32_t(list.size()));
}

void SkillGump::paintPage()
{
    GumpPage& face = *page(0);
    face.allocate(width(), height());
    if (!face.isAllocated())
        return;
    std::fill(face.pixels.begin(), face.pixels.end(), uint16_t(0));
    const int32_t a = skillArtHeight(kMinimiseArt);
    const int32_t e = skillArtHeight(kGripArt);
    const int32_t h = height();
    drawVerticalGumpStrip(frameArt(), 2, face, a - 1, e);
    drawSkillArt(face, 2100, 150, a + 10);
    drawSkillArt(face, 2102, 30, h - e - 56);
    drawSkillArt(face, 2091, 65, a + 36);
    drawSkillArt(face, 2091, 65, h - e - 70);

    const TextSurface surface = face.surface();
    const TextClip list { kListLeft, kListTop, width(), listBottom() };
    const SkillGroupTable& groups = skillGroupTable();
    const SkillNameTable& names = skillNameTable();
    const std::vector<SkillListRow> all = rows();
    const int32_t draggedGroup = m_rowDrag ? groups.groupOf(m_pressed.skill) : -3;
    int32_t y = kListTop;
    for (size_t at = size_t(m_top); at < all.size() && y + kRowHeight <= listBottom(); ++at, y += kRowHeight) {
        const SkillListRow& row = all[at];
        if (row.isHeader()) {
            const std::string& name = groups.names[size_t(row.group)];
            int32_t nameWidth = 0, nameHeight = 0, baseline = 0;
            measureAsciiText(kHeaderFont, name.c_str(), nameWidth, nameHeight, baseline);
            const bool dropHere = m_rowDrag && m_dropGroup == row.group && !isExpanded(row.group);
            if (row.group == m_selected || dropHere) {
                const int32_t right = isRenaming() ? kListRight : kListLeft + 16 + nameWidth;
                fillRect16(kListLeft + 14, y, right, y + kRowHeight - 1, kHighlightColour, surface);
            }
            drawSkillArt(face, isExpanded(row.group) ? kExpandedArt : kCollapsedArt, kListLeft, y);
            if (!(isRenaming() && m_renameGroup == row.group))
                drawSkillText(surface, kListLeft + 16, y, kHeaderFont, 0, name.c_str(), list);
            drawGumpArtClipped(copySpanTransparent, kSeparatorArt, face.target(), nullptr,
                kListLeft + 16 + nameWidth + 4, y + kRowHeight / 2);
            continue;
        }
        if (m_rowDrag && row.skill == m_pressed.skill && m_dropGroup == draggedGroup)
            fillRect16(kListLeft + 22, y, width() - 50, y + kRowHeight - 1, kHighlightColour, surface);
        const std::string name(names.nameOf(row.skill));
        drawSkillText(surface, kListLeft + 22, y, kSkillFont, kSkillHue, name.c_str(), list);
        const std::string value = tenths(shownValue(row.skill));
        int32_t valueWidth = 0, valueHeight = 0, baseline = 0;
        measureAsciiText(kSkillFont, value.c_str(), valueWidth, valueHeight, baseline);
        drawSkillText(surface, width() - 74 - valueWidth, y, kSkillFont, kSkillHue, value.c_str(), list);
    }
    const TextClip whole { 0, 0, width(), h };
    drawSkillText(surface, width() - 100, h - 72, kTotalFont, kSkillTotalHue, tenths(total()).c_str(), whole);
}

void SkillGump::placeRowButtons(const std::vector<SkillListRow>& list)
{
    for (GumpHandle& handle : m_rowButtons)
        if (CGump* button = handle.get())
            closeGump(button);
    m_rowButtons.clear();
    const SkillNameTable& names = skillNameTable();
    int32_t y = kListTop;
    for (size_t at = size_t(m_top); at < list.size() && y + kRowHeight <= listBottom(); ++at, y += kRowHeight) {
        const int32_t skill = list[at].skill;
        if (skill < 0)
            continue;
        auto* lock = new SkillLockButton(kListRight + 24, y, skill, m_readOnly);
        gumpLink(lock, this);
        m_rowButtons.emplace_back(lock);
        if (names.usable[size_t(skill)] & 0x01) {
            auto* use = new Button(kListLeft + 8, y, ButtonBehaviour::ClickOnRelease, 0, useSkillButton, kUseArt,
                kUseArt, false);
            use->setHoverArt(kUseHoverArt);
            use->setId(skill);
            use->setPassId(true);
            gumpLink(use, this);
            m_rowButtons.emplace_back(use);
        }
    }
}

void SkillGump::useSkill(int32_t skill)
{
    if (skill < 0 || skill >= SkillValues::kCount)
        return;
    sendSkillUse(skill);
    setLastUsedSkill(skill);
}

void SkillGump::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    setCurrentPage(isMinimised() ? 1 : 0);
    drawPage(canvas);
    setCurrentPage(0);
    if (!isMinimised())
        drawChildren(canvas);
}

bool SkillGump::containsPoint(int32_t x, int32_t y)
{
    GumpPage* shown = page(isMinimised() ? 1 : 0);
    if (!shown || !shown->isAllocated() || x < 0 || y < 0 || x >= shown->width || y >= shown->height)
        return false;
    return shown->pixel(x, y) != 0;
}

void SkillGump::resize(int32_t newWidth, int32_t newHeight, bool)
{
    newWidth = std::clamp(newWidth, minWidth(), maxWidth());
    newWidth = (newWidth + 7) / 8 * 8;
    newHeight = std::max(newHeight, int32_t(kHeight));
    const int32_t dx = newWidth - width();
    const int32_t dy = newHeight - height();
    const int32_t middleX = width() / 2;
    const int32_t middleY = height() / 2;
    forEachChildBottomUp([&](CGump* child) {
        if (child == thumb())
            return;
        child->setLocation(child->x() + (child->x() > middleX ? dx : 0), child->y() + (child->y() > middleY ? dy : 0));
    });
    if (Thumb* knob = thumb())
        knob->setRange(knob->minX(), knob->maxX(), knob->minY(), knob->maxY() + dy);
    setSize(newWidth, newHeight);
    rebuild();
}

SkillGump* playerSkillGump() { return isValidGump(g_playerSkillGump) ? g_playerSkillGump : nullptr; }

void setSkillGumpRequested(bool requested) { g_skillGumpRequested = requested; }

bool isSkillGumpRequested() { return g_skillGumpRequested; }

SkillGump* raiseOrCreatePlayerSkillGump()
{
    if (SkillGump* open = playerSkillGump()) {
        if (open->isMinimised())
            open->restore();
        open->bringToFront(false);
        open->clampToScreen();
        return open;
    }
    auto* created = new SkillGump(kPlayerWindowX, kPlayerWindowY, false);
    gumpLink(created, nullptr);
    return created;
}
