#include "windows/incoming_speech.h"

#include "core/wide_text.h"
#include "data/player_lists.h"
#include "data/settings_registry.h"
#include "gump/gump_factory.h"
#include "net/packet_dispatcher.h"
#include "net/packet_table.h"
#include "text/cliloc_table.h"
#include "text/obscenity_filter.h"
#include "windows/journal.h"
#include "windows/speech_entry.h"
#include "windows/speech_packets.h"
#include "windows/speech_services.h"
#include "windows/system_text.h"
#include "windows/translation_client.h"
#include "world/item.h"
#include "world/object_manager.h"
#include "world/overhead_texts.h"

#include <cstring>

namespace {

constexpr uint32_t kNoSpeaker = 0xFFFFFFFF;

bool& gmConversationFlag()
{
    static bool open = false;
    return open;
}

// Said, emoted, whispered or yelled: shown over the speaker.
bool isSpokenType(uint8_t type)
{
    return type == speech_type::kSay || type == speech_type::kEmote || type == 3 || type == 4
        || type == speech_type::kWhisper || type == speech_type::kYell;
}

bool speechFilterOn() { return settings().getBoolSetting(u"ObscenityFilter") != 0; }

uint16_t speechFont() { return speechStyle().speechFont; }

// The fields every speech packet starts with.
struct SpeechHeader {
    uint32_t serial = 0;
    uint16_t graphic = 0;
    uint8_t type = 0;
    uint16_t hue = 0;
    uint16_t font = 0;
};

bool readSpeechHeader(const uint8_t* packet, int32_t& offset, SpeechHeader& header)
{
    return packetGetLong(packet, offset, header.serial) && packetGetShort(packet, offset, header.graphic)
        && packetGetByte(packet, offset, header.type) && packetGetShort(packet, offset, header.hue)
        && packetGetShort(packet, offset, header.font);
}

// The 30-byte name, as a terminated copy whether or not it has its 0.
bool readSpeakerName(const uint8_t* packet, int32_t& offset, std::string& name)
{
    std::string_view field;
    if (!packetGetFixedText(packet, offset, kSpeakerNameSize, field))
        return false;
    name.assign(field);
    return true;
}

// UTF-16 units up to a 0 unit, the packet's end or `limit`.
std::u16string readUnits(const uint8_t* packet, int32_t& offset, size_t limit, bool bigEndian)
{
    std::u16string text;
    const uint8_t* pair = nullptr;
    while (text.size() < limit && packetGetBytes(packet, offset, pair, 2)) {
        char16_t unit = bigEndian ? char16_t(pair[0] << 8 | pair[1]) : char16_t(pair[0] | pair[1] << 8);
        if (unit == 0)
            break;
        text.push_back(unit);
    }
    return text;
}

// Bytes up to a 0, or to the packet's end when it has none.
std::string readBytesText(const uint8_t* packet, int32_t& offset)
{
    std::string text;
    uint8_t byte = 0;
    while (packetGetByte(packet, offset, byte) && byte != 0)
        text.push_back(char(byte));
    return text;
}

// A text is missing when the packet ends where it should begin.
bool hasText(const uint8_t* packet, int32_t offset)
{
    uint8_t first = 0;
    return packetGetByte(packet, offset, first);
}

Item* knownSpeaker(uint32_t serial) { return serial == kNoSpeaker ? nullptr : findItemBySerial(serial); }

void showSystemAreaLine(std::u16string_view line, uint16_t hue, std::string_view language)
{
    journal().setPrefix(JournalPrefix::None);
    showUnicodeBark(nullptr, line, hue, speechFont(), language, nullptr);
}

std::u16string taggedLine(const char16_t* tag, std::string_view name, std::u16string_view text)
{
    std::u16string line = tag;
    line += bytesToWideString(name);
    line += u"]: ";
    line.append(text);
    return line;
}

void showTranslatedSpeech(uint32_t serial, const std::string& name, std::u16string_view translated)
{
    Item* speaker = findItemBySerial(serial);
    if (!speaker)
        return;
    // The original line was held back for the translation: this line is its
    // only journal record, so it keeps the speaker's name.
    journal().setPrefix(JournalPrefix::Speaker, name);
    showObjectSpeech(*speaker, translated, kTranslatedSpeechHue, uint16_t(settings().getFontSetting(u"BarkFontNumber")),
        currentTextLanguage(), nullptr);
}

bool sentForTranslation(Item& speaker, std::string_view language, std::string_view name, std::u16string_view text)
{
    if (!settings().getBoolSetting(u"TranslationServerAutomatic"))
        return false;
    TranslationClient& client = translationClient();
    if (!client.setSourceLanguage(language))
        return false;
    uint32_t serial = speaker.serial;
    std::string speakerName(name);
    return client.requestTranslation({}, text,
               [serial, speakerName](std::u16string_view, std::u16string_view translated) {
                   showTranslatedSpeech(serial, speakerName, translated);
               })
        >= 0;
}

} // namespace

