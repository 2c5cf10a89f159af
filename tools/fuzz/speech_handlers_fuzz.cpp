// Feeds arbitrary payloads to the speech and prompt packet handlers (0x1C,
// 0xAE, 0xC1, 0xCC, 0x9A, 0xC2) as the dispatcher hands them over: framed,
// with the length word saying how long they are. A small world holds the
// player and two mobiles (one of them ignored) as speakers, a cliloc table
// holds a few messages with arguments, and the filter has a word list. The
// text windows check every text they are given, and after each input the
// journal must keep its bounds.
//
// Input: byte 0 picks the packet id (low 3 bits) and the switches (bit 3 the
// filter, bit 4 an open GM conversation, bit 5 the guild ignored, bit 6 the
// death fade, bit 7 automatic translation); the rest is the payload.

#include "data/player_lists.h"
#include "data/settings_registry.h"
#include "text/cliloc_table.h"
#include "text/obscenity_filter.h"
#include "windows/incoming_speech.h"
#include "windows/journal.h"
#include "windows/speech_entry.h"
#include "windows/speech_services.h"
#include "windows/system_text.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr uint8_t kIds[] = { 0x1C, 0xAE, 0xC1, 0xCC, 0x9A, 0xC2, 0xAE, 0x1C };
// The longest text a window may be given: a received text and its tag.
constexpr size_t kLongestText = kMaxIncomingSpeechUnits + 64;

class CheckingWindows final : public TextWindows {
public:
    void showSystemText(std::string_view text, uint16_t, uint16_t) override { check(text.size()); }
    void showUnicodeText(StaticObject* owner, std::u16string_view text, uint16_t, uint16_t, std::string_view language,
        CGump*) override
    {
        check(text.size());
        if (language.size() > 4)
            abort();
        if (owner && !isValidWorldObject(owner))
            abort();
    }

private:
    static void check(size_t length)
    {
        if (length > kLongestText)
            abort();
    }
};

class Fade final : public DeathFade {
public:
    bool isRunning() override { return running; }
    bool running = false;
};

struct Harness {
    SettingsRegistry settings;
    CheckingWindows windows;
    Fade fade;

    Harness()
    {
        installSettings(&settings);
        installService<TextWindows>(&windows);
        installService<DeathFade>(&fade);
        installSystemTextServices();
        initWorldObjects();
        mapView().centreX = 1000;
        mapView().centreY = 1000;
        PlayerMobile* self = createPlayerObject();
        self->serial = 0x00000001;
        self->graphic = 400;
        setPlayerSerial(0x00000001);
        self->enterWorldAt(1000, 1000, 0);
        onObjectPacket(0x00000002, 400, 0, 1, 1001, 1000, 0, 0, 0, 0);
        onObjectPacket(0x00000003, 400, 0, 1, 999, 1000, 0, 0, 0, 0);
        IgnoreEntry ignored;
        ignored.serial = 0x00000003;
        playerLists().ignore.push_back(ignored);
        auto table = std::make_unique<ClilocTable>();
        const uint8_t image[] = {
            // header, then { id, flag, length, text } little-endian
            0, 0, 0, 0, 0, 0, //
            0x41, 0x42, 0x0F, 0x00, 0, 10, 0, 'Y', 'o', 'u', ' ', '~', '1', '_', 'A', '~', '!', //
            0x92, 0x66, 0x10, 0x00, 0, 8, 0, 'G', 'M', ' ', 'h', 'e', 'r', 'e', '.', //
        };
        table->loadBytes(image, sizeof image);
        setClilocTable(std::move(table));
        setObsceneWordList({ u"darn", u"heck" });
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Harness harness;
    if (size < 1)
        return 0;
    uint8_t switches = data[0];
    harness.settings.setBoolSetting(u"ObscenityFilter", (switches & 0x08) != 0);
    setGmConversationOpen((switches & 0x10) != 0);
    harness.settings.setBoolSetting(u"IgnoreGuildChat", (switches & 0x20) != 0);
    harness.fade.running = (switches & 0x40) != 0;
    harness.settings.setBoolSetting(u"TranslationServerAutomatic", (switches & 0x80) != 0);

    size_t payload = std::min<size_t>(size - 1, 65535 - 3);
    std::vector<uint8_t> packet(payload + 3);
    uint8_t id = kIds[switches & 7];
    packet[0] = id;
    packet[1] = uint8_t(packet.size() >> 8);
    packet[2] = uint8_t(packet.size());
    std::copy(data + 1, data + 1 + payload, packet.begin() + 3);
    switch (id) {
    case 0x1C: handleAsciiSpeechPacket(packet.data()); break;
    case 0xAE: handleUnicodeSpeechPacket(packet.data()); break;
    case 0xC1: handleLocalizedMessagePacket(packet.data()); break;
    case 0xCC: handleLocalizedAffixPacket(packet.data()); break;
    case 0x9A: handlePromptPacket(packet.data()); break;
    case 0xC2: handleUnicodePromptPacket(packet.data()); break;
    default: break;
    }

    const Journal& log = journal();
    if (log.entries().size() > kMaxJournalEntries || log.prefix() != JournalPrefix::None)
        abort();
    for (const JournalEntry& entry : log.entries()) {
        if (entry.narrow.size() > kMaxJournalLineLength || entry.text.size() > kMaxJournalLineLength)
            abort();
    }
    // The player and the two speakers stay.
    if (!findItemBySerial(0x00000002) || !findItemBySerial(0x00000003))
        abort();
    return 0;
}
