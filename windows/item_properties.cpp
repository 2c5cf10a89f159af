// When the item-property window opens, where it stands and what it shows.

#include "windows/item_property_gump.h"

#include "data/settings_registry.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "gump/html_view.h"
#include "gump/property_cache.h"
#include "platform/clock.h"
#include "text/html_document.h"
#include "world/body_animation.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include <algorithm>

namespace {

constexpr int32_t kMeasureWidth = 640;
constexpr int32_t kContentPadding = 20;
constexpr int32_t kPointerGap = 10;
constexpr std::u16string_view kNoTitle = u"...";
constexpr std::u16string_view kNoData = u"No Data";
constexpr const char16_t* kModeNames[item_props::kModeCount]
    = { u"At Icon", u"Always Up", u"Follow Mouse", u"Single Click" };

uint32_t propsNow() { return platform::clock().tickMs(); }

// Tick times wrap: a time is reached once the difference is not negative.
bool propsReached(uint32_t due) { return int32_t(propsNow() - due) >= 0; }

bool pointerBound(int32_t mode) { return mode == item_props::kFollowMouse || mode == item_props::kSingleClick; }

void setClickExpiry(uint32_t serial)
{
    itemPropertyState().singleClickExpiry = propsNow() + item_props::kClickShowMs
        + item_props::kClickShowPerLineMs * uint32_t(std::max(propertyListEntryCount(serial), 0));
}

void measureHtml(const std::u16string& text, int32_t& width, int32_t& height)
{
    width = height = 0;
    if (text.empty())
        return;
    HtmlDocument document(text, 0, 0x7FFF);
    document.measure(kMeasureWidth, width, height, 0, 0, false);
}

std::u16string toText(const WString& text) { return std::u16string(text.c_str()); }

} // namespace

int32_t itemPropsMode() { return std::clamp(gumpSettings().itemPropsMode, 0, item_props::kModeCount - 1); }

bool itemPropertyListsOn() { return service<GameSession>().hasObjectPropertyLists(); }

bool itemPropsIconOn() { return settings().getBoolSetting(u"ItemPropsIcon") != 0; }

void removeItemPropertyIcon(ItemPropertyGump& window)
{
    ItemPropertiesIconGump* icon = window.icon();
    if (!icon)
        return;
    window.setLocation(icon->x(), icon->y());
    ItemPropertyState& state = itemPropertyState();
    state.savedX = icon->x();
    state.savedY = icon->y();
    window.setIcon(nullptr);
    closeGump(icon);
}

void ItemPropertyGump::placeExpanded(bool cacheUpdate)
{
    const int32_t mode = itemPropsMode();
    if (cacheUpdate)
        return;
    if (!pointerBound(mode)) {
        const ItemPropertyState& state = itemPropertyState();
        setLocation(state.savedX, state.savedY);
        clampToScreen();
        return;
    }
    int32_t px = 0, py = 0;
    if (mode == item_props::kFollowMouse)
        service<GumpPointer>().pointerPosition(px, py);
    else
        service<GumpPointer>().pressPosition(px, py);
    setLocation(px - width() - kPointerGap, py + kPointerGap);
    clampToScreen();
    if (x() > px - width()) {
        setLocation(px + kPointerGap, y());
        clampToScreen();
    }
    if (y() < py + kPointerGap) {
        setLocation(x(), py - height());
        clampToScreen();
    }
}

