#pragma once
// The client of a machine-translation server on this computer: other players'
// speech can be sent to it and its translation shown when it comes back. The
// server is not started by the client; when the settings turn the feature on,
// start-up connects to the address they give (only this computer's loopback
// address is accepted), and with no server listening the client stays idle:
// every request is refused with -1 and the rest of speech is unaffected.
//
// Wire format, both ways, integers little-endian: int32 request id; uint32
// source language word; uint32 target language word (each the code's third
// letter << 16 | the language's tag letter); UTF-16LE text ending in a 0 unit.
// Replies have no length field: one ends at the first 0 unit of its text.
//
// One process-wide client; main thread only. The socket is non-blocking and
// polled once per main-loop pass, never waited on.

#include "platform/sockets.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TranslationClient {
public:
    static constexpr uint32_t kDefaultAddress = 0x7F000001; // 127.0.0.1
    static constexpr uint16_t kDefaultPort = 28888;
    static constexpr uint32_t kConnectTimeoutMs = 250;
    // A reply longer than this never ends: the connection is given up.
    static constexpr size_t kMaxReplyBytes = 65536;
    // Requests still waiting for their reply; the oldest is forgotten beyond.
    static constexpr size_t kMaxPendingRequests = 64;
    static constexpr uint16_t kUnknownReplyHue = 946;
    static constexpr uint16_t kUnknownReplyFont = 3;

    // Called with the request's prefix and the translated text.
    using Callback = std::function<void(std::u16string_view prefix, std::u16string_view text)>;

    // Settings (applied while the settings files are read).
    void enable() { m_enabled = true; }
    bool isEnabled() const { return m_enabled; }
    void setServerAddress(uint32_t address, uint16_t port);
    void setTranslatorName(std::string_view name);
    // At most 15 characters are kept.
    void setNfwMarker(std::string_view marker);
    void setGlossary(char value) { m_glossary = value; }
    void setDocumentType(char value) { m_documentType = value; }
    const std::string& translatorName() const { return m_translatorName; }
    const std::string& nfwMarker() const { return m_nfwMarker; }
    uint32_t serverAddress() const { return m_address; }
    uint16_t serverPort() const { return m_port; }

    // Once (later calls answer the first result): when enabled, a zero
    // address or port becomes the default and the server at the loopback
    // address is connected to; any other address is refused with a message
    // box. True while connected.
    bool start();
    // At exit: the connection is closed and the client goes back to idle.
    void stop();
    bool isStarted() const { return m_started; }
    bool isRunning() const { return m_running; }

    // False for an empty code, or one whose first two letters are the
    // target's (letter case ignored); otherwise its first three are kept.
    bool setSourceLanguage(std::string_view code);
    // The target (the current language); the speech packets carry it too.
    void setTargetLanguage(std::string_view code);

    // The request's id, or -1 when the client is not running, no source is
    // set, or the source is the target.
    int32_t requestTranslation(std::u16string_view prefix, std::u16string_view text, Callback callback);
    // Sends what is waiting and takes every complete reply.
    void poll();

    size_t pendingCount() const { return m_pending.size(); }

private:
    struct Request {
        int32_t id = 0;
        std::array<char, 4> source {};
        std::array<char, 4> target {};
        std::u16string prefix;
        std::u16string text;
        std::u16string translated;
        Callback callback;
    };

    bool connectToServer();
    void closeConnection();
    bool flush();
    void takeReplies();
    void deliver(int32_t id, std::u16string_view text);

    bool m_enabled = false;
    bool m_started = false;
    bool m_startResult = false;
    bool m_running = false;
    uint32_t m_address = 0;
    uint16_t m_port = 0;
    std::string m_translatorName;
    std::string m_nfwMarker = ">?>";
    char m_glossary = 'S';
    char m_documentType = 'S';
    std::array<char, 4> m_source {};
    std::array<char, 4> m_target {};
    int32_t m_nextId = 1;
    platform::SocketHandle m_socket = platform::kNoSocket;
    std::deque<Request> m_pending; // newest first
    std::vector<uint8_t> m_outgoing;
    std::vector<uint8_t> m_incoming;
};

TranslationClient& translationClient();

// The request record's bytes.
std::vector<uint8_t> encodeTranslationRequest(
    int32_t id, std::string_view source, std::string_view target, std::u16string_view text);
// The language word of a code: its third letter << 16 | its tag letter.
uint32_t translationLanguageWord(std::string_view code);

// Start-up, after the localization: the client starts, then takes the
// current language as its target. The settings reach the client from now on.
void initTranslationClient();
void installTranslationSettingsService();
