#include "windows/options_gump.h"

#include "data/config_file.h"
#include "data/config_key_rules.h"
#include "data/player_lists.h"
#include "data/settings_registry.h"
#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"
#include "gump/button.h"
#include "gump/desktop_file.h"
#include "gump/gump_canvas.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/gump_services.h"
#include "gump/unicode_edit_list.h"
#include "gump/waiting_gump.h"
#include "text/unicode_font.h"
#include "windows/hue_gump.h"
#include "windows/picture_windows.h"
#include "world/world_screen.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int32_t kLeftEdgeArt = 202;
constexpr int32_t kRightEdgeArt = 203;
constexpr int32_t kBackgroundArt = 2600;
constexpr int32_t kBackgroundX = 50;
constexpr int32_t kBackgroundWidth = 550;
constexpr int32_t kBackgroundHeight = 450;
constexpr int32_t kScrollBarX = 565;
constexpr int32_t kScrollBarY = 45;
constexpr int32_t kScrollBarHeight = 360;
constexpr int32_t kTabTop = 45;
constexpr int32_t kTabStep = 66;
constexpr int32_t kOptionsTitleY = 20;
constexpr int32_t kOptionsTextX = 70;
constexpr int32_t kTextY = 50;
constexpr int32_t kBlankWidth = 6;
constexpr int32_t kHuePreviewGraphic = 4011;
constexpr int32_t kHuePickerPlace = 100;

// Current art, other art of tabs 0..9; tab 2 has none.
constexpr std::array<std::array<int32_t, 2>, OptionsGump::kTabCount> kTabArts { {
    { 217, 218 }, { 219, 220 }, { 0, 0 }, { 223, 224 }, { 236, 237 }, { 225, 226 }, { 227, 228 }, { 229, 230 },
    { 231, 232 }, { 234, 235 },
} };

struct OptionsButton {
    int32_t x;
    int32_t up;
    int32_t down;
    int32_t hover;
    int32_t command;
};
constexpr std::array<OptionsButton, 4> kOptionsButtons { {
    { 164, 243, 241, 242, OptionsGump::kCloseCommand },
    { 258, 239, 240, 238, OptionsGump::kApplyCommand },
    { 356, 246, 244, 245, OptionsGump::kDefaultsCommand },
    { 453, 249, 248, 247, OptionsGump::kOkayCommand },
} };

// The window's text state while its rows draw and measure, restored after.
class OptionsTextState {
public:
    OptionsTextState()
        : m_font(getUnicodeFont())
        , m_blank(getSpaceWidth())
        , m_tight(getUnicodeTightFlag())
    {
        selectUnicodeFont(0);
        setSpaceWidth(kBlankWidth);
        setUnicodeTightFlag(false);
    }
    ~OptionsTextState()
    {
        selectUnicodeFont(m_font);
        setSpaceWidth(m_blank);
        setUnicodeTightFlag(m_tight);
    }
    OptionsTextState(const OptionsTextState&) = delete;
    OptionsTextState& operator=(const OptionsTextState&) = delete;

private:
    int32_t m_font;
    int32_t m_blank;
    bool m_tight;
};

OptionsGump* g_optionsWindow = nullptr;

int32_t optionsWidth() { return gumpArtSize(kLeftEdgeArt).width + gumpArtSize(kRightEdgeArt).width + 555; }

} // namespace

OptionsGump::OptionsGump()
    : OptionsGump(loadOptionsLayout())
{
}

OptionsGump::OptionsGump(OptionsLayout layout)
    : CGump(0, 0, nullptr, 1, optionsWidth(), kHeight)
    , m_layout(std::move(layout))
{
    setTypeName("OptionsGump");
    addKind(GumpKind::OptionsGump);
    const GumpScreen& screen = gumpScreen();
    setLocation((screen.width - width()) / 2, (screen.height - height()) / 2);
    build();
    g_optionsWindow = this;
}

OptionsGump::~OptionsGump()
{
    if (m_huePicker && isValidGump(m_huePicker))
        closeGump(m_huePicker);
    if (g_optionsWindow == this)
        g_optionsWindow = nullptr;
}

