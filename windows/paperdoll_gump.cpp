#include "windows/paperdoll_gump.h"

#include "data/def_tables.h"
#include "data/settings_registry.h"
#include "data/targeting.h"
#include "data/view_range.h"
#include "gfx/art_blitter.h"
#include "gfx/art_image.h"
#include "gfx/gump_art.h"
#include "gump/button.h"
#include "gump/desktop_file.h"
#include "gump/gump_factory.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "net/packet_dispatcher.h"
#include "protocol/packet_reader.h"
#include "text/ascii_font.h"
#include "windows/drag_gump.h"
#include "windows/item_pictures.h"
#include "windows/journal.h"
#include "windows/own_character_actions.h"
#include "windows/overhead_text.h"
#include "windows/speech_services.h"
#include "windows/window_packets.h"
#include "windows/window_services.h"
#include "windows/world_view_gump.h"
#include "world/body_tables.h"
#include "world/item_graphics.h"
#include "world/mobile.h"
#include "world/object_interaction.h"
#include "world/object_manager.h"
#include "world/overhead_texts.h"
#include "world/tile_data.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace {

constexpr int32_t kPaperdollTitleFont = 1;
constexpr int32_t kPaperdollTitleHue = 902;
constexpr int32_t kPaperdollTitleX = 39;
constexpr int32_t kOwnTitleY = 264;
constexpr int32_t kOtherTitleY = 263;
constexpr int32_t kTitleWidth = 186;
constexpr int32_t kTitleLineHeight = 13;
constexpr int32_t kTitleBottomMargin = 22;
constexpr int32_t kProfileX = 23;
constexpr int32_t kPartyX = 37;
constexpr int32_t kIconY = 196;
constexpr int32_t kVirtueX = 80;
constexpr int32_t kVirtueY = 4;
constexpr int32_t kVirtueRight = 112;
constexpr int32_t kVirtueBottom = 36;
constexpr int32_t kAbilityBookX = 156;
constexpr int32_t kAbilityBookY = 198;
constexpr int32_t kSlotX = 2;
constexpr int32_t kSlotY = 75;
constexpr int32_t kSlotStep = 21;
constexpr int32_t kPaperdollButtonX = 185;
constexpr int32_t kFemaleArtShift = 10000;
constexpr int32_t kFirstItemPicture = 50001;
constexpr int32_t kLastItemPicture = 115525;
constexpr int32_t kGumpDefLimit = 60000;
constexpr uint16_t kPaperdollNoticeHue = 995;
constexpr uint16_t kPaperdollNoticeFont = 3;
constexpr uint16_t kGhostShroud = 8270;
constexpr int32_t kShroudLayer = 22;
constexpr int32_t kMountLayer = 25;
constexpr int32_t kDeathRobeGraphic = 51;
constexpr uint16_t kBody987Hue = 1002;
constexpr int32_t kBody987Art = 50987;

struct BodyRow {
    int32_t body;
    int32_t picture;
    int32_t base;
    bool ghost;
    bool female;
};

constexpr BodyRow kBodies[] = {
    { 400, 12, 400, false, false },
    { 744, 12, 400, false, false },
    { 401, 13, 401, false, true },
    { 745, 13, 401, false, true },
    { 402, 12, 400, true, false },
    { 403, 13, 401, true, true },
    { 605, 14, 605, false, false },
    { 606, 15, 606, false, true },
    { 607, 14, 605, true, false },
    { 608, 15, 606, true, true },
};

constexpr std::array<std::array<int32_t, 2>, 10> kLayerFourSubstitutes { { { 50423, 59992 }, { 50487, 59991 },
    { 50488, 59990 }, { 50489, 59989 }, { 50552, 59988 }, { 60423, 59998 }, { 60487, 59997 }, { 60488, 59996 },
    { 60489, 59995 }, { 60552, 59994 } } };

bool artExists(int32_t id)
{
    int32_t width = 0, height = 0;
    return getGumpArtSize(id, width, height);
}

void paperdollArtSize(int32_t id, int32_t& width, int32_t& height)
{
    width = height = 0;
    getGumpArtSize(id, width, height);
}

PixelSpanFn bodySpan(uint16_t hue, bool partial) { return hueSpanFor(hue == 0 ? -1 : (hue & 0x3FFF) - 1, partial); }

