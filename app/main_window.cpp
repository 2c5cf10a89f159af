#include "app/main_window.h"

#include "core/wide_text.h"
#include "gfx/primary_surface.h"
#include "gump/entry_core.h"

#include "platform/virtual_keys.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace vk = platform::vk;

namespace {

int32_t roundUpTo4(int32_t value) { return (value + 3) & ~3; }

// Keys a player expects of a desktop game: Alt+Enter switches full screen,
// Ctrl+Q quits (out of the world only), Alt+O options, Alt+R radar, Alt+B spellbook, Ctrl+Alt+M music,
// Ctrl+Alt+S sound. Plain letters and function keys stay free for macros.
const std::vector<Accelerator> kAccelerators = {
    { vk::kReturn, false, true, false, command::kToggleDisplayMode },
    { vk::letter('Q'), true, false, false, command::kExit },
    { vk::letter('O'), false, true, false, command::kOptions },
    { vk::letter('R'), false, true, false, command::kOpenRadar },
    { vk::letter('B'), false, true, false, command::kOpenSpellbook },
    { vk::letter('M'), true, true, false, command::kToggleMusic },
    { vk::letter('S'), true, true, false, command::kToggleSound },
};

bool isNavigationKey(uint16_t key)
{
    return key == vk::kPageUp || key == vk::kPageDown || key == vk::kEnd || key == vk::kHome || key == vk::kLeft
        || key == vk::kUp || key == vk::kRight || key == vk::kDown || key == vk::kInsert || key == vk::kDelete;
}

constexpr size_t kMaxTitleLength = 500;

} // namespace

const std::vector<Accelerator>& accelerators() { return kAccelerators; }

uint16_t findAccelerator(uint16_t virtualKey, bool control, bool alt, bool shift)
{
    for (const Accelerator& entry : kAccelerators) {
        if (entry.virtualKey == virtualKey && entry.control == control && entry.alt == alt && entry.shift == shift)
            return entry.command;
    }
    return 0;
}

void applyClientSizeRule(bool allowResize, int32_t gameWidth, int32_t gameHeight, int32_t& width, int32_t& height)
{
    if (!allowResize) {
        width = gameWidth;
        height = gameHeight;
        return;
    }
    width = roundUpTo4(std::max(width, gameWidth));
    height = roundUpTo4(std::max(height, gameHeight));
}

bool screenForcesFixedSize(int32_t screenWidth, int32_t screenHeight, const std::string& gamePlayWindowSize)
{
    if (screenWidth == 640 && screenHeight == 480)
        return true;
    if (screenWidth == 800 && screenHeight == 600) {
        int width = 0;
        int height = 0;
        if (std::sscanf(gamePlayWindowSize.c_str(), "%dx%d", &width, &height) == 2 && width == 800 && height == 600)
            return true;
    }
    return false;
}

bool isPastedControl(char16_t unit) { return (unit < 0x20 && unit != u'\r' && unit != u'\n') || unit == 0x7F; }

PasteLimit pasteLimitFor(bool gumpHasFocus, bool focusedIsSingleLineEntry)
{
    if (!gumpHasFocus)
        return { 240, true };
    if (focusedIsSingleLineEntry)
        return { 80, true };
    return { 1000, false };
}

MainWindow::MainWindow(platform::Window& window, WindowServices services, WindowSettings settings)
    : m_window(window)
    , m_services(std::move(services))
    , m_settings(std::move(settings))
{
}

bool MainWindow::create(const std::string& accountId, const std::string& accountLastName)
{
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
    m_window.screenSize(screenWidth, screenHeight);
    platform::WindowCreateParams params;
    params.title = kClassName;
    params.clientWidth = std::min(screenWidth, m_gameWidth);
    params.clientHeight = std::min(screenHeight, m_gameHeight);
    params.resizable = m_settings.allowWindowResize;
    if (!m_window.create(params))
        return false;
    if (!accountId.empty() && !accountLastName.empty())
        setWindowTitle((accountId + " " + accountLastName).c_str());
    else
        setWindowTitle(nullptr);
    if (m_settings.fullScreen)
        m_window.postMessage({ platform::MessageKind::Command, command::kToggleDisplayMode, 0, 0, 0 });
    return true;
}

