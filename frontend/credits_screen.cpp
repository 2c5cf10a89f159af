#include "frontend/credits_screen.h"

#include "audio/music_player.h"
#include "core/html_colour.h"
#include "core/wide_text.h"
#include "data/file_manager.h"
#include "frontend/front_end_shell.h"
#include "gfx/back_buffer.h"
#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"
#include "gump/gump_manager.h"
#include "platform/clock.h"
#include "text/unicode_font.h"

#include <algorithm>

namespace {

constexpr size_t kMaxCreditLineLength = 256;
constexpr int32_t kMaxWaitSliceMs = 20;
constexpr int32_t kMaxFont = 2;

bool isSeparator(char c, bool equalsToo)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || (equalsToo && c == '=');
}

// The words of a line, split at the separators.
std::vector<std::string_view> splitWords(std::string_view line, bool equalsToo)
{
    std::vector<std::string_view> words;
    size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && isSeparator(line[at], equalsToo))
            ++at;
        size_t end = at;
        while (end < line.size() && !isSeparator(line[end], equalsToo))
            ++end;
        if (end > at)
            words.push_back(line.substr(at, end - at));
        at = end;
    }
    return words;
}

int32_t decimal(std::string_view word)
{
    int64_t value = 0;
    bool negative = !word.empty() && word.front() == '-';
    for (size_t i = negative ? 1 : 0; i < word.size() && word[i] >= '0' && word[i] <= '9'; ++i)
        value = std::min<int64_t>(value * 10 + (word[i] - '0'), INT32_MAX);
    return int32_t(negative ? -value : value);
}

// A font number the roll can draw with.
int32_t clampFont(int32_t font) { return std::clamp(font, 0, kMaxFont); }

// The keyword and value pairs of a command line.
void applyCommands(std::string_view line, int32_t& colour, int32_t& font, IntCycle& songs)
{
    std::vector<std::string_view> words = splitWords(line, false);
    CreditDefaults& defaults = creditDefaults();
    for (size_t i = 1; i < words.size();) {
        const std::string_view keyword = words[i];
        const bool known = keyword == "color" || keyword == "defaultcolor" || keyword == "font"
            || keyword == "defaultfont" || keyword == "song";
        if (!known) {
            ++i;
            continue;
        }
        if (i + 1 >= words.size())
            return;
        const std::string_view value = words[i + 1];
        i += 2;
        if (keyword == "color") {
            colour = parseHtmlColor(value);
        } else if (keyword == "defaultcolor") {
            colour = parseHtmlColor(value);
            defaults.colour = colour;
        } else if (keyword == "font") {
            font = clampFont(decimal(value));
        } else if (keyword == "defaultfont") {
            font = clampFont(decimal(value));
            defaults.font = font;
        } else {
            songs.push(decimal(value));
        }
    }
}

} // namespace

void IntCycle::push(int32_t value)
{
    if (m_count >= kCapacity)
        return;
    m_items[size_t(m_count++)] = value;
}

int32_t IntCycle::current() const { return m_count > 0 ? m_items[size_t(m_cursor)] : 0; }

int32_t IntCycle::next()
{
    // An empty cycle has nowhere to go.
    if (m_count <= 0)
        return 0;
    if (++m_cursor >= m_count)
        m_cursor = 0;
    return m_items[size_t(m_cursor)];
}

CreditDefaults& creditDefaults()
{
    static CreditDefaults defaults;
    return defaults;
}

void parseCreditsText(std::string_view text, std::vector<CreditLine>& lines, IntCycle& songs)
{
    int32_t colour = creditDefaults().colour;
    int32_t font = creditDefaults().font;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = at;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r')
            ++end;
        const std::string_view line = text.substr(at, std::min(end - at, kMaxCreditLineLength));
        // CR LF ends one line.
        at = end + ((end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ? 2 : 1);
        const std::vector<std::string_view> first = splitWords(line, true);
        if (!first.empty() && first.front() == "!") {
            applyCommands(line, colour, font, songs);
            continue;
        }
        CreditLine entry;
        entry.text = bytesToWideString(line);
        entry.colour = colour;
        entry.font = font;
        lines.push_back(std::move(entry));
    }
}

CreditsScreen::CreditsScreen()
    : m_picture(size_t(kScreenWidth) * size_t(kScreenHeight), 0)
{
}

bool CreditsScreen::load()
{
    std::vector<uint8_t> bytes;
    if (fileManager().readWhole("credits.dat", bytes) < 0)
        return false;
    m_lines.clear();
    m_songs.clear();
    parseCreditsText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), m_lines, m_songs);
    if (m_lines.empty())
        return false;
    const int32_t savedFont = getUnicodeFont();
    for (CreditLine& line : m_lines) {
        selectUnicodeFont(line.font);
        int32_t height = 0;
        int32_t zero = 0;
        measureUnicodeText(line.text.c_str(), line.width, height, zero);
        line.height = kLineHeight;
    }
    selectUnicodeFont(savedFont);
    return true;
}