bool translateClickedText(std::string_view language, std::u16string_view text, uint32_t serial)
{
    TranslationClient& client = translationClient();
    if (!client.setSourceLanguage(language))
        return false;
    return client.requestTranslation({}, text,
               [serial](std::u16string_view, std::u16string_view translated) {
                   Item* object = findItemBySerial(serial);
                   if (!object)
                       return;
                   journal().setPrefix(JournalPrefix::None);
                   showUnicodeBark(object, translated, kTranslatedSpeechHue,
                       uint16_t(settings().getFontSetting(u"BarkFontNumber")), currentTextLanguage(), nullptr);
               })
        >= 0;
}

namespace {

// The speaker of a text that goes over its speaker: null when the text has
// gone to the system area instead (no speaker known) or nowhere (an ignored
// one).
Item* speakerToShowOver(const SpeechHeader& header, std::string_view language, const std::u16string& text)
{
    Item* speaker = knownSpeaker(header.serial);
    if (!speaker) {
        journal().setPrefix(JournalPrefix::None);
        showUnicodeBark(nullptr, text, header.hue, header.font, language, nullptr);
        return nullptr;
    }
    return isIgnored(header.serial) ? nullptr : speaker;
}

void showSpeakerSpeech(const SpeechHeader& header, std::string_view language, std::string_view name,
    const std::u16string& text)
{
    Item* speaker = speakerToShowOver(header, language, text);
    if (!speaker)
        return;
    bool focus = header.type == speech_type::kFocus;
    if (!focus && sentForTranslation(*speaker, language, name, text))
        return;
    journal().setPrefix(JournalPrefix::Speaker, name);
    if (focus) {
        dropOverheadTexts(*speaker);
        showUnicodeBark(speaker, text, header.hue, header.font, language, nullptr);
    } else {
        showObjectSpeech(*speaker, text, header.hue, header.font, language, nullptr);
    }
}

void showLabel(const SpeechHeader& header, std::string_view language, std::string_view name,
    const std::u16string& text)
{
    Item* object = speakerToShowOver(header, language, text);
    if (!object)
        return;
    journal().setPrefix(JournalPrefix::YouSee, name);
    CGump* window = gumpFindPaperdollOrContainer(object);
    showObjectSpeech(*object, text, header.hue, header.font, language, window);
}

void showGmLine(std::string_view language, std::string_view name, const std::u16string& text)
{
    showSystemAreaLine(taggedLine(u"[GM][", name, text), kGmHue, language);
}

// A byte text over an object, in the ASCII speech's forms.
enum class AsciiForm { Speech, Label, Focus, Kept };

void showAsciiOverObject(Item& object, std::string_view name, std::string_view text, uint16_t hue, uint16_t font,
    AsciiForm form)
{
    journal().setPrefix(form == AsciiForm::Label ? JournalPrefix::YouSee : JournalPrefix::Speaker, name);
    switch (form) {
    case AsciiForm::Speech:
        showOverheadText(object, text, hue, font, 0, false);
        break;
    case AsciiForm::Label:
        showOverheadText(object, text, hue, font, 0, gumpFindPaperdollOrContainer(&object) != nullptr);
        break;
    case AsciiForm::Focus:
        replaceOverheadText(object, text, hue, font, 0);
        break;
    case AsciiForm::Kept:
        showOverheadText(object, text, hue, font, 0, true);
        break;
    }
}

std::u16string speechLocalizedText(int32_t id, const std::u16string& arguments)
{
    WString text;
    getClilocString(text, id, 0);
    if (!arguments.empty())
        formatClilocString(text, arguments.c_str(), id, false, false);
    std::u16string out(text.c_str() ? text.c_str() : u"");
    if (out.size() > kMaxLocalizedTextUnits)
        out.resize(kMaxLocalizedTextUnits);
    return out;
}

} // namespace

