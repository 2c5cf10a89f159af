#include "windows/speech_packets.h"

#include "net/packet_table.h"
#include "platform/ascii_text.h"
#include "windows/speech_services.h"

#include <algorithm>

namespace {

constexpr uint8_t kSpeechPacketId = 0xAD;
constexpr size_t kMaxPacket = 65535;
constexpr int32_t kMaxPackedCount = 0xFFF;

std::string lowered(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), platform::foldAsciiCase);
    return out;
}

bool isWhiteSpace(uint8_t c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool isPunctuation(uint8_t c)
{
    bool letterOrDigit = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    return c > ' ' && c < 0x7F && !letterOrDigit;
}

bool isWordEdge(uint8_t c) { return isWhiteSpace(c) || isPunctuation(c); }

bool keywordMatches(std::string_view text, std::string_view pattern)
{
    size_t stars = size_t(std::count(pattern.begin(), pattern.end(), '*'));
    if (stars == 0)
        return text == pattern;
    if (stars == 1) {
        if (pattern.front() == '*')
            return text.ends_with(pattern.substr(1));
        // The last character goes (the '*' of a pattern that ends in one).
        return text.starts_with(pattern.substr(0, pattern.size() - 1));
    }
    if (stars == 2)
        return keywordWordMatch(text, pattern);
    return false;
}

void putSpeechHeader(PacketBuffer& buffer, uint8_t type, uint16_t hue, uint16_t font, const SpeechLanguage& language)
{
    packetBegin(buffer, kSpeechPacketId);
    packetPutByte(buffer, type);
    packetPutShort(buffer, hue);
    packetPutShort(buffer, font);
    packetPutBytes(buffer, language.data(), language.size());
}

bool finished(PacketBuffer& buffer) { return !buffer.failed(); }

// Speech style of a type: 2 is an emote.
void styleFor(uint8_t type, uint16_t& hue, uint16_t& font)
{
    const SpeechStyle& style = speechStyle();
    bool emote = (type & 0x3F) == speech_type::kEmote;
    hue = emote ? style.emoteHue : style.speechHue;
    font = emote ? style.emoteFont : style.speechFont;
}

// Zero until start-up sets the current language.
SpeechLanguage& languageStore()
{
    static SpeechLanguage language {};
    return language;
}

bool sendSpeechBuilt(bool built, const PacketBuffer& buffer) { return built && sendSpeechPacket(buffer); }

} // namespace

std::string utf8Encode(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char16_t unit : text) {
        if (unit < 0x80) {
            out.push_back(char(unit));
        } else if (unit < 0x800) {
            out.push_back(char(0xC0 | (unit >> 6)));
            out.push_back(char(0x80 | (unit & 0x3F)));
        } else {
            out.push_back(char(0xE0 | (unit >> 12)));
            out.push_back(char(0x80 | ((unit >> 6) & 0x3F)));
            out.push_back(char(0x80 | (unit & 0x3F)));
        }
    }
    return out;
}

std::u16string_view trimTrailingBlanks(std::u16string_view text)
{
    size_t end = text.find_last_not_of(u' ');
    return end == std::u16string_view::npos ? text.substr(0, 0) : text.substr(0, end + 1);
}

bool keywordWordMatch(std::string_view text, std::string_view pattern)
{
    if (pattern.size() < 2)
        return false;
    std::string_view inner = pattern.substr(1, pattern.size() - 2);
    for (size_t from = 0; from <= text.size();) {
        size_t at = text.find(inner, from);
        if (at == std::string_view::npos)
            return false;
        size_t end = at + inner.size();
        bool startsWord = at == 0 || isWordEdge(uint8_t(text[at - 1]));
        bool endsWord = end == text.size() || isWordEdge(uint8_t(text[end]));
        if (startsWord && endsWord)
            return true;
        from = at + 1;
    }
    return false;
}

