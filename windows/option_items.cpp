#include "windows/option_items.h"

#include "core/wide_text.h"
#include "data/settings_registry.h"
#include "gfx/gump_art.h"
#include "gfx/hue_table.h"
#include "gfx/pixel_spans.h"
#include "gump/gump_painters.h"
#include "text/cliloc_table.h"
#include "text/localization.h"
#include "text/string_file.h"
#include "text/unicode_font.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

constexpr int32_t kCheckOffArt = 210;
constexpr int32_t kCheckOnArt = 211;
constexpr int32_t kSwatchArt = 212;
constexpr int32_t kTrackLeftArt = 213;
constexpr int32_t kTrackMiddleArt = 214;
constexpr int32_t kTrackRightArt = 215;
constexpr int32_t kOptionThumbArt = 216;
constexpr int32_t kChoiceArt = 208;
constexpr int32_t kChoiceOnArt = 209;
constexpr int32_t kLabelX = 96;
constexpr int32_t kWideLabelX = 70;
constexpr int32_t kWideLabelWidth = 460;
constexpr int32_t kSliderRoom = 21;
constexpr int32_t kChoiceStep = 25;
constexpr int32_t kFontRoom = 76;
constexpr int32_t kMaxRadioChoices = 12;
constexpr int32_t kSwatchShade = 16;

bool inArtBox(int32_t art, int32_t left, int32_t top, int32_t x, int32_t y)
{
    const GumpArtSize size = gumpArtSize(art);
    return x >= left && x < left + size.width && y >= top && y < top + size.height;
}

void drawArt(GumpPage& page, int32_t art, int32_t x, int32_t y, const ScreenRect& clip)
{
    drawGumpArtClipped(copySpanTransparent, art, page.target(), &clip, x, y);
}

bool startsWith(const std::u16string& text, std::u16string_view prefix) { return text.rfind(prefix, 0) == 0; }

std::u16string keyOf(const std::u16string& spec)
{
    const size_t percent = spec.find(u'%');
    return percent == std::u16string::npos ? std::u16string {} : spec.substr(percent + 1);
}

int32_t trackWidth()
{
    return gumpArtSize(kTrackLeftArt).width + 3 * gumpArtSize(kTrackMiddleArt).width + gumpArtSize(kTrackRightArt).width;
}

uint16_t swatchColourOfHue(int32_t hue)
{
    return hueTable().entry(hue - 1).colours[kSwatchShade];
}

class CheckboxOption final : public OptionItem {
public:
    CheckboxOption(int32_t tab, std::u16string label, std::u16string key)
        : OptionItem(tab, std::move(label), std::move(key))
        , m_value(settings().getBoolSetting(this->key()))
    {
    }
    int32_t height() const override { return labelHeight() + 1; }
    void draw(GumpPage& page, int32_t top, const ScreenRect& clip) const override
    {
        drawArt(page, m_value ? kCheckOnArt : kCheckOffArt, kControlX, top, clip);
        drawLabel(page, kLabelX, kLabelWrap, top, clip);
    }
    void apply() override { settings().setBoolSetting(key(), m_value); }
    bool onPointer(int32_t x, int32_t y, int32_t top, bool& changed) override
    {
        if (inArtBox(kCheckOffArt, kControlX, top, x, y)) {
            m_value = m_value ? 0 : 1;
            changed = true;
        }
        return false;
    }
    bool resetToDefault() override
    {
        const uint8_t value = settings().getBoolSettingDefault(key());
        if (value == m_value)
            return false;
        m_value = value;
        return true;
    }
    uint8_t value() const { return m_value; }

private:
    uint8_t m_value;
};

