#include "support/world_player.h"

#include "frontend/front_end_state.h"
#include "frontend/main_menu.h"
#include "gump/gump.h"
#include "gump/gump_manager.h"
#include "gump/waiting_gump.h"
#include "net/game_connection.h"
#include "platform/clock.h"
#include "platform/headless/headless_window.h"
#include "platform/virtual_keys.h"
#include "platform/window.h"
#include "protocol/login_state.h"
#include "support/window_input.h"

#include <cstdio>
#include <string_view>

namespace test {

namespace {

using platform::MessageKind;

// A screen is acted on only after it has been up this long, and the front
// end gets at most one action in this time.
constexpr uint32_t kSettleMs = 400;
// A busy box ("Connecting...", "Verifying Account...") up longer than this
// is cancelled.
constexpr uint32_t kBusyLimitMs = 20000;
// The first row of the shard list.
constexpr int32_t kFirstShardX = 260;
constexpr int32_t kFirstShardY = 104;
// In the world with no open connection and no message saying so for this
// long: the client no longer hears its server and the player is not told.
constexpr uint32_t kDeafLimitMs = 15000;

std::string narrow(const WaitingGump& box)
{
    if (!box.isUnicode())
        return box.narrowText();
    std::string out;
    for (char16_t unit : box.wideText())
        out.push_back(unit < 0x80 ? char(unit) : '?');
    return out;
}

} // namespace

CGump* findGump(std::string_view typeName)
{
    for (CGump* gump = gumpListHead(); gump; gump = gump->next()) {
        if (isValidGump(gump) && typeName == gump->typeName() && gump->isVisible())
            return gump;
    }
    return nullptr;
}

WaitingGump* findMessage()
{
    for (CGump* gump = gumpListHead(); gump; gump = gump->next()) {
        if (isValidGump(gump) && gump->is(GumpKind::WaitingGump) && gump->isVisible())
            return static_cast<WaitingGump*>(gump);
    }
    return nullptr;
}

WorldPlayer::WorldPlayer(LoopWatchdog& watchdog, Options options)
    : m_watchdog(watchdog)
    , m_options(std::move(options))
{
}

void WorldPlayer::started(ClientSession& session)
{
    m_session = &session;
    m_startMs = platform::clock().tickMs();
    m_nextActionMs = m_startMs;
    m_watchdog.setState("starting up");
}

void WorldPlayer::finished(ClientSession&) { m_watchdog.setState("shutting down"); }

void WorldPlayer::post(const platform::WindowMessage& message)
{
    static_cast<platform::HeadlessWindow&>(m_session->window).postMessage(message);
}

void WorldPlayer::pressKey(uint16_t virtualKey)
{
    test::pressKey(static_cast<platform::HeadlessWindow&>(m_session->window), virtualKey);
}

void WorldPlayer::type(const std::string& text)
{
    typeText(static_cast<platform::HeadlessWindow&>(m_session->window), text);
}

void WorldPlayer::fail(const std::string& reason)
{
    if (m_failure.empty())
        m_failure = reason;
    closeWindow();
}

void WorldPlayer::closeWindow()
{
    if (m_closing)
        return;
    m_closing = true;
    m_watchdog.setState("closing the window");
    post({ MessageKind::Close, 0, 0, 0, 0 });
}

void WorldPlayer::updated()
{
    m_watchdog.beat();
    if (m_closing)
        return;
    const uint32_t now = platform::clock().tickMs();
    if (loginSession().loggedIn) {
        if (!m_inWorld) {
            m_inWorld = true;
            ++m_worldEntries;
            if (m_worldEntries == 1)
                m_firstEntryMs = now;
            m_watchdog.setState("in the world");
        }
        m_lastWorldMs = now;
    } else if (m_inWorld) {
        m_inWorld = false;
        ++m_worldExits;
        m_watchdog.setState("outside the world");
    }

    if (m_worldEntries > 0) {
        const uint32_t elapsed = now - m_firstEntryMs;
        if (!m_referenceTaken && elapsed >= m_options.referenceMs) {
            m_referenceTaken = true;
            if (m_referenceMark)
                m_referenceMark();
        }
        if (elapsed >= m_options.worldSeconds * 1000) {
            m_completed = true;
            if (m_endMark)
                m_endMark();
            closeWindow();
            return;
        }
    }
    if (m_inWorld) {
        // A message box in the world (the connection was lost, or a packet
        // put one up) is answered as off the world.
        if (findMessage()) {
            frontEndStep(now);
            return;
        }
        if (gameConnectionIsOpen()) {
            m_deafSinceMs = 0;
        } else if (m_deafSinceMs == 0) {
            m_deafSinceMs = now;
        } else if (now - m_deafSinceMs > kDeafLimitMs) {
            fail("the client stays in the world without a connection and shows nothing");
            return;
        }
        if (m_inWorldStep)
            m_inWorldStep(*this, now);
        return;
    }
    if (m_worldEntries == 0 && now - m_startMs > m_options.firstEntryMs) {
        fail("the client did not enter the world within " + std::to_string(m_options.firstEntryMs / 1000) + " s");
        return;
    }
    if (m_worldEntries > 0 && m_options.comebackMs == 0) {
        fail("the client left the world");
        return;
    }
    if (m_worldEntries > 0 && now - m_lastWorldMs > m_options.comebackMs) {
        fail("the client did not come back into the world within " + std::to_string(m_options.comebackMs / 1000)
            + " s");
        return;
    }
    frontEndStep(now);
}

void WorldPlayer::frontEndStep(uint32_t now)
{
    if (int32_t(now - m_nextActionMs) < 0)
        return;
    if (WaitingGump* box = findMessage()) {
        if (box->isBusy()) {
            if (m_busySinceMs == 0)
                m_busySinceMs = now;
            if (now - m_busySinceMs < kBusyLimitMs)
                return;
        }
        m_busySinceMs = 0;
        // Enter presses the box's button (it holds the keyboard focus).
        ++m_messagesAnswered;
        if (m_messagesAnswered <= 3 || m_messagesAnswered % 100 == 0)
            std::fprintf(stderr, "message %u answered: %s\n", m_messagesAnswered, narrow(*box).c_str());
        type("\r");
        m_nextActionMs = now + kSettleMs;
        return;
    }
    m_busySinceMs = 0;
    if (findGump("Login gump")) {
        // The character list: Enter plays the first character.
        m_watchdog.setState("at the character list");
        type("\r");
        m_nextActionMs = now + kSettleMs * 3;
        return;
    }
    if (findGump("ShardList gump")) {
        m_watchdog.setState("at the shard list");
        clickAt(static_cast<platform::HeadlessWindow&>(m_session->window), kFirstShardX, kFirstShardY);
        m_nextActionMs = now + kSettleMs * 3;
        return;
    }
    if (findGump("MainMenu gump") && !findGump("Splash gump")) {
        AcctLoginGump* login = rememberedWindow<AcctLoginGump>(frontEnd().loginWindow);
        if (!login || !login->isVisible()) {
            m_nextActionMs = now + kSettleMs;
            return;
        }
        m_watchdog.setState("at the login window");
        login->setAccountText(m_options.account);
        login->setPasswordText(m_options.password);
        ++m_logins;
        type("\r");
        m_nextActionMs = now + kSettleMs * 3;
        return;
    }
    m_nextActionMs = now + kSettleMs / 4;
}

} // namespace test
