#include "protocol/login_state.h"

#include "core/wide_text.h"
#include "protocol/protocol_services.h"

namespace {

struct LoginState {
    LoginSession session;
    ShardList shards;
    CharacterSlots slots;
    StartLocationList locations;
};

LoginState& loginState()
{
    static LoginState state;
    return state;
}

} // namespace

void CharacterSlots::clear()
{
    keys.fill(-1);
    for (std::string& name : names)
        name.clear();
    for (std::string& password : passwords)
        password.clear();
    count = 0;
}

LoginSession& loginSession() { return loginState().session; }
ShardList& shardList() { return loginState().shards; }
CharacterSlots& characterSlots() { return loginState().slots; }
StartLocationList& startLocations() { return loginState().locations; }

std::u16string loginWindowTitle()
{
    const LoginSession& session = loginSession();
    std::u16string title = bytesToWideString(session.accountName) + u" " + bytesToWideString(session.accountLastName);
    if (session.attached)
        title += u" (" + bytesToWideString(session.shardName) + u")";
    return title;
}

void rebuildLoginWindowTitle() { clientShell().setWindowTitle(loginWindowTitle()); }
