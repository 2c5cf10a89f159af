// The digital music manager and its MP3 streams on the null device, with MP3
// files the test encodes itself: the music list, the open rules, the feature
// gate, cross-fades traced on a fake clock, tags, damaged frames and
// single-channel files.

#include "fake_audio_services.h"
#include "audio/digital_music_manager.h"
#include "fixtures/client_directory.h"
#include "mpeg_reference.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/headless/null_audio_device.h"
#include "platform/thread_priority.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

namespace {

struct Mp3Files {
    std::string stereo; // 1 s, 44.1 kHz
    std::string mono; // 1 s, 22.05 kHz
};

const Mp3Files& mp3Files()
{
    static test::TempDir dir;
    static const Mp3Files files {
        test::makeEncodedFile(dir, 44100, 2, "1.0 sine 440 sine 660 gain -6", "lame --quiet -b 128 -m j {in} {out}"),
        test::makeEncodedFile(dir, 22050, 1, "1.0 sine 300 gain -6", "lame --quiet -b 64 -m m {in} {out}"),
    };
    return files;
}

// An ID3v2.3 tag of `body` bytes whose body holds bytes that look like a frame start.
std::string id3Tag(size_t body)
{
    std::string tag = "ID3";
    tag += '\x03';
    tag += '\x00';
    tag += '\x00';
    tag += char((body >> 21) & 0x7F);
    tag += char((body >> 14) & 0x7F);
    tag += char((body >> 7) & 0x7F);
    tag += char(body & 0x7F);
    for (size_t i = 0; i < body; ++i)
        tag += (i % 5 == 0) ? '\xFF' : (i % 5 == 1 ? '\xFB' : 'x');
    return tag;
}

// Everything an Mp3FileSource delivers, in reads of `chunk` bytes.
std::string readAll(Mp3FileSource& source, int32_t chunk = 4096)
{
    std::string out;
    std::string buffer(size_t(chunk), '\0');
    for (int i = 0; i < 100000; ++i) {
        const int32_t got = source.read(reinterpret_cast<uint8_t*>(buffer.data()), chunk);
        if (got <= 0)
            break;
        out.append(buffer.data(), size_t(got));
    }
    return out;
}

size_t firstDifference(const std::string& a, const std::string& b)
{
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        if (a[i] != b[i])
            return i;
    }
    return a.size() == b.size() ? std::string::npos : common;
}

class DigitalMusic : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(mp3Files().stereo.empty());
        ASSERT_FALSE(mp3Files().mono.empty());
        writeMusic("town.mp3", mp3Files().stereo);
        writeMusic("Forest.MP3", mp3Files().stereo);
        writeMusic("cave.mp3", mp3Files().mono);
        writeMusic("song.wav", mp3Files().stereo);
    }

    void writeMusic(const std::string& name, const std::string& bytes)
    {
        m_client.write("MUSIC/DIGITAL/" + name, bytes);
        platform::forgetDirectoryCache();
    }

    std::string musicPath(const std::string& name) const { return m_client.path() + "/MUSIC/DIGITAL/" + name; }

    fixture::ClientDirectory m_client;
    platform::NullAudioDevice m_device { 44100, false };
};

struct ConfigCase {
    const char* name;
    std::string text;
    DigitalMusicMap expected;
};

class MusicListTable : public ::testing::TestWithParam<ConfigCase> { };

TEST_P(MusicListTable, Parses)
{
    EXPECT_EQ(parseDigitalMusicConfig(GetParam().text), GetParam().expected);
}

const ConfigCase kConfigCases[] = {
    { "CommentAndEmptyLines", "# 1 a\n\n   \n", {} },
    { "IdWithoutNamesAddsNothing", "5\n5 \n", {} },
    { "LinesOfOneIdCollect", "7 a.mp3 b.mp3\n# x\n7 c\n", { { 7, { "a.mp3", "b.mp3", "c" } } } },
    { "SuffixesStayOnTheName", "0 t1 t2,loop\r\n", { { 0, { "t1", "t2,loop" } } } },
    { "TabsAreNoSeparators", "3 a\tb  c\n", { { 3, { "a\tb", "c" } } } },
    { "TrailingHighBytesAreCut", "4 d\xE9\xFF\x80\n", { { 4, { "d" } } } },
    { "ALongLineGoesOnAsTheNext", "9 " + std::string(509, 'n') + " 8 m\n",
        { { 9, { std::string(509, 'n') } }, { 8, { "m" } } } },
};

