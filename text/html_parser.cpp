// Building an HtmlDocument from markup: the head (title, body colours and
// margins), then the body by recursive descent. Every opening tag parses its
// content one level deeper, so the depth is capped (kHtmlMaxNesting): a tag
// that would nest deeper is passed over and its content stays in the
// enclosing style. Every scan moves forward, so a document of any size
// parses in time linear in its length.
#include "text/html_document.h"

#include "gfx/colour_tables.h"
#include "text/unicode_font.h"

#include <algorithm>
#include <optional>

namespace {

constexpr uint32_t kAlignBits = UnicodeStyle::kAlignRight | UnicodeStyle::kCentred;
constexpr uint32_t kHeadingBits = 0x3F00;
constexpr uint32_t kSizeBits = UnicodeStyle::kSmall | UnicodeStyle::kBig;
// The colour and indent of a quoted block.
constexpr int32_t kQuoteColour = 0x1E0;
constexpr int32_t kQuoteIndent = 20;
// How far after a head attribute's name its value is looked for.
constexpr size_t kHeadValueReach = 32;

char16_t upperAscii(char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c; }

bool isLetterOrDigit(char16_t c)
{
    c = upperAscii(c);
    return (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

bool beginsWithNoCase(std::u16string_view text, std::u16string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (upperAscii(text[i]) != upperAscii(prefix[i]))
            return false;
    }
    return true;
}

size_t findHtmlNoCase(std::u16string_view text, std::u16string_view pattern, size_t from)
{
    if (pattern.empty() || text.size() < pattern.size())
        return std::u16string_view::npos;
    for (size_t i = from; i + pattern.size() <= text.size(); ++i) {
        if (beginsWithNoCase(text.substr(i), pattern))
            return i;
    }
    return std::u16string_view::npos;
}

// Leading decimal digits, saturating at the int32 maximum; nothing when the
// text does not start with a digit.
std::optional<int32_t> leadingDecimal(std::u16string_view text)
{
    if (text.empty() || text[0] < u'0' || text[0] > u'9')
        return std::nullopt;
    int64_t value = 0;
    for (size_t i = 0; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = std::min<int64_t>(value * 10 + (text[i] - u'0'), INT32_MAX);
    return int32_t(value);
}

int32_t hexValue(char16_t c)
{
    c = upperAscii(c);
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// Where the value of attribute `name` starts inside a tag's text: the name
// stands as a word of its own, and the blanks and '=' after it are passed
// over. Nothing when the tag does not name it.
std::optional<size_t> attributeValueStart(std::u16string_view tag, std::u16string_view name)
{
    for (size_t at = findHtmlNoCase(tag, name, 0); at != std::u16string_view::npos;
         at = findHtmlNoCase(tag, name, at + 1)) {
        size_t after = at + name.size();
        if ((at > 0 && isLetterOrDigit(tag[at - 1])) || (after < tag.size() && isLetterOrDigit(tag[after])))
            continue;
        while (after < tag.size() && (tag[after] == u' ' || tag[after] == u'=' || tag[after] == u'\t'))
            ++after;
        return after;
    }
    return std::nullopt;
}

// A colour value of a body tag: a name, else '#' hex or decimal; accepted
// up to 0x7FFF. Quotes around it are passed over.
std::optional<int32_t> colourValue(std::u16string_view value)
{
    if (!value.empty() && value[0] == u'"')
        value.remove_prefix(1);
    int32_t colour = htmlColourByName(value);
    if (colour < 0)
        colour = parseHtmlColour(value);
    if (colour < 0 || colour > 0x7FFF)
        return std::nullopt;
    return colour;
}

// A double-quoted value; '\' takes the next character as it is. At most
// kHtmlMaxAttributeLength units are kept. Empty when there is no quote.
std::u16string quotedValue(std::u16string_view value)
{
    std::u16string out;
    if (value.empty() || value[0] != u'"')
        return out;
    for (size_t i = 1; i < value.size() && value[i] != u'"'; ++i) {
        if (value[i] == u'\\' && i + 1 < value.size())
            ++i;
        if (out.size() < size_t(kHtmlMaxAttributeLength))
            out += value[i];
    }
    return out;
}

} // namespace

int32_t parseHtmlColour(std::u16string_view text)
{
    if (!text.empty() && text[0] == u'#') {
        uint32_t rgb = 0;
        size_t digits = 0;
        for (size_t i = 1; i < text.size() && digits < 6 && hexValue(text[i]) >= 0; ++i, ++digits)
            rgb = rgb << 4 | uint32_t(hexValue(text[i]));
        if (digits == 0)
            return -1;
        return int32_t((((rgb >> 16) & 0xFF) >> 3) << 10 | (((rgb >> 8) & 0xFF) >> 3) << 5 | ((rgb & 0xFF) >> 3));
    }
    return leadingDecimal(text).value_or(-1);
}

class HtmlParser {
public:
    HtmlParser(HtmlDocument& document, std::u16string_view text)
        : m_document(document)
        , m_text(text)
        , m_bodyEnd(text.size())
    {
    }

    void parseHead();
    void parseBody();

private:
    // Parses from `position` until the element named `closing` ends (its
    // closing tag, or for the top level any closing tag) or the body ends;
    // returns where parsing goes on.
    size_t parseElement(size_t position, uint32_t style, int32_t colour, int32_t link, int32_t indent,
        std::u16string_view closing, bool leadingLineFeed, int32_t depth);
    void readBodyAttributes(std::u16string_view tag);
    void flush(std::u16string& pending, uint32_t style, int32_t colour, int32_t link, int32_t indent)
    {
        m_document.addRun(pending.data(), pending.data() + pending.size(), style, colour, link, indent);
        pending.clear();
    }

    HtmlDocument& m_document;
    std::u16string_view m_text;
    size_t m_bodyStart = 0;
    size_t m_bodyEnd;
};

void HtmlParser::parseHead()
{
    bool bodySeen = false;
    for (size_t i = 0; i < m_text.size(); ++i) {
        if (m_text[i] == u'\\') {
            ++i;
            continue;
        }
        if (m_text[i] != u'<')
            continue;
        std::u16string_view rest = m_text.substr(i + 1);
        size_t close = m_text.find(u'>', i + 1);
        if (close == std::u16string_view::npos)
            break;
        if (beginsWithNoCase(rest, u"TITLE")) {
            size_t end = findHtmlNoCase(m_text, u"</TITLE", close + 1);
            if (end == std::u16string_view::npos)
                break;
            m_document.title.assign(
                m_text.substr(close + 1, std::min(end - close - 1, size_t(kHtmlMaxAttributeLength))));
            // The title holds no tags: the scan goes on at its end.
            i = end;
        } else if (beginsWithNoCase(rest, u"BODY")) {
            readBodyAttributes(m_text.substr(i + 5, close - i - 5));
            if (!bodySeen)
                m_bodyStart = close + 1;
            bodySeen = true;
            i = close;
        } else if (beginsWithNoCase(rest, u"/BODY")) {
            break;
        } else {
            i = close;
        }
    }
    size_t end = findHtmlNoCase(m_text, u"</BODY", m_bodyStart);
    if (end != std::u16string_view::npos)
        m_bodyEnd = end;
}

void HtmlParser::readBodyAttributes(std::u16string_view tag)
{
    enum class Kind { Colour, Margin };
    struct Attribute {
        std::u16string_view name;
        Kind kind;
        int32_t HtmlDocument::*field;
    };
    static const Attribute kAttributes[] = {
        { u"TEXT", Kind::Colour, &HtmlDocument::textColour },
        { u"BGCOLOR", Kind::Colour, &HtmlDocument::bgColour },
        { u"LINK", Kind::Colour, &HtmlDocument::linkColour },
        { u"VLINK", Kind::Colour, &HtmlDocument::visitedLinkColour },
        { u"TOPMARGIN", Kind::Margin, &HtmlDocument::topMargin },
        { u"BOTTOMMARGIN", Kind::Margin, &HtmlDocument::bottomMargin },
        { u"LEFTMARGIN", Kind::Margin, &HtmlDocument::leftMargin },
        { u"RIGHTMARGIN", Kind::Margin, &HtmlDocument::rightMargin },
    };
    for (size_t i = 0; i < tag.size(); ++i) {
        if (i > 0 && isLetterOrDigit(tag[i - 1]))
            continue;
        for (const Attribute& attribute : kAttributes) {
            size_t after = i + attribute.name.size();
            if (!beginsWithNoCase(tag.substr(i), attribute.name) || (after < tag.size() && isLetterOrDigit(tag[after])))
                continue;
            // The value is the first later place where one can be read, so
            // quotes and '=' are passed over; it is looked for only a short
            // way, so a tag of many names reads in linear time.
            size_t reach = std::min(tag.size(), after + kHeadValueReach);
            for (size_t p = after; p < reach; ++p) {
                std::u16string_view value = tag.substr(p);
                int32_t parsed = attribute.kind == Kind::Colour ? htmlColourByName(value) : -1;
                if (parsed < 0)
                    parsed = parseHtmlColour(value);
                if (parsed < 0)
                    continue;
                bool accepted = attribute.kind == Kind::Colour ? parsed <= 0x7FFF : true;
                if (accepted)
                    m_document.*attribute.field = parsed;
                break;
            }
            break;
        }
    }
}

void HtmlParser::parseBody()
{
    if (m_document.flags & HtmlFlag::kPlain) {
        m_document.addRun(m_text.data(), m_text.data() + m_text.size(), 0, -1, -1, 0);
        return;
    }
    parseElement(m_bodyStart, 0, -1, -1, 0, u"", false, 0);
}

size_t HtmlParser::parseElement(size_t position, uint32_t style, int32_t colour, int32_t link, int32_t indent,
    std::u16string_view closing, bool leadingLineFeed, int32_t depth)
{
    std::u16string pending;
    if (leadingLineFeed)
        pending += u'\n';
    const bool canNest = depth < kHtmlMaxNesting;
    size_t i = position;
    while (i < m_bodyEnd) {
        char16_t c = m_text[i];
        if (c == u'\\') {
            pending += c;
            if (i + 1 < m_bodyEnd)
                pending += m_text[i + 1];
            i += 2;
            continue;
        }
        if (c != u'<') {
            pending += c;
            ++i;
            continue;
        }
        std::u16string_view body = m_text.substr(0, m_bodyEnd);
        size_t close = body.find(u'>', i + 1);
        std::u16string_view name = body.substr(i + 1, close == std::u16string_view::npos ? body.npos : close - i - 1);
        // A block's closing tag ends its line.
        for (std::u16string_view block : { u"/CENTER", u"/DIV", u"/P", u"/BQ" }) {
            if (beginsWithNoCase(name, block)) {
                pending += u'\n';
                break;
            }
        }
        flush(pending, style, colour, link, indent);
        if (close == std::u16string_view::npos)
            return m_bodyEnd;
        const size_t next = close + 1;
        auto nested = [&](uint32_t newStyle, int32_t newColour, int32_t newLink, int32_t newIndent,
                          std::u16string_view newClosing, bool lineFeed) {
            return parseElement(next, newStyle, newColour, newLink, newIndent, newClosing, lineFeed, depth + 1);
        };
        auto alignOf = [&](uint32_t current) {
            std::optional<size_t> at = attributeValueStart(name, u"ALIGN");
            if (!at)
                return current;
            std::u16string_view value = name.substr(*at);
            if (!value.empty() && value[0] == u'"')
                value.remove_prefix(1);
            current &= ~kAlignBits;
            if (beginsWithNoCase(value, u"CENTER"))
                current |= UnicodeStyle::kCentred;
            else if (beginsWithNoCase(value, u"RIGHT"))
                current |= UnicodeStyle::kAlignRight;
            return current;
        };

        if (!name.empty() && name[0] == u'/') {
            // Its own closing tag ends the element; at the top level any
            // closing tag ends the document.
            if (beginsWithNoCase(name.substr(1), closing))
                return next;
            i = next;
            continue;
        }
        if (beginsWithNoCase(name, u"BR")) {
            pending += u'\n';
            i = next;
            continue;
        }
        if (!canNest) {
            i = next;
            continue;
        }
        if (beginsWithNoCase(name, u"BASEFONT")) {
            uint32_t newStyle = style;
            int32_t newColour = colour;
            if (std::optional<size_t> at = attributeValueStart(name, u"SIZE")) {
                std::u16string_view value = name.substr(*at);
                if (!value.empty() && value[0] == u'"')
                    value.remove_prefix(1);
                std::optional<int32_t> size;
                if (beginsWithNoCase(value, u"BIG"))
                    size = 7;
                else if (beginsWithNoCase(value, u"SMALL"))
                    size = 1;
                else
                    size = leadingDecimal(value);
                if (size) {
                    newStyle &= ~kSizeBits;
                    if (*size > 4)
                        newStyle |= UnicodeStyle::kBig;
                    else if (*size <= 3)
                        newStyle |= UnicodeStyle::kSmall;
                }
            }
            if (std::optional<size_t> at = attributeValueStart(name, u"COLOR")) {
                if (std::optional<int32_t> value = colourValue(name.substr(*at)))
                    newColour = *value;
            }
            // The rest takes the place of this element: the BASEFONT closing
            // tag ends both, and the enclosing element goes on.
            return nested(newStyle, newColour, link, indent, u"BASEFONT", false);
        } else if (beginsWithNoCase(name, u"STRONG")) {
            i = nested((style & ~uint32_t(0xC0)) | UnicodeStyle::kStrong, colour, link, indent, u"STRONG", false);
        } else if (beginsWithNoCase(name, u"CENTER")) {
            i = nested((style & ~kAlignBits) | UnicodeStyle::kCentred, colour, link, indent, u"CENTER", true);
        } else if (beginsWithNoCase(name, u"SMALL")) {
            i = nested((style & ~kSizeBits) | UnicodeStyle::kSmall, colour, link, indent, u"SMALL", false);
        } else if (beginsWithNoCase(name, u"BIG")) {
            i = nested((style & ~kSizeBits) | UnicodeStyle::kBig, colour, link, indent, u"BIG", false);
        } else if (beginsWithNoCase(name, u"DIV")) {
            i = nested(alignOf(style), colour, link, indent, u"DIV", true);
        } else if (beginsWithNoCase(name, u"BQ")) {
            i = nested(style, kQuoteColour, link, indent + kQuoteIndent, u"BQ", true);
        } else if (beginsWithNoCase(name, u"EM")) {
            i = nested((style & ~uint32_t(UnicodeStyle::kStrong)) | UnicodeStyle::kEmphasis, colour, link, indent,
                u"EM", false);
        } else if (name.size() >= 2 && upperAscii(name[0]) == u'H' && name[1] >= u'1' && name[1] <= u'6') {
            uint32_t heading = UnicodeStyle::kH1 << (name[1] - u'1');
            i = nested((style & ~kHeadingBits) | heading, colour, link, indent, name.substr(0, 2), false);
        } else if (beginsWithNoCase(name, u"B")) {
            i = nested(style | UnicodeStyle::kBoldTag, colour, link, indent, u"B", false);
        } else if (beginsWithNoCase(name, u"I")) {
            i = nested(style | UnicodeStyle::kItalicTag, colour, link, indent, u"I", false);
        } else if (beginsWithNoCase(name, u"U")) {
            i = nested(style | UnicodeStyle::kUnderlineTag, colour, link, indent, u"U", false);
        } else if (beginsWithNoCase(name, u"P")) {
            i = nested(alignOf(style), colour, link, indent, u"P", true);
        } else if (beginsWithNoCase(name, u"A") && !(m_document.flags & HtmlFlag::kNoHeadNoLinks) && link < 0
            && m_document.linkCount() < kHtmlMaxLinks) {
            HtmlLink record;
            record.internal = attributeValueStart(name, u"INT").has_value();
            if (std::optional<size_t> at = attributeValueStart(name, u"NAME"))
                record.name = quotedValue(name.substr(*at));
            if (std::optional<size_t> at = attributeValueStart(name, u"HREF"))
                record.href = quotedValue(name.substr(*at));
            record.anchorY = 0;
            const bool hasHref = !record.href.empty();
            m_document.m_links.push_back(std::move(record));
            const int32_t index = m_document.linkCount() - 1;
            i = nested(hasHref ? style | UnicodeStyle::kLink : style, colour, index, indent, u"A", false);
        } else {
            i = next;
        }
    }
    flush(pending, style, colour, link, indent);
    return m_bodyEnd;
}

HtmlDocument::HtmlDocument(std::u16string_view text, uint32_t documentFlags, int32_t defaultColour)
    : textColour(defaultColour)
    , linkColour(packRgb(200, 200, 255))
    , flags(documentFlags)
    , title(u"VARDUN ONLINE")
{
    HtmlParser parser(*this, text);
    if (!(flags & (HtmlFlag::kPlain | HtmlFlag::kNoHeadNoLinks)))
        parser.parseHead();
    parser.parseBody();
}

void HtmlDocument::clear()
{
    m_runs.clear();
    m_links.clear();
    topMargin = rightMargin = bottomMargin = leftMargin = 0;
    textColour = bgColour = linkColour = visitedLinkColour = 0;
    flags = 0;
    title.clear();
}

bool HtmlDocument::addRun(
    const char16_t* first, const char16_t* last, uint32_t style, int32_t colour, int32_t link, int32_t indent)
{
    if (runCount() >= kHtmlMaxRuns)
        return false;
    if (flags & HtmlFlag::kAllBold)
        style |= UnicodeStyle::kBoldTag;
    else if (flags & HtmlFlag::kAllItalic)
        style |= UnicodeStyle::kItalicTag;
    HtmlRun run;
    if (first && last > first)
        run.text.assign(first, last);
    run.colour = colour;
    run.style = style;
    run.link = link;
    run.indent = indent;
    m_runs.push_back(std::move(run));
    return true;
}

void HtmlDocument::replaceFirstRunText(std::u16string text)
{
    if (!m_runs.empty())
        m_runs.front().text = std::move(text);
}

const std::u16string& HtmlDocument::firstRunText() const
{
    static const std::u16string kEmpty;
    return m_runs.empty() ? kEmpty : m_runs.front().text;
}
