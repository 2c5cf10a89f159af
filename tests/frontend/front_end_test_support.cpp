#include "front_end_test_support.h"

#include "data/config_key_rules.h"
#include "data/server_config_store.h"
#include "data/server_features.h"
#include "fixtures/sample_front_end.h"
#include "frontend/front_end_state.h"
#include "frontend/front_end_wiring.h"
#include "gump/gump_manager.h"
#include "gump/waiting_gump.h"
#include "net/game_connection.h"
#include "net/ping_monitor.h"
#include "net/shard_sessions.h"
#include "protocol/login_state.h"
#include "text/ascii_font.h"
#include "text/unicode_font.h"

namespace front_end_test {

void resetLoginRoad()
{
    resetFrontEnd();
    loginSession() = LoginSession {};
    shardList() = ShardList {};
    characterSlots().clear();
    resetConfigValues();
    setServerFeatures(0);
    storeCharacterListFlags(0);
    serverConfigStore().onLogoutConfirmed();
    destroyPingMonitor();
    destroyAllSessions();
    closeGameConnection();
    destroyAllConnections();
}

Screens::Screens()
{
    for (const auto& [id, picture] : fixture::frontEndArt())
        art.add(id, picture);
    art.install();
    fixture::AsciiFontFileWriter fonts;
    fixture::addDotFaceFonts(fonts);
    const std::string ascii = fonts.bytes();
    parseAsciiFontFile(reinterpret_cast<const uint8_t*>(ascii.data()), ascii.size());
    unicodeFont = fixture::dotFaceUnicodeFont();
    for (int32_t font = 0; font < 3; ++font)
        installUnicodeFont(font, reinterpret_cast<const uint8_t*>(unicodeFont.data()), unicodeFont.size());
    resetLoginRoad();
    installFrontEnd();
}

Screens::~Screens()
{
    gumpSystemShutdown();
    uninstallFrontEnd();
    resetLoginRoad();
}

CGump* Screens::findGump(std::string_view typeName)
{
    for (CGump* gump = gumpListHead(); gump; gump = gump->next()) {
        if (isValidGump(gump) && typeName == gump->typeName() && gump->isVisible())
            return gump;
    }
    return nullptr;
}

WaitingGump* Screens::findMessage()
{
    for (CGump* gump = gumpListHead(); gump; gump = gump->next()) {
        if (isValidGump(gump) && gump->is(GumpKind::WaitingGump) && gump->isVisible())
            return static_cast<WaitingGump*>(gump);
    }
    return nullptr;
}

std::string Screens::messageText()
{
    WaitingGump* box = findMessage();
    if (!box)
        return {};
    if (!box->isUnicode())
        return box->narrowText();
    std::string text;
    for (char16_t unit : box->wideText())
        text.push_back(char(unit & 0x7F));
    return text;
}

} // namespace front_end_test
