#include "windows/speech_entry.h"

#include "core/wide_text.h"
#include "data/client_services.h"
#include "data/player_lists.h"
#include "data/settings_registry.h"
#include "gump/gump_manager.h"
#include "net/client_packets.h"
#include "net/packet_table.h"
#include "platform/virtual_keys.h"
#include "text/ascii_font.h"
#include "text/unicode_font.h"
#include "windows/incoming_speech.h"
#include "windows/party_words.h"
#include "windows/speech_packets.h"
#include "windows/speech_services.h"
#include "windows/speech_throttle.h"
#include "windows/window_services.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include <optional>

namespace vk = platform::vk;

namespace {

constexpr uint16_t kCommandLineHue = 995;
constexpr uint16_t kPartyHue = 1153;
constexpr uint16_t kGmLineHue = 34;
constexpr uint32_t kPromptAnswerType = 1;
constexpr size_t kPromptPacketSize = 2048;
constexpr char16_t kCaret = u'_';

bool inWorld() { return gameState().isInGame(); }

uint16_t playerBody()
{
    PlayerMobile* self = player();
    return self ? self->graphic : 0;
}

bool isTeamMode(uint8_t mode)
{
    return mode == speech_type::kParty || mode == speech_type::kGuild || mode == speech_type::kAlliance
        || mode == speech_type::kGm;
}

bool settingOn(const char16_t* name) { return settings().getBoolSetting(name) != 0; }

// The navigation keys walk, in screen directions.
std::optional<int32_t> walkDirection(uint16_t key)
{
    switch (key) {
    case vk::kUp: return 0;
    case vk::kPageUp: return 1;
    case vk::kRight: return 2;
    case vk::kPageDown: return 3;
    case vk::kDown: return 4;
    case vk::kEnd: return 5;
    case vk::kLeft: return 6;
    case vk::kHome: return 7;
    default: return std::nullopt;
    }
}

// The mode a character typed as the first of the line chooses when a blank
// follows it.
std::optional<uint8_t> modeBeforeBlank(char16_t first)
{
    switch (first) {
    case u'!': return speech_type::kYell;
    case u'\'': return speech_type::kSay;
    case u':': return speech_type::kEmote;
    case u';': return speech_type::kWhisper;
    case u'\\': return speech_type::kGuild;
    case u'|': return speech_type::kAlliance;
    case u'[':
        if (isGmConversationOpen())
            return speech_type::kGm;
        return std::nullopt;
    default: return std::nullopt;
    }
}

void sendPrompt(bool built, const PacketBuffer& buffer)
{
    if (built)
        sendSpeechPacket(buffer);
}

} // namespace

PendingPrompt& pendingPrompt()
{
    static PendingPrompt prompt;
    return prompt;
}

namespace {

// Both prompt packets start with the serial and the prompt id; a Unicode
// prompt is answered in UTF-16.
void takePrompt(const uint8_t* packet, bool unicode)
{
    int32_t offset = 0;
    uint32_t serial = 0;
    uint32_t promptId = 0;
    if (!packetGetLong(packet, offset, serial) || !packetGetLong(packet, offset, promptId))
        return;
    PendingPrompt& prompt = pendingPrompt();
    prompt.pending = true;
    prompt.unicode = prompt.unicode || unicode;
    prompt.serial = serial;
    prompt.promptId = promptId;
}

} // namespace

void handlePromptPacket(const uint8_t* packet) { takePrompt(packet, false); }

void handleUnicodePromptPacket(const uint8_t* packet) { takePrompt(packet, true); }

bool SpeechEntry::unicodeMode() const
{
    const RestartSettingRow* row = settings().restartRow("UnicodeSpeech");
    return row && row->value != 0;
}

size_t SpeechEntry::lengthLimit() const { return m_mode == speech_type::kParty ? kMaxPartyLength : kMaxLength; }

bool SpeechEntry::measuresUnderWidth() const
{
    int32_t width = 0;
    int32_t height = 0;
    int32_t other = 0;
    if (unicodeMode()) {
        measureUnicodeText(m_text.c_str(), width, height, other);
    } else {
        std::string bytes = lowBytesOf(m_text);
        measureAsciiText(kLineFont, bytes.c_str(), width, height, other);
    }
    return width < kMaxWidth;
}

bool SpeechEntry::onKeyDown(uint16_t virtualKey, bool control, bool alt, uint32_t keyFlags)
{
    if (alt && (virtualKey == vk::letter('S') || virtualKey == vk::kTab))
        return false;
    if (!inWorld() || gumpModal())
        return true;
    if (std::optional<int32_t> direction = walkDirection(virtualKey)) {
        service<PlayerWalking>().walkByKey(*direction, keyFlags, control);
        return true;
    }
    bool historyKey = virtualKey == vk::letter('Q') || virtualKey == vk::letter('W');
    if (historyKey && control) {
        recall(virtualKey == vk::letter('Q') ? -1 : 1);
        return true;
    }
    // The character itself arrives as a character message.
    return historyKey || virtualKey == vk::letter('V');
}