// Draws gump art `id` at (x, y) with every pixel blended half over the page.
void drawPaperdollTranslucent(GumpPage& page, PixelSpanFn span, int32_t id, int32_t x, int32_t y)
{
    int32_t width = 0, height = 0;
    paperdollArtSize(id, width, height);
    if (width <= 0 || height <= 0)
        return;
    std::vector<uint16_t> picture(size_t(width) * size_t(height), 0);
    drawGumpArt(span, id, BlitTarget::surface(picture.data(), width, height, width), 0, 0);
    const ScreenRect area = ScreenRect { x, y, x + width, y + height }.intersected({ 0, 0, page.width, page.height });
    if (area.isEmpty())
        return;
    blendRowsHalf(area.bottom - area.top, area.right - area.left,
        page.pixels.data() + ptrdiff_t(area.top) * page.width + area.left,
        picture.data() + ptrdiff_t(area.top - y) * width + (area.left - x), page.width, width, false);
}

// The own paperdoll's item slot: the item's picture centred on its frame.
void drawItemSlot(GumpPage& page, int32_t x, int32_t y, const Item* item)
{
    int32_t width = 0, height = 0;
    paperdollArtSize(PaperdollGump::kSlotFrameArt, width, height);
    const BlitTarget target = page.target();
    const ScreenRect frame { x, y, x + width, y + height };
    drawGumpArtClipped(copySpanTransparent, PaperdollGump::kSlotFillArt, target, &frame, x, y);
    drawGumpArt(copySpanTransparent, PaperdollGump::kSlotFrameArt, target, x, y);
    const ArtImage* image = item ? item->iconImage() : nullptr;
    if (!image)
        return;
    std::vector<uint16_t> picture(size_t(image->width()) * size_t(image->height()), 0);
    const BlitTarget scratch = BlitTarget::surface(picture.data(), image->width(), image->height(), image->width());
    blitArt(windowItemSpan(item->hue, 0, item->graphic, false), image, scratch, 0, 0);
    const ScreenRect box = findPixelBounds(picture.data(), image->width(), image->height());
    if (box.isEmpty())
        return;
    const int32_t boxWidth = box.right - box.left;
    const int32_t boxHeight = box.bottom - box.top;
    int32_t left = x + width / 2 - boxWidth / 2 - box.left;
    const int32_t top = y + height / 2 - boxHeight / 2 - box.top;
    if (left + box.left < 0)
        left = -box.left;
    const ScreenRect area
        = ScreenRect { left, top, left + image->width(), top + image->height() }.intersected({ 0, 0, page.width, page.height });
    for (int32_t row = area.top; row < area.bottom; ++row) {
        copyPixelsSkippingZero(page.pixels.data() + ptrdiff_t(row) * page.width + area.left,
            picture.data() + ptrdiff_t(row - top) * image->width() + (area.left - left), area.right - area.left);
    }
}

// The callbacks of the buttons; each runs on the paperdoll, through the
// actions the menubar shares.
void onStatusButton(CGump* parent)
{
    if (Mobile* mobile = static_cast<PaperdollGump*>(parent)->mobile())
        own_actions::openStatus(*mobile);
}

void onWarButton(CGump* parent)
{
    if (static_cast<PaperdollGump*>(parent)->isOwn())
        own_actions::toggleWarMode();
}

void onSkillsButton(CGump*) { own_actions::requestSkills(); }
void onGuildButton(CGump*) { own_actions::requestGuild(); }
void onQuestsButton(CGump*) { own_actions::requestQuests(); }
void onOptionsButton(CGump*) { own_actions::openOptions(); }
void onLogoutButton(CGump*) { own_actions::askLogout(); }
void onHelpButton(CGump*) { own_actions::requestHelp(); }
void onMinimiseSpot(CGump* parent) { parent->minimize(); }

struct ButtonRow {
    int32_t y;
    int32_t up;
    int32_t down;
    int32_t hover;
    GumpCallback callback;
};

constexpr ButtonRow kOwnButtons[] = {
    { 124, 22453, 22455, 22454, onQuestsButton },
    { 151, 2015, 2016, 2017, onSkillsButton },
    { 179, 22450, 22452, 22451, onGuildButton },
    { 71, 2006, 2007, 2008, onOptionsButton },
    { 98, 2009, 2010, 2011, onLogoutButton },
    { 44, 2031, 2032, 2033, onHelpButton },
};