void ItemPropertyGump::rebuild(bool cacheUpdate)
{
    const int32_t mode = itemPropsMode();
    const uint32_t serial = itemPropertyState().currentSerial;
    const bool keepAmount = itemPropertyState().keepAmount;
    WorldObject* object = findObjectBySerial(serial);

    // The name line: the centred one is shown, the plain one measured; an
    // object without one shows "...".
    WString title, plainTitle;
    buildPropertyNameHtml(serial, plainTitle, false, keepAmount);
    buildPropertyNameHtml(serial, title, true, keepAmount);
    const bool noTitle = plainTitle.isEmpty();
    m_titleText = noTitle ? std::u16string(kNoTitle) : toText(title);
    WString body, plainBody;
    if (object) {
        buildPropertyLinesHtml(serial, body, true, pointerBound(mode));
        buildPropertyLinesHtml(serial, plainBody, false, pointerBound(mode));
        m_bodyText = toText(body);
        m_hasBody = !m_bodyText.empty();
    } else {
        m_bodyText = kNoData;
        m_hasBody = false;
    }
    int32_t titleWidth = 0, titleHeight = 0, bodyWidth = 0, bodyHeight = 0;
    measureHtml(noTitle ? std::u16string(kNoTitle) : toText(plainTitle), titleWidth, titleHeight);
    measureHtml(object ? toText(plainBody) : std::u16string(kNoData), bodyWidth, bodyHeight);
    const int32_t contentWidth = std::max(titleWidth, bodyWidth) + kContentPadding;
    const int32_t contentHeight = !m_hasBody && pointerBound(mode) ? 0 : bodyHeight;

    int32_t newWidth = contentWidth;
    int32_t newHeight = contentHeight + 22;
    if (mode == item_props::kAlwaysUp) {
        newWidth = std::max(contentWidth, kWidth) + 8;
        newHeight = std::max(contentHeight, kHeight) + 24;
    } else if (mode == item_props::kAtIcon) {
        newWidth = contentWidth + 8;
        newHeight = contentHeight + 24;
    }
    setSize(newWidth, newHeight);

    if (pointerBound(mode) && itemPropsIconOn() && !icon() && isMinimised()) {
        auto* made = new ItemPropertiesIconGump(x(), y(), *this);
        setIcon(made);
    }
    if (isMinimised())
        restore();
    placeExpanded(cacheUpdate);

    const bool listsOn = itemPropertyListsOn();
    if (HtmlView* view = titleView()) {
        view->setRect(4, 4, newWidth - 8, 24);
        view->setVisible(true);
    }
    if (HtmlView* view = bodyView()) {
        const bool shown = (m_hasBody || !pointerBound(mode)) && newHeight - 24 > 0;
        if (shown)
            view->setRect(4, 20, newWidth - 8, newHeight - 24);
        view->setVisible(shown);
    }
    setVisible(listsOn);
    if (CGump* collapser = collapseButton())
        collapser->setLocation(newWidth - 21, 0);

    uint16_t titleColour = itemPropsTitleColour(0);
    if (object && object->isMobile())
        titleColour = itemPropsTitleColour(getNotorietyHue(static_cast<Mobile*>(object)));
    if (HtmlView* view = titleView()) {
        view->setText(m_titleText, titleColour);
        view->layout();
    }
    if (HtmlView* view = bodyView()) {
        view->setText(m_bodyText, 0x7FFF);
        view->layout();
    }
    redrawFaces();
}

void rebuildItemPropertyWindow(bool cacheUpdate)
{
    ItemPropertyGump* window = findItemPropertyGump();
    if (itemPropsMode() == item_props::kSingleClick)
        setClickExpiry(itemPropertyState().currentSerial);
    if (!window || (window->isMinimised() && cacheUpdate))
        return;
    window->rebuild(cacheUpdate);
}