INSTANTIATE_TEST_SUITE_P(Config, MusicListTable, ::testing::ValuesIn(kConfigCases),
    [](const ::testing::TestParamInfo<ConfigCase>& param) { return std::string(param.param.name); });

struct OpenCase {
    const char* name;
    const char* alternative;
    bool opens;
    bool repeats;
};

class StreamOpenRules : public DigitalMusic, public ::testing::WithParamInterface<OpenCase> { };

TEST_P(StreamOpenRules, OpensAndRepeatsAsNamed)
{
    MusicStream stream(m_device);
    ASSERT_TRUE(stream.hasBuffer());
    EXPECT_EQ(stream.open(GetParam().alternative), GetParam().opens);
    if (GetParam().opens) {
        EXPECT_EQ(stream.source()->repeats(), GetParam().repeats);
    }
}

const OpenCase kOpenCases[] = {
    { "NoDotGetsMp3", "town", true, false },
    { "UpperCaseExtension", "forest.mp3", true, false },
    { "OtherExtensionFails", "song.wav", false, false },
    { "MissingFileFails", "nothing", false, false },
    { "LoopRepeats", "town,loop", true, true },
    { "LopRepeats", "town,lop", true, true },
    { "OtherCaseDoesNotRepeat", "town,Loop", true, false },
};

INSTANTIATE_TEST_SUITE_P(Alternatives, StreamOpenRules, ::testing::ValuesIn(kOpenCases),
    [](const ::testing::TestParamInfo<OpenCase>& param) { return std::string(param.param.name); });

TEST_F(DigitalMusic, ATagInFrontIsSkippedAndTheMusicIsTheSame)
{
    writeMusic("tagged.mp3", id3Tag(700) + mp3Files().stereo);
    Mp3FileSource plain;
    Mp3FileSource tagged;
    ASSERT_TRUE(plain.open(musicPath("town.mp3")));
    ASSERT_TRUE(tagged.open(musicPath("tagged.mp3")));
    EXPECT_EQ(tagged.startOffset(), 710u);
    const std::string expected = readAll(plain);
    EXPECT_GT(expected.size(), 100000u);
    EXPECT_EQ(firstDifference(readAll(tagged), expected), std::string::npos);
}

TEST_F(DigitalMusic, GarbageBetweenFramesIsPassedOverAndTheMusicGoesOn)
{
    const std::string& original = mp3Files().stereo;
    const std::vector<size_t> frames = test::frameOffsets(original);
    ASSERT_GT(frames.size(), 20u);
    // 37 bytes of garbage holding a header that parses but has no frame after it.
    std::string garbage = std::string("\xFF\xFB\x90\x64", 4) + std::string(33, '\x55');
    std::string damaged = original;
    damaged.insert(frames[10], garbage);
    writeMusic("damaged.mp3", damaged);

    Mp3FileSource plain;
    Mp3FileSource source;
    ASSERT_TRUE(plain.open(musicPath("town.mp3")));
    ASSERT_TRUE(source.open(musicPath("damaged.mp3")));
    const std::string expected = readAll(plain);
    const std::string got = readAll(source, 1000);
    // Every frame is still decoded: nothing is lost but what the garbage was.
    EXPECT_EQ(got.size(), expected.size());
    EXPECT_EQ(firstDifference(got, expected), std::string::npos);
}

