#include "windows/translation_client.h"

#include "core/message_boxes.h"
#include "data/settings_services.h"
#include "platform/ascii_text.h"
#include "text/localization.h"
#include "windows/speech_packets.h"
#include "windows/system_text.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kHeaderBytes = 12;
constexpr size_t kReceiveChunk = 1024;
constexpr size_t kMaxNfwMarker = 15;
constexpr const char* kDefaultTranslator = "Systran";

std::string codeText(const std::array<char, 4>& code) { return std::string(code.data(), strnlen(code.data(), 4)); }

std::array<char, 4> firstThreeOfCode(std::string_view code)
{
    std::array<char, 4> out {};
    for (size_t i = 0; i < 3 && i < code.size() && code[i]; ++i)
        out[i] = code[i];
    return out;
}

void appendLittle32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(uint8_t(value >> shift));
}

uint32_t little32(const uint8_t* bytes)
{
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

// Applies the translation settings of the settings files to the client.
class ClientTranslationSettings final : public TranslationSettingsService {
public:
    void setEnabled(bool on) override
    {
        if (on)
            translationClient().enable();
    }
    // The automatic mode is a setting of its own that incoming speech reads.
    void setAutomatic(bool) override { }
    void setRequestText(std::string_view key, const std::string& text) override
    {
        TranslationClient& client = translationClient();
        if (key == "TranslationServerTranslatorName")
            client.setTranslatorName(text);
        else if (key == "TranslationServerSystranNFWMarker")
            client.setNfwMarker(text);
        else if (key == "TranslationServerSystranTopicalGlossaries")
            client.setGlossary(text.empty() ? '\0' : text[0]);
        else if (key == "TranslationServerSystranDocumentType")
            client.setDocumentType(text.empty() ? '\0' : text[0]);
    }
    void setServerAddress(uint32_t address, uint16_t port) override
    {
        translationClient().setServerAddress(address, port);
    }
};

} // namespace

uint32_t translationLanguageWord(std::string_view code)
{
    std::string text(code.substr(0, std::min<size_t>(code.size(), 3)));
    uint32_t third = text.size() >= 3 ? uint8_t(text[2]) : 0;
    return third << 16 | uint8_t(getLanguageTag(text.c_str()));
}

std::vector<uint8_t> encodeTranslationRequest(
    int32_t id, std::string_view source, std::string_view target, std::u16string_view text)
{
    std::vector<uint8_t> out;
    out.reserve(kHeaderBytes + 2 * (text.size() + 1));
    appendLittle32(out, uint32_t(id));
    appendLittle32(out, translationLanguageWord(source));
    appendLittle32(out, translationLanguageWord(target));
    for (char16_t unit : text) {
        out.push_back(uint8_t(unit & 0xFF));
        out.push_back(uint8_t(unit >> 8));
    }
    out.push_back(0);
    out.push_back(0);
    return out;
}

void TranslationClient::setServerAddress(uint32_t address, uint16_t port)
{
    m_address = address;
    m_port = port;
}

void TranslationClient::setTranslatorName(std::string_view name) { m_translatorName.assign(name); }

void TranslationClient::setNfwMarker(std::string_view marker)
{
    m_nfwMarker.assign(marker.substr(0, std::min(marker.size(), kMaxNfwMarker)));
}

bool TranslationClient::start()
{
    if (m_started)
        return m_startResult;
    m_started = true;
    m_startResult = false;
    if (!m_enabled)
        return false;
    if (m_address == 0 || m_port == 0) {
        m_address = kDefaultAddress;
        m_port = kDefaultPort;
    }
    if (m_translatorName.empty())
        m_translatorName = kDefaultTranslator;
    if (m_address != kDefaultAddress) {
        showMessageBox("Translation server must be on this computer", "Language Translation Server",
            AfterBox::Return);
        return false;
    }
    m_running = connectToServer();
    m_startResult = m_running;
    return m_startResult;
}

void TranslationClient::stop()
{
    if (!m_started)
        return;
    closeConnection();
    m_translatorName.clear();
    m_target = {};
    m_started = false;
    m_startResult = false;
}

bool TranslationClient::setSourceLanguage(std::string_view code)
{
    if (code.empty() || !code[0])
        return false;
    std::string target = codeText(m_target);
    bool sameAsTarget = code.size() >= 2 && target.size() >= 2
        && platform::foldAsciiCase(code[0]) == platform::foldAsciiCase(target[0])
        && platform::foldAsciiCase(code[1]) == platform::foldAsciiCase(target[1]);
    if (sameAsTarget)
        return false;
    m_source = firstThreeOfCode(code);
    return true;
}

void TranslationClient::setTargetLanguage(std::string_view code)
{
    m_target = firstThreeOfCode(code);
    setSpeechLanguage(code);
}