std::vector<int32_t> matchSpeechKeywords(std::string_view utf8Text, const std::vector<SpeechKeyword>& table)
{
    std::string text = lowered(utf8Text);
    std::vector<int32_t> ids;
    for (const SpeechKeyword& entry : table) {
        if (entry.id < 0 || entry.id > kMaxKeywordId || entry.text.empty())
            continue;
        if (keywordMatches(text, lowered(entry.text)))
            ids.push_back(entry.id);
    }
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    // The count itself has 12 bits.
    if (ids.size() > size_t(kMaxPackedCount))
        ids.resize(size_t(kMaxPackedCount));
    return ids;
}

std::vector<uint8_t> packKeywordIds(const std::vector<int32_t>& ids)
{
    std::vector<uint32_t> values;
    values.push_back(uint32_t(ids.size()) & 0xFFF);
    for (int32_t id : ids)
        values.push_back(uint32_t(id) & 0xFFF);
    std::vector<uint8_t> block((values.size() * 12 + 7) / 8, 0);
    size_t at = 0;
    for (size_t i = 0; i < values.size(); ++i) {
        uint32_t value = values[i];
        if (i % 2 == 0) {
            block[at] = uint8_t(value >> 4);
            block[at + 1] = uint8_t((value & 0xF) << 4);
            at += 1;
        } else {
            block[at] |= uint8_t(value >> 8);
            block[at + 1] = uint8_t(value & 0xFF);
            at += 2;
        }
    }
    return block;
}

SpeechLanguage speechLanguageOf(std::string_view code)
{
    SpeechLanguage language {};
    for (size_t i = 0; i < 3 && i < code.size() && code[i]; ++i)
        language[i] = code[i];
    return language;
}

bool buildSpeechPacket(PacketBuffer& buffer, uint8_t type, uint16_t hue, uint16_t font,
    const SpeechLanguage& language, std::u16string_view text)
{
    putSpeechHeader(buffer, type, hue, font, language);
    // Twelve bytes of header and the 0 unit leave room for this many units.
    if (text.size() > (kMaxPacket - 14) / 2) {
        packetFail(buffer);
        return false;
    }
    for (char16_t unit : text)
        packetPutShort(buffer, uint16_t(unit));
    packetPutShort(buffer, 0);
    return finished(buffer);
}

bool buildKeywordSpeechPacket(PacketBuffer& buffer, uint8_t type, uint16_t hue, uint16_t font,
    const SpeechLanguage& language, const std::vector<int32_t>& ids, std::string_view utf8Text)
{
    putSpeechHeader(buffer, uint8_t(type | speech_type::kKeywordBits), hue, font, language);
    std::vector<uint8_t> block = packKeywordIds(ids);
    packetPutBytes(buffer, block.data(), block.size());
    packetPutBytes(buffer, utf8Text.data(), utf8Text.size());
    packetPutByte(buffer, 0);
    return finished(buffer);
}

int32_t sendKeywordSpeech(std::u16string_view text, uint8_t type)
{
    std::string utf8 = utf8Encode(text);
    std::vector<int32_t> ids = matchSpeechKeywords(utf8, speechKeywords());
    if (ids.empty())
        return 0;
    uint16_t hue = 0;
    uint16_t font = 0;
    styleFor(type, hue, font);
    PacketStorage<kMaxPacket> buffer;
    sendSpeechBuilt(buildKeywordSpeechPacket(buffer, type, hue, font, speechLanguage(), ids, utf8), buffer);
    return int32_t(ids.size()) + 1;
}

void sendUnicodeSpeech(std::u16string_view text, uint8_t type)
{
    text = trimTrailingBlanks(text);
    const SpeechStyle& style = speechStyle();
    PacketStorage<kMaxPacket> buffer;
    if (type == speech_type::kEmote) {
        std::u16string emote = u"*";
        emote.append(text).append(u"*");
        sendSpeechBuilt(
            buildSpeechPacket(buffer, type, style.emoteHue, style.emoteFont, speechLanguage(), emote), buffer);
        return;
    }
    if (sendKeywordSpeech(text, type) > 0)
        return;
    sendSpeechBuilt(buildSpeechPacket(buffer, type, style.speechHue, style.speechFont, speechLanguage(), text), buffer);
}

const SpeechLanguage& speechLanguage() { return languageStore(); }

void setSpeechLanguage(std::string_view code) { languageStore() = speechLanguageOf(code); }
