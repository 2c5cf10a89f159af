#pragma once
// Settings files kept on the server. While the server has switched the mode
// on, the per-character files live under "Desktop/common/", each file the
// server sends is written and reloaded, and each file whose contents changed
// is sent back (zlib-compressed, one file per request) at most every five
// minutes and when the player quits or logs out. Files are numbered 0..11;
// the even numbers from 2 up are never sent and are ignored when received.
// Times are 32-bit millisecond ticks. Main thread only.

#include <array>
#include <cstdint>
#include <span>
#include <string>

class ServerConfigStore {
public:
    static constexpr int kFileCount = 12;
    static constexpr uint32_t kPollIntervalMs = 300000;
    // Compressed bytes one request may carry.
    static constexpr size_t kMaxUploadBytes = 4096;
    // The most a received file may inflate to: settings files are small, and
    // a payload that inflates beyond this is refused as damaged.
    static constexpr size_t kMaxReceivedFileBytes = 1 << 20;

    bool isEnabled() const { return m_enabled; }
    // With the runtime debug messages on, says in the system text whether
    // the client will use the server's files.
    void setEnabled(bool on);
    uint8_t syncFlag() const { return m_syncFlag; }
    void setSyncFlag(uint8_t value) { m_syncFlag = value; }
    bool isLogoutPending() const { return m_logoutPending; }
    void setLogoutPending(bool pending) { m_logoutPending = pending; }
    // A quit (rather than a logout) waits for the server's confirmation.
    bool isQuitPending() const { return m_quitPending; }
    void setQuitPending(bool pending) { m_quitPending = pending; }
    bool isPollDue() const { return m_pollDue; }
    uint32_t lastPollTime() const { return m_lastPollTime; }
    uint32_t checksum(int number) const;

    // Once per main-loop pass while the mode is on and the player is in the
    // game; with `force` at quit and logout. Sends each changed file.
    void poll(bool force);
    // Sends one file as it is on disk; false when nothing was sent (too
    // large once compressed, or no connection).
    bool upload(int number);
    // A file the server sent: inflated, written whole and reloaded, then
    // echoed back while the sync flag is set. A number above 11, an even
    // number from 2 up, or a payload that does not inflate changes nothing
    // on disk (false).
    bool receive(int number, std::span<const uint8_t> payload);
    // The server confirmed the logout: the mode goes off and nothing waits
    // any more. True when a quit was waiting for it (the program then ends
    // instead of returning to the main menu).
    bool onLogoutConfirmed();

    // The file of a number, as the file manager finds it.
    static std::string fileName(int number);
    // adler32 of the bytes; 0 for none.
    static uint32_t fileChecksum(std::span<const uint8_t> bytes);

private:
    void reloadOwner(int number);

    std::array<uint32_t, kFileCount> m_checksums {};
    uint32_t m_lastPollTime = 0;
    bool m_logoutPending = false;
    bool m_quitPending = false;
    bool m_pollDue = false;
    bool m_enabled = false;
    uint8_t m_syncFlag = 0;
};

ServerConfigStore& serverConfigStore();

// Where a file kept per character is: the shared copy of server-stored file
// `storedNumber` while settings are stored on the server, else the
// character's own folder, once a character is chosen; the plain name before.
std::string characterFilePath(const std::string& fileName, int storedNumber);
ServerConfigStore* installServerConfigStore(ServerConfigStore* replacement);

// The bytes a compressed payload inflates to, growing the room as needed up
// to `limit`; false for a damaged stream or one that inflates beyond it.
bool inflatePayload(std::span<const uint8_t> payload, size_t limit, std::string& out);