Button* addButton(CGump* parent, int32_t y, int32_t up, int32_t down, int32_t hover, GumpCallback callback)
{
    auto* button = new Button(kPaperdollButtonX, y, ButtonBehaviour::ClickOnRelease, 0, callback, up, down, false);
    button->setHoverArt(hover);
    gumpLink(button, parent);
    return button;
}

bool onProfileIcon(int32_t x, int32_t y)
{
    int32_t width = 0, height = 0;
    paperdollArtSize(PaperdollGump::kProfileArt, width, height);
    return x >= kProfileX && x <= width + 18 && y >= kIconY && y <= height + kIconY;
}

bool onPartyIcon(int32_t x, int32_t y)
{
    int32_t width = 0, height = 0;
    paperdollArtSize(PaperdollGump::kProfileArt, width, height);
    return x >= 38 && x <= width + 32 && y >= kIconY && y <= height + kIconY;
}

// A text in the player's own paperdoll at its press point (shown only while
// that paperdoll is open).
void showOnOwnPaperdoll(std::string_view text)
{
    PlayerMobile* self = player();
    Item* backpack = self ? self->layerItem(Mobile::kBackpackLayer) : nullptr;
    PaperdollGump* own = self ? findPaperdoll(*self) : nullptr;
    if (backpack && own) {
        journal().addWindowText(text, kPaperdollNoticeHue);
        makeBarkGump(backpack, text, kPaperdollNoticeHue, kPaperdollNoticeFont, own, 0);
    }
}

} // namespace

PaperdollBody paperdollBodyFor(int32_t body, bool female, int32_t race)
{
    for (const BodyRow& row : kBodies) {
        if (row.body == body)
            return { row.picture, row.base, row.ghost, row.female, true };
    }
    PaperdollBody picture;
    picture.female = female;
    if (body == 987) {
        picture.listed = true;
        picture.picture = female ? 13 : 12;
        picture.base = female ? 401 : 400;
        return picture;
    }
    picture.picture = (race == 2 ? 14 : 12) + (female ? 1 : 0);
    picture.base = (race == 2 ? 605 : 400) + (female ? 1 : 0);
    return picture;
}

ScreenRect findPixelBounds(const uint16_t* pixels, int32_t width, int32_t height)
{
    ScreenRect box { width, height, 0, 0 };
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            if (pixels[size_t(y) * size_t(width) + size_t(x)] == 0)
                continue;
            box.left = std::min(box.left, x);
            box.top = std::min(box.top, y);
            box.right = std::max(box.right, x + 1);
            box.bottom = std::max(box.bottom, y + 1);
        }
    }
    return box.isEmpty() ? ScreenRect {} : box;
}

int32_t paperdollPictureFor(
    int32_t baseBody, bool female, const Item& item, const LayerItems& layers, int32_t layer, uint16_t& hue)
{
    hue = item.hue;
    int32_t picture = equipConv().getGump(baseBody, getTileAnimId(&item));
    if (female && artExists(picture + kFemaleArtShift))
        picture += kFemaleArtShift;
    if (layer == 4 && layers[3] && getTileAnimId(layers[3]) == 476) {
        for (const auto& pair : kLayerFourSubstitutes) {
            if (pair[0] == picture) {
                picture = pair[1];
                break;
            }
        }
    }
    if (!artExists(picture)) {
        const DefTable* table = defTable(DefSlot::Gump);
        const DefEntry* entry = table && picture >= 0 && picture <= 0xFFFF ? table->getEntry(uint16_t(picture)) : nullptr;
        if (!entry || entry->alternatives.empty())
            return 0;
        if (hue == 0)
            hue = uint16_t(entry->hue);
        picture = table->translate(uint16_t(picture), 0);
        if (picture < kGumpDefLimit && female && artExists(picture + kFemaleArtShift))
            picture += kFemaleArtShift;
    }
    return picture;
}