void SpeechEntry::recall(int32_t step)
{
    if (m_history.empty())
        return;
    int32_t count = int32_t(m_history.size());
    m_historyCursor += step;
    if (m_historyCursor < 0)
        m_historyCursor = count - 1;
    else if (m_historyCursor >= count)
        m_historyCursor = 0;
    const HistoryEntry& entry = m_history[size_t(m_historyCursor)];
    m_text = entry.text;
    m_mode = entry.mode;
    refresh();
    m_swallow = true;
}

void SpeechEntry::onChar(uint32_t code)
{
    if (!inWorld())
        return;
    if (m_swallow) {
        m_swallow = false;
        // The character a Ctrl+Q or Ctrl+W press makes is a control character;
        // where the window system makes none, the next real character stays.
        if (code < 0x20)
            return;
    }
    char16_t unit = unicodeMode() ? char16_t(code) : char16_t(code & 0xFF);
    bool empty = m_text.empty();
    switch (unit) {
    case 8:
        backspace();
        return;
    case 13:
    case 10:
        enter();
        return;
    case u' ':
        typedBlank();
        return;
    case u'/':
        if (empty) {
            m_mode = speech_type::kParty;
            refresh();
        } else {
            append(unit, false);
        }
        return;
    case u'.':
    case u'=':
        if (empty && playerBody() == kCommandLineBody)
            m_mode = speech_type::kCommandLine; // shown with the next change
        else
            append(unit, false);
        return;
    case u'[':
        if (empty && isGmConversationOpen()) {
            m_mode = speech_type::kGm;
            refresh();
        } else {
            insertChar(unit);
        }
        return;
    case u'\\':
    case u'|': {
        bool guild = unit == u'\\';
        if (empty && !settingOn(guild ? u"IgnoreGuildChat" : u"IgnoreAllianceChat")) {
            m_mode = guild ? speech_type::kGuild : speech_type::kAlliance;
            refresh();
        } else {
            insertChar(unit);
        }
        return;
    }
    default:
        insertChar(unit);
        return;
    }
}

void SpeechEntry::backspace()
{
    if (!m_text.empty()) {
        m_text.pop_back();
        if (m_text.empty() && !isTeamMode(m_mode))
            m_mode = speech_type::kSay;
        refresh();
        return;
    }
    // An empty GM line keeps its mode until Enter.
    if (m_mode == speech_type::kParty || m_mode == speech_type::kGuild || m_mode == speech_type::kAlliance) {
        m_mode = speech_type::kSay;
        refresh();
    }
}

void SpeechEntry::typedBlank()
{
    if (m_text.size() == 1) {
        if (std::optional<uint8_t> mode = modeBeforeBlank(m_text[0])) {
            m_mode = *mode;
            m_text.clear();
            refresh();
            return;
        }
    }
    append(u' ', false);
}

void SpeechEntry::insertChar(char16_t code) { append(code, true); }

void SpeechEntry::append(char16_t code, bool glyphTest)
{
    if (m_text.size() >= lengthLimit())
        return;
    if (glyphTest) {
        bool hasGlyph = unicodeMode() ? hasUnicodeGlyph(code) : hasAsciiGlyph(kLineFont, code & 0xFF);
        if (!hasGlyph)
            return;
    }
    if (!measuresUnderWidth())
        return;
    m_text.push_back(code);
    refresh();
}

void SpeechEntry::enter()
{
    if (m_text.empty()) {
        m_mode = speech_type::kSay;
        refresh();
        return;
    }
    if (m_historyWrite >= kHistorySize)
        m_historyWrite = 0;
    if (m_historyWrite < m_history.size())
        m_history[m_historyWrite] = { m_text, m_mode };
    else
        m_history.push_back({ m_text, m_mode });
    ++m_historyWrite;
    m_historyCursor = int32_t(m_historyWrite);

    std::u16string line = m_text;
    if (pendingPrompt().pending) {
        // The prompt answer empties the line and returns to say itself.
        if (unicodeMode())
            sendPromptResponseWide(kPromptAnswerType, line);
        else
            sendPromptResponse(kPromptAnswerType, lowBytesOf(line));
        return;
    }
    sendLine(line, m_mode);
    clearLine();
    refresh();
}