void MainWindow::setWindowTitle(const char* text)
{
    std::string title = kClassName;
    if (text) {
        title += " - ";
        title += text;
    }
    if (title.size() > kMaxTitleLength)
        title.resize(kMaxTitleLength);
    // Narrow text is widened byte by byte.
    m_window.setTitle(bytesToWideString(title));
}

void MainWindow::setGameWindowSize(int32_t width, int32_t height)
{
    if (width == 800 && height == 600) {
        m_gameWidth = 800;
        m_gameHeight = 600;
    } else {
        m_gameWidth = 640;
        m_gameHeight = 480;
    }
    recreateBackBuffer();
}

void MainWindow::recreateBackBuffer()
{
    if (m_services.recreateBackBuffer)
        m_services.recreateBackBuffer(m_clientWidth, m_clientHeight);
}

void MainWindow::updateSystemCursor()
{
    int32_t x = -1;
    int32_t y = -1;
    bool known = m_window.cursorPosition(x, y);
    bool overClient = known && x >= 0 && x < m_clientWidth && y >= 0 && y < m_clientHeight;
    bool hide = m_window.hasKeyboardFocus() && (m_fullScreenActive || overClient);
    if (hide == m_systemCursorShown) {
        m_window.showSystemCursor(!hide);
        m_systemCursorShown = !hide;
    }
}

void MainWindow::translateAccelerator(const platform::WindowMessage& message)
{
    if (message.kind != platform::MessageKind::KeyDown && message.kind != platform::MessageKind::SysKeyDown)
        return;
    // An auto-repeat of a held chord does not run its command again.
    if (message.data & platform::kKeyDataWasDown)
        return;
    uint16_t id = findAccelerator(uint16_t(message.code), m_window.isKeyHeld(vk::kControl),
        m_window.isKeyHeld(vk::kAlt), m_window.isKeyHeld(vk::kShift));
    // In the world Ctrl+Q recalls the speech line's history; it must not quit.
    if (id == command::kExit && inGame())
        return;
    if (id)
        handleMessage({ platform::MessageKind::Command, id, 0, 0, 0 });
}

void MainWindow::handleMessage(const platform::WindowMessage& message)
{
    using platform::MessageKind;
    updateSystemCursor();
    switch (message.kind) {
    case MessageKind::Create:
        if (m_settings.mouseThread && m_services.startPointerTimer)
            m_services.startPointerTimer();
        break;
    case MessageKind::Destroy:
        if (m_modeSwitchInProgress)
            break;
        if (m_services.desktopWrite)
            m_services.desktopWrite();
        m_quitRequested = true;
        m_window.postMessage({ MessageKind::Quit, 0, 0, 0, 0 });
        break;
    case MessageKind::Size:
        onSize(message.x, message.y);
        break;
    case MessageKind::Activate:
        if (message.code && m_services.onActivatedWhileTargeting)
            m_services.onActivatedWhileTargeting();
        break;
    case MessageKind::Paint:
        // Frames are drawn by the tick. A desktop window keeps no copy of its
        // contents, so an uncovered window is shown the last picture again.
        if (m_services.repaint)
            m_services.repaint();
        break;
    case MessageKind::Close:
        if (inGame() && m_services.quitGame) {
            // The logout flow closes the client later.
            m_services.quitGame();
            break;
        }
        m_window.destroy();
        break;
    case MessageKind::KeyDown:
    case MessageKind::SysKeyDown:
        onKeyDown(uint16_t(message.code), message.data);
        break;
    case MessageKind::KeyUp:
    case MessageKind::SysKeyUp:
        onKeyUp(uint16_t(message.code));
        break;
    case MessageKind::Char:
        onCharInput(message.code & 0xFFFF);
        break;
    case MessageKind::Command:
        onCommand(uint16_t(message.code));
        break;
    case MessageKind::LeftButtonDown:
        onButton(true, m_services.leftButtonDown, message);
        break;
    case MessageKind::RightButtonDown:
        onButton(true, m_services.rightButtonDown, message);
        break;
    case MessageKind::LeftButtonUp:
        onButton(false, m_services.leftButtonUp, message);
        break;
    case MessageKind::RightButtonUp:
        onButton(false, m_services.rightButtonUp, message);
        break;
    case MessageKind::MusicNotify:
        if (m_services.musicNotify)
            m_services.musicNotify(message.code);
        break;
    case MessageKind::Timer:
        if (m_services.presentChanges)
            m_services.presentChanges();
        break;
    case MessageKind::MouseMove:
    case MessageKind::Quit:
        break;
    }
}