void OptionsGump::build()
{
    m_macros = macro::macroList().macros;
    SettingsRegistry& store = settings();
    m_filterLockOn = store.getBoolSetting(u"FilterPWOn") != 0;
    m_obscenityFilterOn = store.getBoolSetting(u"ObscenityFilter") != 0;
    m_filterPassword = configValues().filterPassword;

    createButtons();
    buildFilterPage();
    buildMacroPage();
    if (gumpArtSize(ScrollBarGump::kTopArt).exists() || gumpArtSize(256).exists()
        || gumpArtSize(ScrollBarGump::kBottomArt).exists()) {
        m_scrollBar = new ScrollBarGump(this, this);
        m_scrollBar->setGeometry(kScrollBarX, kScrollBarY, kScrollBarHeight);
    }
    selectTab(0);
    redraw();
}

void OptionsGump::createButtons()
{
    for (const OptionsButton& spec : kOptionsButtons) {
        auto* button = new Button(
            spec.x, kButtonY, ButtonBehaviour::ClickOnRelease, 0, forwardButtonToOwner, spec.up, spec.down, false);
        button->setHoverArt(spec.hover);
        button->setId(spec.command);
        button->setPassId(true);
        gumpLink(button, this);
    }
}

bool OptionsGump::tabPlace(int32_t tab, int32_t windowWidth, int32_t& x, int32_t& y)
{
    if (tab < 0 || tab >= kTabCount || kTabArts[size_t(tab)][0] == 0)
        return false;
    x = tab < 5 ? 10 : windowWidth - 57;
    y = kTabTop + kTabStep * (tab % 5);
    return true;
}

std::vector<OptionItem*> OptionsGump::tabRows() const
{
    std::vector<OptionItem*> rows;
    for (const std::unique_ptr<OptionItem>& row : m_layout.rows) {
        if (row->tab() == m_currentTab)
            rows.push_back(row.get());
    }
    return rows;
}

template <typename Visit>
void OptionsGump::forEachShownRow(Visit visit) const
{
    const std::vector<OptionItem*> rows = tabRows();
    int32_t top = kRowsTop;
    for (size_t i = size_t(std::max(m_firstVisibleRow, 0)); i < rows.size(); ++i) {
        const int32_t bottom = top + rows[i]->height();
        if (bottom > kRowsBottom)
            break;
        if (visit(rows[i], top))
            return;
        top = bottom;
    }
}

void OptionsGump::selectTab(int32_t tab)
{
    if (tab == m_currentTab)
        return;
    if (m_currentTab == kMacroTab || m_currentTab == kFilterTab)
        setGroup(0);
    m_currentTab = tab;
    m_firstVisibleRow = 0;
    const int32_t rows = int32_t(tabRows().size());
    m_rowCount = rows == 0 || tab == kMacroTab || tab == kFilterTab ? 0 : rows - 1;
    if (m_scrollBar)
        m_scrollBar->setThumbPosition(0, m_rowCount);
    redraw();
    if (tab == kMacroTab || tab == kFilterTab)
        setGroup(uint8_t(tab));
}

void OptionsGump::redraw()
{
    GumpPage& face = *page(0);
    face.allocate(width(), height());
    if (!face.isAllocated())
        return;
    std::fill(face.pixels.begin(), face.pixels.end(), uint16_t(0));
    drawNinePatchRecord(kBackgroundX, 0, kBackgroundWidth, kBackgroundHeight, kBackgroundArt, face, true);
    for (int32_t tab = 0; tab < kTabCount; ++tab) {
        int32_t x = 0;
        int32_t y = 0;
        if (tabPlace(tab, width(), x, y))
            drawGumpArt(copySpanTransparent, kTabArts[size_t(tab)][tab == m_currentTab ? 0 : 1], face.target(), x, y);
    }
    if (m_currentTab >= 0) {
        OptionsTextState text;
        const ScreenRect clip { 0, 0, face.width, face.height };
        const TextSurface surface = face.surface();
        const std::u16string& title = m_layout.titles[size_t(m_currentTab)];
        drawUnicodeTextWrapped(surface, width(), title.c_str(), 0, kOptionsTitleY, OptionItem::kTextColour, clip, true);
        drawUnicodeTextWrapped(surface, width() - 150, m_layout.texts[size_t(m_currentTab)].c_str(), kOptionsTextX, kTextY,
            OptionItem::kTextColour, clip, false);
        forEachShownRow([&face, &clip](OptionItem* row, int32_t top) {
            row->draw(face, top, clip);
            return false;
        });
    }
    markLookChanged();
}

