#pragma once
// The state of the login road that the login packets fill and the front end's
// screens read: the account and its flags, the shard list, the six character
// slots and the start locations. There is no login object; these are the
// process-wide records every step reads and replaces. Main thread only.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct LoginSession {
    std::string accountName; // at most 30 bytes go on the wire
    std::string password;
    std::string accountLastName;
    std::string shardName; // the shard attached to
    std::string playerName;
    uint8_t nextLoginKey { 0 };
    bool loginInProgress { false };
    bool attached { false }; // to a game server
    bool loggedIn { false }; // the world was entered
};

struct ShardEntry {
    uint16_t id { 0 };
    std::string name; // at most 15 characters; empty for an entry without a name
    uint8_t percentFull { 0 };
    int8_t timeZone { 0 };
    uint8_t zoneDistance { 0 };
    uint16_t spare { 0 };
    uint32_t address { 0 }; // IPv4, host order
};

struct ShardList {
    std::vector<ShardEntry> shards;
};

struct CharacterSlots {
    static constexpr size_t kSlotCount = 6;
    // Names and passwords keep at most this many characters.
    static constexpr size_t kMaxTextLength = 29;

    std::array<int32_t, kSlotCount> keys { -1, -1, -1, -1, -1, -1 };
    std::array<std::string, kSlotCount> names;
    std::array<std::string, kSlotCount> passwords;
    uint8_t count { 0 }; // as the server sent it

    void clear();
};

struct StartLocationList {
    // "city: building" and the server's index of each location.
    std::vector<std::string> texts;
    std::vector<uint8_t> indexes;
};

LoginSession& loginSession();
ShardList& shardList();
CharacterSlots& characterSlots();
StartLocationList& startLocations();

// The window title of the login road: account name, a blank, the account's
// last name, and " (shard)" while attached to a game server.
std::u16string loginWindowTitle();
// Sets the title through the main window.
void rebuildLoginWindowTitle();
