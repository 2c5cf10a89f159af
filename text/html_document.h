#pragma once
// Rich text in windows, written in a small markup dialect: an HtmlDocument is
// built once from the markup (the head's title, body colours and margins, then
// the body as a flat list of styled runs and a list of links) and laid out
// again on every draw, measure and hit test. The document owns its runs and
// links; only the links' visited flags, anchors and hit rectangles change
// after construction (each draw rebuilds them). Server text reaches this
// parser, so every limit below is enforced: runs, links, nesting, attribute
// lengths and numbers. Colours are 5-5-5, coordinates pixels of the surface
// drawn into. Main thread only (the Unicode text state is process-wide).

#include "core/installed_service.h"
#include "text/text_surface.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The constructor's flags.
namespace HtmlFlag {
constexpr uint32_t kSingleLine = 0x1; // line feeds do not break lines
constexpr uint32_t kNoCaret = 0x2; // charIndexAt and charPosition refuse
constexpr uint32_t kNoWrap = 0x8;
constexpr uint32_t kEllipsis = 0x10; // one line, cut with "..."
constexpr uint32_t kPlain = 0x20; // no head, no tags
constexpr uint32_t kNoHeadNoLinks = 0x40; // no head; A tags are ignored
constexpr uint32_t kShrinkToFit = 0x100;
constexpr uint32_t kFirstRunOnly = 0x400;
constexpr uint32_t kAllBold = 0x800;
constexpr uint32_t kAllItalic = 0x1000;
constexpr uint32_t kShadow = 0x4000;
constexpr uint32_t kOutline = 0x8000;
} // namespace HtmlFlag

constexpr int32_t kHtmlMaxRuns = 2000;
constexpr int32_t kHtmlMaxLinks = 500;
constexpr int32_t kHtmlMaxHitRects = 50;
constexpr int32_t kHtmlLineHeight = 18;
// Opening tags nest at most this deep; deeper ones are passed over, so
// markup of any depth parses in bounded stack.
constexpr int32_t kHtmlMaxNesting = 100;
// Attribute values (NAME, HREF) and the title keep at most this many units.
constexpr int32_t kHtmlMaxAttributeLength = 255;
constexpr int32_t kHtmlPageHistorySize = 500;

// One stretch of text in one style.
struct HtmlRun {
    std::u16string text;
    int32_t colour = -1; // -1: the document's text colour
    uint32_t style = 0; // UnicodeStyle bits
    int32_t link = -1; // index into the links, -1 none
    int32_t indent = 0;
};

struct HtmlHitRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

struct HtmlLink {
    std::u16string name;
    std::u16string href;
    bool internal = false; // the INT attribute: a messenger link
    bool visited = false;
    int32_t anchorY = -1; // document y of its first line, set by drawing
    std::vector<HtmlHitRect> rects; // rebuilt by every draw, at most kHtmlMaxHitRects
};

class HtmlDocument {
public:
    // Parses `text` (head unless the flags say otherwise, then the body).
    HtmlDocument(std::u16string_view text, uint32_t flags, int32_t textColour);

    // Forgets every run and link, the margins, colours, flags and title.
    void clear();
    // Appends the run text[first, last); false once kHtmlMaxRuns exist.
    // The bold or italic flag adds its style bit.
    bool addRun(const char16_t* first, const char16_t* last, uint32_t style, int32_t colour, int32_t link,
        int32_t indent);

    // Lays out and draws into a width x height surface (rows `width` apart)
    // inside `clip` (null: the whole surface), the text moved up by scrollY.
    // Characters caret + 1 .. selectionEnd (either order) are inverted and
    // the caret drawn before character `caret` (-1: none). Returns the
    // document's height; 0 when nothing can be drawn.
    int32_t draw(uint16_t* surface, int32_t width, int32_t height, const TextClip* clip, int32_t scrollY,
        int32_t caret, int32_t selectionEnd, bool fillBackground);
    // Lays out without drawing, in `width` pixels; the first line starts at
    // startX (0: as its alignment says), the first `skip` characters are
    // passed over, and with `password` every character counts as '*'.
    void measure(int32_t width, int32_t& outWidth, int32_t& outHeight, int32_t startX, int32_t skip,
        bool password);