void OptionsGump::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    drawPage(canvas);
    if (isMinimised())
        return;
    // A child of a page shows only while that page is current.
    forEachChildBottomUp([this, &canvas](CGump* child) {
        if (child->group() == 0 || child->group() == group())
            child->draw(canvas);
    });
}

void OptionsGump::onLeftDown(int32_t x, int32_t y)
{
    m_pressX = x;
    m_pressY = y;
    m_pressed = true;
    bringToFront(false);
    for (int32_t tab = 0; tab < kTabCount; ++tab) {
        int32_t tabX = 0;
        int32_t tabY = 0;
        if (!tabPlace(tab, width(), tabX, tabY))
            continue;
        const int32_t art = kTabArts[size_t(tab)][tab == m_currentTab ? 0 : 1];
        const GumpArtSize size = gumpArtSize(art);
        if (x >= tabX && x < tabX + size.width && y >= tabY && y < tabY + size.height
            && getGumpArtPixel(art, x - tabX, y - tabY) != 0) {
            selectTab(tab);
            return;
        }
    }
    m_capturedItem = nullptr;
    OptionsTextState text;
    forEachShownRow([this, x, y](OptionItem* row, int32_t top) {
        if (y < top || y >= top + row->height())
            return false;
        if (row->isColour()) {
            // One picker at a time: a press only keeps it on screen.
            if (m_huePicker && isValidGump(m_huePicker)) {
                m_huePicker->clampToScreen();
                return true;
            }
            bool unused = false;
            if (row->onPointer(x, y, top, unused)) {
                m_hueRow = row;
                m_huePicker = new HueGump(kHuePickerPlace, kHuePickerPlace, kHuePreviewGraphic, false, std::string(), 1,
                    [](int32_t hue) {
                        if (g_optionsWindow)
                            g_optionsWindow->optionHuePicked(hue);
                    });
                gumpLink(m_huePicker, nullptr);
            }
            return true;
        }
        bool changed = false;
        if (row->onPointer(x, y, top, changed)) {
            m_capturedItem = row;
            m_capturedRowTop = top;
        }
        if (changed)
            redraw();
        return true;
    });
}

void OptionsGump::onDrag(int32_t x, int32_t y)
{
    if (!m_pressed)
        return;
    if (m_capturedItem) {
        OptionsTextState text;
        bool changed = false;
        m_capturedItem->onPointer(x, y, m_capturedRowTop, changed);
        if (changed)
            redraw();
        return;
    }
    moveBy(x - m_pressX, y - m_pressY, true, nullptr, true);
}

void OptionsGump::onLeftUp(int32_t, int32_t)
{
    m_pressed = false;
    m_capturedItem = nullptr;
    service<GumpPointer>().clearPointerCaptureIf(this);
}

void OptionsGump::onRightUp(int32_t, int32_t) { closeGump(this); }

void OptionsGump::onCommand(int32_t commandId)
{
    switch (commandId) {
    case kCloseCommand:
        closeGump(this);
        return;
    case kOkayCommand:
        apply();
        closeGump(this);
        return;
    case kApplyCommand:
        apply();
        return;
    case kDefaultsCommand:
        resetTabToDefaults();
        return;
    default:
        if (commandId >= kNewMacroCommand && commandId <= kNextMacroCommand)
            macroCommand(commandId);
        else
            filterCommand(commandId);
        return;
    }
}

void OptionsGump::forgetGump(CGump* dying)
{
    if (dying == m_huePicker) {
        m_huePicker = nullptr;
        m_hueRow = nullptr;
    }
}

void OptionsGump::optionHuePicked(int32_t hue)
{
    OptionItem* row = m_hueRow;
    m_hueRow = nullptr;
    m_huePicker = nullptr;
    if (row && row->takeHue(hue))
        redraw();
}

void OptionsGump::onScrollArrow(int32_t id, CGump*)
{
    const bool down = id != 0;
    if (down && m_firstVisibleRow < m_rowCount)
        ++m_firstVisibleRow;
    else if (!down && m_firstVisibleRow > 0)
        --m_firstVisibleRow;
    if (m_scrollBar)
        m_scrollBar->setThumbPosition(m_firstVisibleRow, m_rowCount);
    redraw();
}