void SpeechEntry::sendLine(std::u16string_view line, uint8_t mode)
{
    bool byteMode = !unicodeMode();
    if (mode == speech_type::kCommandLine) {
        if (playerBody() != kCommandLineBody || handleCommandLine(line, byteMode))
            return;
        std::u16string command = u"=";
        command.append(line);
        if (byteMode)
            sendSpeechAscii(lowBytesOf(command), speech_type::kSay);
        else
            sendSpeech(command, speech_type::kSay);
        return;
    }
    if (mode == speech_type::kParty) {
        handlePartyLine(line, byteMode);
        return;
    }
    if (byteMode)
        sendSpeechAscii(lowBytesOf(line), mode);
    else
        sendSpeech(line, mode);
}

void SpeechEntry::clearLine()
{
    m_text.clear();
    m_mode = speech_type::kSay;
}

void SpeechEntry::setLine(std::u16string_view text, uint8_t mode)
{
    m_text.assign(text.substr(0, std::min(text.size(), kMaxLength)));
    m_mode = mode;
    m_swallow = false;
    refresh();
}

void SpeechEntry::sendPromptResponse(uint32_t type, std::string_view text)
{
    std::u16string wide = bytesToWideString(text.substr(0, std::min(text.size(), kMaxPromptUnits)));
    PendingPrompt& prompt = pendingPrompt();
    if (prompt.unicode) {
        sendPromptResponseWide(type, wide);
        return;
    }
    PacketStorage<kPromptPacketSize> buffer;
    sendPrompt(buildPromptReplyPacket(buffer, prompt.serial, prompt.promptId, type, text), buffer);
    prompt.pending = false;
    clearLine();
    refresh();
}

void SpeechEntry::sendPromptResponseWide(uint32_t type, std::u16string_view text)
{
    PendingPrompt& prompt = pendingPrompt();
    PacketStorage<kPromptPacketSize> buffer;
    if (prompt.unicode) {
        sendPrompt(buildUnicodePromptReplyPacket(
                       buffer, prompt.serial, prompt.promptId, type, speechLanguage().data(), text),
            buffer);
        prompt.unicode = false;
    } else {
        std::string bytes;
        for (char16_t unit : text) {
            if (unit < 0x80)
                bytes.push_back(char(unit));
        }
        sendPrompt(buildPromptReplyPacket(buffer, prompt.serial, prompt.promptId, type, bytes), buffer);
    }
    prompt.pending = false;
    clearLine();
    refresh();
}

bool SpeechEntry::cancelPrompt()
{
    if (!pendingPrompt().pending)
        return false;
    sendPromptResponse(0, "");
    return true;
}

SpeechEntry::Shown SpeechEntry::shownLine() const
{
    const SpeechStyle& style = speechStyle();
    Shown shown;
    shown.hue = style.speechHue;
    shown.font = style.speechFont;
    shown.unicode = unicodeMode();
    std::u16string line = m_text;
    if (!gumpFocus())
        line.push_back(kCaret);
    const char* prefix = "";
    switch (m_mode) {
    case speech_type::kEmote:
        prefix = "Emote: ";
        shown.hue = style.emoteHue;
        shown.font = style.emoteFont;
        break;
    case speech_type::kWhisper: prefix = "Whisper: "; break;
    case speech_type::kYell: prefix = "Yell: "; break;
    case speech_type::kCommandLine:
        prefix = "C: ";
        shown.hue = kCommandLineHue;
        break;
    case speech_type::kParty: {
        shown.hue = kPartyHue;
        shown.unicode = true;
        // A tell names its member, exactly as the tell command reads the line.
        if (std::optional<TellCommand> tell = parseTellCommand(m_text, !unicodeMode())) {
            std::u16string name = bytesToWideString(service<PartyState>().memberName(tell->slot - 1).c_str());
            shown.text = u"Tell [" + name + u"]: " + line.substr(std::min(tell->messageStart, line.size()));
            return shown;
        }
        prefix = "Party: ";
        break;
    }
    case speech_type::kGuild:
        prefix = "Guild: ";
        shown.hue = uint16_t(settings().getColourSetting(u"GuildChatColor"));
        break;
    case speech_type::kAlliance:
        prefix = "Alliance: ";
        shown.hue = uint16_t(settings().getColourSetting(u"AllianceChatColor"));
        break;
    case speech_type::kGm:
        prefix = "GM: ";
        shown.hue = kGmLineHue;
        break;
    default: break;
    }
    shown.text = bytesToWideString(prefix) + line;
    return shown;
}

void SpeechEntry::refresh()
{
    Shown shown = shownLine();
    service<TextWindows>().showSpeechLine(shown.text, shown.hue, shown.font, shown.unicode);
}

void SpeechEntry::reset()
{
    m_text.clear();
    m_mode = speech_type::kSay;
    m_history.clear();
    m_historyWrite = 0;
    m_historyCursor = 0;
    m_swallow = false;
}

SpeechEntry& speechEntry()
{
    static SpeechEntry entry;
    return entry;
}