PaperdollGump::PaperdollGump(int32_t x, int32_t y, Mobile& mobile, std::string_view title, bool warMode)
    : CGump(x, y, &mobile, 2, 0, 0)
    , m_mobileSerial(mobile.serial)
{
    setTypeName("paperdoll gump");
    addKind(GumpKind::Paperdoll);
    setOwnerSerial(mobile.serial);
    const std::optional<DesktopPendingEntry> restored = desktopTakePending(DesktopRecordType::kPaperdoll, mobile.serial);
    if (restored)
        setLocation(restored->x, restored->y);
    setArtId(kOwnBackgroundArt);
    int32_t width = 0, height = 0;
    paperdollArtSize(kOwnBackgroundArt, width, height);
    setSize(width, height);
    int32_t minimisedWidth = 0, minimisedHeight = 0;
    paperdollArtSize(kMinimisedArt, minimisedWidth, minimisedHeight);
    setMinimisedSize(minimisedWidth, minimisedHeight);
    page(0)->allocate(width, height);
    page(1)->allocate(minimisedWidth, minimisedHeight);
    if (page(1)->isAllocated())
        drawGumpArt(copySpanTransparent, kMinimisedArt, page(1)->target(), 0, 0);
    setTitle(title);
    addButtons(warMode);
    if (restored && restored->minimised != 0)
        minimize();
}

PaperdollGump::~PaperdollGump()
{
    deleteChildren();
    deleteTextsAttachedTo(this);
}

void PaperdollGump::addButtons(bool warMode)
{
    addButton(this, 233, 2027, 2028, 2029, onStatusButton);
    if (!isOwn())
        return;
    Button* war = warMode ? addButton(this, 205, 2024, 2025, 2026, onWarButton)
                          : addButton(this, 205, 2021, 2022, 2023, onWarButton);
    m_warButton = GumpHandle(war);
    for (const ButtonRow& row : kOwnButtons)
        addButton(this, row.y, row.up, row.down, row.hover, row.callback);
    gumpLink(Button::hotSpot(223, 258, 245, 280, ButtonBehaviour::ClickOnRelease, 0, onMinimiseSpot, true), this);
}

Button* PaperdollGump::warButton() const { return static_cast<Button*>(m_warButton.get()); }

Mobile* PaperdollGump::mobile() const
{
    WorldObject* object = findObjectBySerial(m_mobileSerial);
    return object && object->isMobile() ? static_cast<Mobile*>(object) : nullptr;
}

bool PaperdollGump::isOwn() const { return m_mobileSerial != 0 && m_mobileSerial == playerSerial(); }

void PaperdollGump::setTitle(std::string_view title)
{
    m_title = std::string(title.substr(0, std::min<size_t>(title.size(), kTitleMaxLength)));
    m_dirty = true;
}

