#pragma once
// The speech tests' world: the world fixture's player (body 400, standing at
// the view centre), a fresh settings registry, ASCII font 3 made of narrow
// glyphs (and a 100-pixel 'W' for the width limit), a Unicode font, the
// player in the game, and recorders in place of the text windows, the party
// table, walking, the world's overhead texts and the game connection. The
// speech line, the throttle, the prompt, the GM flag and the journal start
// empty and are emptied again afterwards.

#include "data/client_services.h"
#include "data/config_key_rules.h"
#include "data/player_lists.h"
#include "data/settings_registry.h"
#include "fixtures/font_writers.h"
#include "fixtures/server_packet.h"
#include "net/packet_table.h"
#include "protocol/protocol_test_state.h"
#include "text/ascii_font.h"
#include "text/unicode_font.h"
#include "windows/incoming_speech.h"
#include "windows/journal.h"
#include "windows/speech_entry.h"
#include "windows/speech_packets.h"
#include "windows/speech_services.h"
#include "windows/window_services.h"
#include "windows/speech_throttle.h"
#include "windows/system_text.h"
#include "world/world_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace test {

// One text a window was asked to show.
struct ShownText {
    std::string kind; // "system", "unicode", "ascii"
    uint32_t owner = 0; // the owner's serial, 0 for the system area
    std::u16string text;
    uint16_t hue = 0;
    uint16_t font = 0;
    std::string language;
    bool hasExtra = false;
    bool kept = false;
};

class RecordingTextWindows final : public TextWindows {
public:
    void showSystemText(std::string_view text, uint16_t hue, uint16_t font) override
    {
        ShownText shown;
        shown.kind = "system";
        for (char c : text)
            shown.text.push_back(char16_t(uint8_t(c)));
        shown.hue = hue;
        shown.font = font;
        texts.push_back(shown);
    }
    void showUnicodeText(StaticObject* owner, std::u16string_view text, uint16_t hue, uint16_t font,
        std::string_view language, CGump* extra) override
    {
        ShownText shown;
        shown.kind = "unicode";
        shown.owner = owner && owner->isDynamic() ? static_cast<Item*>(owner)->serial : 0;
        shown.text.assign(text);
        shown.hue = hue;
        shown.font = font;
        shown.language.assign(language);
        shown.hasExtra = extra != nullptr;
        texts.push_back(shown);
    }
    void showSpeechLine(std::u16string_view text, uint16_t hue, uint16_t font, bool unicode) override
    {
        line.assign(text);
        lineHue = hue;
        lineFont = font;
        lineUnicode = unicode;
        ++lineShows;
    }

    std::vector<ShownText> texts;
    std::u16string line;
    uint16_t lineHue = 0;
    uint16_t lineFont = 0;
    bool lineUnicode = false;
    int lineShows = 0;
};

// The world's overhead text windows, as a log; every object holds as many
// texts as it was given (none is ever kept).
class RecordingOverheadTexts final : public OverheadTextViews {
public:
    explicit RecordingOverheadTexts(std::vector<ShownText>& log)
        : m_log(log)
    {
    }
    int32_t textCount(const StaticObject&) override { return 0; }
    void deleteUnkept(StaticObject&) override { ++dropped; }
    void create(StaticObject& object, std::string_view text, uint16_t hue, uint16_t font, int32_t, bool kept) override
    {
        ShownText shown;
        shown.kind = "ascii";
        shown.owner = object.isDynamic() ? static_cast<Item&>(object).serial : 0;
        for (char c : text)
            shown.text.push_back(char16_t(uint8_t(c)));
        shown.hue = hue;
        shown.font = font;
        shown.kept = kept;
        m_log.push_back(shown);
    }
    int dropped = 0;

private:
    std::vector<ShownText>& m_log;
};

class FakeParty final : public PartyState {
public:
    uint32_t memberSerial(int32_t slot) override { return slot >= 0 && slot < kSlots ? serials[size_t(slot)] : 0; }
    std::string memberName(int32_t slot) override { return slot >= 0 && slot < kSlots ? names[size_t(slot)] : ""; }
    bool isInvitationPending() override { return invited; }
    void clearInvitation() override { invited = false; }
    uint32_t invitingLeader() override { return leader; }
    uint8_t lootFlag() override { return loot; }

    std::array<uint32_t, kSlots> serials {};
    std::array<std::string, kSlots> names {};
    bool invited = false;
    uint32_t leader = 0;
    uint8_t loot = 0;
};

class RecordingWalking final : public PlayerWalking {
public:
    void walkByPointer(int32_t, int32_t) override { }
    void walkByKey(int32_t direction, uint32_t keyFlags, bool control) override
    {
        directions.push_back(direction);
        flags.push_back(keyFlags);
        controls.push_back(control);
    }
    std::vector<PendingStep> pendingSteps() override { return {}; }
    bool isAwaitingResync() override { return false; }
    bool isWalkIdle() override { return true; }
    bool walkPathTo(const PathCell&, const PathCell&, int32_t, int32_t) override { return false; }
    std::vector<int32_t> directions;
    std::vector<uint32_t> flags;
    std::vector<bool> controls;
};

