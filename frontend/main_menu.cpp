#include "frontend/main_menu.h"

#include "audio/video_playback.h"
#include "data/config_file.h"
#include "data/file_manager.h"
#include "data/targeting.h"
#include "frontend/credits_screen.h"
#include "frontend/front_end_flow.h"
#include "frontend/front_end_shell.h"
#include "frontend/front_end_state.h"
#include "frontend/igr_sessions.h"
#include "frontend/login_sequence.h"
#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"
#include "gump/button.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/input_control.h"
#include "net/game_connection.h"
#include "platform/ascii_text.h"
#include "platform/locale.h"
#include "protocol/login_state.h"
#include "protocol/protocol_services.h"

#include <array>
#include <charconv>
#include <string_view>
#include <vector>

namespace {

constexpr int32_t kLabelHue = 847;
constexpr int32_t kMenuNoticeHue = 1153;
constexpr size_t kMaxVerinfoLine = 127;
constexpr const char* kNoticeText = "Vardun Online (c) Halcyr Worlds Online. All rights reserved.";

enum class ButtonCondition : uint8_t {
    Always,
    LoginWindow,
    Ratings,
};

struct MainMenuButtonRow {
    int32_t tooltip;
    int32_t x;
    int32_t y;
    int32_t up;
    int32_t down;
    int32_t hover;
    ButtonCondition condition;
    GumpCallback callback;
};

template <void (*Action)()>
void runAction(CGump*)
{
    Action();
}

// In the order the buttons are added.
constexpr std::array<MainMenuButtonRow, 7> kButtonRows = { {
    { 100000, 14, 146, 5519, 5521, 5520, ButtonCondition::Always, runAction<openAccountPage> },
    { 100011, 555, 4, 5513, 5515, 5514, ButtonCondition::Always, runAction<exitGame> },
    { 100001, 14, 205, 5522, 5524, 5523, ButtonCondition::Always, runAction<openRegistrationPage> },
    { 100002, 14, 354, 5525, 5527, 5526, ButtonCondition::Always, runAction<openSupportPage> },
    { 100005, 14, 306, 5510, 5512, 5511, ButtonCondition::LoginWindow, runAction<replayIntro> },
    { 100006, 14, 330, 5507, 5509, 5508, ButtonCondition::Always, runAction<showCredits> },
    { -1, 50, 383, 9013, 9013, 9013, ButtonCondition::Ratings, runAction<openRatingsPage> },
} };

// A longer identifier comes before the shorter one it begins with, so that
// each line reads its own number.
constexpr std::array<std::string_view, 12> kEditions = {
    "Win32_WR_BETA",
    "Win32_WR",
    "Win32_JD",
    "Win32_DSK3D",
    "Win32_DSK2D",
    "Win32_RMN3D_FanEvent",
    "Win32_RMN3D",
    "Win32_RMN2D_FanEvent",
    "Win32_RMN2D",
    "Win32_VOGW",
    "Win32_VO_Cobalt",
    "Win32_client_555",
};

// The desktop's language as the ratings rule reads it: a value of at most
// three characters, "def" (from "default") when the desktop names none.
bool desktopLanguageShowsRatings()
{
    std::string code = platform::systemLanguageCode();
    if (code.empty())
        code = "default";
    code.resize(std::min<size_t>(code.size(), 3));
    return code.empty() || platform::equalIgnoringAsciiCase(code, "enu");
}

bool rowApplies(const MainMenuButtonRow& row, CGump& gump)
{
    switch (row.condition) {
    case ButtonCondition::Always:
        return true;
    case ButtonCondition::LoginWindow:
        return gump.is(GumpKind::AcctLogin);
    case ButtonCondition::Ratings:
        return std::string_view(gump.typeName()).starts_with("AcctLogin gump") && desktopLanguageShowsRatings();
    }
    return false;
}

InputControl* addLabel(CGump& parent, int32_t x, int32_t y, int32_t width, int32_t font, int32_t hue,
    const std::string& text)
{
    auto* label = new InputControl(
        x, y, EntrySize { width, 30, false }, int32_t(EntryMode::ComboText), 16, font, hue, false, false);
    label->options.readOnly = true;
    label->setNarrowText(text);
    label->redraw();
    gumpLink(label, &parent);
    return label;
}

TextEntry* addLoginEntry(CGump& parent, int32_t y, int32_t marginY, int32_t tooltip, bool password)
{
    auto* entry = new TextEntry(328, y, EntrySize { 210, 30, false }, int32_t(EntryMode::Text),
        AcctLoginGump::kMaxEntryLength, 5, kLabelHue, true, false);
    entry->options.marginX = 7;
    entry->options.marginY = marginY;
    entry->options.password = password;
    entry->setTooltipId(tooltip);
    entry->redraw();
    gumpLink(entry, &parent);
    return entry;
}

void setEntryText(TextEntry* entry, const std::string& text)
{
    if (!entry)
        return;
    entry->setNarrowText(text);
    entry->setCaret(int32_t(entry->text().size()));
    entry->redraw();
}

} // namespace

