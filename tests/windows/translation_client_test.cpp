// The translation client against a scripted peer on loopback: refused
// requests while the feature is off or no server listens, the one message box
// for a server elsewhere, the request bytes, replies split across receives
// and several in one, a reply nobody asked for, a server that goes away, a
// request larger than the socket takes at once, and automatic translation of
// received speech end to end.

#include "platform/message_box.h"
#include "platform/sockets.h"
#include "speech_fixture.h"
#include "text/localization.h"
#include "windows/translation_client.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace test {
namespace {

constexpr uint32_t kLoopback = TranslationClient::kDefaultAddress;

Bytes word(std::string_view code)
{
    uint32_t value = translationLanguageWord(code);
    return { uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24) };
}

Bytes reply(int32_t id, std::u16string_view text)
{
    return concatBytes({ { uint8_t(id), uint8_t(id >> 8), uint8_t(id >> 16), uint8_t(id >> 24) }, word("enu"),
        word("deu"), unitsLittleEndianTerminated(text) });
}

// The server's side: listens on a free loopback port, accepts the client and
// reads and writes whole byte strings.
class ScriptedPeer {
public:
    ScriptedPeer()
    {
        m_listener = platform::tcpListenLoopback(0);
        port = platform::socketLocalPort(m_listener);
    }
    ~ScriptedPeer()
    {
        closeConnection();
        platform::closeSocket(m_listener);
    }
    bool accept()
    {
        m_socket = platform::tcpAccept(m_listener, 2000);
        return m_socket != platform::kNoSocket;
    }
    void send(const Bytes& bytes)
    {
        size_t at = 0;
        while (at < bytes.size()) {
            platform::IoResult result = platform::socketSend(m_socket, bytes.data() + at, bytes.size() - at);
            ASSERT_EQ(result.status, platform::IoStatus::Done);
            at += size_t(result.count);
        }
    }
    // Reads what has arrived, waiting at most a moment for the first byte.
    Bytes receiveSome(size_t most)
    {
        platform::SocketPoll poll { m_socket, true, false };
        if (platform::pollSockets({ &poll, 1 }, 200) <= 0 || !poll.readable)
            return {};
        Bytes bytes(most);
        platform::IoResult result = platform::socketReceive(m_socket, bytes.data(), bytes.size());
        bytes.resize(result.status == platform::IoStatus::Done ? size_t(result.count) : 0);
        return bytes;
    }
    void closeConnection()
    {
        if (m_socket != platform::kNoSocket)
            platform::closeSocket(m_socket);
        m_socket = platform::kNoSocket;
    }
    uint16_t port = 0;

private:
    platform::SocketHandle m_listener = platform::kNoSocket;
    platform::SocketHandle m_socket = platform::kNoSocket;
};