TEST_F(DigitalMusic, ASingleChannelFileIsPlayedInBothChannelsAtItsOwnSpeed)
{
    Mp3FileSource source;
    ASSERT_TRUE(source.open(musicPath("cave.mp3")));
    EXPECT_EQ(source.sampleRate(), 22050);
    const std::string stereo = readAll(source, 4000);
    MpegAudioDecoder decoder;
    const std::string& file = mp3Files().mono;
    ASSERT_EQ(decoder.open(reinterpret_cast<const uint8_t*>(file.data()), uint32_t(file.size())), 0);
    std::vector<int16_t> mono(1 << 20);
    mono.resize(decoder.readSamples(mono));
    ASSERT_EQ(stereo.size(), mono.size() * 4);
    const int16_t* frames = reinterpret_cast<const int16_t*>(stereo.data());
    for (size_t i = 0; i < mono.size(); ++i) {
        ASSERT_EQ(frames[2 * i], mono[i]) << i;
        ASSERT_EQ(frames[2 * i + 1], mono[i]) << i;
    }
}

TEST_F(DigitalMusic, OnlyIdZeroPlaysWithoutTheServersMusicFeature)
{
    DigitalMusicManager manager(m_device, false);
    manager.setIdMap({ { 0, { "town" } }, { 5, { "town" } }, { 6, { "nothing" } } });
    EXPECT_NE(manager.play(0), nullptr);
    EXPECT_EQ(manager.play(5), nullptr);
    EXPECT_EQ(manager.play(9), nullptr);
    FakeAudioServices services;
    services.features = 0x08;
    {
        ScopedAudioServices guard(services);
        EXPECT_NE(manager.play(5), nullptr);
        EXPECT_EQ(manager.play(6), nullptr);
    }
    EXPECT_EQ(manager.streamCount(), 2u);
}

TEST_F(DigitalMusic, TheListIsReadFromTheMusicFolder)
{
    m_client.write("MUSIC/DIGITAL/CONFIG.TXT", "# music\n0 town cave,loop\n");
    platform::forgetDirectoryCache();
    DigitalMusicManager manager(m_device, false);
    EXPECT_EQ(manager.idMap(), (DigitalMusicMap { { 0, { "town", "cave,loop" } } }));
}

TEST_F(DigitalMusic, CrossFadeTrace)
{
    platform::FakeClock fake(0xFFFFF000u); // the fades run across the tick count's wrap
    platform::ScopedClock clockGuard(fake);
    FakeAudioServices services;
    services.features = 0x08;
    ScopedAudioServices guard(services);
    DigitalMusicManager manager(m_device, false);
    manager.setIdMap({ { 0, { "town,loop" } }, { 1, { "forest.mp3,loop" } } });
    manager.setVolume(255);
    const int32_t base = musicBaseVolume(255);
    EXPECT_EQ(base, -10);

    MusicStream* first = manager.play(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->buffer()->volume(), platform::kSilentVolume);
    // Each step: 100 ms of output, then one refill pass.
    auto step = [&] {
        fake.advance(100);
        m_device.mixFrames(4410);
        manager.updatePass();
    };
    std::vector<int32_t> firstTrace;
    for (int i = 0; i < 10; ++i) {
        step();
        firstTrace.push_back(first->buffer()->volume());
    }
    // The fade in started on the first pass and moves 1 per 2 ms from base - 1000.
    const std::vector<int32_t> fadingIn { base - 1000, base - 950, base - 900, base - 850, base - 800, base - 750,
        base - 700, base - 650, base - 600, base - 550 };
    EXPECT_EQ(firstTrace, fadingIn);

    MusicStream* second = manager.play(1);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->state, MusicStreamState::FadingOut);
    EXPECT_TRUE(manager.isPlaying());
    std::vector<int32_t> outTrace;
    std::vector<int32_t> inTrace;
    for (int i = 0; i < 20; ++i) {
        step();
        outTrace.push_back(first->buffer()->volume());
        inTrace.push_back(second->buffer()->volume());
    }
    // The fade out runs from the base (not from where the fade in stood) to
    // silence in 2000 ms; the fade in reaches the base in 2000 ms.
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(outTrace[size_t(i)], std::max(base - 10 * 50 * (i + 1), platform::kSilentVolume)) << i;
        EXPECT_EQ(inTrace[size_t(i)], base - 1000 + 50 * i) << i;
    }
    EXPECT_EQ(manager.streamCount(), 2u);
    step(); // 2100 ms: the first stream is over
    EXPECT_EQ(manager.streamCount(), 1u);
    step();
    EXPECT_EQ(second->state, MusicStreamState::Steady);
    EXPECT_EQ(second->buffer()->volume(), base);

    manager.fadeOutAll();
    EXPECT_FALSE(manager.isPlaying()) << "fading streams are still heard but do not count";
    EXPECT_EQ(manager.streamCount(), 1u);
}