MainMenuGump::MainMenuGump()
    : FrontEndGump(0, 0, kFrontEndWidth, kFrontEndHeight)
{
    setTypeName("MainMenu gump");
    LoginSession& session = loginSession();
    FrontEndRecords& records = frontEnd();
    if (igrSessions().isIgrMode()) {
        session.accountName.clear();
        session.password.clear();
    }
    prepareFrontEndScreen();
    GumpPage& face = makePage();
    clearFrontEndBackBuffer();
    tileGumpArt(kTileArt, face);
    drawGumpArt(copySpanTransparent, kBackgroundArt, face.target(), 0, 0);
    drawGumpArt(copySpanTransparent, kTitleArt, face.target(), 0, 4);
    records.mainMenu = GumpHandle(this);

    auto* login = new AcctLoginGump();
    records.loginWindow = GumpHandle(login);
    if (!session.accountName.empty())
        login->setAccountText(session.accountName);
    if (records.rememberPassword)
        login->setPasswordText(session.password);
    gumpLink(login, this);
    addMainMenuButtons(*this);
}

MainMenuGump::~MainMenuGump() = default;

void MainMenuGump::onMouseOver(int32_t, int32_t) { setFrontEndCursor(); }

void MainMenuGump::tick()
{
    forEachChildBottomUp([](CGump* child) { child->tick(); });
}

AcctLoginGump::AcctLoginGump()
    : FrontEndGump(0, 0, kFrontEndWidth, kFrontEndHeight)
{
    setTypeName("AcctLogin gump");
    addKind(GumpKind::AcctLogin);
    GumpPage& face = makePage();
    drawNinePatchRecord(128, 288, 451, 157, kFrameArt, face, true);
    drawGumpArt(copySpanTransparent, kEmblemArt, face.target(), 286, 45);

    addLabel(*this, 250, 303, 320, 2, kLabelHue, "Log in to Vardun Online");
    addLabel(*this, 200, 453, 360, 6, kMenuNoticeHue, kNoticeText);
    addLabel(*this, 200, 419, 360, 9, kLabelHue, versionLine(clientVersionString(), readPatchNumber()));
    addLabel(*this, 180, 343, 160, 2, kLabelHue, "Account Name");
    m_account = addLoginEntry(*this, 343, 0, 100009, false);
    addLabel(*this, 180, 383, 140, 2, kLabelHue, "Password");
    m_password = addLoginEntry(*this, 383, 2, 100010, true);
    select(igrSessions().isIgrMode() ? m_account : m_password);
    gumpSetFocus(igrSessions().isIgrMode() ? m_account : m_password);

    FrontEndRecords& records = frontEnd();
    if (!records.rememberPassword) {
        records.notRemembered = true;
        setConfigValueGlobal(ConfigKeyKind::RememberAcctPW, "no");
        setConfigValueGlobal(ConfigKeyKind::AcctPassword, "");
        setConfigValueGlobal(ConfigKeyKind::NumPassTries, "-1");
    } else {
        records.notRemembered = false;
    }

    m_arrow = new Button(
        610, 435, ButtonBehaviour::ClickOnRelease, 0, onParent<&AcctLoginGump::onArrow>, kArrowArt, 5542, false);
    m_arrow->setHoverArt(kArrowFlashArt);
    m_arrow->setTooltipId(100008);
    m_arrow->setFlashTicks(12, 6);
    gumpLink(m_arrow, this);
    addMainMenuButtons(*this);
}

AcctLoginGump::~AcctLoginGump() = default;

std::string AcctLoginGump::accountText() const { return m_account ? m_account->narrowText() : std::string(); }
std::string AcctLoginGump::passwordText() const { return m_password ? m_password->narrowText() : std::string(); }
void AcctLoginGump::setAccountText(const std::string& text) { setEntryText(m_account, text); }
void AcctLoginGump::setPasswordText(const std::string& text) { setEntryText(m_password, text); }

void AcctLoginGump::tick()
{
    const bool bothFilled = m_account && m_password && !m_account->text().empty() && !m_password->text().empty();
    if (m_arrow)
        m_arrow->setFlashArt(bothFilled ? kArrowFlashArt : 0);
    forEachChildBottomUp([](CGump* child) { child->tick(); });
}