class ColorOption final : public OptionItem {
public:
    ColorOption(int32_t tab, std::u16string label, std::u16string key, bool isHue)
        : OptionItem(tab, std::move(label), std::move(key))
        , m_value(settings().getColourSetting(this->key()))
        , m_isHue(isHue)
    {
    }
    int32_t height() const override { return labelHeight() + 1; }
    void draw(GumpPage& page, int32_t top, const ScreenRect& clip) const override
    {
        // The swatch shows through the art's transparent pixels; its lowest
        // bit set keeps it from being transparent itself.
        const uint16_t swatch = uint16_t((m_isHue ? swatchColourOfHue(m_value) : uint16_t(m_value)) | 1);
        const GumpArtSize size = gumpArtSize(kSwatchArt);
        for (int32_t row = 0; row < size.height; ++row) {
            for (int32_t column = 0; column < size.width; ++column) {
                const int32_t px = kControlX + column;
                const int32_t py = top + row;
                if (px < clip.left || px >= clip.right || py < clip.top || py >= clip.bottom || px >= page.width
                    || py >= page.height || px < 0 || py < 0)
                    continue;
                if (getGumpArtPixel(kSwatchArt, column, row) == 0)
                    page.pixels[size_t(py) * size_t(page.width) + size_t(px)] = swatch;
            }
        }
        drawArt(page, kSwatchArt, kControlX, top, clip);
        drawLabel(page, kLabelX, kLabelWrap, top, clip);
    }
    void apply() override { settings().setColourSetting(key(), m_value); }
    bool onPointer(int32_t x, int32_t y, int32_t top, bool&) override
    {
        return inArtBox(kSwatchArt, kControlX, top, x, y);
    }
    bool resetToDefault() override
    {
        const int32_t value = settings().getColourSettingDefault(key());
        if (value == m_value)
            return false;
        m_value = value;
        return true;
    }
    bool takeHue(int32_t hue) override
    {
        if (hue == -1)
            return false;
        const int32_t value = m_isHue ? hue : int32_t(swatchColourOfHue(hue));
        if (value == m_value)
            return false;
        m_value = value;
        return true;
    }
    bool isColour() const override { return true; }
    bool isHue() const { return m_isHue; }
    int32_t value() const { return m_value; }

private:
    int32_t m_value;
    bool m_isHue;
};

class SliderOption final : public OptionItem {
public:
    SliderOption(int32_t tab, std::u16string label, std::u16string key, int32_t minimum, int32_t maximum)
        : OptionItem(tab, std::move(label), std::move(key))
        , m_value(settings().getIntSetting(this->key()))
        , m_minimum(minimum)
        , m_maximum(maximum)
    {
    }
    int32_t height() const override { return labelHeight() + kSliderRoom; }
    void draw(GumpPage& page, int32_t top, const ScreenRect& clip) const override
    {
        drawLabel(page, kWideLabelX, kWideLabelWidth, top, clip);
        const int32_t trackTop = top + height() - kSliderRoom;
        int32_t x = kControlX;
        drawArt(page, kTrackLeftArt, x, trackTop, clip);
        x += gumpArtSize(kTrackLeftArt).width;
        for (int i = 0; i < 3; ++i) {
            drawArt(page, kTrackMiddleArt, x, trackTop, clip);
            x += gumpArtSize(kTrackMiddleArt).width;
        }
        drawArt(page, kTrackRightArt, x, trackTop, clip);
        x += gumpArtSize(kTrackRightArt).width;
        char number[16];
        std::snprintf(number, sizeof number, "%d", m_value);
        const std::u16string text = bytesToWideString(number);
        drawUnicodeTextLine(page.surface(), text.c_str(), x + 6, trackTop, kTextColour, clip);
        const int32_t travel = trackWidth() - gumpArtSize(kOptionThumbArt).width;
        drawArt(page, kOptionThumbArt, kControlX + (m_value - m_minimum) * travel / (m_maximum - m_minimum), trackTop, clip);
    }
    void apply() override { settings().setIntSetting(key(), m_value); }
    bool onPointer(int32_t x, int32_t, int32_t, bool& changed) override
    {
        const int32_t width = trackWidth();
        int32_t value = m_minimum;
        if (x >= kControlX + width)
            value = m_maximum;
        else if (x > kControlX && width > 0)
            value = m_minimum + (m_maximum - m_minimum) * (x - kControlX) / width;
        changed = value != m_value;
        m_value = value;
        return true;
    }
    bool resetToDefault() override
    {
        const int32_t value = settings().getIntSettingDefault(key());
        if (value == m_value)
            return false;
        m_value = value;
        return true;
    }
    int32_t value() const { return m_value; }

private:
    int32_t m_value;
    int32_t m_minimum;
    int32_t m_maximum;
};

// The radio and font rows: a choice among lines 25 pixels apart at the
// row's bottom.
class ChoiceLines : public OptionItem {
public:
    using OptionItem::OptionItem;
    int32_t height() const override { return labelHeight() + kChoiceStep * lineCount() + 1; }
    void draw(GumpPage& page, int32_t top, const ScreenRect& clip) const override
    {
        drawLabel(page, kWideLabelX, kWideLabelWidth, top, clip);
        const int32_t first = top + height() - kChoiceStep * lineCount() - 1;
        const int32_t textX = gumpArtSize(kChoiceArt).width + 76;
        for (int32_t line = 0; line < lineCount(); ++line) {
            const int32_t y = first + line * kChoiceStep;
            drawArt(page, line == chosenLine() ? kChoiceOnArt : kChoiceArt, kControlX, y, clip);
            drawLine(page, line, textX, y, clip);
        }
    }
    bool onPointer(int32_t, int32_t y, int32_t top, bool& changed) override
    {
        const int32_t first = top + height() - kChoiceStep * lineCount() - 1;
        const int32_t line = std::clamp((y - first) / kChoiceStep, 0, lineCount() - 1);
        changed = line != chosenLine();
        choose(line);
        return true;
    }

protected:
    virtual int32_t lineCount() const = 0;
    virtual int32_t chosenLine() const = 0;
    virtual void choose(int32_t line) = 0;
    virtual void drawLine(GumpPage& page, int32_t line, int32_t x, int32_t y, const ScreenRect& clip) const = 0;
};

