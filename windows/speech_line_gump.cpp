#include "windows/speech_line_gump.h"

#include "data/config_key_rules.h"
#include "data/settings_registry.h"
#include "gfx/hue_table.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "platform/clock.h"
#include "text/ascii_font.h"
#include "text/unicode_font.h"
#include "windows/overhead_text.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr int32_t kTallAreaLift = 45;
constexpr int32_t kTallAreaSlack = 20;
constexpr int32_t kUnicodeLift = 25;

SpeechLineGump* g_speechLine = nullptr;

} // namespace

SpeechLineGump* speechLineGump() { return isValidGump(g_speechLine) ? g_speechLine : nullptr; }

SpeechLineGump::SpeechLineGump(std::string_view text, uint16_t hue, uint16_t font)
    : CGump(0, 0, nullptr, 1, 0, 0)
{
    addKind(GumpKind::SpeechLine);
    const GumpScreen& screen = gumpScreen();
    setLocation(0, screen.gameHeight >= screen.height - kTallAreaSlack ? screen.height - kTallAreaLift : screen.gameHeight);
    g_speechLine = this;
    gumpLink(this, nullptr);
    setText(text, hue, font);
}

SpeechLineGump::SpeechLineGump(std::u16string_view text, uint16_t hue)
    : CGump(0, 0, nullptr, 1, 0, 0)
{
    addKind(GumpKind::SpeechLine);
    g_speechLine = this;
    gumpLink(this, nullptr);
    setTextUnicode(text, hue);
}

SpeechLineGump::~SpeechLineGump()
{
    if (g_speechLine == this)
        g_speechLine = nullptr;
}

void SpeechLineGump::releaseCapture() { service<GumpPointer>().clearPointerCaptureIf(this); }
void SpeechLineGump::onLeftDown(int32_t, int32_t) { releaseCapture(); }
void SpeechLineGump::onLeftUp(int32_t, int32_t) { releaseCapture(); }
void SpeechLineGump::onRightDown(int32_t, int32_t) { releaseCapture(); }
void SpeechLineGump::onRightUp(int32_t, int32_t) { releaseCapture(); }

void SpeechLineGump::setText(std::string_view text, uint16_t hue, uint16_t font)
{
    GumpHandle self(this);
    bringToFront(true);
    if (!self)
        return;
    m_text = std::string(text);
    m_hue = hue;
    m_font = font;
    m_shown = m_text;
    if (configValues().frameCounter) {
        const uint32_t now = platform::clock().tickMs();
        const uint32_t elapsed = now - m_lastFrameTime;
        m_lastFrameTime = now;
        char line[560];
        std::snprintf(line, sizeof line, "%3d fps %s", elapsed ? int(1000 / elapsed) : 0, m_text.c_str());
        m_shown = line;
    }
    if (!isAsciiFontLoaded(font))
        return;
    int32_t width = 0, height = 0, baseline = 0;
    measureAsciiText(font, m_shown.c_str(), width, height, baseline);
    width = std::max(width, 2);
    height = std::max(height, 1);
    setLocation(0, gumpScreen().gameHeight - height);
    setSize(width, height);
    GumpPage* face = page(0);
    face->release();
    face->allocate(width, height);
    TextSurface surface = face->surface();
    drawAsciiText(0, baseline, font, hue, m_shown.c_str(), surface, wholeSurface(surface));
    markLookChanged();
}

void SpeechLineGump::setTextUnicode(std::u16string_view text, uint16_t hue)
{
    GumpHandle self(this);
    bringToFront(true);
    if (!self)
        return;
    m_hue = hue;
    const std::u16string wide(text);
    const int32_t previousFont = getUnicodeFont();
    selectUnicodeFont(settings().getFontSetting(u"BarkFontNumber"));
    int32_t width = 0, height = 0, offset = 0;
    measureUnicodeText(wide.c_str(), width, height, offset);
    width += 2;
    height += 2;
    const GumpScreen& screen = gumpScreen();
    setLocation(0, screen.gameHeight >= screen.height ? screen.height - height - kUnicodeLift : screen.gameHeight - height);
    setSize(width, height);
    GumpPage* face = page(0);
    face->release();
    face->allocate(width, height);
    TextSurface surface = face->surface();
    drawUnicodeTextLine(surface, wide.c_str(), 1, offset + 1,
        hueTable().entry(hue - 1).colours[UnicodeBarkGump::kTextColourIndex], wholeSurface(surface));
    outlineText(face->pixels.data(), width, height, UnicodeBarkGump::kOutlineColour);
    selectUnicodeFont(previousFont);
    markLookChanged();
}

void refreshFrameCounterLine()
{
    SpeechLineGump* line = speechLineGump();
    if (line && configValues().frameCounter)
        line->setText(line->text(), line->hue(), line->font());
}