void AcctLoginGump::select(TextEntry* entry)
{
    for (TextEntry* each : { m_account, m_password }) {
        if (!each)
            continue;
        each->options.selected = each == entry;
        each->redraw();
    }
}

void AcctLoginGump::onTab()
{
    GumpHandle self(this);
    bringToFront(false);
    TextEntry* from = gumpFocus() == m_account ? m_account : m_password;
    TextEntry* to = from == m_account ? m_password : m_account;
    gumpReleaseFocus();
    if (!self)
        return;
    select(to);
    gumpSetFocus(to);
    to->setCaret(int32_t(to->text().size()));
    to->redraw();
}

void AcctLoginGump::onEnter() { logIn(*this); }

void AcctLoginGump::onEscape() { returnToMainMenu(this); }

void AcctLoginGump::onArrow() { logIn(*this); }

void AcctLoginGump::onControlPressed(CGump* control)
{
    if ((control == m_account || control == m_password) && !static_cast<TextEntry*>(control)->options.selected)
        select(static_cast<TextEntry*>(control));
}

void AcctLoginGump::onLeftDown(int32_t, int32_t) { bringToFrontOnLeftDown(); }
void AcctLoginGump::onLeftUp(int32_t, int32_t) { releasePointerCapture(); }
void AcctLoginGump::onRightUp(int32_t, int32_t) { releasePointerCapture(); }
void AcctLoginGump::onMouseOver(int32_t, int32_t) { setFrontEndCursor(); }

void addMainMenuButtons(CGump& gump)
{
    for (const MainMenuButtonRow& row : kButtonRows) {
        if (!rowApplies(row, gump))
            continue;
        auto* button
            = new Button(row.x, row.y, ButtonBehaviour::ClickOnRelease, 0, row.callback, row.up, row.down, false);
        button->setHoverArt(row.hover);
        if (row.tooltip > 0)
            button->setTooltipId(row.tooltip);
        gumpLink(button, &gump);
    }
}

int32_t patchNumberFromLine(const std::string& line, bool& matched)
{
    matched = false;
    for (std::string_view edition : kEditions) {
        if (line.compare(0, edition.size(), edition) != 0)
            continue;
        matched = true;
        // The identifier, optional blanks, then a decimal number.
        std::string_view rest = std::string_view(line).substr(edition.size());
        while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t'))
            rest.remove_prefix(1);
        int32_t number = -1;
        auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), number);
        (void)end;
        return error == std::errc() ? number : -1;
    }
    return -1;
}

int32_t readPatchNumber()
{
    std::vector<uint8_t> bytes;
    if (fileManager().readWhole("verinfo", bytes) < 0)
        return -1;
    size_t at = 0;
    while (at < bytes.size()) {
        size_t end = at;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        std::string line(reinterpret_cast<const char*>(bytes.data()) + at, std::min(end - at, kMaxVerinfoLine));
        bool matched = false;
        const int32_t number = patchNumberFromLine(line, matched);
        if (matched)
            return number;
        at = end + 1;
    }
    return -1;
}

std::string versionLine(const char* version, int32_t patch)
{
    std::string line = std::string("VO Version ") + (version ? version : "");
    if (patch == -1)
        return line + " (Patch Unknown)";
    return line + " (Patch " + std::to_string(patch) + ")";
}

void openAccountPage()
{
    service<FrontEndShell>().leaveFullScreen();
    openUrlInBrowser(kAccountPageUrl);
}

void openRegistrationPage()
{
    service<FrontEndShell>().leaveFullScreen();
    if (!igrSessions().isIgrMode()) {
        openUrlInBrowser(kRegistrationPageUrl);
        return;
    }
    const std::string page = igrWebPage();
    if (!page.empty())
        openUrlInBrowser(page);
}

void openSupportPage()
{
    service<FrontEndShell>().leaveFullScreen();
    openUrlInBrowser(kSupportPageUrl);
}

void openRatingsPage()
{
    service<FrontEndShell>().leaveFullScreen();
    openUrlInBrowser(kRatingsPageUrl);
}

void exitGame()
{
    igrSessions().stopAllSessions();
    service<FrontEndShell>().endProgram(0);
}

void showCredits()
{
    CreditsScreen credits;
    credits.run();
    // The roll drew straight into the back buffer: every gump is drawn again.
    clearFrontEndBackBuffer();
}

void replayIntro()
{
    // The disconnect goes out before the connection closes; queued alone it
    // would be dropped with the send queue.
    sendDisconnectAndFlush();
    closeGameConnection();
    LoginSession& session = loginSession();
    session.loggedIn = false;
    session.loginInProgress = false;
    session.attached = false;
    ensureGameConnection();
    replayIntroVideo();
}
