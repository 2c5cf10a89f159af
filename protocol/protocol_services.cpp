#include "protocol/protocol_services.h"

#include "core/installed_service.h"

// The base class of each service does nothing: it is its own do-nothing form.
template <> struct ServiceFallback<LoginScreens> {
    using Type = LoginScreens;
};
template <> struct ServiceFallback<WorldEntrySteps> {
    using Type = WorldEntrySteps;
};
template <> struct ServiceFallback<ShardWorldState> {
    using Type = ShardWorldState;
};
template <> struct ServiceFallback<UnthrottledSpeech> {
    using Type = UnthrottledSpeech;
};
template <> struct ServiceFallback<MessengerLink> {
    using Type = MessengerLink;
};
template <> struct ServiceFallback<PropertyListRevisions> {
    using Type = PropertyListRevisions;
};
template <> struct ServiceFallback<IgrSessions> {
    using Type = IgrSessions;
};
template <> struct ServiceFallback<ClientShell> {
    using Type = ClientShell;
};

namespace {

template <class Service> Service* doNothing() { return &serviceFallback<Service>(); }

} // namespace

LoginScreens& loginScreens() { return service<LoginScreens>(); }
LoginScreens* installLoginScreens(LoginScreens* screens) { return installService<LoginScreens>(screens); }
LoginScreens* doNothingLoginScreens() { return doNothing<LoginScreens>(); }

WorldEntrySteps& worldEntrySteps() { return service<WorldEntrySteps>(); }
WorldEntrySteps* installWorldEntrySteps(WorldEntrySteps* steps) { return installService<WorldEntrySteps>(steps); }
WorldEntrySteps* doNothingWorldEntrySteps() { return doNothing<WorldEntrySteps>(); }

ShardWorldState& shardWorldState() { return service<ShardWorldState>(); }
ShardWorldState* installShardWorldState(ShardWorldState* state) { return installService<ShardWorldState>(state); }
ShardWorldState* doNothingShardWorldState() { return doNothing<ShardWorldState>(); }

UnthrottledSpeech& unthrottledSpeech() { return service<UnthrottledSpeech>(); }
UnthrottledSpeech* installUnthrottledSpeech(UnthrottledSpeech* speech)
{
    return installService<UnthrottledSpeech>(speech);
}
UnthrottledSpeech* doNothingUnthrottledSpeech() { return doNothing<UnthrottledSpeech>(); }

MessengerLink& messengerLink() { return service<MessengerLink>(); }
MessengerLink* installMessengerLink(MessengerLink* link) { return installService<MessengerLink>(link); }
MessengerLink* doNothingMessengerLink() { return doNothing<MessengerLink>(); }

PropertyListRevisions& propertyListRevisions() { return service<PropertyListRevisions>(); }
PropertyListRevisions* installPropertyListRevisions(PropertyListRevisions* revisions)
{
    return installService<PropertyListRevisions>(revisions);
}
PropertyListRevisions* doNothingPropertyListRevisions() { return doNothing<PropertyListRevisions>(); }

IgrSessions& igrSessions() { return service<IgrSessions>(); }
IgrSessions* installIgrSessions(IgrSessions* sessions) { return installService<IgrSessions>(sessions); }
IgrSessions* doNothingIgrSessions() { return doNothing<IgrSessions>(); }

ClientShell& clientShell() { return service<ClientShell>(); }
ClientShell* installClientShell(ClientShell* shell) { return installService<ClientShell>(shell); }
ClientShell* doNothingClientShell() { return doNothing<ClientShell>(); }