bool CreditsScreen::run()
{
    if (!load())
        return false;
    MusicSystem& music = musicSystem();
    music.stopMusic();
    if (m_songs.count() > 0)
        music.playMusic(uint16_t(m_songs.current()), 1, 0);
    while (!m_done)
        step();
    music.stopMusic();
    std::fill(m_picture.begin(), m_picture.end(), uint16_t(0));
    const ScreenRect screen { 0, 0, kScreenWidth, kScreenHeight };
    drawGumpArtClipped(copySpanTransparent, kMenuBackgroundArt,
        BlitTarget::surface(m_picture.data(), kScreenWidth, kScreenHeight, kScreenWidth), &screen, 0, 0);
    if (BackBuffer* buffer = gumpManager().backBuffer)
        buffer->clearBackBufferRing();
    copyPictureToBackBuffer();
    return true;
}

void CreditsScreen::pumpOneMessage()
{
    switch (service<FrontEndShell>().takeCreditsInput()) {
    case CreditsInput::Close:
        m_done = true;
        service<FrontEndShell>().endProgram(1);
        break;
    case CreditsInput::EndRoll:
        m_done = true;
        break;
    case CreditsInput::MusicEnded:
        // Without songs the roll stays silent: music number 0 would start a
        // random piece the file never asked for.
        if (m_songs.count() > 0)
            musicSystem().playMusic(uint16_t(m_songs.next()), 1, 0);
        break;
    case CreditsInput::Other:
    case CreditsInput::None:
        break;
    }
}

void CreditsScreen::advance()
{
    ++m_offset;
    if (m_firstLine >= int32_t(m_lines.size()) || m_offset < m_lines[size_t(m_firstLine)].height + kScreenHeight)
        return;
    // The first line has left the top.
    const int32_t oldHeight = m_lines[size_t(m_firstLine)].height;
    ++m_firstLine;
    if (m_firstLine < int32_t(m_lines.size()))
        m_offset = kScreenHeight + (oldHeight - m_lines[size_t(m_firstLine)].height);
    else
        m_done = true;
}

void CreditsScreen::step()
{
    int32_t steps = 1;
    int32_t wait = 0;
    if (m_timer.isNegative()) {
        // The last pass took longer than a step: catch up.
        steps = m_timer.keepRemainder() + 1;
        wait = 0;
    } else {
        wait = m_timer.take();
    }
    while (wait > 0 && !m_done) {
        const int32_t slice = std::min(wait, kMaxWaitSliceMs);
        platform::clock().sleepMs(uint32_t(slice));
        wait -= slice;
        pumpOneMessage();
    }
    if (!m_done)
        pumpOneMessage();
    m_timer.markEnd();
    for (int32_t i = 0; i < steps && !m_done; ++i)
        advance();
    draw();
    service<FrontEndShell>().presentWholeBackBuffer();
    m_timer.markBegin();
    m_timer.accumulate();
}

void CreditsScreen::draw()
{
    std::fill(m_picture.begin(), m_picture.end(), uint16_t(0));
    const ScreenRect screen { 0, 0, kScreenWidth, kScreenHeight };
    drawGumpArtClipped(copySpanTransparent, kBackgroundArt,
        BlitTarget::surface(m_picture.data(), kScreenWidth, kScreenHeight, kScreenWidth), &screen, 0, 0);
    const TextSurface surface { m_picture.data(), kScreenWidth, kScreenWidth, kScreenHeight };
    const int32_t savedFont = getUnicodeFont();
    int32_t y = kScreenHeight - m_offset;
    for (size_t i = size_t(std::max(m_firstLine, 0)); i < m_lines.size(); ++i) {
        const CreditLine& line = m_lines[i];
        selectUnicodeFont(line.font);
        drawUnicodeTextLine(surface, line.text.c_str(), (kScreenWidth - line.width) / 2, y, uint16_t(line.colour),
            TextClip { 0, 0, kScreenWidth, kScreenHeight });
        y += line.height;
        if (y > kScreenHeight - 1)
            break;
    }
    selectUnicodeFont(savedFont);
    copyPictureToBackBuffer();
}

void CreditsScreen::copyPictureToBackBuffer()
{
    BackBuffer* buffer = gumpManager().backBuffer;
    if (!buffer || !buffer->exists())
        return;
    const int32_t width = std::min(kScreenWidth, buffer->gameWidth());
    const int32_t height = std::min(kScreenHeight, buffer->gameHeight());
    uint16_t* pixels = buffer->pixels();
    const int64_t total = buffer->pixelCount();
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const int64_t index = buffer->ringIndex(x, y);
            if (index >= 0 && index < total)
                pixels[index] = m_picture[size_t(y) * kScreenWidth + size_t(x)];
        }
    }
    buffer->markGameAreaChanged({ 0, 0, width, height });
}