void OptionsGump::onScrollThumb(int32_t position, int32_t range, CGump*)
{
    if (position == m_firstVisibleRow || range <= 0)
        return;
    m_firstVisibleRow = position * m_rowCount / range;
    redraw();
}

void OptionsGump::apply()
{
    SettingsRegistry& store = settings();
    store.clearSettingsRestartNeeded();
    for (const std::unique_ptr<OptionItem>& row : m_layout.rows)
        row->apply();

    // Records without a key cannot be matched or written.
    std::vector<macro::MacroRecord> kept;
    for (const macro::MacroRecord& record : m_macros) {
        if (record.keyData != 0)
            kept.push_back(record);
    }
    macro::macroList().replace(std::move(kept));
    macro::saveMacros();
    setConfigValue(ConfigKeyKind::FilterPWOn, m_filterLockOn ? "yes" : "no");
    setConfigValue(ConfigKeyKind::ObscenityFilter, m_obscenityFilterOn ? "yes" : "no");
    std::string scrambled = m_filterPassword;
    shiftScrambleText(scrambled);
    setConfigValue(ConfigKeyKind::FilterPassword, scrambled);

    // Every row but the last, the one kept for a new entry.
    PlayerLists& lists = playerLists();
    lists.ignore.clear();
    const std::vector<std::pair<std::string, uint32_t>> ignored = ignoredNames();
    for (size_t i = 0; i < ignored.size() && i < kMaxIgnored; ++i) {
        IgnoreEntry entry;
        const std::string& name = ignored[i].first;
        std::memcpy(entry.name.data(), name.data(), std::min(name.size(), entry.name.size() - 1));
        entry.serial = ignored[i].second;
        lists.ignore.push_back(entry);
    }
    lists.filterWords.clear();
    const std::vector<std::u16string> words = profanityWords();
    for (size_t i = 0; i + 1 < words.size() && i < kMaxWords; ++i)
        lists.filterWords.push_back(words[i].substr(0, kMaxWordLength));
    savePlayerList(0);
    savePlayerList(1);

    desktopWrite();
    invalidateWholeScreen();
    if (store.settingsRestartNeeded() && !m_layout.notice.empty())
        gumpShowWaiting(m_layout.notice, nullptr, true, false, true);
}

void OptionsGump::resetTabToDefaults()
{
    bool changed = false;
    for (const std::unique_ptr<OptionItem>& row : m_layout.rows) {
        if (row->tab() == m_currentTab && row->resetToDefault())
            changed = true;
    }
    // The word list empties even while hidden or locked; Apply writes it.
    // (Its last row, the one for a new word, is always empty.)
    if (m_currentTab == kFilterTab && m_wordList) {
        while (m_wordList->rowCount() > 1)
            m_wordList->removeRow(0);
    }
    if (changed)
        redraw();
}

void OptionsGump::placeFixedLabels(int32_t tab, const int32_t (*places)[2], size_t placeCount)
{
    OptionsTextState text;
    size_t placed = 0;
    for (const std::unique_ptr<OptionItem>& row : m_layout.rows) {
        if (row->tab() != tab || placed >= placeCount)
            continue;
        const std::u16string& label = row->label();
        int32_t labelWidth = 0;
        int32_t labelHeight = 0;
        int32_t zero = 0;
        measureUnicodeText(label.c_str(), labelWidth, labelHeight, zero);
        auto* picture = new DumbGump(places[placed][0], places[placed][1], std::max(labelWidth, 1),
            std::max(labelHeight, 1), 0, nullptr, -1);
        GumpPage& face = *picture->page(0);
        if (face.isAllocated()) {
            const ScreenRect clip { 0, 0, face.width, face.height };
            drawUnicodeTextWrapped(
                face.surface(), face.width + 1, label.c_str(), 0, 0, OptionItem::kTextColour, clip, false);
        }
        picture->setGroup(uint8_t(tab));
        gumpLink(picture, this);
        m_fixedLabels.push_back(picture);
        ++placed;
    }
}

CGump* openOptionsGump() { return new OptionsGump(); }

OptionsGump* openOptionsWindow() { return g_optionsWindow && isValidGump(g_optionsWindow) ? g_optionsWindow : nullptr; }

bool hasOptionsWindowRecord() { return g_optionsWindow != nullptr; }
