// Speech from the server, packet bytes in: each type and hue of the Unicode
// and ASCII speech packets and of the localized messages, to the window that
// shows it (over the speaker or in the system area) and the journal line it
// leaves; the GM conversation notice; the filter; and a table of damaged
// packets that are refused or read only as far as they go.

#include "fixtures/language_files.h"
#include "fixtures/server_packet.h"
#include "gump/gump.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "speech_fixture.h"
#include "text/cliloc_table.h"
#include "text/obscenity_filter.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace test {
namespace {

constexpr uint32_t kSpeaker = 0x00000B01;
constexpr uint32_t kStranger = 0x00000B99;
constexpr uint32_t kNobody = 0xFFFFFFFF;

std::string describe(const ShownText& shown)
{
    std::string text;
    for (char16_t unit : shown.text)
        text.push_back(unit < 0x80 ? char(unit) : '?');
    char head[96];
    std::snprintf(head, sizeof head, "%s %s hue=%u font=%u%s%s '", shown.kind.c_str(),
        shown.owner ? "over" : "system", shown.hue, shown.font, shown.kept ? " kept" : "",
        shown.hasExtra ? " extra" : "");
    return head + text + "'";
}

Bytes unicodeSpeech(uint32_t serial, uint8_t type, uint16_t hue, uint16_t font, std::u16string_view text,
    std::string_view name = "Mira")
{
    return fixture::ServerPacket(0xAE)
        .u32(serial)
        .u16(400)
        .u8(type)
        .u16(hue)
        .u16(font)
        .text("ENU", 4)
        .text(name, 30)
        .unicode(text)
        .bytes();
}

// A speaker name that fills its 30-byte field, with no room for its 0.
constexpr std::string_view kFullName = "Abcdefghijklmnopqrstuvwxyz0123";

Bytes asciiSpeech(uint32_t serial, uint8_t type, uint16_t hue, uint16_t font, std::string_view text,
    std::string_view name = "Mira")
{
    return fixture::ServerPacket(0x1C)
        .u32(serial)
        .u16(400)
        .u8(type)
        .u16(hue)
        .u16(font)
        .text(name, 30)
        .text(text, text.size() + 1)
        .bytes();
}

struct RouteCase {
    std::string name;
    Bytes packet;
    std::vector<std::string> shown;
    std::vector<std::string> journal;
    std::function<void(SettingsRegistry&)> setUp = nullptr;
    bool ignoreSpeaker = false;
};

class IncomingSpeech : public SpeechTest {
protected:
    void SetUp() override
    {
        SpeechTest::SetUp();
        ASSERT_NE(addMobile(kSpeaker, kCentreX + 1, kCentreY), nullptr);
        auto table = std::make_unique<ClilocTable>();
        std::string image = fixture::clilocImage({ { kGmNoticeCliloc, "A GM is talking to you." },
            { kSystemLineCliloc, "System: ~1_TEXT~" }, { 1000001, "You gain ~1_SKILL~ by ~2_AMOUNT~." },
            { 1000002, "Well done" } });
        ASSERT_TRUE(table->loadBytes(reinterpret_cast<const uint8_t*>(image.data()), image.size()));
        setClilocTable(std::move(table));
    }
    void TearDown() override
    {
        setClilocTable(nullptr);
        setObsceneWordList({});
        SpeechTest::TearDown();
    }

    void ignore(uint32_t serial)
    {
        IgnoreEntry entry;
        entry.serial = serial;
        playerLists().ignore.push_back(entry);
    }

    void dispatch(const Bytes& packet)
    {
        switch (packet[0]) {
        case 0xAE: handleUnicodeSpeechPacket(packet.data()); break;
        case 0x1C: handleAsciiSpeechPacket(packet.data()); break;
        case 0xC1: handleLocalizedMessagePacket(packet.data()); break;
        case 0xCC: handleLocalizedAffixPacket(packet.data()); break;
        default: FAIL() << "no speech packet";
        }
    }

