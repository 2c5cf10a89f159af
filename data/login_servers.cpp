#include "data/login_servers.h"

#include "data/config_file.h"
#include "data/file_manager.h"
#include "platform/sockets.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Reads 1 to `maxDigits` digits at `at`; false when there are none.
bool readNumber(std::string_view text, size_t& at, size_t maxDigits, uint32_t& value)
{
    size_t start = at;
    value = 0;
    while (at < text.size() && isDigit(text[at]) && at - start < maxDigits)
        value = value * 10 + uint32_t(text[at++] - '0');
    return at > start;
}

struct ServerLists {
    LoginServerList main;
    LoginServerList backup;
    int32_t index { -1 };
    ServerAddress edit;
    // Shared by every resolution, so that a host with several addresses is
    // tried at each of them in turn.
    size_t resolveRotation { 0 };
};

ServerLists& lists()
{
    static ServerLists servers;
    return servers;
}

} // namespace

bool isDottedAddress(std::string_view text, uint32_t* address, uint16_t* port)
{
    size_t at = 0;
    uint32_t value = 0;
    for (int group = 0; group < 4; ++group) {
        uint32_t part = 0;
        if (!readNumber(text, at, 3, part))
            return false;
        value = value << 8 | (part & 0xFF);
        char separator = group < 3 ? '.' : ',';
        if (at >= text.size() || text[at] != separator)
            return false;
        ++at;
    }
    size_t portStart = at;
    uint32_t portValue = 0;
    if (!readNumber(text, at, 5, portValue) || at - portStart < 4 || (at < text.size() && isDigit(text[at])))
        return false;
    if (address)
        *address = value;
    if (port)
        *port = uint16_t(portValue);
    return true;
}

bool resolveServerAddress(std::string_view text, uint32_t& address, uint16_t& port)
{
    size_t comma = text.find(',');
    std::string host(text.substr(0, comma));
    port = 0;
    if (comma != std::string_view::npos) {
        size_t at = comma + 1;
        uint32_t value = 0;
        if (readNumber(text, at, 5, value))
            port = uint16_t(value);
    }
    std::vector<uint32_t> found = platform::resolveHostAddresses(host.c_str());
    if (found.empty())
        return false;
    size_t& rotation = lists().resolveRotation;
    if (rotation >= found.size())
        rotation = 0;
    address = found[rotation++];
    return true;
}

void LoginServerList::append(std::string_view value)
{
    if (value.empty() || count >= int32_t(kMaxEntries))
        return;
    LoginServerEntry entry;
    if (!isDottedAddress(value, &entry.address, &entry.port))
        entry.hostName = std::string(value);
    entries[size_t(count++)] = std::move(entry);
}

LoginServerList& loginServers() { return lists().main; }
LoginServerList& backupLoginServers() { return lists().backup; }
int32_t& loginServerIndex() { return lists().index; }
ServerAddress& editServerAddress() { return lists().edit; }

bool loadLoginServerFile(const std::string& name)
{
    FileManager& files = fileManager();
    FILE* stream = files.open(name, "r");
    if (!stream)
        return false;
    std::string line;
    while (readTextLine(stream, line)) {
        std::string_view key;
        std::string_view value;
        if (!parseConfigLine(line, key, value))
            continue;
        std::optional<ConfigKeyKind> kind = findConfigKey(key);
        if (kind == ConfigKeyKind::LoginServer) {
            loginServers().append(value);
            if (loginServerIndex() < 0)
                loginServerIndex() = 0;
        } else if (kind == ConfigKeyKind::BackupLoginServer) {
            backupLoginServers().append(value);
        }
    }
    files.close(stream);
    return true;
}

void applyEditServerSetting(std::string_view value)
{
    ServerAddress& edit = editServerAddress();
    if (isDottedAddress(value, &edit.address, &edit.port))
        return;
    resolveServerAddress(value, edit.address, edit.port);
}
