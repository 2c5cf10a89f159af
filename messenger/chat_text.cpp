#include "messenger/chat_text.h"

#include "core/wide_string.h"
#include "data/settings_registry.h"
#include "messenger/message_store.h"
#include "net/packet_table.h"
#include "protocol/packet_reader.h"
#include "text/localization.h"
#include "text/string_file.h"

#include <algorithm>

namespace {

constexpr size_t kOpenNameUnits = 30;

// The command words by entry number and the letter each sends.
struct ChatCommandWord {
    int32_t entry;
    char16_t letter;
};
constexpr ChatCommandWord kChatCommandWords[] = { { 65, u'b' }, { 66, u'c' }, { 67, u'd' }, { 68, u'e' },
    { 69, u'f' }, { 70, u'g' }, { 71, u'h' }, { 72, u'i' }, { 73, u'j' }, { 74, u'k' }, { 75, u'l' }, { 76, u'm' },
    { 77, u'n' }, { 78, u'o' }, { 79, u'p' }, { 80, u'q' }, { 81, u'r' }, { 82, u's' }, { 83, u't' }, { 84, u'u' },
    { 85, u'v' }, { 86, u'w' }, { 87, u'x' }, { 88, u'y' }, { 89, u'z' }, { 92, u'z' }, { 93, u'z' },
    { 90, u'A' } };

// A big-endian UTF-16 text up to its 0 unit; false when the 0 is missing.
// Units past kMaxChatTextUnits are read and dropped.
bool readChatText(PacketReader& reader, std::u16string& out)
{
    out.clear();
    while (reader.remaining() >= 2) {
        const char16_t unit = char16_t(reader.u16());
        if (unit == 0)
            return reader.ok();
        if (out.size() < kMaxChatTextUnits)
            out.push_back(unit);
    }
    return false;
}

std::array<char, 4> readLanguage(PacketReader& reader)
{
    std::array<char, 4> language {};
    const std::string bytes = reader.bytes(4);
    std::copy_n(bytes.begin(), std::min<size_t>(bytes.size(), 4), language.begin());
    return language;
}

} // namespace

std::u16string chatEntry(int32_t number)
{
    StringFile* file = findStringFile("chat", getLanguageCode(), "chat", false, false, false);
    const WString* text = file ? file->getString(number) : nullptr;
    return text ? std::u16string(text->c_str(), size_t(text->length())) : std::u16string();
}

bool readChatMessage(const uint8_t* packet, ChatMessage& out)
{
    PacketReader reader(packet);
    ChatMessage message;
    message.number = reader.u16();
    message.language = readLanguage(reader);
    if (!reader.ok() || !readChatText(reader, message.first) || !readChatText(reader, message.second))
        return false;
    out = std::move(message);
    return true;
}

bool readChatLine(const uint8_t* packet, ChatLine& out)
{
    PacketReader reader(packet);
    ChatLine line;
    line.language = readLanguage(reader);
    line.type = reader.u16();
    if (!reader.ok() || !readChatText(reader, line.text))
        return false;
    out = std::move(line);
    return true;
}

bool buildChatOpenRequest(PacketBuffer& packet, std::u16string_view name)
{
    packetBegin(packet, 0xB5);
    packetPutByte(packet, 0);
    for (size_t i = 0; i < kOpenNameUnits; ++i)
        packetPutShort(packet, i < name.size() ? uint16_t(name[i]) : 0);
    packetPutShort(packet, 0);
    return !packet.failed();
}

bool buildChatLinePacket(PacketBuffer& packet, std::u16string_view line)
{
    packetBegin(packet, 0xB3);
    std::array<char, 4> language {};
    const std::string& code = getLanguageCode();
    std::copy_n(code.begin(), std::min<size_t>(code.size(), 3), language.begin());
    packetPutBytes(packet, language.data(), language.size());
    for (char16_t unit : line)
        packetPutShort(packet, uint16_t(unit));
    packetPutShort(packet, 0);
    return !packet.failed();
}

std::u16string formatChatMessage(
    std::u16string_view entry, std::u16string_view name, std::u16string_view second, int32_t& nameStart,
    int32_t& nameEnd)
{
    nameStart = -1;
    nameEnd = -1;
    std::u16string text;
    for (size_t i = 0; i < entry.size(); ++i) {
        if (entry[i] != u'%' || i + 1 >= entry.size()) {
            text.push_back(entry[i]);
            continue;
        }
        if (entry[i + 1] == u'1') {
            nameStart = int32_t(text.size());
            text.append(name);
            nameEnd = int32_t(text.size()) - 1;
        } else {
            text.append(second);
        }
        ++i;
    }
    return text;
}

int32_t chatStatusOf(std::u16string_view name) { return name.empty() ? 0 : int32_t(name[0]) - u'0'; }

std::u16string_view chatNameOf(std::u16string_view name) { return name.empty() ? name : name.substr(1); }

int32_t chatSettingColour(const char16_t* name) { return settings().getColourSetting(WString(name)); }

ChatColours chatColoursOf(int32_t type)
{
    switch (type) {
    case 1:
    case 3:
        return { chatSettingColour(u"ChatColorOpsText"), chatSettingColour(u"ChatColorOpsName") };
    case 2:
        return { chatSettingColour(u"ChatColorMutedText"), chatSettingColour(u"ChatColorMutedName") };
    case 4:
        return { chatSettingColour(u"ChatColorSelfText"), chatSettingColour(u"ChatColorSelfName") };
    case 5: {
        const int32_t system = chatSettingColour(u"ChatColorSystemMessage");
        return { system, system };
    }
    default:
        return { chatSettingColour(u"ChatColorText"), chatSettingColour(u"ChatColorName") };
    }
}

char16_t chatCommandLetter(int32_t entry)
{
    for (const ChatCommandWord& word : kChatCommandWords) {
        if (word.entry == entry)
            return word.letter;
    }
    return 0;
}

std::u16string chatLineToSend(std::u16string_view typed)
{
    for (const ChatCommandWord& command : kChatCommandWords) {
        const std::u16string entry = chatEntry(command.entry);
        // The entry's last character (its blank) is not compared; an entry
        // too short to hold a word matches nothing.
        if (entry.size() < 2)
            continue;
        const std::u16string_view word = std::u16string_view(entry).substr(0, entry.size() - 1);
        if (!startsWithNoCase(typed, word))
            continue;
        std::u16string_view rest = typed.substr(word.size());
        if (!rest.empty() && rest[0] == u' ')
            rest.remove_prefix(1);
        return command.letter + std::u16string(rest);
    }
    return u'a' + std::u16string(typed);
}