bool isGmConversationOpen() { return gmConversationFlag(); }

void setGmConversationOpen(bool open) { gmConversationFlag() = open; }

void showIncomingSpeech(uint32_t serial, uint16_t graphic, uint8_t type, uint16_t hue, uint16_t font,
    std::string_view language, std::string_view name, std::u16string text)
{
    if (service<DeathFade>().isRunning())
        return;
    if (speechFilterOn())
        censorSpeechText(text.data());
    // The filter works on the terminated text; what follows a 0 is not shown.
    text.resize(std::u16string_view(text.c_str()).size());
    SpeechHeader header { serial, graphic, type, hue, font };
    if (isSpokenType(type) || type == speech_type::kFocus) {
        showSpeakerSpeech(header, language, name, text);
        return;
    }
    switch (type) {
    case speech_type::kLabel:
        showLabel(header, language, name, text);
        return;
    case speech_type::kGuild:
        if (!settings().getBoolSetting(u"IgnoreGuildChat")) {
            showSystemAreaLine(taggedLine(u"[Guild][", name, text),
                uint16_t(settings().getColourSetting(u"GuildChatColor")), language);
        }
        return;
    case speech_type::kAlliance:
        if (!settings().getBoolSetting(u"IgnoreAllianceChat")) {
            showSystemAreaLine(taggedLine(u"[Alliance][", name, text),
                uint16_t(settings().getColourSetting(u"AllianceChatColor")), language);
        }
        return;
    case speech_type::kGm:
        if (!isGmConversationOpen()) {
            setGmConversationOpen(true);
            showSystemAreaLine(speechLocalizedText(kGmNoticeCliloc, {}), kGmHue, language);
        }
        showGmLine(language, name, text);
        return;
    case speech_type::kGmEnd:
        setGmConversationOpen(false);
        showGmLine(language, name, text);
        return;
    default:
        // Broadcast, command-line, party and the unknown types show nothing.
        return;
    }
}

void showAsciiSpeech(uint32_t serial, uint16_t, uint8_t type, uint16_t hue, uint16_t font, std::string_view name,
    std::string text)
{
    if (service<DeathFade>().isRunning())
        return;
    if (speechFilterOn())
        censorTextNarrow(text.data());
    text.resize(std::string_view(text.c_str()).size());
    Item* object = knownSpeaker(serial);
    bool shownOver = object && !isIgnored(serial);
    if (isSpokenType(type)) {
        if (!object)
            addSystemMessage(hue, font, text);
        else if (shownOver)
            showAsciiOverObject(*object, name, text, hue, font, AsciiForm::Speech);
        return;
    }
    switch (type) {
    case speech_type::kBroadcast:
        if (serial == kNoSpeaker) {
            addSystemText(
                hue, font, speechLocalizedText(kSystemLineCliloc, bytesToWideString(text)), currentTextLanguage());
        } else {
            std::string line(name);
            line.append(": ").append(text);
            addSystemMessage(hue, font, line);
        }
        return;
    case speech_type::kLabel:
    case speech_type::kFocus:
    case 10:
        if (!shownOver) {
            addSystemMessage(hue, font, text);
            return;
        }
        showAsciiOverObject(*object, name, text, hue, font,
            type == speech_type::kLabel       ? AsciiForm::Label
                : type == speech_type::kFocus ? AsciiForm::Focus
                                              : AsciiForm::Kept);
        return;
    default:
        return;
    }
}