void PaperdollGump::render()
{
    m_dirty = false;
    GumpPage* face = page(0);
    Mobile* shown = mobile();
    if (!face || !face->isAllocated() || !shown)
        return;
    std::fill(face->pixels.begin(), face->pixels.end(), uint16_t(0));
    const BlitTarget target = face->target();
    const bool own = isOwn();

    // The body, through the body remap table.
    int32_t body = shown->graphic;
    uint16_t bodyHue = shown->hue;
    if (const DefTable* table = defTable(DefSlot::Body); table && table->contains(uint16_t(body))) {
        const DefEntry* entry = table->getEntry(uint16_t(body));
        if (bodyHue == 0 && entry)
            bodyHue = uint16_t(entry->hue);
        body = table->translate(uint16_t(body), 0);
    }
    PaperdollBody picture = paperdollBodyFor(body, shown->female != 0, shown->race);
    const LayerItems worn = layerItemsOf(*shown);
    const Item* shroud = worn[kShroudLayer];
    const bool ghost = picture.ghost || (shroud && shroud->graphic == kGhostShroud);

    drawGumpArt(copySpanTransparent, shown->isPlayer() ? kOwnBackgroundArt : kOtherBackgroundArt, target, 0, 0);
    TextSurface surface = face->surface();
    const TextClip titleClip { 0, 0, face->width, face->height - kTitleBottomMargin };
    drawAsciiTextWrapped(kPaperdollTitleX, own ? kOwnTitleY : kOtherTitleY, kPaperdollTitleFont, kPaperdollTitleHue,
        m_title.c_str(), kTitleWidth, surface, titleClip, 0, kTitleLineHeight, false);
    drawGumpArt(copySpanTransparent, kProfileArt, target, kProfileX, kIconY);
    if (own)
        drawGumpArt(copySpanTransparent, kProfileArt, target, kPartyX, kIconY);
    drawGumpArt(copySpanTransparent, kVirtueArt, target, kVirtueX, kVirtueY);
    if (own && !ghost) {
        for (size_t i = 0; i < kSlotLayers.size(); ++i)
            drawItemSlot(*face, kSlotX, kSlotY + kSlotStep * int32_t(i), worn[size_t(kSlotLayers[i])]);
    }

    if (body == 987 && bodyHue != 0)
        bodyHue = kBody987Hue;
    drawGumpArt(bodySpan(bodyHue, picture.listed), picture.picture, target, kBodyX, kBodyY);
    if (body == 987)
        drawGumpArt(bodySpan(shown->hue, true), kBody987Art, target, kBodyX, kBodyY);

    // The held item stands in the previewed layer of a copy of the
    // equipment, so that the order and what it covers are the preview's.
    LayerItems layers = worn;
    const DragState& held = dragState();
    Item* heldItem = nullptr;
    if (m_pressedLayer >= 1 && m_pressedLayer <= 24 && !layers[size_t(m_pressedLayer)] && held.dragging) {
        heldItem = allocItem(0, held.graphic, held.graphicOffset);
        heldItem->drawGraphic = held.drawGraphic;
        heldItem->hue = held.hue;
        layers[size_t(m_pressedLayer)] = heldItem;
    }
    PaperdollOrder order {};
    paperdollDrawOrder(order, layers);
    for (uint8_t layer : order) {
        if (layer == kMountLayer)
            continue;
        const Item* item = worn[layer];
        const bool hidden = isEquipmentLayerHidden(layer, layers);
        if (item && !hidden) {
            if (ghost && layer != kShroudLayer)
                continue;
            uint16_t hue = 0;
            int32_t art = paperdollPictureFor(picture.base, picture.female, *item, layers, layer, hue);
            bool partial = (tileData().item(item->tileIndex()).flags & kTilePartialHue) != 0;
            drawGumpArt(bodySpan(hue, partial), art, target, layer == Mobile::kBackpackLayer ? kBackpackX : kBodyX, kBodyY);
        } else if (layer == m_pressedLayer && !hidden && heldItem) {
            uint16_t hue = 0;
            int32_t art = paperdollPictureFor(picture.base, picture.female, *heldItem, layers, layer, hue);
            drawPaperdollTranslucent(
                *face, bodySpan(hue, (held.tileFlags & kTilePartialHue) != 0), art, kBodyX, kBodyY);
        }
    }
    if (heldItem)
        heldItem->destroy();
    if (own && areObjectPropertyListsOn())
        drawGumpArt(copySpanTransparent, kAbilityBookArt, target, kAbilityBookX, kAbilityBookY);
    shown->invalidate();
}

void PaperdollGump::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    if (m_dirty)
        render();
    setCurrentPage(isMinimised() ? 1 : 0);
    drawPage(canvas);
    setCurrentPage(0);
    drawChildren(canvas);
}

bool PaperdollGump::containsPoint(int32_t x, int32_t y)
{
    // The page answers the hit test: it must show what is worn now.
    if (m_dirty)
        render();
    GumpPage* shown = page(isMinimised() ? 1 : 0);
    if (!shown || !shown->isAllocated() || x < 0 || y < 0 || x >= shown->width || y >= shown->height)
        return false;
    return shown->pixel(x, y) != 0;
}

