// The layout language of server-described gumps: one bounded tokenizer over
// the commands in braces, and the operations that turn each command into an
// element of the gump's tree.
#include "gump/generic_gump.h"

#include "gfx/art_cache.h"
#include "gfx/gump_art.h"
#include "gump/gump_manager.h"
#include "platform/ascii_text.h"
#include "text/unicode_font.h"
#include "world/static_object.h"

#include <algorithm>
#include <limits>

namespace {

constexpr size_t kMaxGraphicWord = 60;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// A decimal integer at the start of `word`, with an optional sign; digits
// past the int32 range saturate, and a word without digits reads 0.
int32_t leadingInteger(std::string_view word)
{
    size_t at = 0;
    bool negative = false;
    if (at < word.size() && (word[at] == '-' || word[at] == '+')) {
        negative = word[at] == '-';
        ++at;
    }
    int64_t value = 0;
    for (; at < word.size() && word[at] >= '0' && word[at] <= '9'; ++at) {
        value = value * 10 + (word[at] - '0');
        if (value > int64_t(std::numeric_limits<int32_t>::max()) + 1)
            value = int64_t(std::numeric_limits<int32_t>::max()) + 1;
    }
    if (negative)
        value = -value;
    return int32_t(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// One command: its keyword and the words after it.
struct LayoutCommand {
    std::string buffer;
    std::string_view keyword;
    std::vector<std::string_view> words;

    // A missing argument reads 0; the command is still carried out.
    int32_t integer(size_t index) const { return index < words.size() ? leadingInteger(words[index]) : 0; }
};

// Walks the layout text command by command. The text ends at its first 0
// byte; text outside braces is skipped; a command longer than the buffer is
// cut there, and what follows it is skipped like any text outside braces.
class LayoutTokenizer {
public:
    explicit LayoutTokenizer(std::string_view text)
        : m_text(text.substr(0, text.find('\0')))
    {
    }

    bool next(LayoutCommand& command)
    {
        size_t open = m_text.find('{', m_at);
        if (open == std::string_view::npos)
            return false;
        size_t at = open + 1;
        while (at < m_text.size() && isBlank(m_text[at]))
            ++at;
        command.buffer.clear();
        while (at < m_text.size() && m_text[at] != '}' && command.buffer.size() < GenericGump::kMaxCommandLength)
            command.buffer.push_back(m_text[at++]);
        m_at = at;
        while (!command.buffer.empty() && isBlank(command.buffer.back()))
            command.buffer.pop_back();
        command.words.clear();
        std::string_view rest = command.buffer;
        while (!rest.empty()) {
            size_t start = 0;
            while (start < rest.size() && isBlank(rest[start]))
                ++start;
            size_t end = start;
            while (end < rest.size() && !isBlank(rest[end]))
                ++end;
            if (end > start)
                command.words.push_back(rest.substr(start, end - start));
            rest.remove_prefix(end);
        }
        command.keyword = command.words.empty() ? std::string_view() : command.words.front();
        if (!command.words.empty())
            command.words.erase(command.words.begin());
        return true;
    }

private:
    std::string_view m_text;
    size_t m_at = 0;
};

int32_t clampCoordinate(int32_t value)
{
    return std::clamp(value, -GenericGump::kMaxLayoutCoordinate, GenericGump::kMaxLayoutCoordinate);
}

int32_t clampSize(int32_t value) { return std::clamp(value, 0, GenericGump::kMaxLayoutCoordinate); }

void place(GenericGumpElement& element, int32_t x, int32_t y, int32_t width, int32_t height)
{
    element.x = clampCoordinate(x);
    element.y = clampCoordinate(y);
    element.width = clampSize(width);
    element.height = clampSize(height);
}

void gumpArtSizeOf(int32_t art, int32_t& width, int32_t& height)
{
    width = height = 0;
    getGumpArtSize(art, width, height);
}

void measuredTextSize(const std::u16string& text, int32_t& width, int32_t& height)
{
    int32_t zero = 0;
    measureUnicodeText(text.c_str(), width, height, zero);
}

} // namespace

std::u16string_view GenericGump::line(int32_t index) const
{
    if (index < 0 || size_t(index) >= m_lines.size())
        return {};
    return m_lines[size_t(index)];
}

GenericGumpElement* GenericGump::findGroup(int32_t key) const
{
    // Depth first over the whole tree: groups may be nested only through a
    // group command inside a group, which the key search still finds.
    std::vector<GenericGumpElement*> stack;
    for (auto it = m_elements.rbegin(); it != m_elements.rend(); ++it)
        stack.push_back(it->get());
    while (!stack.empty()) {
        GenericGumpElement* element = stack.back();
        stack.pop_back();
        if (element->kind == ElementKind::Group && element->group == key)
            return element;
        for (auto it = element->children.rbegin(); it != element->children.rend(); ++it)
            stack.push_back(it->get());
    }
    return nullptr;
}

GenericGumpElement* GenericGump::attach(std::unique_ptr<GenericGumpElement> element, int32_t page, int32_t group)
{
    if (m_elementCount >= kMaxElements)
        return nullptr;
    GenericGumpElement* parent = nullptr;
    if (group != 0) {
        parent = findGroup(group);
        if (!parent)
            return nullptr;
    }
    element->page = page;
    if (element->kind == ElementKind::Group)
        element->currentPage = page;
    else
        element->group = group;
    element->parent = parent;
    GenericGumpElement* made = element.get();
    (parent ? parent->children : m_elements).push_back(std::move(element));
    ++m_elementCount;
    m_lastElement = made;
    return made;
}

GenericGumpElement* GenericGump::addGroup(int32_t page, int32_t group, int32_t newGroup)
{
    auto element = std::make_unique<GenericGumpElement>(ElementKind::Group);
    element->group = newGroup;
    return attach(std::move(element), page, group);
}

GenericGumpElement* GenericGump::addGumpPic(
    int32_t page, int32_t group, int32_t x, int32_t y, int32_t art, int32_t hue, bool virtue)
{
    std::unique_ptr<GenericGumpElement> element;
    if (virtue)
        element = std::make_unique<VirtueItem>();
    else
        element = std::make_unique<GenericGumpElement>(ElementKind::GumpPic);
    int32_t width = 0;
    int32_t height = 0;
    gumpArtSizeOf(art, width, height);
    place(*element, x, y, width, height);
    element->art = art;
    element->hue = hue;
    return attach(std::move(element), page, group);
}

GenericGumpElement* GenericGump::addTilePic(
    int32_t page, int32_t group, int32_t x, int32_t y, int32_t graphic, int32_t hue, bool remapHue)
{
    auto element = std::make_unique<GenericGumpElement>(ElementKind::TilePic);
    element->art = remappedDrawGraphic(graphic);
    int32_t remapped = artRemapHue(graphic);
    element->hue = remapHue && remapped > 0 ? remapped : hue;
    const ArtImage* image = getArtImage(ArtImageCache::kStaticArtBase + element->art);
    place(*element, x, y, image ? image->width() : 0, image ? image->height() : 0);
    return attach(std::move(element), page, group);
}

GenericGumpElement* GenericGump::addResizePic(
    int32_t page, int32_t group, int32_t x, int32_t y, int32_t art, int32_t width, int32_t height)
{
    auto element = std::make_unique<GenericGumpElement>(ElementKind::ResizePic);
    place(*element, x, y, width, height);
    element->art = art;
    return attach(std::move(element), page, group);
}

GenericGumpElement* GenericGump::addText(int32_t page, int32_t group, int32_t x, int32_t y, int32_t hue, int32_t line)
{
    auto element = std::make_unique<GenericGumpElement>(ElementKind::Text);
    element->text = GenericGump::line(line);
    int32_t width = 0;
    int32_t height = 0;
    measuredTextSize(element->text, width, height);
    place(*element, x, y, width + 2, height + 2);
    element->hue = hue;
    return attach(std::move(element), page, group);
}

GenericGumpElement* GenericGump::addCroppedText(int32_t page, int32_t group, int32_t x, int32_t y, int32_t width,
    int32_t height, int32_t hue, int32_t line)
{
    auto element = std::make_unique<GenericGumpElement>(ElementKind::CroppedText);
    element->text = GenericGump::line(line);
    place(*element, x, y, clampSize(width) + 2, clampSize(height) + 2);
    element->hue = hue;
    return attach(std::move(element), page, group);
}

GenericGumpElement* GenericGump::addTextEntry(int32_t page, int32_t group, int32_t x, int32_t y, int32_t width,
    int32_t height, int32_t hue, int32_t entryId, int32_t line, int32_t limit)
{
    auto element = std::make_unique<GenericGumpElement>(ElementKind::TextEntry);
    element->text = GenericGump::line(line);
    place(*element, x, y, clampSize(width) + 2, clampSize(height) + 2);
    element->hue = hue;
    element->id = entryId;
    element->value = limit;
    return attach(std::move(element), page, group);
}

GenericGumpElement* GenericGump::addButton(int32_t page, int32_t group, int32_t x, int32_t y, int32_t upArt,
    int32_t downArt, int32_t reply, int32_t targetPage, int32_t buttonId)
{
    auto element = std::make_unique<GenericGumpElement>(ElementKind::Button);
    int32_t width = 0;
    int32_t height = 0;
    gumpArtSizeOf(upArt, width, height);
    place(*element, x, y, width, height);
    element->art = upArt;
    element->secondArt = downArt;
    element->buttonFlags = (reply != 0 ? ButtonFlag::kReplies : 0) | (targetPage != 0 ? ButtonFlag::kSwitchesPage : 0);
    element->value = targetPage;
    element->id = buttonId;
    return attach(std::move(element), page, group);
}

GenericGumpElement* GenericGump::addButtonTileArt(int32_t page, int32_t group, int32_t x, int32_t y, int32_t upArt,
    int32_t downArt, int32_t reply, int32_t targetPage, int32_t buttonId, int32_t graphic, int32_t hue, int32_t tileX,
    int32_t tileY)
{
    GenericGumpElement* element = addButton(page, group, x, y, upArt, downArt, reply, targetPage, buttonId);
    if (!element)
        return nullptr;
    element->kind = ElementKind::ButtonTileArt;
    element->tileGraphic = remappedDrawGraphic(graphic);
    int32_t remapped = artRemapHue(graphic);
    element->tileHue = hue == 0 && remapped > 0 ? remapped : hue;
    element->tileX = clampCoordinate(tileX);
    element->tileY = clampCoordinate(tileY);
    return element;
}

namespace {

std::unique_ptr<GenericGumpElement> makeSwitch(
    ElementKind kind, int32_t x, int32_t y, int32_t offArt, int32_t onArt, int32_t checked, int32_t switchId)
{
    auto element = std::make_unique<GenericGumpElement>(kind);
    int32_t width = 0;
    int32_t height = 0;
    gumpArtSizeOf(offArt, width, height);
    place(*element, x, y, width, height);
    element->art = offArt;
    element->secondArt = onArt;
    element->value = checked;
    element->state = checked != 0 ? 1 : 0;
    element->id = switchId;
    return element;
}

} // namespace

GenericGumpElement* GenericGump::addCheckbox(int32_t page, int32_t group, int32_t x, int32_t y, int32_t offArt,
    int32_t onArt, int32_t checked, int32_t switchId)
{
    return attach(makeSwitch(ElementKind::Checkbox, x, y, offArt, onArt, checked, switchId), page, group);
}

GenericGumpElement* GenericGump::addRadio(int32_t page, int32_t group, int32_t x, int32_t y, int32_t offArt,
    int32_t onArt, int32_t checked, int32_t switchId)
{
    return attach(makeSwitch(ElementKind::Radio, x, y, offArt, onArt, checked, switchId), page, group);
}

GenericGumpElement* GenericGump::addHtml(int32_t page, int32_t group, int32_t x, int32_t y, int32_t width,
    int32_t height, std::u16string_view content, int32_t background, int32_t scrollBar, int32_t colour)
{
    // Each area keeps a page of its own size: their pixels together are
    // capped, and an area past the cap is not made.
    const int64_t pixels = int64_t(clampSize(width)) * int64_t(clampSize(height));
    if (m_elementCount >= kMaxElements || pixels > kMaxHtmlPixels - m_htmlPixels)
        return nullptr;
    if (group != 0 && !findGroup(group))
        return nullptr;
    m_htmlPixels += pixels;
    auto element = std::make_unique<HtmlElement>(*this, content, background, scrollBar, colour, clampCoordinate(x),
        clampCoordinate(y), clampSize(width), clampSize(height));
    return attach(std::move(element), page, group);
}

GenericGumpElement* GenericGump::addCheckerTrans(
    int32_t page, int32_t group, int32_t x, int32_t y, int32_t width, int32_t height)
{
    auto element = std::make_unique<GenericGumpElement>(ElementKind::CheckerTrans);
    place(*element, x, y, width, height);
    return attach(std::move(element), page, group);
}

GenericGumpElement* GenericGump::addGumpPicTiled(
    int32_t page, int32_t group, int32_t x, int32_t y, int32_t width, int32_t height, int32_t art)
{
    auto element = std::make_unique<GenericGumpElement>(ElementKind::GumpPicTiled);
    place(*element, x, y, width, height);
    element->art = art;
    return attach(std::move(element), page, group);
}

GenericGumpElement* GenericGump::addMessageLabel(int32_t hue)
{
    // The label belongs to its virtue item: it is never a tooltip's target
    // and never refused for the element cap.
    auto element = std::make_unique<GenericGumpElement>(ElementKind::Text);
    element->highlighted = true;
    element->hue = hue;
    GenericGumpElement* made = element.get();
    m_elements.push_back(std::move(element));
    ++m_elementCount;
    return made;
}

void GenericGump::parseLayout(std::string_view layoutText)
{
    int32_t page = 0;
    int32_t group = 0;
    LayoutTokenizer tokenizer(layoutText);
    LayoutCommand command;
    while (tokenizer.next(command)) {
        const std::string_view keyword = command.keyword;
        auto at = [&command](size_t index) { return command.integer(index); };
        if (keyword == "page") {
            page = at(0);
            group = 0;
        } else if (keyword == "nodispose") {
            m_disposable = false;
        } else if (keyword == "nomove") {
            m_movable = false;
        } else if (keyword == "noclose") {
            m_closable = false;
        } else if (keyword == "group") {
            addGroup(page, group, at(0));
            group = at(0);
        } else if (keyword == "endgroup") {
            group = 0;
        } else if (keyword == "gumppic") {
            if (command.words.size() < 3)
                continue;
            int32_t hue = 0;
            bool virtue = false;
            for (size_t i = 3; i < command.words.size(); ++i) {
                std::string_view option = command.words[i];
                size_t equals = option.find('=');
                if (equals == std::string_view::npos)
                    continue;
                std::string_view name = option.substr(0, equals);
                std::string_view value = option.substr(equals + 1);
                if (name == "hue")
                    hue = leadingInteger(value);
                else if (name == "class")
                    virtue = platform::equalIgnoringAsciiCase(value, "VirtueGumpItem");
            }
            addGumpPic(page, group, at(0), at(1), at(2), hue, virtue);
        } else if (keyword == "tilepic") {
            std::string_view word = command.words.size() > 2 ? command.words[2] : std::string_view();
            word = word.substr(0, kMaxGraphicWord);
            size_t comma = word.find(',');
            bool hasHue = comma != std::string_view::npos;
            int32_t hue = hasHue ? leadingInteger(word.substr(comma + 1)) : 0;
            addTilePic(page, group, at(0), at(1), leadingInteger(word), hue, !hasHue);
        } else if (keyword == "tilepichue") {
            addTilePic(page, group, at(0), at(1), at(2), at(3), false);
        } else if (keyword == "text") {
            addText(page, group, at(0), at(1), at(2), at(3));
        } else if (keyword == "croppedtext") {
            addCroppedText(page, group, at(0), at(1), at(2), at(3), at(4), at(5));
        } else if (keyword == "textentry") {
            addTextEntry(page, group, at(0), at(1), at(2), at(3), at(4), at(5), at(6), kDefaultEntryLimit);
        } else if (keyword == "textentrylimited") {
            addTextEntry(page, group, at(0), at(1), at(2), at(3), at(4), at(5), at(6), at(7));
        } else if (keyword == "radio") {
            addRadio(page, group, at(0), at(1), at(2), at(3), at(4), at(5));
        } else if (keyword == "button") {
            addButton(page, group, at(0), at(1), at(2), at(3), at(4), at(5), at(6));
        } else if (keyword == "buttontileart") {
            addButtonTileArt(
                page, group, at(0), at(1), at(2), at(3), at(4), at(5), at(6), at(7), at(8), at(9), at(10));
        } else if (keyword == "checkbox") {
            addCheckbox(page, group, at(0), at(1), at(2), at(3), at(4), at(5));
        } else if (keyword == "resizepic") {
            addResizePic(page, group, at(0), at(1), at(2), at(3), at(4));
        } else if (keyword == "htmlgump") {
            addHtml(page, group, at(0), at(1), at(2), at(3), line(at(4)), at(5), at(6), 0);
        } else if (keyword == "xmfhtmlgump") {
            addHtml(page, group, at(0), at(1), at(2), at(3), localizedText(at(4)), at(5), at(6), 0);
        } else if (keyword == "xmfhtmlgumpcolor") {
            addHtml(page, group, at(0), at(1), at(2), at(3), localizedText(at(4)), at(5), at(6), at(7));
        } else if (keyword == "checkertrans") {
            addCheckerTrans(page, group, at(0), at(1), at(2), at(3));
        } else if (keyword == "gumppictiled") {
            addGumpPicTiled(page, group, at(0), at(1), at(2), at(3), at(4));
        } else if (keyword == "tooltip") {
            if (m_lastElement)
                m_lastElement->tooltipId = at(0);
        } else if (keyword == "mastergump") {
            masterGumpSet(m_typeId, uint32_t(at(0)));
        }
    }
}