int32_t TranslationClient::requestTranslation(std::u16string_view prefix, std::u16string_view text, Callback callback)
{
    if (!m_started || !m_enabled || !m_running || !m_source[0])
        return -1;
    std::string source = codeText(m_source);
    std::string target = codeText(m_target);
    if (target.size() >= 2 && platform::foldAsciiCase(source[0]) == platform::foldAsciiCase(target[0])
        && source.size() >= 2 && platform::foldAsciiCase(source[1]) == platform::foldAsciiCase(target[1]))
        return -1;
    Request request;
    request.id = m_nextId > 0 ? m_nextId : 1;
    m_nextId = request.id == INT32_MAX ? 1 : request.id + 1;
    request.source = m_source;
    request.target = m_target;
    request.prefix.assign(prefix);
    request.text.assign(text.substr(0, std::min(text.size(), text.find(u'\0'))));
    request.callback = std::move(callback);
    std::vector<uint8_t> message = encodeTranslationRequest(request.id, source, target, request.text);
    m_outgoing.insert(m_outgoing.end(), message.begin(), message.end());
    int32_t id = request.id;
    m_pending.push_front(std::move(request));
    if (m_pending.size() > kMaxPendingRequests)
        m_pending.pop_back();
    if (!flush()) {
        // The server went away: nothing will answer this request.
        m_pending.pop_front();
        return -1;
    }
    return id;
}

void TranslationClient::poll()
{
    if (!m_started || !m_enabled || m_socket == platform::kNoSocket)
        return;
    if (!flush())
        return;
    uint8_t chunk[kReceiveChunk];
    for (;;) {
        platform::IoResult result = platform::socketReceive(m_socket, chunk, sizeof chunk);
        if (result.status == platform::IoStatus::WouldBlock)
            break;
        if (result.status != platform::IoStatus::Done) {
            // The server went away: the client goes quiet.
            closeConnection();
            return;
        }
        m_incoming.insert(m_incoming.end(), chunk, chunk + result.count);
        takeReplies();
        if (m_socket == platform::kNoSocket)
            return;
    }
}

bool TranslationClient::connectToServer()
{
    platform::SocketHandle socket = platform::tcpConnect(m_address, m_port, kConnectTimeoutMs);
    if (socket == platform::kNoSocket)
        return false;
    if (!platform::setSocketBlocking(socket, false)) {
        platform::closeSocket(socket);
        return false;
    }
    m_socket = socket;
    return true;
}

void TranslationClient::closeConnection()
{
    if (m_socket != platform::kNoSocket)
        platform::closeSocket(m_socket);
    m_socket = platform::kNoSocket;
    m_running = false;
    m_outgoing.clear();
    m_incoming.clear();
}

bool TranslationClient::flush()
{
    // A send may take only part of a message; the rest waits for the next pass.
    while (!m_outgoing.empty() && m_socket != platform::kNoSocket) {
        platform::IoResult result = platform::socketSend(m_socket, m_outgoing.data(), m_outgoing.size());
        if (result.status == platform::IoStatus::WouldBlock)
            return true;
        if (result.status != platform::IoStatus::Done) {
            closeConnection();
            return false;
        }
        m_outgoing.erase(m_outgoing.begin(), m_outgoing.begin() + result.count);
    }
    return m_socket != platform::kNoSocket;
}

void TranslationClient::takeReplies()
{
    size_t start = 0;
    for (;;) {
        size_t end = 0;
        for (size_t at = start + kHeaderBytes; at + 1 < m_incoming.size(); at += 2) {
            if (m_incoming[at] == 0 && m_incoming[at + 1] == 0) {
                end = at + 2;
                break;
            }
        }
        if (end == 0)
            break;
        std::u16string text;
        for (size_t at = start + kHeaderBytes; at + 2 < end; at += 2)
            text.push_back(char16_t(m_incoming[at] | m_incoming[at + 1] << 8));
        int32_t id = int32_t(little32(&m_incoming[start]));
        start = end;
        deliver(id, text);
        if (m_socket == platform::kNoSocket)
            return;
    }
    m_incoming.erase(m_incoming.begin(), m_incoming.begin() + ptrdiff_t(start));
    if (m_incoming.size() > kMaxReplyBytes)
        closeConnection();
}

void TranslationClient::deliver(int32_t id, std::u16string_view text)
{
    auto found = std::find_if(m_pending.begin(), m_pending.end(), [id](const Request& r) { return r.id == id; });
    if (found == m_pending.end()) {
        addSystemText(kUnknownReplyHue, kUnknownReplyFont, text, "ENU");
        return;
    }
    // An answered request is done; it leaves the list so that the list stays
    // bounded.
    Request request = std::move(*found);
    m_pending.erase(found);
    request.translated = request.prefix;
    request.translated.append(text);
    if (request.callback)
        request.callback(request.prefix, text);
}

TranslationClient& translationClient()
{
    static TranslationClient client;
    return client;
}

void initTranslationClient()
{
    TranslationClient& client = translationClient();
    client.start();
    client.setTargetLanguage(getLanguageCode());
}

void installTranslationSettingsService()
{
    static ClientTranslationSettings service;
    installTranslationSettings(&service);
}