int32_t PaperdollGump::itemSlotAt(int32_t x, int32_t y, bool includeBackpack)
{
    Mobile* shown = mobile();
    if (isMinimised() || !shown)
        return -1;
    const LayerItems layers = layerItemsOf(*shown);
    if (shown->serial == playerSerial()) {
        int32_t width = 0, height = 0;
        paperdollArtSize(kSlotFrameArt, width, height);
        for (size_t i = 0; i < kSlotLayers.size(); ++i) {
            const int32_t slotTop = 77 + kSlotStep * int32_t(i);
            if (layers[size_t(kSlotLayers[i])] && x >= 4 && x <= width && y >= slotTop
                && y <= slotTop - 4 + height)
                return kSlotLayers[i];
        }
    }
    PaperdollOrder order {};
    paperdollDrawOrder(order, layers);
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        const int32_t layer = *it;
        const Item* item = layers[size_t(layer)];
        if (layer == kMountLayer || !item || layer == 11 || layer == 16 || (layer == Mobile::kBackpackLayer && !includeBackpack))
            continue;
        int32_t picture = equipConv().getGump(shown->graphic, getTileAnimId(item));
        if (picture < kFirstItemPicture || picture > kLastItemPicture)
            continue;
        if (!artExists(picture)) {
            const DefTable* table = defTable(DefSlot::Gump);
            if (!table || picture > 0xFFFF)
                continue;
            picture = table->translate(uint16_t(picture), 0);
        }
        const int32_t left = layer == Mobile::kBackpackLayer ? kBackpackX : kBodyX;
        if (x >= kBodyX && y >= kBodyY && getGumpArtPixel(picture, x - left, y - kBodyY) != 0)
            return layer;
    }
    return -1;
}

void PaperdollGump::onLeftDown(int32_t x, int32_t y)
{
    GumpHandle self(this);
    setDragAnchor(x, y);
    bringToFront(false);
    if (!self)
        return;
    m_clicks.press();
    m_pressedLayer = itemSlotAt(x, y, false);
}

void PaperdollGump::pickUpPressed()
{
    Mobile* shown = mobile();
    Item* item = shown && m_pressedLayer >= 0 ? shown->layerItem(m_pressedLayer) : nullptr;
    if (!item || (!isOwn() && !m_liftAllowed))
        return;
    const PlayerMobile* self = player();
    if (self && self->isDead())
        return;
    const int32_t layer = m_pressedLayer;
    pickUpItem(*item, 0);
    if (DragGump* drag = dragGump())
        drag->setPaperdollTarget(this);
    m_pressedLayer = layer;
    m_dirty = true;
    m_clicks.leftDown = false;
    m_clicks.dragStarted = false;
    m_clicks.clickState = 0;
}

void PaperdollGump::onDrag(int32_t x, int32_t y)
{
    if (m_clicks.leftDown && m_clicks.clickState > 0
        && WindowClicks::movedBeyondThreshold(x, y, dragAnchorX(), dragAnchorY())) {
        m_clicks.dragStarted = true;
        m_clicks.clickState = 0;
        GumpHandle self(this);
        pickUpPressed();
        if (!self)
            return;
    }
    if (m_clicks.leftDown && m_pressedLayer == -1)
        moveBy(x - dragAnchorX(), y - dragAnchorY(), true, nullptr, true);
}

void PaperdollGump::settle(ClickEvent event)
{
    if (event == ClickEvent::Hold) {
        m_clicks.dragStarted = true;
        pickUpPressed();
    } else if (event == ClickEvent::Single) {
        singleClick(dragAnchorX(), dragAnchorY());
    }
}

void PaperdollGump::onHoverTick() { settle(m_clicks.expire()); }

void PaperdollGump::onMouseLeave()
{
    GumpHandle self(this);
    if (m_clicks.clickState == 1) {
        m_clicks.clickState = 0;
        settle(m_clicks.leftDown ? ClickEvent::Hold : ClickEvent::Single);
    }
    if (!self)
        return;
    m_clicks.clickState = 0;
    service<GumpPointer>().setCursorForGumpType(0);
}

void PaperdollGump::onLeftUp(int32_t x, int32_t y)
{
    GumpHandle self(this);
    WindowClicks::noteRelease(service<GumpPointer>().isShiftHeld());
    if (m_clicks.release() == ClickEvent::Double)
        doubleClick(x, y);
    if (!self)
        return;
    m_pressedLayer = -1;
    service<GumpPointer>().clearPointerCaptureIf(this);
}

void PaperdollGump::onRightUp(int32_t, int32_t)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    closeGump(this);
}

void PaperdollGump::onMouseOver(int32_t x, int32_t y)
{
    GumpPointer& pointer = service<GumpPointer>();
    if (targetingState().targetingActive)
        pointer.setCursorKind(kTargetCursorKind);
    else
        pointer.setCursorForGumpType(0);
    Mobile* shown = mobile();
    const int32_t layer = itemSlotAt(x, y, isOwn());
    Item* item = shown && layer >= 0 ? shown->layerItem(layer) : nullptr;
    if (item)
        service<ItemProperties>().showItemProperties(item->serial, false, true);
    else
        service<ItemProperties>().hideItemProperties();
}