class FadeSwitch final : public DeathFade {
public:
    bool isRunning() override { return running; }
    bool running = false;
};

// Font 3: a 1x3 glyph for every printable character but 'W' (100 wide) and
// '~' (none). Font 0 holds only the blank.
inline std::string speechAsciiFonts()
{
    fixture::AsciiFontFileWriter writer;
    writer.addFont(0).setSolidGlyph(0, ' ', 1, 3, 0, 0);
    for (int code = 32; code < 127; ++code) {
        if (code == '~')
            continue;
        writer.setSolidGlyph(3, code, code == 'W' ? 100 : 1, 3, 0, 0x7FFF);
    }
    writer.setSolidGlyph(3, 0xE9, 1, 3, 0, 0x7FFF);
    return writer.bytes();
}

inline std::string speechUnicodeFont()
{
    fixture::UnicodeFontWriter writer;
    writer.addTestFace();
    fixture::UnicodeFontWriter::Glyph glyph;
    glyph.width = 5;
    glyph.height = 2;
    glyph.rows.assign(2, "#####");
    writer.setGlyph(0x4E00, glyph).setGlyph(0xE9, glyph);
    return writer.bytes();
}

class SpeechTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        m_previousSettings = installSettings(&m_settings);
        resetConfigValues();
        std::string ascii = speechAsciiFonts();
        ASSERT_TRUE(parseAsciiFontFile(reinterpret_cast<const uint8_t*>(ascii.data()), ascii.size()));
        static const std::string unicode = speechUnicodeFont();
        ASSERT_TRUE(installUnicodeFont(0, reinterpret_cast<const uint8_t*>(unicode.data()), unicode.size()));
        selectUnicodeFont(0);
        m_inGame.inGame = true;
        m_previousGameState = installGameState(&m_inGame);
        installService<TextWindows>(&windows);
        installService<PartyState>(&party);
        installService<PlayerWalking>(&walking);
        installService<DeathFade>(&fade);
        m_previousOverheads = installWorldService<OverheadTextViews>(&m_overheads);
        installSystemTextServices();
        installSpeechPacketSender([this](const PacketBuffer& packet) {
            sent.emplace_back(packet.data(), packet.data() + packet.length());
            return true;
        });
        resetSpeechState();
        setSpeechLanguage("ENU");
        speechStyle() = SpeechStyle {};
        speechBudget() = SpeechBudget { 0, clock.tickMs() };
    }

    void TearDown() override
    {
        resetSpeechState();
        installSpeechPacketSender(nullptr);
        uninstallSystemTextServices();
        installWorldService<OverheadTextViews>(m_previousOverheads);
        installService<DeathFade>(nullptr);
        installService<PlayerWalking>(nullptr);
        installService<PartyState>(nullptr);
        installService<TextWindows>(nullptr);
        installGameState(m_previousGameState);
        freeAsciiFonts();
        installSettings(m_previousSettings);
        resetConfigValues();
        playerLists().ignore.clear();
        WorldTest::TearDown();
    }

    static void resetSpeechState()
    {
        speechEntry().reset();
        pendingPrompt() = PendingPrompt {};
        setGmConversationOpen(false);
        clearSpeechQueue();
        journal().clear();
    }

    void useUnicodeSpeech(bool on) { m_settings.restartRow("UnicodeSpeech")->value = on ? 1 : 0; }

    // Types every unit of `keys` as a character message.
    static void type(std::u16string_view keys)
    {
        for (char16_t unit : keys)
            speechEntry().onChar(unit);
    }

    // The journal as plain strings (wide lines narrowed unit by unit).
    static std::vector<std::string> journalLines()
    {
        std::vector<std::string> lines;
        for (const JournalEntry& entry : journal().entries()) {
            if (!entry.wide) {
                lines.push_back(entry.narrow);
                continue;
            }
            std::string line;
            for (char16_t unit : entry.text)
                line.push_back(unit < 0x80 ? char(unit) : '?');
            lines.push_back(line);
        }
        return lines;
    }

    SettingsRegistry m_settings;
    RecordingTextWindows windows;
    FakeParty party;
    RecordingWalking walking;
    FadeSwitch fade;
    RecordingOverheadTexts m_overheads { windows.texts };
    std::vector<Bytes> sent;

private:
    SettingsRegistry* m_previousSettings = nullptr;
    RecordingGameState m_inGame;
    GameStateService* m_previousGameState = nullptr;
    OverheadTextViews* m_previousOverheads = nullptr;
};

// The bytes of a text as UTF-16 little-endian units and a 0 unit.
inline Bytes unitsLittleEndianTerminated(std::u16string_view text)
{
    Bytes out;
    for (char16_t unit : text) {
        out.push_back(uint8_t(unit));
        out.push_back(uint8_t(unit >> 8));
    }
    out.push_back(0);
    out.push_back(0);
    return out;
}

// The bytes of a text as UTF-16 big-endian units.
inline Bytes unitsBigEndian(std::u16string_view text)
{
    Bytes out;
    for (char16_t unit : text) {
        out.push_back(uint8_t(unit >> 8));
        out.push_back(uint8_t(unit));
    }
    return out;
}

inline Bytes concatBytes(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

} // namespace test