void handleUnicodeSpeechPacket(const uint8_t* packet)
{
    int32_t offset = 0;
    SpeechHeader header;
    const uint8_t* language = nullptr;
    std::string name;
    if (!readSpeechHeader(packet, offset, header) || !packetGetBytes(packet, offset, language, 4)
        || !readSpeakerName(packet, offset, name) || !hasText(packet, offset))
        return;
    std::string languageCode(reinterpret_cast<const char*>(language), strnlen(reinterpret_cast<const char*>(language), 4));
    std::u16string text = readUnits(packet, offset, kMaxIncomingSpeechUnits, true);
    showIncomingSpeech(header.serial, header.graphic, header.type, header.hue, header.font, languageCode, name,
        std::move(text));
}

void handleAsciiSpeechPacket(const uint8_t* packet)
{
    int32_t offset = 0;
    SpeechHeader header;
    std::string name;
    if (!readSpeechHeader(packet, offset, header) || !readSpeakerName(packet, offset, name) || !hasText(packet, offset))
        return;
    std::string text = readBytesText(packet, offset);
    showAsciiSpeech(header.serial, header.graphic, header.type, header.hue, header.font, name, std::move(text));
}

void handleLocalizedMessagePacket(const uint8_t* packet)
{
    int32_t offset = 0;
    SpeechHeader header;
    uint32_t id = 0;
    std::string name;
    if (!readSpeechHeader(packet, offset, header) || !packetGetLong(packet, offset, id)
        || !readSpeakerName(packet, offset, name))
        return;
    // The arguments travel in little-endian unit order.
    std::u16string arguments = readUnits(packet, offset, kMaxIncomingSpeechUnits, false);
    std::u16string text = speechLocalizedText(int32_t(id), arguments);
    showIncomingSpeech(header.serial, header.graphic, header.type, header.hue, header.font, currentTextLanguage(),
        name, std::move(text));
}

void handleLocalizedAffixPacket(const uint8_t* packet)
{
    int32_t offset = 0;
    SpeechHeader header;
    uint32_t id = 0;
    uint8_t flags = 0;
    std::string name;
    if (!readSpeechHeader(packet, offset, header) || !packetGetLong(packet, offset, id)
        || !packetGetByte(packet, offset, flags) || !readSpeakerName(packet, offset, name))
        return;
    std::string affix = readBytesText(packet, offset);
    std::u16string arguments = readUnits(packet, offset, kMaxAffixArgumentUnits, true);
    std::u16string text = speechLocalizedText(int32_t(id), arguments);
    std::u16string wideAffix = bytesToWideString(affix);
    bool inFront = flags == 1 || flags == 3 || flags == 5;
    bool behind = flags == 0 || flags == 2 || flags == 4;
    if (!inFront && !behind)
        return;
    text = inFront ? wideAffix + text : text + wideAffix;
    if (text.size() > kMaxLocalizedTextUnits)
        text.resize(kMaxLocalizedTextUnits);
    uint32_t speaker = (flags == 2 || flags == 3) ? 0 : header.serial;
    showIncomingSpeech(speaker, header.graphic, header.type, header.hue, header.font, currentTextLanguage(), name,
        std::move(text));
}

void registerSpeechHandlers()
{
    registerPacketHandler(0x1C, handleAsciiSpeechPacket);
    registerPacketHandler(0xAE, handleUnicodeSpeechPacket);
    registerPacketHandler(0xC1, handleLocalizedMessagePacket);
    registerPacketHandler(0xCC, handleLocalizedAffixPacket);
    registerPacketHandler(0x9A, handlePromptPacket);
    registerPacketHandler(0xC2, handleUnicodePromptPacket);
}