void MainWindow::onButton(
    bool down, const std::function<void(int32_t, int32_t)>& handler, const platform::WindowMessage& message)
{
    // A press keeps the pointer until the release and takes the keyboard too.
    m_window.setCapture(down);
    if (down)
        m_window.takeKeyboardFocus();
    // The position is a signed 16-bit pair, as the button messages carry it.
    if (handler)
        handler(int16_t(message.x), int16_t(message.y));
}

void MainWindow::onSize(int32_t width, int32_t height)
{
    if (width == 0 || height == 0)
        return;
    // Full screen shows the chosen mode, scaled to the screen.
    if (m_fullScreenActive && m_fullScreenWidth > 0) {
        width = m_fullScreenWidth;
        height = m_fullScreenHeight;
    }
    int32_t clientWidth = width;
    int32_t clientHeight = height;
    if (m_settings.allowWindowResize) {
        m_gameViewOffsetX = std::max(m_gameViewOffsetX, 0);
        m_gameViewOffsetY = std::max(m_gameViewOffsetY, 0);
    } else {
        m_gameViewOffsetX = 0;
        m_gameViewOffsetY = 0;
    }
    applyClientSizeRule(m_settings.allowWindowResize, m_gameWidth, m_gameHeight, clientWidth, clientHeight);
    m_clientWidth = clientWidth;
    m_clientHeight = clientHeight;
    // The window itself may not go below the game size either; a request the
    // rule changed is sent back to the window, which answers with a new Size.
    if ((clientWidth != width || clientHeight != height) && !m_fullScreenActive)
        m_window.setClientSize(clientWidth, clientHeight);
    if (m_services.recreateBackBuffer)
        m_services.recreateBackBuffer(m_clientWidth, m_clientHeight);
}

void MainWindow::onKeyDown(uint16_t key, uint32_t keyData)
{
    bool control = m_window.isKeyHeld(vk::kControl);
    bool shift = m_window.isKeyHeld(vk::kShift);
    bool alt = m_window.isKeyHeld(vk::kAlt) || (keyData & platform::kKeyDataAltHeld);

    if (key == vk::kTab && inGame()) {
        if (m_settings.holdTabForCombat) {
            if (!warModeOnOrRequested())
                setWarMode(1);
        } else if (!(keyData & platform::kKeyDataWasDown)) {
            setWarMode(-1);
        }
    }
    if ((key == vk::kShift || key == vk::kControl) && inGame() && m_services.showAllNames)
        m_services.showAllNames(m_settings.objectHandles && control && shift);

    if (m_services.isKeyCaptureEntryFocused && m_services.isKeyCaptureEntryFocused()) {
        m_lastCapturedKey = key;
        m_lastCapturedKeyData = keyData;
        if (m_services.notifyKeyCaptured)
            m_services.notifyKeyCaptured();
        return;
    }

    m_controlHeld = control;
    m_shiftHeld = shift;
    m_altHeld = alt;

    if (m_services.startMacroForKey && m_services.startMacroForKey(key, control, alt, shift)) {
        // Alt makes a system character of its own; it must not reach the text.
        if (alt)
            m_window.dropNextCharMessage();
        return;
    }
    if (key == vk::kF1 && !control && !shift && !alt) {
        if (m_services.showContextHelp)
            m_services.showContextHelp();
        return;
    }
    if (key == vk::letter('V') && control && !shift && !alt) {
        pasteClipboardText();
        return;
    }
    if (hasFocusedGump()) {
        if (isNavigationKey(key)) {
            if (m_services.sendKeyToFocusedGump)
                m_services.sendKeyToFocusedGump(GumpKey::kKeyBase + key);
            return;
        }
    } else if (m_services.speechKeyDown && m_services.speechKeyDown(key, keyData)) {
        return;
    }
    // Alt and F10 open nothing here (there is no menu bar); other keys end
    // unhandled.
}

void MainWindow::onKeyUp(uint16_t key)
{
    if (!inGame())
        return;
    if (key == vk::kTab && m_settings.holdTabForCombat && warModeOnOrRequested())
        setWarMode(0);
    if ((key == vk::kShift || key == vk::kControl) && m_services.showAllNames)
        m_services.showAllNames(false);
}