    std::vector<std::string> shownTexts() const
    {
        std::vector<std::string> all;
        for (const ShownText& shown : windows.texts)
            all.push_back(describe(shown));
        return all;
    }
};

class SpeechRoutes : public IncomingSpeech, public testing::WithParamInterface<RouteCase> { };

TEST_P(SpeechRoutes, ReachTheirWindowAndTheJournal)
{
    const RouteCase& c = GetParam();
    if (c.setUp)
        c.setUp(m_settings);
    if (c.ignoreSpeaker)
        ignore(kSpeaker);
    dispatch(c.packet);
    EXPECT_EQ(shownTexts(), c.shown);
    EXPECT_EQ(journalLines(), c.journal);
    EXPECT_EQ(journal().prefix(), JournalPrefix::None) << "no prefix is left behind for the next text";
}

void ignoreGuild(SettingsRegistry& s) { s.setBoolSetting(u"IgnoreGuildChat", 1); }
void ignoreAlliance(SettingsRegistry& s) { s.setBoolSetting(u"IgnoreAllianceChat", 1); }
void colours(SettingsRegistry& s)
{
    s.setColourSetting(u"GuildChatColor", 70);
    s.setColourSetting(u"AllianceChatColor", 71);
}

std::vector<RouteCase> unicodeRoutes()
{
    const std::string over = "unicode over hue=53 font=1 'hello'";
    const std::string system = "unicode system hue=53 font=1 'hello'";
    std::vector<RouteCase> cases {
        { "SayOverItsSpeaker", unicodeSpeech(kSpeaker, 0, 53, 1, u"hello"), { over }, { "Mira: hello" } },
        { "EmoteOverItsSpeaker", unicodeSpeech(kSpeaker, 2, 53, 1, u"hello"), { over }, { "Mira: hello" } },
        { "Type3OverItsSpeaker", unicodeSpeech(kSpeaker, 3, 53, 1, u"hello"), { over }, { "Mira: hello" } },
        { "Type4OverItsSpeaker", unicodeSpeech(kSpeaker, 4, 53, 1, u"hello"), { over }, { "Mira: hello" } },
        { "WhisperOverItsSpeaker", unicodeSpeech(kSpeaker, 8, 53, 1, u"hello"), { over }, { "Mira: hello" } },
        { "YellOverItsSpeaker", unicodeSpeech(kSpeaker, 9, 53, 1, u"hello"), { over }, { "Mira: hello" } },
        { "FocusOverItsSpeaker", unicodeSpeech(kSpeaker, 7, 53, 1, u"hello"), { over }, { "Mira: hello" } },
        { "SayOfAStrangerInTheSystemArea", unicodeSpeech(kStranger, 0, 53, 1, u"hello"), { system }, { "hello" } },
        { "SayOfNobodyInTheSystemArea", unicodeSpeech(kNobody, 0, 53, 1, u"hello"), { system }, { "hello" } },
        { "IgnoredSpeakerShowsNothing", unicodeSpeech(kSpeaker, 0, 53, 1, u"hello"), {}, {}, nullptr, true },
        { "LabelIsSeen", unicodeSpeech(kSpeaker, 6, 53, 1, u"hello"), { over }, { "You see: hello" } },
        { "LabelOfAStranger", unicodeSpeech(kStranger, 6, 53, 1, u"hello"), { system }, { "hello" } },
        { "IgnoredLabelShowsNothing", unicodeSpeech(kSpeaker, 6, 53, 1, u"hello"), {}, {}, nullptr, true },
        { "GuildLineInTheGuildColour", unicodeSpeech(kSpeaker, 13, 53, 1, u"hello"),
            { "unicode system hue=63 font=3 '[Guild][Mira]: hello'" }, { "[Guild][Mira]: hello" } },
        { "GuildLineOfAnIgnoredPlayer", unicodeSpeech(kSpeaker, 13, 53, 1, u"hello"),
            { "unicode system hue=63 font=3 '[Guild][Mira]: hello'" }, { "[Guild][Mira]: hello" }, nullptr, true },
        { "GuildLineIgnored", unicodeSpeech(kSpeaker, 13, 53, 1, u"hello"), {}, {}, ignoreGuild },
        { "GuildColourFromSettings", unicodeSpeech(kSpeaker, 13, 53, 1, u"x"),
            { "unicode system hue=70 font=3 '[Guild][Mira]: x'" }, { "[Guild][Mira]: x" }, colours },
        { "AllianceLine", unicodeSpeech(kSpeaker, 14, 53, 1, u"hello"),
            { "unicode system hue=89 font=3 '[Alliance][Mira]: hello'" }, { "[Alliance][Mira]: hello" } },
        { "AllianceColourFromSettings", unicodeSpeech(kSpeaker, 14, 53, 1, u"x"),
            { "unicode system hue=71 font=3 '[Alliance][Mira]: x'" }, { "[Alliance][Mira]: x" }, colours },
        { "AllianceLineIgnored", unicodeSpeech(kSpeaker, 14, 53, 1, u"hello"), {}, {}, ignoreAlliance },
        { "GmEndLine", unicodeSpeech(kStranger, 16, 53, 1, u"bye"), { "unicode system hue=34 font=3 '[GM][Mira]: bye'" },
            { "[GM][Mira]: bye" } },
        { "ANameWithoutItsZero",
            unicodeSpeech(kSpeaker, 0, 53, 1, u"hi", kFullName),
            { "unicode over hue=53 font=1 'hi'" }, { "Abcdefghijklmnopqrstuvwxyz0123: hi" } },
    };
    for (uint8_t silent : { 1, 5, 10, 11, 12, 17, 0xC0, 0xFF }) {
        cases.push_back({ "SilentType" + std::to_string(silent), unicodeSpeech(kSpeaker, silent, 53, 1, u"hello"), {}, {} });
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Unicode, SpeechRoutes, testing::ValuesIn(unicodeRoutes()),
    [](const testing::TestParamInfo<RouteCase>& caseInfo) { return caseInfo.param.name; });

std::vector<RouteCase> asciiRoutes()
{
    return {
        { "SayOverItsSpeaker", asciiSpeech(kSpeaker, 0, 90, 3, "hi"), { "ascii over hue=90 font=3 'hi'" },
            { "Mira: hi" } },
        { "SayOfAStrangerIsASystemMessage", asciiSpeech(kStranger, 0, 90, 3, "hi"),
            { "system system hue=90 font=3 'hi'" }, { "hi" } },
        { "IgnoredSayShowsNothing", asciiSpeech(kSpeaker, 9, 90, 3, "hi"), {}, {}, nullptr, true },
        { "BroadcastOfNobodyIsLocalized", asciiSpeech(kNobody, 1, 90, 3, "up"),
            { "unicode system hue=90 font=3 'System: up'" }, { "System: up" } },
        { "BroadcastOfSomeoneNamesThem", asciiSpeech(kStranger, 1, 90, 3, "up"),
            { "system system hue=90 font=3 'Mira: up'" }, { "Mira: up" } },
        { "LabelIsSeen", asciiSpeech(kSpeaker, 6, 90, 3, "a bag"), { "ascii over hue=90 font=3 'a bag'" },
            { "You see: a bag" } },
        { "IgnoredLabelIsASystemMessage", asciiSpeech(kSpeaker, 6, 90, 3, "a bag"),
            { "system system hue=90 font=3 'a bag'" }, { "a bag" }, nullptr, true },
        { "FocusReplacesTheTexts", asciiSpeech(kSpeaker, 7, 90, 3, "now"), { "ascii over hue=90 font=3 'now'" },
            { "Mira: now" } },
        { "Type10IsKept", asciiSpeech(kSpeaker, 10, 90, 3, "stay"), { "ascii over hue=90 font=3 kept 'stay'" },
            { "Mira: stay" } },
        { "Type10OfAStranger", asciiSpeech(kStranger, 10, 90, 3, "stay"), { "system system hue=90 font=3 'stay'" },
            { "stay" } },
        { "CommandLineTypeIsSilent", asciiSpeech(kSpeaker, 5, 90, 3, "x"), {}, {} },
        { "PartyTypeIsSilent", asciiSpeech(kSpeaker, 11, 90, 3, "x"), {}, {} },
        { "AnUnloadedFontShowsNothing", asciiSpeech(kStranger, 0, 90, 5, "x"), {}, {} },
        { "ANameWithoutItsZero", asciiSpeech(kStranger, 1, 90, 3, "up", kFullName),
            { "system system hue=90 font=3 'Abcdefghijklmnopqrstuvwxyz0123: up'" },
            { "Abcdefghijklmnopqrstuvwxyz0123: up" } },
    };
}

INSTANTIATE_TEST_SUITE_P(Ascii, SpeechRoutes, testing::ValuesIn(asciiRoutes()),
    [](const testing::TestParamInfo<RouteCase>& caseInfo) { return caseInfo.param.name; });

Bytes localized(uint32_t serial, uint8_t type, uint32_t id, std::u16string_view arguments,
    std::string_view name = "Mira")
{
    fixture::ServerPacket packet(0xC1);
    packet.u32(serial).u16(400).u8(type).u16(55).u16(3).u32(id).text(name, 30);
    return packet.bytes(unitsLittleEndianTerminated(arguments)).bytes();
}

Bytes affixed(uint32_t serial, uint8_t flags, std::string_view affix, std::u16string_view arguments,
    std::string_view name = "Mira")
{
    return fixture::ServerPacket(0xCC)
        .u32(serial)
        .u16(400)
        .u8(0)
        .u16(55)
        .u16(3)
        .u32(1000002)
        .u8(flags)
        .text(name, 30)
        .text(affix, affix.size() + 1)
        .unicode(arguments)
        .bytes();
}

std::vector<RouteCase> localizedRoutes()
{
    return {
        { "MessageWithArguments", localized(kSpeaker, 0, 1000001, u"magic\t5"),
            { "unicode over hue=55 font=3 'You gain magic by 5.'" }, { "Mira: You gain magic by 5." } },
        { "MessageWithoutArguments", localized(kStranger, 0, 1000002, u""),
            { "unicode system hue=55 font=3 'Well done'" }, { "Well done" } },
        { "AffixAppended", affixed(kSpeaker, 0, "!", u""), { "unicode over hue=55 font=3 'Well done!'" },
            { "Mira: Well done!" } },
        { "AffixInFront", affixed(kSpeaker, 1, "Oh. ", u""), { "unicode over hue=55 font=3 'Oh. Well done'" },
            { "Mira: Oh. Well done" } },
        { "AffixAppendedWithoutSpeaker", affixed(kSpeaker, 2, "!", u""),
            { "unicode system hue=55 font=3 'Well done!'" }, { "Well done!" } },
        { "AffixInFrontWithoutSpeaker", affixed(kSpeaker, 3, "Oh. ", u""),
            { "unicode system hue=55 font=3 'Oh. Well done'" }, { "Oh. Well done" } },
        { "AffixFlagsOutOfRange", affixed(kSpeaker, 6, "!", u""), {}, {} },
        { "MessageNameWithoutItsZero", localized(kSpeaker, 0, 1000002, u"", kFullName),
            { "unicode over hue=55 font=3 'Well done'" }, { "Abcdefghijklmnopqrstuvwxyz0123: Well done" } },
        { "AffixNameWithoutItsZero", affixed(kSpeaker, 0, "!", u"", kFullName),
            { "unicode over hue=55 font=3 'Well done!'" }, { "Abcdefghijklmnopqrstuvwxyz0123: Well done!" } },
    };
}

INSTANTIATE_TEST_SUITE_P(Localized, SpeechRoutes, testing::ValuesIn(localizedRoutes()),
    [](const testing::TestParamInfo<RouteCase>& caseInfo) { return caseInfo.param.name; });

TEST_F(IncomingSpeech, TheGmNoticeComesWithTheFirstLineOfEachConversation)
{
    for (uint8_t type : { 15, 15, 16, 15 })
        dispatch(unicodeSpeech(kStranger, type, 53, 1, u"x"));
    EXPECT_EQ(journalLines(),
        (std::vector<std::string> { "A GM is talking to you.", "[GM][Mira]: x", "[GM][Mira]: x", "[GM][Mira]: x",
            "A GM is talking to you.", "[GM][Mira]: x" }));
    EXPECT_TRUE(isGmConversationOpen());
    for (const ShownText& shown : windows.texts)
        EXPECT_EQ(shown.hue, kGmHue);
}

// A container window for the label test.
class ContainerWindow final : public CGump {
public:
    explicit ContainerWindow(WorldObject* container)
    {
        setTypeName("container gump");
        addKind(GumpKind::ContainerGump);
        setOwner(container);
    }
};

class ContainerWorld final : public GumpWorld {
public:
    bool isValidObject(WorldObject* object) override { return object != nullptr; }
    bool isPlayer(WorldObject*) override { return false; }
    bool isMobile(WorldObject*) override { return false; }
    bool isCorpse(WorldObject*) override { return false; }
    bool isContainer(WorldObject* object) override { return object == container; }
    bool isLiftableItem(WorldObject*) override { return true; }
    uint32_t serialOf(WorldObject*) override { return 0; }
    WorldObject* parentObject(WorldObject* object) override { return object == item ? container : nullptr; }
    void forgetOpenGump(WorldObject*, CGump*) override { }
    std::vector<NameCandidate> nameCandidates(const ScreenRect&) override { return {}; }
    WorldObject* container = nullptr;
    WorldObject* item = nullptr;
};

TEST_F(IncomingSpeech, ALabelInsideAnOpenContainerGoesWithItsWindow)
{
    ContainerWorld world;
    ScopedService<GumpWorld> worldGuard(world);
    world.item = findItemBySerial(kSpeaker);
    world.container = dropItem(0x40000300, kCentreX, kCentreY, kBackpackGraphic);
    auto* window = new ContainerWindow(world.container);
    gumpLink(window, nullptr);
    dispatch(unicodeSpeech(kSpeaker, 6, 53, 1, u"a ring"));
    dispatch(asciiSpeech(kSpeaker, 6, 53, 3, "a ring"));
    closeGump(window);
    EXPECT_EQ(shownTexts(),
        (std::vector<std::string> { "unicode over hue=53 font=1 extra 'a ring'", "ascii over hue=53 font=3 kept 'a ring'" }));
    EXPECT_EQ(journalLines(), (std::vector<std::string> { "You see: a ring", "You see: a ring" }));
}

TEST_F(IncomingSpeech, FocusDropsTheSpeakersOtherTextsFirst)
{
    dispatch(unicodeSpeech(kSpeaker, 7, 53, 1, u"look"));
    EXPECT_EQ(m_overheads.dropped, 1);
    dispatch(unicodeSpeech(kSpeaker, 0, 53, 1, u"say"));
    EXPECT_EQ(m_overheads.dropped, 1) << "other speech trims instead";
}

TEST_F(IncomingSpeech, NothingIsShownWhileTheDeathFadeRuns)
{
    fade.running = true;
    dispatch(unicodeSpeech(kSpeaker, 0, 53, 1, u"hello"));
    dispatch(asciiSpeech(kSpeaker, 0, 53, 3, "hello"));
    dispatch(unicodeSpeech(kSpeaker, 15, 53, 1, u"hello"));
    EXPECT_TRUE(windows.texts.empty());
    EXPECT_TRUE(journal().entries().empty());
    EXPECT_FALSE(isGmConversationOpen());
}

TEST_F(IncomingSpeech, TheFilterMasksListedWordsWhileItIsOn)
{
    setObsceneWordList({ u"darn" });
    dispatch(unicodeSpeech(kStranger, 0, 53, 1, u"oh darn it"));
    dispatch(asciiSpeech(kStranger, 0, 53, 3, "darn"));
    m_settings.setBoolSetting(u"ObscenityFilter", 0);
    dispatch(unicodeSpeech(kStranger, 0, 53, 1, u"darn"));
    std::vector<std::string> lines = journalLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].substr(0, 3), "oh ");
    EXPECT_EQ(lines[0].find("darn"), std::string::npos);
    EXPECT_EQ(lines[0].size(), 10u);
    EXPECT_EQ(lines[1].find("darn"), std::string::npos);
    EXPECT_EQ(lines[2], "darn");
}

