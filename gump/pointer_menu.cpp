#include "gump/pointer_menu.h"

#include "gump/control_gump.h"
#include "gump/entry_core.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "gump/popup_list.h"

#include <algorithm>

namespace {

// Greyed lines: a mid grey in the lists' 15-bit colours.
constexpr int32_t kGreyedColour = 0x4210;

// The menu's list: its right click closes the whole menu, not only itself.
class PointerMenuList final : public PopupList {
public:
    using PopupList::PopupList;
    void onRightUp(int32_t, int32_t) override { closeGump(parent()); }
};

class PointerMenu final : public ControlGump {
public:
    PointerMenu(std::vector<PointerMenuItem> items, std::function<void(int32_t)> chosen)
        : m_items(std::move(items))
        , m_chosen(std::move(chosen))
    {
        setTypeName("pointer menu");
        const GumpScreen& screen = gumpScreen();
        resizePage(screen.width, screen.height);
        std::vector<std::u16string> labels;
        std::vector<int32_t> colours;
        for (const PointerMenuItem& item : m_items) {
            labels.push_back(menuLabelText(item.label));
            colours.push_back(item.greyed ? kGreyedColour : -1);
        }
        auto* list = new PointerMenuList(this, labels, 0, colours);
        m_list = GumpHandle(list);
        resizePage(list->width(), list->height());
        int32_t x = 0;
        int32_t y = 0;
        service<GumpPointer>().pointerPosition(x, y);
        setLocation(std::clamp(x, 0, std::max(0, screen.width - width())),
            std::clamp(y, 0, std::max(0, screen.height - height())));
        gumpLink(this, nullptr);
        gumpSetModal(this);
        gumpSetFocus(this);
    }
    ~PointerMenu() override { gumpClearModalIf(this); }

    void draw(GumpCanvas& canvas) override
    {
        if (isVisible())
            drawChildren(canvas);
    }
    // Every click reaches the menu while it is open; those off its lines close it.
    bool containsPoint(int32_t, int32_t) override { return true; }
    void onLeftDown(int32_t, int32_t) override { }
    void onLeftUp(int32_t x, int32_t y) override
    {
        if (x < 0 || y < 0 || x >= width() || y >= height())
            closeGump(this);
    }
    void onRightUp(int32_t, int32_t) override { closeGump(this); }
    void onKey(uint32_t code) override
    {
        if (code == GumpKey::kEscape)
            closeGump(this);
    }
    void notify(const std::u16string& text, CGump*) override
    {
        auto found = std::find_if(m_items.begin(), m_items.end(),
            [&](const PointerMenuItem& item) { return !item.greyed && menuLabelText(item.label) == text; });
        if (found == m_items.end())
            return;
        const int32_t id = found->id;
        std::function<void(int32_t)> chosen = std::move(m_chosen);
        m_chosen = nullptr;
        closeGump(this);
        if (chosen)
            chosen(id);
    }

private:
    std::vector<PointerMenuItem> m_items;
    std::function<void(int32_t)> m_chosen;
    GumpHandle m_list;
};

} // namespace

std::u16string menuLabelText(std::u16string_view label)
{
    std::u16string text;
    for (size_t i = 0; i < label.size(); ++i) {
        if (label[i] == u'&' && i + 1 < label.size())
            ++i;
        text += label[i];
    }
    return text;
}

CGump* openPointerMenu(std::vector<PointerMenuItem> items, std::function<void(int32_t)> chosen)
{
    if (items.empty())
        return nullptr;
    return new PointerMenu(std::move(items), std::move(chosen));
}
