#pragma once
// The login servers the client may connect to: the lists that the
// "LoginServer" and "BackupLoginServer" lines of the login-server file fill,
// and the edit server of the "EditServer" setting. An entry is given either
// as a dotted address with its port ("10.0.0.1,7775") or as a host name that
// is resolved when the client connects. Addresses are IPv4 in host order.
// Main thread only.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

struct LoginServerEntry {
    uint32_t address { 0 }; // 0 when given by name
    uint16_t port { 0 };
    std::string hostName; // the whole text when given by name
};

struct LoginServerList {
    static constexpr size_t kMaxEntries = 8;

    std::array<LoginServerEntry, kMaxEntries> entries;
    int32_t count { 0 };

    // Adds one line's value; lines past the eighth are dropped.
    void append(std::string_view value);
};

struct ServerAddress {
    uint32_t address { 0 };
    uint16_t port { 0 };
    bool isSet() const { return address != 0; }
};

// Four groups of 1 to 3 digits separated by ".", then ",", then a port of 4
// or 5 digits and nothing after it. A shorter port makes the text a host name.
bool isDottedAddress(std::string_view text, uint32_t* address = nullptr, uint16_t* port = nullptr);

// "host,port": resolves the host (repeated calls for a host with several
// addresses take them in turn) and reads the port (0 without a ","). False
// when the host is not found; the address is then left as it was.
bool resolveServerAddress(std::string_view text, uint32_t& address, uint16_t& port);

LoginServerList& loginServers();
LoginServerList& backupLoginServers();
// The current login-server index: -1 until a LoginServer line was read.
int32_t& loginServerIndex();
ServerAddress& editServerAddress();

// Reads the LoginServer and BackupLoginServer lines of the login-server file
// (found through the file manager). False when the file cannot be opened.
bool loadLoginServerFile(const std::string& name);
// Applies an EditServer value: the dotted form is taken as it is, any other
// text is resolved at once.
void applyEditServerSetting(std::string_view value);