void PaperdollGump::singleClick(int32_t x, int32_t y)
{
    Mobile* shown = mobile();
    const int32_t layer = itemSlotAt(x, y, true);
    Item* item = shown && layer >= 0 ? shown->layerItem(layer) : nullptr;
    if (item) {
        if (isTargetPending()) {
            completeTarget(item);
            return;
        }
        if (WindowClicks::shiftAtLastRelease() == (settings().getBoolSetting(u"ShiftForContext") != 0))
            requestContextMenu(item->serial);
        requestObjectName(item);
        return;
    }
    if (onProfileIcon(x, y))
        showOnOwnPaperdoll("Character Profile");
    if (isOwn() && onPartyIcon(x, y))
        showOnOwnPaperdoll("Party Manifest");
}

void PaperdollGump::doubleClick(int32_t x, int32_t y)
{
    if (targetingState().targetingActive)
        return;
    if (isMinimised()) {
        restore();
        return;
    }
    if (x >= kVirtueX && x <= kVirtueRight && y >= kVirtueY && y <= kVirtueBottom) {
        sendVirtueRequest(playerSerial(), m_mobileSerial);
        return;
    }
    int32_t bookWidth = 0, bookHeight = 0;
    paperdollArtSize(kAbilityBookArt, bookWidth, bookHeight);
    if (areObjectPropertyListsOn() && isOwn() && x >= kAbilityBookX && x < kAbilityBookX + bookWidth
        && y >= kAbilityBookY && y < kAbilityBookY + bookHeight) {
        gumpOpenByKind(nullptr, gump_kind::kAbilityBook, nullptr, false, false);
        return;
    }
    Mobile* shown = mobile();
    const int32_t layer = itemSlotAt(x, y, true);
    Item* item = shown && layer >= 0 ? shown->layerItem(layer) : nullptr;
    if (item) {
        PlayerMobile* self = player();
        if (self && self->isDead() && item->graphic != kDeathRobeGraphic)
            showOverheadText(
                *self, "I am dead and cannot do that.", kPaperdollNoticeHue, kPaperdollNoticeFont, 0, false);
        else if (item->serial & kItemSerialBit)
            useObject(*item);
        return;
    }
    if (onProfileIcon(x, y)) {
        sendProfileRequest(m_mobileSerial);
        return;
    }
    if (isOwn() && onPartyIcon(x, y))
        service<PartyState>().openPartyWindow();
}

PaperdollGump* findPaperdoll(const Mobile& mobile)
{
    CGump* found = gumpFindForObject(const_cast<Mobile*>(&mobile), true, false, gumpListHead(), false);
    return found && found->is(GumpKind::Paperdoll) ? static_cast<PaperdollGump*>(found) : nullptr;
}

PaperdollGump* openPaperdoll(uint32_t serial, std::string_view title, uint8_t flags)
{
    WorldObject* object = findObjectBySerial(serial);
    if (!object || !object->isMobile())
        return nullptr;
    CGump* opened = gumpOpenByKind(object, gump_kind::kPaperdoll, nullptr, false, false);
    if (!opened || !opened->is(GumpKind::Paperdoll))
        return nullptr;
    auto* doll = static_cast<PaperdollGump*>(opened);
    doll->setTitle(title);
    // Bit 0 is the war-mode bit; only bit 1 lets items be taken off, and
    // each packet says anew whether they may be.
    doll->setStatusFlags((flags & kPaperdollLiftFlag) ? 1 : 0);
    return doll;
}

void handleOpenPaperdoll(const uint8_t* packet)
{
    PacketReader reader(packet);
    const uint32_t serial = reader.u32();
    const std::string title = reader.fixedText(kPaperdollTitleField, kPaperdollTitleField);
    const uint8_t flags = reader.u8();
    if (!reader.ok())
        return;
    openPaperdoll(serial, title, flags);
}

void registerPaperdollHandlers() { registerPacketHandler(0x88, handleOpenPaperdoll); }
