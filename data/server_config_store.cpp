#include "data/server_config_store.h"

#include "data/client_services.h"
#include "data/config_file.h"
#include "data/file_manager.h"
#include "data/managed_files.h"
#include "data/player_lists.h"
#include "platform/clock.h"
#include "platform/file_system.h"

#include <algorithm>
#include <cstdio>
#include <vector>
#include <zlib.h>

namespace {

constexpr size_t kFirstInflateRoom = 8192;

// The even numbers from 2 up name the same files as the odd ones after them
// and never travel.
bool isTravellingNumber(int number)
{
    return number >= 0 && number < ServerConfigStore::kFileCount && (number < 2 || number % 2 == 1);
}

ServerConfigStore*& installedStore()
{
    static ServerConfigStore* installed = nullptr;
    return installed;
}

// Writes a received file, making "Desktop/common/" under the client
// directory when it is missing.
bool writeReceivedFile(const std::string& name, const std::string& bytes)
{
    if (writeManagedFile(name, bytes))
        return true;
    std::string clientDirectory = fileManager().getClientDir();
    platform::makeDirectories(platform::parentDirectory(clientDirectory + platform::normalizeSeparators(name)));
    platform::forgetDirectoryCache();
    return writeManagedFile(name, bytes);
}

} // namespace

void ServerConfigStore::setEnabled(bool on)
{
    m_enabled = on;
    char text[64];
    std::snprintf(text, sizeof text, "Client %s use server config files!", on ? "WILL" : "WILL NOT");
    addDebugSystemMessage(text);
}

uint32_t ServerConfigStore::checksum(int number) const
{
    return number >= 0 && number < kFileCount ? m_checksums[size_t(number)] : 0;
}

std::string ServerConfigStore::fileName(int number)
{
    switch (number) {
    case 0:
        return "ignore.lst";
    case 1:
        return "vobscene.lst";
    case 2:
    case 3:
        return "Desktop\\common\\vo.cfg";
    case 4:
    case 5:
        return "Desktop\\common\\chardata.mul";
    case 6:
    case 7:
        return "Desktop\\common\\skillgrp.mul";
    case 8:
    case 9:
        return "Desktop\\common\\desktop.vos";
    case 10:
    case 11:
        return "Desktop\\common\\macros.txt";
    default:
        return "Desktop\\common\\IGRerror.txt";
    }
}

uint32_t ServerConfigStore::fileChecksum(std::span<const uint8_t> bytes)
{
    if (bytes.empty())
        return 0;
    uLong sum = adler32(0L, Z_NULL, 0);
    return uint32_t(adler32(sum, bytes.data(), uInt(bytes.size())));
}

void ServerConfigStore::reloadOwner(int number)
{
    switch (number) {
    case 0:
    case 1:
        loadPlayerLists();
        break;
    case 3:
        configFiles().readConfigFile("vo.cfg", true);
        break;
    case 5:
        loadCharacterData();
        break;
    case 7:
        windowNotices().reloadSkillGroups();
        break;
    case 11:
        windowNotices().reloadMacros();
        break;
    default:
        break;
    }
}

void ServerConfigStore::poll(bool force)
{
    if (!serverRequests().hasGameConnection())
        return;
    uint32_t now = platform::clock().tickMs();
    if (!m_pollDue && !force) {
        if (now - m_lastPollTime > kPollIntervalMs)
            m_pollDue = true;
        return;
    }
    m_syncFlag = 0;
    for (int number = 0; number < kFileCount; ++number) {
        if (!isTravellingNumber(number))
            continue;
        std::vector<uint8_t> bytes;
        fileManager().readWhole(fileName(number), bytes);
        uint32_t sum = fileChecksum(bytes);
        if (sum == m_checksums[size_t(number)])
            continue;
        m_checksums[size_t(number)] = sum;
        upload(number);
        if (!force)
            reloadOwner(number);
    }
    m_pollDue = false;
    m_lastPollTime = platform::clock().tickMs();
}

bool ServerConfigStore::upload(int number)
{
    if (number < 0 || number >= kFileCount)
        return false;
    std::vector<uint8_t> bytes;
    fileManager().readWhole(fileName(number), bytes);
    std::vector<uint8_t> payload;
    if (!bytes.empty()) {
        payload.resize(kMaxUploadBytes);
        uLongf length = uLongf(payload.size());
        // A file whose compressed form does not fit one request is not sent.
        if (compress(payload.data(), &length, bytes.data(), uLong(bytes.size())) != Z_OK)
            return false;
        payload.resize(size_t(length));
    }
    char text[64];
    std::snprintf(text, sizeof text, "Sending config file packet to server!  File %d.", number);
    addDebugSystemMessage(text);
    if (!m_enabled)
        return false;
    return serverRequests().sendConfigFile(uint8_t(number), payload);
}

bool ServerConfigStore::receive(int number, std::span<const uint8_t> payload)
{
    m_lastPollTime = platform::clock().tickMs();
    // Only the seven travelling numbers: a number past the table names no
    // file of ours and has no checksum slot.
    if (!isTravellingNumber(number))
        return false;
    std::string bytes;
    if (!payload.empty() && !inflatePayload(payload, kMaxReceivedFileBytes, bytes))
        return false;
    if (!writeReceivedFile(fileName(number), bytes))
        return false;
    // The checksum of what was written, so that the next poll does not send
    // the file straight back. An empty file counts 1 here and 0 in a poll.
    uLong sum = adler32(0L, Z_NULL, 0);
    m_checksums[size_t(number)]
        = uint32_t(adler32(sum, reinterpret_cast<const Bytef*>(bytes.data()), uInt(bytes.size())));
    m_lastPollTime = platform::clock().tickMs();
    reloadOwner(number);
    if (m_syncFlag)
        upload(number);
    return true;
}

bool ServerConfigStore::onLogoutConfirmed()
{
    bool quit = m_quitPending;
    m_enabled = false;
    m_logoutPending = false;
    m_quitPending = false;
    m_pollDue = false;
    m_lastPollTime = 0;
    m_syncFlag = 0;
    return quit;
}

std::string characterFilePath(const std::string& fileName, int storedNumber)
{
    const ConfigFiles& files = configFiles();
    if (files.shardName().empty() || files.characterName().empty())
        return fileName;
    if (serverConfigStore().isEnabled())
        return ServerConfigStore::fileName(storedNumber);
    return files.perCharacterPath(fileName).value_or(fileName);
}

ServerConfigStore& serverConfigStore()
{
    if (ServerConfigStore* installed = installedStore())
        return *installed;
    static ServerConfigStore processStore;
    return processStore;
}

ServerConfigStore* installServerConfigStore(ServerConfigStore* replacement)
{
    ServerConfigStore* previous = installedStore();
    installedStore() = replacement;
    return previous;
}

bool inflatePayload(std::span<const uint8_t> payload, size_t limit, std::string& out)
{
    size_t room = std::min(kFirstInflateRoom, limit);
    while (true) {
        std::vector<uint8_t> buffer(room);
        uLongf length = uLongf(room);
        int result = uncompress(buffer.data(), &length, payload.data(), uLong(payload.size()));
        if (result == Z_OK) {
            out.assign(reinterpret_cast<const char*>(buffer.data()), size_t(length));
            return true;
        }
        // Too little room: grow it, up to the limit.
        if (result != Z_BUF_ERROR || room >= limit)
            return false;
        room = std::min(room * 2, limit);
    }
}
