#include "app/main_window.h"
#include "gump/entry_core.h"
#include "platform/headless/headless_window.h"
#include "platform/virtual_keys.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vk = platform::vk;
using platform::MessageKind;

namespace {

struct SizeCase {
    const char* name;
    bool allowResize;
    int32_t width, height;
    int32_t expectedWidth, expectedHeight;
};

class ClientSizeRule : public ::testing::TestWithParam<SizeCase> { };

TEST_P(ClientSizeRule, KeepsAtLeastTheGameSizeInMultiplesOfFour)
{
    const SizeCase& c = GetParam();
    int32_t width = c.width;
    int32_t height = c.height;
    applyClientSizeRule(c.allowResize, 640, 480, width, height);
    EXPECT_EQ(width, c.expectedWidth);
    EXPECT_EQ(height, c.expectedHeight);
}

INSTANTIATE_TEST_SUITE_P(Cases, ClientSizeRule,
    ::testing::Values(SizeCase { "RoundedUp", true, 901, 611, 904, 612 },
        SizeCase { "BelowGameSize", true, 300, 200, 640, 480 },
        SizeCase { "ExactMultiple", true, 1024, 768, 1024, 768 },
        SizeCase { "FixedSizeIgnoresRequest", false, 901, 611, 640, 480 }),
    [](const ::testing::TestParamInfo<SizeCase>& param) { return std::string(param.param.name); });

TEST(FixedSizeScreens, SmallScreensForbidResizing)
{
    EXPECT_TRUE(screenForcesFixedSize(640, 480, "640x480"));
    EXPECT_TRUE(screenForcesFixedSize(800, 600, "800x600"));
    EXPECT_FALSE(screenForcesFixedSize(800, 600, "640x480"));
    EXPECT_FALSE(screenForcesFixedSize(1024, 768, "800x600"));
}

struct PasteCase {
    const char* name;
    bool focusedGump;
    bool singleLine;
    std::u16string clipboard;
    size_t expectedCount;
};

class Paste : public ::testing::TestWithParam<PasteCase> { };

TEST_P(Paste, GivesTheTargetAtMostItsLimit)
{
    const PasteCase& c = GetParam();
    platform::HeadlessWindow window;
    std::u16string received;
    WindowServices services;
    services.hasFocusedGump = [&] { return c.focusedGump; };
    services.isFocusedGumpSingleLineEntry = [&] { return c.singleLine; };
    services.sendKeyToFocusedGump = [&](uint32_t code) { received.push_back(char16_t(code)); };
    services.speechChar = [&](uint32_t code) { received.push_back(char16_t(code)); };
    MainWindow main(window, services, {});
    window.setClipboardText(c.clipboard);
    main.pasteClipboardText();
    std::u16string text = c.clipboard;
    std::erase_if(text, isPastedControl);
    EXPECT_EQ(received.size(), c.expectedCount);
    EXPECT_EQ(received, text.substr(0, c.expectedCount));
}

INSTANTIATE_TEST_SUITE_P(Cases, Paste,
    ::testing::Values(PasteCase { "SpeechLine300", false, false, std::u16string(300, u'a'), 240 },
        PasteCase { "SpeechLineStopsAtReturn", false, false, u"first\r\nsecond", 5 },
        PasteCase { "SpeechLineStopsAtLineFeed", false, false, u"first\nsecond", 5 },
        PasteCase { "SingleLineEntry", true, true, std::u16string(100, u'b'), 80 },
        PasteCase { "OtherGumpKeepsLines", true, false, std::u16string(600, u'c') + u"\r" + std::u16string(600, u'd'),
            1000 },
        PasteCase { "HighUnitPassedAsIs", false, false, u"\u00ff\u4e2d", 2 },
        // Escape, Backspace, Tab and the other controls would act as keys:
        // a paste leaves them out and only inserts.
        PasteCase { "ControlsLeftOutOfTheSpeechLine", false, false, u"a\x1b" u"b\x08" u"c\x09" u"d\x7f" u"e", 5 },
        PasteCase { "ControlsLeftOutOfAnEntry", true, true, u"\x1b" u"name\x09" u"pass", 8 },
        PasteCase { "ControlsLeftOutOfAnEditor", true, false, u"line\x08\r\x1b" u"next", 9 }),
    [](const ::testing::TestParamInfo<PasteCase>& param) { return std::string(param.param.name); });

TEST(Paste, NothingWhenTheClipboardHasNoText)
{
    platform::HeadlessWindow window;
    int received = 0;
    WindowServices services;
    services.speechChar = [&](uint32_t) { ++received; };
    MainWindow main(window, services, {});
    main.pasteClipboardText();
    EXPECT_EQ(received, 0);
}

class KeyRouting : public ::testing::Test {
protected:
    KeyRouting()
    {
        services.isInGame = [] { return true; };
        services.isWarModeOnOrRequested = [this] { return warOn; };
        services.setWarMode = [this](int32_t mode) {
            warRequests.push_back(mode);
            warOn = mode == -1 ? !warOn : mode == 1;
        };
    }
    void key(MessageKind kind, uint16_t code, uint32_t data = 1)
    {
        main->handleMessage({ kind, code, data, 0, 0 });
    }
    void makeWindow(WindowSettings settings)
    {
        main = std::make_unique<MainWindow>(window, services, settings);
    }

