#include "protocol/protocol_services.h"

#include "core/service_slot.h"

namespace {

// The base class of each service does nothing; its slot falls back to one.
template <class Service> ServiceSlot<Service>& slot() { return serviceSlot<Service, Service>(); }

template <class Service> Service* doNothing()
{
    static Service none;
    return &none;
}

} // namespace

LoginScreens& loginScreens() { return slot<LoginScreens>().get(); }
LoginScreens* installLoginScreens(LoginScreens* screens) { return slot<LoginScreens>().install(screens); }
LoginScreens* doNothingLoginScreens() { return doNothing<LoginScreens>(); }

WorldEntrySteps& worldEntrySteps() { return slot<WorldEntrySteps>().get(); }
WorldEntrySteps* installWorldEntrySteps(WorldEntrySteps* steps) { return slot<WorldEntrySteps>().install(steps); }
WorldEntrySteps* doNothingWorldEntrySteps() { return doNothing<WorldEntrySteps>(); }

ShardWorldState& shardWorldState() { return slot<ShardWorldState>().get(); }
ShardWorldState* installShardWorldState(ShardWorldState* state) { return slot<ShardWorldState>().install(state); }
ShardWorldState* doNothingShardWorldState() { return doNothing<ShardWorldState>(); }

UnthrottledSpeech& unthrottledSpeech() { return slot<UnthrottledSpeech>().get(); }
UnthrottledSpeech* installUnthrottledSpeech(UnthrottledSpeech* speech)
{
    return slot<UnthrottledSpeech>().install(speech);
}
UnthrottledSpeech* doNothingUnthrottledSpeech() { return doNothing<UnthrottledSpeech>(); }

MessengerLink& messengerLink() { return slot<MessengerLink>().get(); }
MessengerLink* installMessengerLink(MessengerLink* link) { return slot<MessengerLink>().install(link); }
MessengerLink* doNothingMessengerLink() { return doNothing<MessengerLink>(); }

PropertyListRevisions& propertyListRevisions() { return slot<PropertyListRevisions>().get(); }
PropertyListRevisions* installPropertyListRevisions(PropertyListRevisions* revisions)
{
    return slot<PropertyListRevisions>().install(revisions);
}
PropertyListRevisions* doNothingPropertyListRevisions() { return doNothing<PropertyListRevisions>(); }

IgrSessions& igrSessions() { return slot<IgrSessions>().get(); }
IgrSessions* installIgrSessions(IgrSessions* sessions) { return slot<IgrSessions>().install(sessions); }
IgrSessions* doNothingIgrSessions() { return doNothing<IgrSessions>(); }

ClientShell& clientShell() { return slot<ClientShell>().get(); }
ClientShell* installClientShell(ClientShell* shell) { return slot<ClientShell>().install(shell); }
ClientShell* doNothingClientShell() { return doNothing<ClientShell>(); }
