#pragma once
// The shard sessions' view of the world objects: what a shard switch clears,
// saves into the session it leaves and restores from the one it shows, the
// item held on the pointer, and the objects the edit server's tile data
// changed. Installed at start-up. Main thread only.

class ShardWorldState;

ShardWorldState* worldShardState();