// Polls the client until `done` holds, for at most about two seconds.
template <typename Done> bool pollUntil(TranslationClient& client, Done done)
{
    for (int i = 0; i < 2000 && !done(); ++i) {
        client.poll();
        if (!done())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return done();
}

class TranslationTest : public SpeechTest {
protected:
    void TearDown() override
    {
        translationClient().stop();
        translationClient() = TranslationClient();
        SpeechTest::TearDown();
    }
    // A client connected to the peer, its target English.
    void connect(TranslationClient& client)
    {
        client.enable();
        client.setServerAddress(kLoopback, peer.port);
        ASSERT_TRUE(client.start());
        ASSERT_TRUE(peer.accept());
        client.setTargetLanguage("enu");
        ASSERT_TRUE(client.setSourceLanguage("deu"));
    }
    ScriptedPeer peer;
    platform::RecordingMessageBoxSink boxes;
    platform::ScopedMessageBoxSink boxGuard { boxes };
};

TEST_F(TranslationTest, OffItRefusesEveryRequestAndReadsNothing)
{
    TranslationClient client;
    EXPECT_FALSE(client.start());
    client.setTargetLanguage("enu");
    EXPECT_TRUE(client.setSourceLanguage("deu"));
    EXPECT_EQ(client.requestTranslation(u"", u"hallo", nullptr), -1);
    client.poll();
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(TranslationTest, WithNoServerListeningItStaysQuiet)
{
    // A port nothing listens on any more.
    platform::SocketHandle listener = platform::tcpListenLoopback(0);
    uint16_t closedPort = platform::socketLocalPort(listener);
    platform::closeSocket(listener);
    TranslationClient client;
    client.enable();
    client.setServerAddress(kLoopback, closedPort);
    EXPECT_FALSE(client.start());
    EXPECT_TRUE(client.isStarted());
    client.setTargetLanguage("enu");
    client.setSourceLanguage("deu");
    EXPECT_EQ(client.requestTranslation(u"", u"hallo", nullptr), -1);
    client.poll();
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(TranslationTest, ADefaultAddressAndNameAreFilledIn)
{
    TranslationClient client;
    client.enable();
    client.start();
    EXPECT_EQ(client.serverAddress(), kLoopback);
    EXPECT_EQ(client.serverPort(), TranslationClient::kDefaultPort);
    EXPECT_EQ(client.translatorName(), "Systran");
    EXPECT_EQ(client.nfwMarker(), ">?>");
}

TEST_F(TranslationTest, AServerElsewhereIsRefusedWithOneMessage)
{
    TranslationClient client;
    client.enable();
    client.setServerAddress(0x0A000001, 28888);
    EXPECT_FALSE(client.start());
    EXPECT_FALSE(client.start());
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "Language Translation Server");
    EXPECT_EQ(boxes.boxes[0].text, "Translation server must be on this computer");
}

TEST_F(TranslationTest, TheSourceMustDifferFromTheTarget)
{
    TranslationClient client;
    client.setTargetLanguage("enu");
    EXPECT_FALSE(client.setSourceLanguage("ENU"));
    EXPECT_FALSE(client.setSourceLanguage("EN"));
    EXPECT_FALSE(client.setSourceLanguage(""));
    EXPECT_TRUE(client.setSourceLanguage("deutsch"));
}

TEST(TranslationRequest, EncodesIdLanguageWordsAndUtf16LittleEndian)
{
    char englishTag = getLanguageTag("enu");
    Bytes bytes = encodeTranslationRequest(0x01020304, "deu", "enu", u"h\u00E9");
    EXPECT_EQ(bytes, (Bytes { 4, 3, 2, 1, uint8_t(getLanguageTag("deu")), 0, 'u', 0, uint8_t(englishTag), 0, 'u', 0,
                         'h', 0, 0xE9, 0, 0, 0 }));
}

TEST_F(TranslationTest, ARoundTripThroughThePeer)
{
    TranslationClient client;
    connect(client);
    std::u16string translated;
    std::u16string prefix;
    int32_t id = client.requestTranslation(u"Mira: ", u"guten Tag", [&](std::u16string_view p, std::u16string_view t) {
        prefix.assign(p);
        translated.assign(t);
    });
    ASSERT_EQ(id, 1);
    Bytes expected = concatBytes({ { 1, 0, 0, 0 }, word("deu"), word("enu"), unitsLittleEndianTerminated(u"guten Tag") });
    Bytes received;
    while (received.size() < expected.size()) {
        Bytes some = peer.receiveSome(4096);
        ASSERT_FALSE(some.empty()) << "the request did not arrive whole";
        received.insert(received.end(), some.begin(), some.end());
    }
    EXPECT_EQ(received, expected);

    // The reply arrives in two parts, the cut inside a unit, with a reply to
    // nobody's request behind it.
    Bytes answer = concatBytes({ reply(1, u"good day"), reply(77, u"stray") });
    peer.send(Bytes(answer.begin(), answer.begin() + 17));
    client.poll();
    peer.send(Bytes(answer.begin() + 17, answer.end()));
    ASSERT_TRUE(pollUntil(client, [&] { return !translated.empty() && !journal().entries().empty(); }));
    EXPECT_EQ(translated, u"good day");
    EXPECT_EQ(prefix, u"Mira: ");
    EXPECT_EQ(client.pendingCount(), 0u);
    ASSERT_EQ(windows.texts.size(), 1u);
    EXPECT_EQ(windows.texts[0].hue, TranslationClient::kUnknownReplyHue);
    EXPECT_EQ(windows.texts[0].language, "ENU");
    EXPECT_EQ(journalLines(), (std::vector<std::string> { "stray" }));
    EXPECT_EQ(client.requestTranslation(u"", u"zwei", nullptr), 2);
}

TEST_F(TranslationTest, AServerThatGoesAwayLeavesTheClientQuiet)
{
    TranslationClient client;
    connect(client);
    peer.closeConnection();
    ASSERT_TRUE(pollUntil(client, [&] { return !client.isRunning(); }));
    EXPECT_EQ(client.requestTranslation(u"", u"hallo", nullptr), -1);
}

TEST_F(TranslationTest, AReplyThatNeverEndsIsGivenUp)
{
    TranslationClient client;
    connect(client);
    Bytes endless(TranslationClient::kMaxReplyBytes + 4096, 'x');
    peer.send(endless);
    ASSERT_TRUE(pollUntil(client, [&] { return !client.isRunning(); }));
    EXPECT_TRUE(windows.texts.empty());
}

TEST_F(TranslationTest, ALongRequestIsSentWholeOverSeveralPasses)
{
    TranslationClient client;
    connect(client);
    std::u16string text(3000000, u'a');
    ASSERT_EQ(client.requestTranslation(u"", text, nullptr), 1);
    size_t expected = 12 + 2 * (text.size() + 1);
    size_t received = 0;
    for (int pass = 0; pass < 5000 && received < expected; ++pass) {
        received += peer.receiveSome(65536).size();
        client.poll();
    }
    EXPECT_EQ(received, expected);
    EXPECT_TRUE(client.isRunning());
}

TEST_F(TranslationTest, ReceivedSpeechIsTranslatedBeforeItIsShown)
{
    Mobile* speaker = addMobile(0x00000B01, kCentreX + 1, kCentreY);
    ASSERT_NE(speaker, nullptr);
    m_settings.setBoolSetting(u"TranslationServerAutomatic", 1);
    connect(translationClient());
    Bytes packet = fixture::ServerPacket(0xAE)
                       .u32(0x00000B01)
                       .u16(400)
                       .u8(0)
                       .u16(90)
                       .u16(1)
                       .text("DEU", 4)
                       .text("Mira", 30)
                       .unicode(u"hallo")
                       .bytes();
    handleUnicodeSpeechPacket(packet.data());
    EXPECT_TRUE(windows.texts.empty()) << "the line waits for its translation";
    EXPECT_EQ(journal().prefix(), JournalPrefix::None);
    Bytes request;
    while (request.size() < 12 + 12) {
        Bytes some = peer.receiveSome(4096);
        ASSERT_FALSE(some.empty());
        request.insert(request.end(), some.begin(), some.end());
    }
    EXPECT_EQ(request, concatBytes({ { 1, 0, 0, 0 }, word("DEU"), word("enu"), unitsLittleEndianTerminated(u"hallo") }));
    peer.send(reply(1, u"hello"));
    ASSERT_TRUE(pollUntil(translationClient(), [&] { return !windows.texts.empty(); }));
    EXPECT_EQ(windows.texts[0].owner, 0x00000B01u);
    EXPECT_EQ(windows.texts[0].hue, kTranslatedSpeechHue);
    EXPECT_EQ(windows.texts[0].text, u"hello");
    EXPECT_EQ(journalLines(), (std::vector<std::string> { "Mira: hello" }));
}

} // namespace
} // namespace test