TEST_F(IncomingSpeech, AutomaticTranslationOfAnIdleClientShowsTheLineAsItCame)
{
    m_settings.setBoolSetting(u"TranslationServerAutomatic", 1);
    dispatch(unicodeSpeech(kSpeaker, 0, 53, 1, u"hola"));
    EXPECT_EQ(journalLines(), (std::vector<std::string> { "Mira: hola" }));
}

struct BadPacketCase {
    const char* name;
    Bytes packet;
    std::vector<std::string> journal;
};

class DamagedSpeech : public IncomingSpeech, public testing::WithParamInterface<BadPacketCase> { };

TEST_P(DamagedSpeech, IsRefusedOrReadOnlyAsFarAsItGoes)
{
    dispatch(GetParam().packet);
    EXPECT_EQ(journalLines(), GetParam().journal);
}

Bytes withoutTerminator(Bytes packet, size_t cut)
{
    packet.resize(packet.size() - cut);
    packet[1] = uint8_t(packet.size() >> 8);
    packet[2] = uint8_t(packet.size());
    return packet;
}

std::vector<BadPacketCase> damagedPackets()
{
    Bytes unicode = unicodeSpeech(kStranger, 0, 53, 1, u"hello");
    Bytes ascii = asciiSpeech(kStranger, 0, 53, 3, "hello");
    std::u16string longText(3000, u'x');
    Bytes huge = unicodeSpeech(kStranger, 0, 53, 1, longText);
    return {
        { "UnicodeTextWithoutZeroUnit", withoutTerminator(unicode, 2), { "hello" } },
        { "UnicodeTextWithOddByte", withoutTerminator(unicode, 3), { "hell" } },
        { "UnicodeWithoutText", withoutTerminator(unicode, 12), {} },
        { "UnicodeEmptyText", unicodeSpeech(kStranger, 0, 53, 1, u""), { "" } },
        { "UnicodeNameCut", withoutTerminator(unicode, 13), {} },
        { "UnicodeHeaderOnly", withoutTerminator(unicode, 44), {} },
        { "UnicodeIdOnly", withoutTerminator(unicode, unicode.size() - 3), {} },
        { "UnicodeTextOver2048Units", huge, { std::string(kMaxIncomingSpeechUnits, 'x') } },
        { "AsciiTextWithoutZero", withoutTerminator(ascii, 1), { "hello" } },
        { "AsciiWithoutText", withoutTerminator(ascii, 6), {} },
        { "AsciiNameCut", withoutTerminator(ascii, 20), {} },
        { "LocalizedIdCut", withoutTerminator(localized(kStranger, 0, 1000002, u""), 34), {} },
        { "AffixWithoutZero", withoutTerminator(affixed(kStranger, 0, "!!", u""), 3), { "Well done!!" } },
        { "AffixFlagsCut", withoutTerminator(affixed(kStranger, 0, "", u""), 34), {} },
    };
}

INSTANTIATE_TEST_SUITE_P(Bytes, DamagedSpeech, testing::ValuesIn(damagedPackets()),
    [](const testing::TestParamInfo<BadPacketCase>& caseInfo) { return std::string(caseInfo.param.name); });

} // namespace
} // namespace test
