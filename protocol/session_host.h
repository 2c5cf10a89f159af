#pragma once
// Connects the shard sessions of the network layer to the login road and to
// the services the protocol layer reaches. Main thread only.

class ShardSessionHost;

// Installs the protocol layer's session host; returns the previous one.
ShardSessionHost* installProtocolSessionHost();
