#include "protocol/protocol_services.h"

namespace {

// One installed service; the do-nothing default stands in while none is.
template <class Service> struct ServiceSlot {
    Service* installed { nullptr };

    Service& get() { return installed ? *installed : fallback(); }
    Service* install(Service* replacement)
    {
        Service* previous = installed;
        installed = replacement;
        return previous;
    }
    static Service& fallback()
    {
        static Service doNothing;
        return doNothing;
    }
};

ServiceSlot<LoginScreens>& loginScreensSlot()
{
    static ServiceSlot<LoginScreens> slot;
    return slot;
}

ServiceSlot<WorldEntrySteps>& worldEntryStepsSlot()
{
    static ServiceSlot<WorldEntrySteps> slot;
    return slot;
}

ServiceSlot<ShardWorldState>& shardWorldStateSlot()
{
    static ServiceSlot<ShardWorldState> slot;
    return slot;
}

ServiceSlot<SystemMessages>& systemMessagesSlot()
{
    static ServiceSlot<SystemMessages> slot;
    return slot;
}

ServiceSlot<UnthrottledSpeech>& unthrottledSpeechSlot()
{
    static ServiceSlot<UnthrottledSpeech> slot;
    return slot;
}

ServiceSlot<MessengerLink>& messengerLinkSlot()
{
    static ServiceSlot<MessengerLink> slot;
    return slot;
}

ServiceSlot<ServerSettingsStore>& serverSettingsStoreSlot()
{
    static ServiceSlot<ServerSettingsStore> slot;
    return slot;
}

ServiceSlot<PropertyListRevisions>& propertyListRevisionsSlot()
{
    static ServiceSlot<PropertyListRevisions> slot;
    return slot;
}

ServiceSlot<IgrSessions>& igrSessionsSlot()
{
    static ServiceSlot<IgrSessions> slot;
    return slot;
}

ServiceSlot<ClientShell>& clientShellSlot()
{
    static ServiceSlot<ClientShell> slot;
    return slot;
}

} // namespace

LoginScreens& loginScreens() { return loginScreensSlot().get(); }
LoginScreens* installLoginScreens(LoginScreens* screens) { return loginScreensSlot().install(screens); }
LoginScreens* doNothingLoginScreens() { return &ServiceSlot<LoginScreens>::fallback(); }

WorldEntrySteps& worldEntrySteps() { return worldEntryStepsSlot().get(); }
WorldEntrySteps* installWorldEntrySteps(WorldEntrySteps* steps) { return worldEntryStepsSlot().install(steps); }
WorldEntrySteps* doNothingWorldEntrySteps() { return &ServiceSlot<WorldEntrySteps>::fallback(); }

ShardWorldState& shardWorldState() { return shardWorldStateSlot().get(); }
ShardWorldState* installShardWorldState(ShardWorldState* state) { return shardWorldStateSlot().install(state); }
ShardWorldState* doNothingShardWorldState() { return &ServiceSlot<ShardWorldState>::fallback(); }

SystemMessages& systemMessages() { return systemMessagesSlot().get(); }
SystemMessages* installSystemMessages(SystemMessages* messages) { return systemMessagesSlot().install(messages); }
SystemMessages* doNothingSystemMessages() { return &ServiceSlot<SystemMessages>::fallback(); }

UnthrottledSpeech& unthrottledSpeech() { return unthrottledSpeechSlot().get(); }
UnthrottledSpeech* installUnthrottledSpeech(UnthrottledSpeech* speech)
{
    return unthrottledSpeechSlot().install(speech);
}
UnthrottledSpeech* doNothingUnthrottledSpeech() { return &ServiceSlot<UnthrottledSpeech>::fallback(); }

MessengerLink& messengerLink() { return messengerLinkSlot().get(); }
MessengerLink* installMessengerLink(MessengerLink* link) { return messengerLinkSlot().install(link); }
MessengerLink* doNothingMessengerLink() { return &ServiceSlot<MessengerLink>::fallback(); }

ServerSettingsStore& serverSettingsStore() { return serverSettingsStoreSlot().get(); }
ServerSettingsStore* installServerSettingsStore(ServerSettingsStore* store)
{
    return serverSettingsStoreSlot().install(store);
}
ServerSettingsStore* doNothingServerSettingsStore() { return &ServiceSlot<ServerSettingsStore>::fallback(); }

PropertyListRevisions& propertyListRevisions() { return propertyListRevisionsSlot().get(); }
PropertyListRevisions* installPropertyListRevisions(PropertyListRevisions* revisions)
{
    return propertyListRevisionsSlot().install(revisions);
}
PropertyListRevisions* doNothingPropertyListRevisions() { return &ServiceSlot<PropertyListRevisions>::fallback(); }

IgrSessions& igrSessions() { return igrSessionsSlot().get(); }
IgrSessions* installIgrSessions(IgrSessions* sessions) { return igrSessionsSlot().install(sessions); }
IgrSessions* doNothingIgrSessions() { return &ServiceSlot<IgrSessions>::fallback(); }

ClientShell& clientShell() { return clientShellSlot().get(); }
ClientShell* installClientShell(ClientShell* shell) { return clientShellSlot().install(shell); }
ClientShell* doNothingClientShell() { return &ServiceSlot<ClientShell>::fallback(); }