    platform::HeadlessWindow window;
    WindowServices services;
    std::unique_ptr<MainWindow> main;
    bool warOn = false;
    std::vector<int32_t> warRequests;
};

TEST_F(KeyRouting, HeldTabTurnsWarModeOnOnceAndOffAtRelease)
{
    WindowSettings settings;
    settings.holdTabForCombat = true;
    makeWindow(settings);
    key(MessageKind::KeyDown, vk::kTab);
    key(MessageKind::KeyDown, vk::kTab, 1 | platform::kKeyDataWasDown);
    key(MessageKind::KeyDown, vk::kTab, 1 | platform::kKeyDataWasDown);
    key(MessageKind::KeyUp, vk::kTab);
    EXPECT_EQ(warRequests, (std::vector<int32_t> { 1, 0 }));
}

TEST_F(KeyRouting, TabTogglesWarModeButNotOnRepeats)
{
    WindowSettings settings;
    settings.holdTabForCombat = false;
    makeWindow(settings);
    key(MessageKind::KeyDown, vk::kTab);
    key(MessageKind::KeyDown, vk::kTab, 1 | platform::kKeyDataWasDown);
    key(MessageKind::KeyUp, vk::kTab);
    key(MessageKind::KeyDown, vk::kTab);
    EXPECT_EQ(warRequests, (std::vector<int32_t> { -1, -1 }));
}

TEST_F(KeyRouting, MacroKeyWinsOverTheSpeechLineAndEatsTheAltCharacter)
{
    std::vector<uint16_t> macroKeys;
    int speechKeys = 0;
    services.startMacroForKey = [&](uint16_t k, bool, bool alt, bool) {
        macroKeys.push_back(k);
        return alt;
    };
    services.speechKeyDown = [&](uint16_t, uint32_t) { return ++speechKeys, true; };
    makeWindow({});
    window.setKeyHeld(vk::kAlt, true);
    window.postMessage({ MessageKind::Char, 'x', 0, 0, 0 });
    key(MessageKind::SysKeyDown, vk::letter('X'));
    platform::WindowMessage left;
    EXPECT_FALSE(window.peekMessage(left)) << "the Alt character should have been dropped";
    window.setKeyHeld(vk::kAlt, false);
    key(MessageKind::KeyDown, vk::letter('Y'));
    EXPECT_EQ(macroKeys, (std::vector<uint16_t> { vk::letter('X'), vk::letter('Y') }));
    EXPECT_EQ(speechKeys, 1);
    EXPECT_TRUE(main->altHeld() == false);
}

TEST_F(KeyRouting, FocusedGumpGetsNavigationKeysOffsetAndEscapeCancelsTargetFirst)
{
    std::vector<uint32_t> gumpKeys;
    int cancels = 0;
    services.hasFocusedGump = [] { return true; };
    services.sendKeyToFocusedGump = [&](uint32_t code) { gumpKeys.push_back(code); };
    services.cancelTargeting = [&] { return ++cancels, true; };
    makeWindow({});
    key(MessageKind::KeyDown, vk::kLeft);
    key(MessageKind::KeyDown, vk::letter('A'));
    key(MessageKind::Char, 27);
    key(MessageKind::Char, 'a');
    EXPECT_EQ(gumpKeys, (std::vector<uint32_t> { GumpKey::kLeft, 'a' }));
    EXPECT_EQ(cancels, 1);
}

TEST_F(KeyRouting, AcceleratorRunsItsCommand)
{
    std::vector<uint16_t> commands;
    services.runCommand = [&](uint16_t id) { commands.push_back(id); };
    makeWindow({});
    window.setKeyHeld(vk::kAlt, true);
    main->translateAccelerator({ MessageKind::SysKeyDown, vk::letter('O'), 1, 0, 0 });
    main->translateAccelerator({ MessageKind::SysKeyDown, vk::letter('O'), 1 | platform::kKeyDataWasDown, 0, 0 });
    main->translateAccelerator({ MessageKind::SysKeyDown, vk::kReturn, 1, 0, 0 });
    EXPECT_EQ(commands, (std::vector<uint16_t> { command::kOptions }));
    EXPECT_TRUE(main->fullScreenActive());
    EXPECT_TRUE(window.fullScreen());
}

TEST_F(KeyRouting, ControlQClosesTheWindowOutOfTheGameButPlainQIsJustAKey)
{
    services.isInGame = [] { return false; };
    std::vector<uint16_t> speechKeys;
    services.speechKeyDown = [&](uint16_t key, uint32_t) {
        speechKeys.push_back(key);
        return true;
    };
    makeWindow({});
    ASSERT_TRUE(main->create("", ""));
    platform::WindowMessage queued;
    while (window.peekMessage(queued))
        main->handleMessage(queued);

    main->translateAccelerator({ MessageKind::KeyDown, vk::letter('Q'), 1, 0, 0 });
    EXPECT_FALSE(window.peekMessage(queued)) << "Q alone runs no command";
    window.setKeyHeld(vk::kControl, true);
    platform::WindowMessage controlQ { MessageKind::KeyDown, vk::letter('Q'), 1, 0, 0 };
    main->translateAccelerator(controlQ);
    main->handleMessage(controlQ);
    bool sawQuit = false;
    while (window.peekMessage(queued)) {
        sawQuit |= queued.kind == MessageKind::Quit;
        main->handleMessage(queued);
    }
    EXPECT_FALSE(window.exists());
    EXPECT_TRUE(sawQuit);
    EXPECT_EQ(speechKeys, (std::vector<uint16_t> { vk::letter('Q') })) << "the key still reaches the speech line";
}

TEST(MainWindowMessages, SizeCloseAndDestroy)
{
    platform::HeadlessWindow window;
    std::vector<std::pair<int32_t, int32_t>> buffers;
    int quitGames = 0;
    bool inGame = true;
    WindowServices services;
    services.recreateBackBuffer = [&](int32_t w, int32_t h) { buffers.emplace_back(w, h); };
    services.isInGame = [&] { return inGame; };
    services.quitGame = [&] { ++quitGames; };
    MainWindow main(window, services, {});
    ASSERT_TRUE(main.create("", ""));
    EXPECT_EQ(window.title(), u"Vardun Online");
    main.setWindowTitle("account");
    EXPECT_EQ(window.title(), u"Vardun Online - account");

    main.handleMessage({ MessageKind::Size, 0, 0, 901, 611 });
    EXPECT_EQ(main.clientWidth(), 904);
    EXPECT_EQ(main.clientHeight(), 612);
    EXPECT_EQ(buffers.back(), std::make_pair(904, 612));

    main.handleMessage({ MessageKind::Close, 0, 0, 0, 0 });
    EXPECT_EQ(quitGames, 1);
    EXPECT_TRUE(window.exists());

    inGame = false;
    main.handleMessage({ MessageKind::Close, 0, 0, 0, 0 });
    EXPECT_FALSE(window.exists());
    platform::WindowMessage message;
    bool sawQuit = false;
    while (window.peekMessage(message)) {
        if (message.kind == MessageKind::Destroy)
            main.handleMessage(message);
        sawQuit |= message.kind == MessageKind::Quit && message.code == 0;
    }
    EXPECT_TRUE(main.quitRequested());
    EXPECT_TRUE(sawQuit);
}

// A paint means the window lost its contents: the whole picture again. A
// timer (the pointer's) asks only for what changed.
TEST(MainWindowMessages, PaintRepaintsWholeAndTimerPresentsChanges)
{
    platform::HeadlessWindow window;
    int repaints = 0;
    int changes = 0;
    WindowServices services;
    services.repaint = [&] { ++repaints; };
    services.presentChanges = [&] { ++changes; };
    MainWindow main(window, services, {});
    main.handleMessage({ MessageKind::Timer, 1, 0, 0, 0 });
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(repaints, 0);
    main.handleMessage({ MessageKind::Paint, 0, 0, 0, 0 });
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(repaints, 1);
}

TEST(MainWindowMessages, ButtonsCaptureThePointerAndPassSigned16BitPositions)
{
    platform::HeadlessWindow window;
    std::vector<std::string> calls;
    auto recorder = [&calls](const char* what) {
        return [&calls, what](int32_t x, int32_t y) {
            calls.push_back(std::string(what) + " " + std::to_string(x) + "," + std::to_string(y));
        };
    };
    WindowServices services;
    services.leftButtonDown = recorder("leftDown");
    services.leftButtonUp = recorder("leftUp");
    services.rightButtonDown = recorder("rightDown");
    MainWindow main(window, services, {});
    ASSERT_TRUE(main.create("", ""));

    main.handleMessage({ MessageKind::LeftButtonDown, 0, 0, 10, 20 });
    EXPECT_TRUE(window.captured());
    // A pointer dragged off the window's left or top edge reads negative.
    main.handleMessage({ MessageKind::LeftButtonUp, 0, 0, 0xFFFD, 0x10005 });
    EXPECT_FALSE(window.captured());
    main.handleMessage({ MessageKind::RightButtonDown, 0, 0, 1, 2 });
    EXPECT_TRUE(window.captured());
    // A release nobody listens for still gives the pointer back.
    main.handleMessage({ MessageKind::RightButtonUp, 0, 0, 1, 2 });
    EXPECT_FALSE(window.captured());
    EXPECT_EQ(calls, (std::vector<std::string> { "leftDown 10,20", "leftUp -3,5", "rightDown 1,2" }));
}

TEST(MainWindowMessages, TitleNamesTheAccountOnlyWhenBothPartsAreGiven)
{
    platform::HeadlessWindow first;
    MainWindow withAccount(first, {}, {});
    ASSERT_TRUE(withAccount.create("acct", "Smith"));
    EXPECT_EQ(first.title(), u"Vardun Online - acct Smith");
    platform::HeadlessWindow second;
    MainWindow withoutLastName(second, {}, {});
    ASSERT_TRUE(withoutLastName.create("acct", ""));
    EXPECT_EQ(second.title(), u"Vardun Online");
}

TEST(MainWindowMessages, DisplayModeSwitchesKeepTheWindowedSizeAndTheSetting)
{
    platform::HeadlessWindow window;
    std::vector<bool> saved;
    int invalidations = 0;
    WindowServices services;
    services.saveFullScreenSetting = [&](bool on) { saved.push_back(on); };
    services.invalidateWholeScreen = [&] { ++invalidations; };
    MainWindow main(window, services, {});
    main.create("", "");
    main.handleMessage({ MessageKind::Size, 0, 0, 800, 600 });
    main.setGameViewOffset(8, 4);
    main.setDisplayMode(true);
    EXPECT_TRUE(window.fullScreen());
    EXPECT_EQ(main.gameViewOffsetX(), 0);
    main.handleMessage({ MessageKind::Size, 0, 0, 1280, 1024 });
    main.setDisplayMode(true); // already full screen: nothing
    main.leaveFullScreen();
    EXPECT_FALSE(window.fullScreen());
    int32_t width = 0;
    int32_t height = 0;
    window.clientSize(width, height);
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
    EXPECT_EQ(saved, (std::vector<bool> { true, false }));
    EXPECT_EQ(invalidations, 2);
}

TEST(MainWindowMessages, SystemCursorHiddenOnlyOverTheClientArea)
{
    platform::HeadlessWindow window;
    MainWindow main(window, {}, {});
    main.create("", "");
    main.handleMessage({ MessageKind::Size, 0, 0, 640, 480 });
    window.setCursor(10, 10);
    main.updateSystemCursor();
    EXPECT_FALSE(window.systemCursorShown());
    window.setCursor(700, 10);
    main.updateSystemCursor();
    EXPECT_TRUE(window.systemCursorShown());
}

} // namespace