class RadioOption final : public ChoiceLines {
public:
    RadioOption(int32_t tab, std::u16string label, std::u16string key, std::vector<std::u16string> choices)
        : ChoiceLines(tab, std::move(label), std::move(key))
        , m_choices(std::move(choices))
        , m_value(bytesToWideString(settings().getStringSetting(this->key())))
    {
        if (chosenLine() < 0)
            m_value = m_choices.front();
    }
    void apply() override { settings().setStringSetting(key(), WString(m_value.c_str())); }
    bool resetToDefault() override
    {
        const std::u16string value = bytesToWideString(settings().getStringSettingDefault(key()));
        if (value == m_value)
            return false;
        m_value = value;
        return true;
    }
    const std::u16string& value() const { return m_value; }

protected:
    int32_t lineCount() const override { return int32_t(m_choices.size()); }
    int32_t chosenLine() const override
    {
        const auto found = std::find(m_choices.begin(), m_choices.end(), m_value);
        return found == m_choices.end() ? -1 : int32_t(found - m_choices.begin());
    }
    void choose(int32_t line) override { m_value = m_choices[size_t(line)]; }
    void drawLine(GumpPage& page, int32_t line, int32_t x, int32_t y, const ScreenRect& clip) const override
    {
        drawUnicodeTextLine(page.surface(), m_choices[size_t(line)].c_str(), x, y, kTextColour, clip);
    }

private:
    std::vector<std::u16string> m_choices;
    std::u16string m_value;
};

class FontOption final : public ChoiceLines {
public:
    FontOption(int32_t tab, std::u16string label, std::u16string key)
        : ChoiceLines(tab, std::move(label), std::move(key))
        , m_value(settings().getFontSetting(this->key()))
    {
    }
    // The label, then three lines in the room of 76 pixels.
    int32_t height() const override { return labelHeight() + kFontRoom; }
    void apply() override { settings().setFontSetting(key(), m_value); }
    bool resetToDefault() override
    {
        const int32_t value = settings().getFontSettingDefault(key());
        if (value == m_value)
            return false;
        m_value = value;
        return true;
    }

protected:
    int32_t lineCount() const override { return 3; }
    int32_t chosenLine() const override { return m_value; }
    void choose(int32_t line) override { m_value = line; }
    void drawLine(GumpPage& page, int32_t line, int32_t x, int32_t y, const ScreenRect& clip) const override
    {
        const int32_t previous = getUnicodeFont();
        selectUnicodeFont(line);
        drawUnicodeTextLine(page.surface(), u"This Font", x, y, kTextColour, clip);
        selectUnicodeFont(previous);
    }

private:
    int32_t m_value;
};

class DummyOption final : public OptionItem {
public:
    using OptionItem::OptionItem;
    int32_t height() const override { return 0; }
    void draw(GumpPage&, int32_t, const ScreenRect&) const override { }
    void apply() override { }
    bool onPointer(int32_t, int32_t, int32_t, bool&) override { return false; }
};

std::u16string labelText(const std::u16string& text)
{
    if (text.empty() || text[0] != u'#')
        return text;
    WString out;
    getClilocString(out, wstrToInt(text.c_str() + 1), 1);
    return out.c_str() ? std::u16string(out.c_str()) : std::u16string();
}

// "[a|b|c]" before the key; empty for a spec without the brackets.
std::vector<std::u16string> radioChoices(const std::u16string& spec)
{
    std::vector<std::u16string> choices;
    const size_t open = spec.find(u'[');
    const size_t close = open == std::u16string::npos ? open : spec.find(u']', open);
    if (close == std::u16string::npos || close == open + 1)
        return choices;
    size_t at = open + 1;
    while (true) {
        const size_t bar = spec.find(u'|', at);
        const size_t end = bar == std::u16string::npos || bar > close ? close : bar;
        choices.push_back(spec.substr(at, end - at));
        if (end == close)
            break;
        at = end + 1;
    }
    return choices;
}