void MainWindow::onCommand(uint16_t id)
{
    switch (id) {
    case command::kExit:
        m_window.postMessage({ platform::MessageKind::Close, 0, 0, 0, 0 });
        return;
    case command::kToggleDisplayMode:
    case command::kToggleDisplayModeAlternate:
        toggleDisplayMode();
        return;
    case command::kToggleWarMode:
        if (inGame())
            setWarMode(-1);
        return;
    default:
        if (m_services.runCommand)
            m_services.runCommand(id);
        return;
    }
}

void MainWindow::toggleDisplayMode()
{
    m_modeSwitchInProgress = true;
    if (m_fullScreenActive) {
        if (m_window.setFullScreen(false)) {
            m_fullScreenActive = false;
            m_window.setClientSize(m_savedWindowedWidth, m_savedWindowedHeight);
        }
    } else {
        m_savedWindowedWidth = m_clientWidth;
        m_savedWindowedHeight = m_clientHeight;
        chooseFullScreenMode(inGame(), m_settings.fullScreenRes, m_fullScreenWidth, m_fullScreenHeight);
        if (m_window.setFullScreen(true)) {
            m_fullScreenActive = true;
            m_window.setClientSize(m_fullScreenWidth, m_fullScreenHeight);
        }
    }
    m_settings.fullScreen = m_fullScreenActive;
    m_modeSwitchInProgress = false;
    if (m_services.saveFullScreenSetting)
        m_services.saveFullScreenSetting(m_fullScreenActive);
}

void MainWindow::leaveFullScreen()
{
    if (m_fullScreenActive)
        setDisplayMode(false);
}

void MainWindow::setDisplayMode(bool fullScreen)
{
    if (fullScreen == m_fullScreenActive)
        return;
    toggleDisplayMode();
    m_gameViewOffsetX = 0;
    m_gameViewOffsetY = 0;
    if (m_services.invalidateWholeScreen)
        m_services.invalidateWholeScreen();
}

void MainWindow::setMainWindowRect(int32_t x, int32_t y, int32_t width, int32_t height)
{
    m_window.setClientRect(x, y, width, height);
}

void MainWindow::getMainWindowPos(int32_t& x, int32_t& y) const { m_window.windowPosition(x, y); }

void MainWindow::pasteClipboardText()
{
    std::u16string text;
    if (!m_window.clipboardText(text))
        return;
    bool focused = hasFocusedGump();
    bool singleLine = focused && m_services.isFocusedGumpSingleLineEntry && m_services.isFocusedGumpSingleLineEntry();
    PasteLimit limit = pasteLimitFor(focused, singleLine);
    size_t given = 0;
    for (char16_t unit : text) {
        if (given >= limit.maxCharacters)
            break;
        // Text from this desktop ends its lines with a line feed alone.
        if (limit.stopsAtReturn && (unit == u'\r' || unit == u'\n'))
            break;
        // A paste only inserts text: a control character in it would act as
        // the key that shares its code (Backspace, Tab, Escape).
        if (isPastedControl(unit))
            continue;
        onCharInput(unit);
        ++given;
    }
}

void MainWindow::onCharInput(uint32_t code)
{
    constexpr uint32_t kTabCode = 9;
    constexpr uint32_t kEscapeCode = 27;
    bool focused = hasFocusedGump();
    if (code == kTabCode) {
        if (focused && m_services.sendKeyToFocusedGump)
            m_services.sendKeyToFocusedGump(code);
        return;
    }
    if (code == kEscapeCode) {
        bool handled = m_services.answerPendingPrompt && m_services.answerPendingPrompt();
        if (!handled)
            handled = m_services.cancelTargeting && m_services.cancelTargeting();
        if (!handled && focused && m_services.sendKeyToFocusedGump)
            m_services.sendKeyToFocusedGump(code);
        if (m_services.cancelHouseDesignTool)
            m_services.cancelHouseDesignTool();
        return;
    }
    if (focused) {
        if (m_services.sendKeyToFocusedGump)
            m_services.sendKeyToFocusedGump(code);
    } else if (m_services.speechChar) {
        m_services.speechChar(code);
    }
}
