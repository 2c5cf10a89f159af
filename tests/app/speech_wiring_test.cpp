// Speech in the running program's pieces: the main window's keys, characters,
// paste and cancel key reach the speech line while no window holds the focus;
// the frame steps drain the budget and release queued lines; the speech
// handlers are registered; the death fade of the frame keeps speech off the
// screen; the help command sends its request.

#include "app/frame_render.h"
#include "app/game_tick.h"
#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/speech_wiring.h"
#include "net/packet_dispatcher.h"
#include "net/packet_table.h"
#include "platform/headless/headless_window.h"
#include "platform/virtual_keys.h"
#include "windows/speech_fixture.h"
#include "world/world_services.h"

#include <gtest/gtest.h>

namespace test {
namespace {

namespace vk = platform::vk;
using platform::MessageKind;

class SpeechWiring : public SpeechTest {
protected:
    void SetUp() override
    {
        SpeechTest::SetUp();
        wireSpeechWindowServices(services, mainPointer);
        services.isInGame = [] { return true; };
        main = std::make_unique<MainWindow>(window, services, WindowSettings {});
        mainPointer = main.get();
    }
    void TearDown() override
    {
        mainPointer = nullptr;
        main.reset();
        SpeechTest::TearDown();
    }
    void key(uint16_t code) { main->handleMessage({ MessageKind::KeyDown, code, 1, 0, 0 }); }
    void character(char16_t code) { main->handleMessage({ MessageKind::Char, code, 0, 0, 0 }); }

    platform::HeadlessWindow window;
    WindowServices services;
    std::unique_ptr<MainWindow> main;
    MainWindow* mainPointer = nullptr;
};

TEST_F(SpeechWiring, TypedCharactersAndEnterGoThroughTheMainWindow)
{
    for (char16_t c : std::u16string(u"! hey\r"))
        character(c);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0][3], speech_type::kYell);
    key(vk::kLeft);
    EXPECT_EQ(walking.directions, (std::vector<int32_t> { 6 }));
}

TEST_F(SpeechWiring, TheControlKeyOfTheWindowReachesTheHistory)
{
    for (char16_t c : std::u16string(u"first\rsecond\r"))
        character(c);
    window.setKeyHeld(vk::kControl, true);
    key(vk::letter('W'));
    window.setKeyHeld(vk::kControl, false);
    EXPECT_EQ(speechEntry().text(), u"first") << "the cursor stood past the newest line";
    key(vk::letter('W'));
    EXPECT_EQ(speechEntry().text(), u"first") << "without Ctrl, W only waits for its character";
}

struct WalkingKey {
    const char* name;
    bool controlHeld;
    uint32_t keyData;
};

class SpeechWiringKeys : public SpeechWiring, public testing::WithParamInterface<WalkingKey> { };

// A walking key reaches the walk with the keyboard as it is: the Ctrl key
// held on the platform (run) and the key's own data (a held key's repeat).
TEST_P(SpeechWiringKeys, AWalkingKeyCarriesTheKeyboardState)
{
    const WalkingKey& given = GetParam();
    window.setKeyHeld(vk::kControl, given.controlHeld);
    main->handleMessage({ MessageKind::KeyDown, vk::kLeft, given.keyData, 0, 0 });
    window.setKeyHeld(vk::kControl, false);
    ASSERT_EQ(walking.directions, (std::vector<int32_t> { 6 }));
    EXPECT_EQ(walking.controls, (std::vector<bool> { given.controlHeld }));
    EXPECT_EQ(walking.flags, (std::vector<uint32_t> { given.keyData }));
}

INSTANTIATE_TEST_SUITE_P(Speech, SpeechWiringKeys,
    testing::Values(WalkingKey { "FirstPress", false, 1 }, WalkingKey { "HeldAndRepeating", false, 1 | platform::kKeyDataWasDown },
        WalkingKey { "WithControl", true, 1 }, WalkingKey { "WithControlRepeating", true, 1 | platform::kKeyDataWasDown }),
    [](const testing::TestParamInfo<WalkingKey>& caseInfo) { return std::string(caseInfo.param.name); });

TEST_F(SpeechWiring, InTheWorldControlQRecallsAndDoesNotQuit)
{
    ASSERT_TRUE(main->create("", ""));
    platform::WindowMessage queued;
    while (window.peekMessage(queued))
        main->handleMessage(queued);
    for (char16_t c : std::u16string(u"again\r"))
        character(c);
    window.setKeyHeld(vk::kControl, true);
    platform::WindowMessage controlQ { MessageKind::KeyDown, vk::letter('Q'), 1, 0, 0 };
    main->translateAccelerator(controlQ);
    main->handleMessage(controlQ);
    window.setKeyHeld(vk::kControl, false);
    EXPECT_FALSE(window.peekMessage(queued)) << "no close request";
    EXPECT_TRUE(window.exists());
    EXPECT_EQ(speechEntry().text(), u"again");
}

