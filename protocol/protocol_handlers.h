#pragma once
// Registers the protocol layer's packet handlers with the dispatcher (the
// login, session, world object, general information, mobile status, combat,
// effect, season, target cursor, edit-server and ignored packets). Start-up calls
// it once; tests call it after clearing the dispatcher. Main thread only.

void registerProtocolHandlers();