bool sliderRange(const std::u16string& spec, int32_t& minimum, int32_t& maximum)
{
    const size_t open = spec.find(u'[');
    if (open == std::u16string::npos)
        return false;
    size_t at = open + 1;
    minimum = 0;
    maximum = 0;
    for (; at < spec.size() && spec[at] != u'-'; ++at)
        minimum = minimum * 10 + (spec[at] - u'0');
    if (at >= spec.size())
        return false;
    for (++at; at < spec.size() && spec[at] != u']'; ++at)
        maximum = maximum * 10 + (spec[at] - u'0');
    return at < spec.size();
}

} // namespace

OptionItem::OptionItem(int32_t tab, std::u16string label, std::u16string key)
    : m_tab(tab)
    , m_label(std::move(label))
    , m_key(key.c_str())
{
}

int32_t OptionItem::labelHeight() const
{
    int32_t width = 0;
    int32_t height = 0;
    int32_t zero = 0;
    measureUnicodeTextWrapped(m_label.c_str(), kLabelWrap, width, height, zero);
    return height;
}

void OptionItem::drawLabel(GumpPage& page, int32_t x, int32_t width, int32_t top, const ScreenRect& clip) const
{
    drawUnicodeTextWrapped(page.surface(), width, m_label.c_str(), x, top, kTextColour, clip, false);
}

OptionsLayout parseOptionsLayout(const OptionsEntry& entry)
{
    OptionsLayout layout;
    if (std::optional<std::u16string> notice = entry(0))
        layout.notice = labelText(*notice);
    int32_t tab = -1;
    int32_t index = 1;
    while (true) {
        const std::optional<std::u16string> line = entry(index);
        if (!line || *line == u"#END")
            break;
        if (*line == u"##") {
            const std::optional<std::u16string> header = entry(index + 1);
            const std::optional<std::u16string> title = entry(index + 2);
            const std::optional<std::u16string> text = entry(index + 3);
            if (!header || !startsWith(*header, u"#TAB") || header->size() < 5 || !title || !text)
                break;
            const char16_t code = (*header)[4];
            const int32_t number = code <= 64 ? int32_t(code) - 48 : int32_t(code) - 55;
            if (number < 0 || number >= OptionsLayout::kTabCount)
                break;
            tab = number;
            layout.titles[tab] = labelText(*title);
            layout.texts[tab] = labelText(*text);
            index += 4;
            continue;
        }
        const std::optional<std::u16string> spec = entry(index + 1);
        if (tab < 0 || !spec)
            break;
        std::u16string label = labelText(*line);
        std::u16string key = keyOf(*spec);
        SettingsRegistry& store = settings();
        std::unique_ptr<OptionItem> row;
        if (startsWith(*spec, u"#CHECKBOX")) {
            if (store.isBoolSetting(WString(key.c_str())))
                row = std::make_unique<CheckboxOption>(tab, std::move(label), std::move(key));
        } else if (startsWith(*spec, u"#COLOR") || startsWith(*spec, u"#HUE")) {
            if (store.isColourSetting(WString(key.c_str())))
                row = std::make_unique<ColorOption>(tab, std::move(label), std::move(key), startsWith(*spec, u"#HUE"));
        } else if (startsWith(*spec, u"#RADIO")) {
            // Rows the language data must not hold: no choices, or more than
            // the twelve a row keeps.
            std::vector<std::u16string> choices = radioChoices(*spec);
            if (choices.empty() || int32_t(choices.size()) > kMaxRadioChoices)
                break;
            row = std::make_unique<RadioOption>(tab, std::move(label), std::move(key), std::move(choices));
        } else if (startsWith(*spec, u"#UNIFONT")) {
            row = std::make_unique<FontOption>(tab, std::move(label), std::move(key));
        } else if (startsWith(*spec, u"#SLIDER")) {
            int32_t minimum = 0;
            int32_t maximum = 0;
            // A range with no width would divide by zero.
            if (!sliderRange(*spec, minimum, maximum) || maximum <= minimum)
                break;
            row = std::make_unique<SliderOption>(tab, std::move(label), std::move(key), minimum, maximum);
        } else if (startsWith(*spec, u"#DUMMY")) {
            row = std::make_unique<DummyOption>(tab, std::move(label), std::move(key));
        } else {
            break;
        }
        if (row)
            layout.rows.push_back(std::move(row));
        index += 2;
    }
    return layout;
}

OptionsLayout loadOptionsLayout()
{
    StringFile* table = findStringFile("options", getLanguageCode(), "options", false, false, false);
    if (!table)
        return {};
    return parseOptionsLayout([table](int32_t index) -> std::optional<std::u16string> {
        const WString* text = table->getString(index);
        if (!text)
            return std::nullopt;
        return text->c_str() ? std::u16string(text->c_str()) : std::u16string();
    });
}