TEST_F(SpeechWiring, APasteFillsTheLineUpToItsLimit)
{
    window.setClipboardText(std::u16string(300, u'a'));
    main->pasteClipboardText();
    EXPECT_EQ(speechEntry().text(), std::u16string(SpeechEntry::kMaxLength, u'a'));
    EXPECT_TRUE(sent.empty());
    speechEntry().setLine(u"", speech_type::kSay);
    window.setClipboardText(u"one line\r\nnext line");
    main->pasteClipboardText();
    EXPECT_EQ(speechEntry().text(), u"one line") << "a paste stops at the line's end and sends nothing";
    EXPECT_TRUE(sent.empty());
}

TEST_F(SpeechWiring, EscapeAnswersAPendingPrompt)
{
    pendingPrompt() = PendingPrompt { true, false, 1, 2 };
    character(27);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0][0], 0x9A);
    EXPECT_FALSE(pendingPrompt().pending);
}

TEST_F(SpeechWiring, TheFrameStepsReleaseQueuedSpeechAndTheHandlersAreRegistered)
{
    clearPacketHandlers();
    GameTick tick;
    MainLoop loop(window, tick, [](const platform::WindowMessage&) { });
    FrameRenderer frames { FrameServices {} };
    wireSpeech(tick, loop, frames);
    EXPECT_EQ(registeredPacketHandler(0xAE), &handleUnicodeSpeechPacket);
    EXPECT_EQ(registeredPacketHandler(0x1C), &handleAsciiSpeechPacket);
    EXPECT_EQ(registeredPacketHandler(0xC1), &handleLocalizedMessagePacket);
    EXPECT_EQ(registeredPacketHandler(0xCC), &handleLocalizedAffixPacket);
    EXPECT_EQ(registeredPacketHandler(0x9A), &handlePromptPacket);
    EXPECT_EQ(registeredPacketHandler(0xC2), &handleUnicodePromptPacket);

    sendSpeechAscii(std::string(60, 'a'), speech_type::kSay);
    sendSpeechAscii("queued", speech_type::kSay);
    ASSERT_EQ(sent.size(), 1u);
    int frameCount = 0;
    while (sent.size() < 2 && frameCount < 30) {
        clock.advance(100);
        tick.run(false);
        ++frameCount;
    }
    EXPECT_EQ(sent.size(), 2u);
    EXPECT_EQ(frameCount, 11) << "60 characters drain 3 a frame below 30 after 11 frames";

    journal().clear(); // the spam notice
    frames.startDeathFade();
    Bytes speech = fixture::ServerPacket(0xAE)
                       .u32(0xFFFFFFFF)
                       .u16(0)
                       .u8(0)
                       .u16(0)
                       .u16(3)
                       .text("ENU", 4)
                       .text("System", 30)
                       .unicode(u"hidden")
                       .bytes();
    registeredPacketHandler(0xAE)(speech.data());
    EXPECT_TRUE(journal().entries().empty()) << "nothing is shown while the death fade runs";

    shutDownSpeech(tick, loop);
    registeredPacketHandler(0xAE)(speech.data());
    EXPECT_EQ(journal().entries().size(), 1u);
    clearPacketHandlers();
}

TEST_F(SpeechWiring, TheHelpCommandSendsTheHelpRequest)
{
    // The help request is a window request: it goes through the world's sink.
    struct Recorder final : WorldPacketSink {
        explicit Recorder(std::vector<Bytes>& into)
            : m_into(into)
        {
        }
        bool send(const PacketBuffer& packet) override
        {
            m_into.emplace_back(packet.data(), packet.data() + packet.length());
            return true;
        }
        std::vector<Bytes>& m_into;
    } recorder(sent);
    WorldPacketSink* previous = installWorldService<WorldPacketSink>(&recorder);
    EXPECT_FALSE(runSpeechCommand(command::kOptions));
    EXPECT_TRUE(runSpeechCommand(command::kHelpRequest));
    ASSERT_EQ(sent.size(), 1u);
    Bytes expected(258, 0);
    expected[0] = 0x9B;
    EXPECT_EQ(sent[0], expected);
    installWorldService<WorldPacketSink>(previous);
}

} // namespace
} // namespace test