TEST_F(DigitalMusic, AStreamWithoutRepeatIsRemovedAtTheEndOfItsFile)
{
    DigitalMusicManager manager(m_device, false);
    manager.setIdMap({ { 0, { "town" } } });
    ASSERT_NE(manager.play(0), nullptr);
    for (int i = 0; i < 40 && manager.streamCount() > 0; ++i) {
        m_device.mixFrames(4410);
        manager.updatePass();
    }
    EXPECT_EQ(manager.streamCount(), 0u);
    // A repeating one rewinds within the pass and plays on.
    manager.setIdMap({ { 0, { "town,loop" } } });
    ASSERT_NE(manager.play(0), nullptr);
    for (int i = 0; i < 40; ++i) {
        m_device.mixFrames(4410);
        manager.updatePass();
    }
    EXPECT_EQ(manager.streamCount(), 1u);
}

// The nice values of this process's threads, by thread id.
std::map<int, int> threadNiceValues()
{
    std::map<int, int> values;
    for (const std::filesystem::directory_entry& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream stream(task.path() / "stat");
        std::string stat((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
        // The fields after the name in parentheses; the nice value is the 17th.
        const size_t close = stat.rfind(')');
        if (close == std::string::npos)
            continue;
        std::istringstream fields(stat.substr(close + 1));
        std::string field;
        for (int i = 0; i < 17 && fields >> field; ++i) { }
        values[std::stoi(task.path().filename().string())] = std::stoi(field);
    }
    return values;
}

// The refill thread runs two steps above the thread that made the manager,
// where the system lets a thread be raised at all.
TEST_F(DigitalMusic, RefillThreadRunsAboveTheMainThread)
{
    const int creator = int(gettid());
    bool mayRaise = false;
    std::thread([&] { mayRaise = platform::raiseCurrentThreadPriority(); }).join();
    const std::map<int, int> before = threadNiceValues();
    const int normal = before.at(creator);
    DigitalMusicManager manager(m_device, true);
    auto raisedThreads = [&] {
        int raised = 0;
        for (const auto& [id, nice] : threadNiceValues())
            raised += !before.contains(id) && nice == normal - 2 ? 1 : 0;
        return raised;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (mayRaise && raisedThreads() == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    EXPECT_EQ(raisedThreads(), mayRaise ? 1 : 0);
    EXPECT_EQ(threadNiceValues().at(creator), normal);
    manager.shutdown();
}

// Run once under ThreadSanitizer too: the streaming thread refills while the
// main thread starts, fades and measures streams and a third thread mixes.
TEST_F(DigitalMusic, RefillThreadStormEndsCleanly)
{
    DigitalMusicManager manager(m_device, true);
    manager.setIdMap({ { 0, { "town,loop", "cave,loop", "forest.mp3" } } });
    std::atomic<bool> mixing { true };
    std::thread mixer([&] {
        while (mixing.load()) {
            // About one and a half times as fast as speakers would play.
            m_device.mixFrames(64);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    int playing = 0;
    for (int i = 0; i < 60; ++i) {
        manager.play(0);
        if (i % 7 == 0)
            manager.fadeOutAll();
        manager.setVolume(uint8_t(i * 4));
        playing += manager.isPlaying() ? 1 : 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
    }
    EXPECT_GT(playing, 0);
    manager.shutdown();
    mixing.store(false);
    mixer.join();
    EXPECT_EQ(manager.streamCount(), 0u);
}

} // namespace