    // The link under (x, y) as the last draw placed it: -1 for none (and for
    // help links, which are opened here); an anchor link gives its target's
    // y and an empty href; any other gives its href and 1 for a messenger
    // link, 0 for a web link.
    int32_t hitTestLink(int32_t x, int32_t y, std::u16string& href);
    // The character of the first run under a point, or -1.
    int32_t charIndexAt(int32_t x, int32_t y, const TextClip* clip, int32_t scrollY);
    // Where character `index` of the first run is drawn; false when refused.
    bool charPosition(int32_t index, int32_t& x, int32_t& y, const TextClip* clip, int32_t scrollY);

    // The layout operations, each measured in the style of the runs it
    // crosses: a word's width from (run, position), the next three
    // characters' width, a line's start x (indent and alignment) within
    // `width`, and whether a whole run fits in `width` in `style`.
    int32_t wordWidth(int32_t run, int32_t position);
    int32_t widthOfNextThree(int32_t run, int32_t position);
    int32_t lineStartX(int32_t run, int32_t position, int32_t width);
    bool runFitsLine(int32_t run, uint32_t style, int32_t width);

    // The editing view replaces the text of the first run, keeping its
    // other values; nothing when there is no run.
    void replaceFirstRunText(std::u16string text);

    const std::vector<HtmlRun>& runs() const { return m_runs; }
    const std::vector<HtmlLink>& links() const { return m_links; }
    int32_t runCount() const { return int32_t(m_runs.size()); }
    int32_t linkCount() const { return int32_t(m_links.size()); }
    // The first run's text; empty when there is none.
    const std::u16string& firstRunText() const;

    int32_t topMargin = 0;
    int32_t rightMargin = 0;
    int32_t bottomMargin = 0;
    int32_t leftMargin = 0;
    int32_t textColour = 0;
    int32_t bgColour = 0;
    int32_t linkColour = 0;
    int32_t visitedLinkColour = 0x7C00;
    uint32_t flags = 0;
    std::u16string title;

private:
    friend class HtmlParser;
    friend class HtmlLayout;

    std::vector<HtmlRun> m_runs;
    std::vector<HtmlLink> m_links;
};

// A colour name as a 5-5-5 colour: the text begins (in any case) with one of
// the dialect's names; -1 for none.
int32_t htmlColourByName(std::u16string_view text);
// '#' and hexadecimal digits (up to six, RRGGBB) reduced to 5-5-5, or a
// decimal number taken as it is (saturating at the int32 maximum); -1 for
// anything else.
int32_t parseHtmlColour(std::u16string_view text);

// The hrefs followed from documents: a ring of kHtmlPageHistorySize entries.
// The page windows seed it and move `back`; link hits only append. A link
// whose href is in the ring is drawn as visited.
struct HtmlPageHistory {
    std::array<std::u16string, kHtmlPageHistorySize> entries;
    // Entries added so far; once it passes twice the ring's size it is kept
    // to its place in the ring (it picks the next slot and says whether the
    // ring is full, nothing more).
    int32_t count = 0;
    int32_t back = 0;
};
HtmlPageHistory& pageHistory();
void pageHistoryAdd(std::u16string_view href);
// Compared without regard to the case of ASCII letters.
bool pageHistoryContains(std::u16string_view href);
void pageHistoryClear();

// The help system's side of "?..." links. Until the help windows exist the
// do-nothing form answers.
class HtmlHelpLinks {
public:
    virtual ~HtmlHelpLinks() = default;
    // "?Topic<n>" (force false) and "?ForceTopic<n>" (force true).
    virtual void openHelpTopic(int32_t topic, bool force) = 0;
    // Any other "?..." href, for the open context-help window; false when
    // no such window is open.
    virtual bool passToContextHelp(std::u16string_view href) = 0;
};

class NoHtmlHelpLinks final : public HtmlHelpLinks {
public:
    void openHelpTopic(int32_t, bool) override { }
    bool passToContextHelp(std::u16string_view) override { return false; }
};

template <>
struct ServiceFallback<HtmlHelpLinks> {
    using Type = NoHtmlHelpLinks;
};