void showItemProperties(uint32_t serial, bool isClick, bool keepAmount)
{
    if (!itemPropertyListsOn())
        return;
    ItemPropertyState& state = itemPropertyState();
    state.keepAmount = keepAmount;
    const int32_t mode = itemPropsMode();
    if (isClick) {
        if (mode != item_props::kSingleClick)
            return;
    } else if (mode == item_props::kSingleClick) {
        return;
    } else if (mode != item_props::kAlwaysUp) {
        if (state.pendingTime != 0 && serial == state.pendingSerial) {
            if (!propsReached(state.pendingTime))
                return;
        } else {
            state.pendingSerial = serial;
            // 0 means nothing pending; a due time of 0 moves on by one.
            state.pendingTime = std::max<uint32_t>(propsNow() + item_props::kHoverDelayMs, 1);
            return;
        }
    }
    GumpPointer& pointer = service<GumpPointer>();
    if (mode == item_props::kSingleClick) {
        if (const uint32_t pressed = pointer.pressedObjectSerial())
            serial = pressed;
        if (propertyListIsDeferred(serial))
            propertyListQueueRequest(serial);
    }
    WorldObject* object = findObjectBySerial(serial);
    ItemPropertyGump* window = findItemPropertyGump();
    if (!object || pointer.isButtonHeld()) {
        if (mode != item_props::kAlwaysUp)
            return;
        if (!window)
            window = new ItemPropertyGump(-1, -1);
        else if (!window->isMinimised())
            return;
    } else if (!window) {
        window = new ItemPropertyGump(-1, -1);
    }
    GumpHandle handle(window);
    window->bringToFront(false);
    if (!handle)
        return;
    state.currentSerial = serial;
    window->rebuild(false);
    if (mode == item_props::kSingleClick)
        setClickExpiry(serial);
    state.pendingTime = 0;
}

void hideItemProperties()
{
    ItemPropertyState& state = itemPropertyState();
    state.pendingTime = 0;
    const int32_t mode = itemPropsMode();
    if (mode == item_props::kSingleClick && !propsReached(state.singleClickExpiry))
        return;
    ItemPropertyGump* window = findItemPropertyGump();
    if (!window)
        return;
    if (mode != item_props::kAlwaysUp && !window->isMinimised()) {
        window->showMinimisedFace();
        state.currentSerial = 0;
        window->setVisible(itemPropsIconOn() && itemPropertyListsOn());
    }
    removeItemPropertyIcon(*window);
    state.pendingSerial = 0;
}

void tickItemProperties()
{
    const int32_t mode = itemPropsMode();
    if (ItemPropertyGump* window = findItemPropertyGump()) {
        if (pointerBound(mode) && window->isMinimised() && !itemPropsIconOn())
            window->setVisible(false);
        else
            window->setVisible(itemPropertyListsOn());
    }
    ItemPropertyState& state = itemPropertyState();
    if (mode == item_props::kSingleClick) {
        if (state.singleClickExpiry != 0 && propsReached(state.singleClickExpiry)) {
            state.singleClickExpiry = 0;
            hideItemProperties();
        }
    } else if (state.pendingTime != 0 && propsReached(state.pendingTime)) {
        showItemProperties(state.pendingSerial, false, true);
    }
}

void setItemPropsMode(int32_t mode, bool write)
{
    static bool writing = false;
    if (writing)
        return;
    if (mode < 0 || mode >= item_props::kModeCount)
        mode = 0;
    gumpSettings().itemPropsMode = mode;
    if (mode == item_props::kSingleClick)
        propertyListDeferAllPending();
    else
        propertyListRequeueDeferred();
    if (write) {
        // Storing the name reports the mode back to this function.
        writing = true;
        settings().setStringSetting(u"ItemPropsMode", kModeNames[mode]);
        writing = false;
    }
    ItemPropertyState& state = itemPropertyState();
    if (ItemPropertyGump* window = findItemPropertyGump()) {
        GumpHandle handle(window);
        if (mode == item_props::kAlwaysUp) {
            showItemProperties(state.currentSerial, false, true);
        } else if (!window->isMinimised()) {
            window->collapse();
        } else {
            window->redrawFaces();
        }
        if (auto* live = static_cast<ItemPropertyGump*>(handle.get()))
            removeItemPropertyIcon(*live);
    }
    if (mode == item_props::kAtIcon)
        state.currentSerial = 0;
}

void ensureItemPropertyWindow()
{
    if (!findItemPropertyGump())
        new ItemPropertyGump(-1, -1);
}

void restoreItemPropertyPosition(int32_t x, int32_t y)
{
    if (ItemPropertyGump* window = findItemPropertyGump()) {
        window->setLocation(int16_t(x), int16_t(y));
        return;
    }
    ItemPropertyState& state = itemPropertyState();
    state.savedX = int16_t(x);
    state.savedY = int16_t(y);
}
