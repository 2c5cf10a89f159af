#include "windows/gm_page_queue.h"

#include "core/wide_text.h"
#include "gump/gump_manager.h"
#include "gump/html_view.h"
#include "gump/pointer_menu.h"
#include "net/client_packets.h"
#include "net/game_connection.h"
#include "net/packet_dispatcher.h"
#include "net/packet_table.h"
#include "net/shard_sessions.h"
#include "platform/ascii_text.h"
#include "protocol/login_state.h"
#include "protocol/packet_reader.h"
#include "protocol/session_packets.h"
#include "windows/escalate_gump.h"
#include "windows/speech_throttle.h"
#include "windows/system_text.h"
#include "world/facets.h"
#include "world/object_manager.h"

#include <cstdio>
#include <random>

namespace {

constexpr uint16_t kGmPageHue = 33;
constexpr uint16_t kGmPageFont = 3;
constexpr uint8_t kVisListCommand = 0x6B;
constexpr uint8_t kResolveCommand = 0xDB;
constexpr uint32_t kCallViewFlags = 0x2002;
constexpr int32_t kCallViewColour = 0;
// The unit count of a call's message is bounded by the packet itself.
constexpr uint32_t kFarSpread = 15;

struct GmQueueState {
    GmCallRecord call;
    GumpHandle view;
    uint32_t highlighted = 0;
};

GmQueueState& gmQueue()
{
    static GmQueueState state;
    return state;
}

constexpr GmResolution kGmResolutions[] = { { u"General Game Play", 22 }, { u"Harassment - Verbal", 17 },
    { u"Harassment - Physical", 18 }, { u"Harassment - Invalid", 19 }, { nullptr, 0 }, { u"AFK Pager", 36 },
    { u"Ancillary Service", 28 }, { u"Bug Report", 24 }, { u"Exploiting", 34 }, { u"Hacked Account", 32 },
    { u"Hot Issue 1", 29 }, { u"Hot Issue 2", 30 }, { u"Illegal Name", 23 }, { u"Known Issue", 37 },
    { u"Lost Item", 27 }, { u"Lost Pet", 35 }, { u"Other", 31 }, { u"Scam via Exploit", 33 },
    { u"Stuck - Invalid", 21 }, { u"Stuck - Valid", 20 }, { u"Third Party Program Use", 26 },
    { u"Unattended Macroing", 25 }, { nullptr, 0 }, { u"&Escalate", GmAction::kEscalate } };

// A length-prefixed 8-bit text, at most `keep` bytes kept.
std::string countedText(PacketReader& reader, size_t keep)
{
    const uint8_t length = reader.u8();
    std::string text = reader.bytes(length);
    if (text.size() > keep)
        text.resize(keep);
    return text;
}

// Server text inside the call view's HTML shows as text.
std::u16string htmlText(std::u16string_view text)
{
    std::u16string out;
    for (char16_t c : text) {
        if (c == u'<')
            out += u"&lt;";
        else if (c == u'>')
            out += u"&gt;";
        else if (c == u'&')
            out += u"&amp;";
        else
            out += c;
    }
    return out;
}

std::u16string htmlBytes(std::string_view text) { return htmlText(bytesToWideString(text)); }

std::string formatted(const char* format, auto... values)
{
    char line[256];
    std::snprintf(line, sizeof line, format, values...);
    return line;
}

void speak(const std::string& text) { sendSpeechAsciiUnthrottled(text, 0); }

void sendGmTextCommand(uint8_t type, std::string_view text)
{
    PacketStorage<512> packet;
    if (buildTextCommandPacket(packet, type, text))
        sendPacket(packet);
}

void showGmLine(const std::string& text) { addSystemMessage(kGmPageHue, kGmPageFont, text); }

const char* typeName(uint32_t code)
{
    switch (code) {
    case 0:
        return "STUCK";
    case 1:
        return "OTHER";
    case 2:
        return "HARASSMENT";
    case 3:
        return "ADVICE";
    case 4:
        return "TRANSFER";
    case 8:
        return "HELPME";
    default:
        return "UNKNOWN";
    }
}

uint32_t gmPageOwnSerial() { return playerSerial(); }

class GmPageQueueLinks final : public HtmlViewMessenger {
public:
    void sendMessengerCommand(int32_t, const std::u16string&) override { }
    uint32_t gmCurrentPlayerSerial() override
    {
        const uint32_t customer = gmQueue().call.customer;
        return customer == 0xFFFFFFFF ? 0 : customer;
    }
    void showGmPlayerMenu(int32_t, int32_t) override { openGmCallMenu(); }
};

} // namespace

HtmlViewMessenger& gmPageQueueLinks()
{
    static GmPageQueueLinks links;
    return links;
}

bool readGmCall(const uint8_t* packet, GmCallRecord& out)
{
    PacketReader reader(packet);
    GmCallRecord call;
    reader.u32();
    call.callId = reader.u32();
    call.valueA = reader.u32();
    call.valueB = reader.u32();
    call.customer = reader.u32();
    if (call.isEscalated()) {
        call.idText = countedText(reader, GmCallRecord::kMaxIdText);
        call.escalatedFlag = reader.u8() != 0;
        call.typeText = countedText(reader, GmCallRecord::kMaxTypeText);
    } else {
        call.idText = std::to_string(call.callId);
    }
    call.customerName = countedText(reader, 255);
    call.extra = reader.u16();
    call.serverName = countedText(reader, 255);
    call.age = reader.u32();
    call.map = reader.u16();
    call.x = reader.u32();
    call.y = reader.u32();
    call.z = int32_t(reader.u32());
    call.volume = reader.u32();
    call.rank = reader.u32();
    call.kept = reader.u32();
    call.typeCode = reader.u32();
    call.sameServer = reader.u8() != 0;
    const std::string language = reader.bytes(3);
    call.language = language.substr(0, language.find('\0'));
    const uint16_t units = reader.u16();
    const std::string message = reader.bytes(int32_t(units) * 2);
    if (!reader.ok())
        return false;
    for (size_t i = 0; i + 1 < message.size(); i += 2)
        call.message.push_back(char16_t(uint8_t(message[i]) | uint8_t(message[i + 1]) << 8));
    out = std::move(call);
    return true;
}

std::string gmCallAge(uint32_t seconds)
{
    std::string text;
    uint32_t rest = seconds;
    if (rest > 3600) {
        text += std::to_string(rest / 3600) + "h ";
        rest %= 3600;
    }
    if (rest > 60) {
        text += std::to_string(rest / 60) + "m ";
        rest %= 60;
    }
    return text + std::to_string(rest) + "s";
}

std::string gmQueueCountText(uint32_t count)
{
    if (count == 0)
        return "There are currently 0 calls in the global queue that you can answer.";
    if (count == 1)
        return "There is currently 1 call in the global queue that you can answer.";
    return formatted("There are currently %u calls in the global queue that you can answer.", count);
}

std::u16string gmCallHtml(const GmCallRecord& call)
{
    std::u16string html = u"Customer: " + htmlBytes(call.customerName)
        + bytesToWideString(formatted(" %u (%u) %s<BR>", call.valueB, call.valueA,
            call.customer == 0xFFFFFFFF ? "Offline" : ""));
    html += u"Coords: " + htmlBytes(call.serverName)
        + bytesToWideString(formatted(" (%u,%u,%d) map ", call.x, call.y, call.z))
        + htmlBytes(getFacetName(call.map)) + u"<BR>";
    html += u"ID: " + htmlBytes(call.idText)
        + bytesToWideString(formatted("<BR>Rank: %u  Volume: %u<BR>", call.rank, call.volume));
    html += u"Type: "
        + (call.isEscalated() ? htmlBytes(call.typeText) : bytesToWideString(typeName(call.typeCode))) + u"<BR>";
    html += u"Call Time: " + bytesToWideString(gmCallAge(call.age)) + u"<BR>";
    html += u"<BR>[" + htmlBytes(call.language) + u"] " + htmlText(call.message);
    return html;
}

void handleGmQueueCount(const uint8_t* packet)
{
    PacketReader reader(packet);
    reader.u16();
    const uint32_t count = reader.u32();
    if (reader.ok())
        showGmLine(gmQueueCountText(count));
}

void handleGmCallDetails(const uint8_t* packet)
{
    PacketReader peek(packet);
    peek.u32();
    if (peek.u32() == GmCallRecord::kNothing && peek.ok()) {
        showGmLine("There is nothing in the queue available to you at this time.");
        return;
    }
    GmCallRecord call;
    if (!readGmCall(packet, call))
        return;
    if (call.isEscalated() && !call.escalatedFlag) {
        addSystemText(kGmPageHue, kGmPageFont, bytesToWideString(call.language) + u": " + call.message, call.language);
        return;
    }
    GmQueueState& state = gmQueue();
    const std::u16string html = gmCallHtml(call);
    auto* view = static_cast<HtmlView*>(state.view.get());
    if (!view) {
        view = new HtmlView(nullptr, 0, kCallViewFlags, false, false);
        const HtmlViewGeometry& kept = htmlViewGeometry();
        view->setRect(10, 10, kept.width, kept.height);
        view->movable = true;
        view->resizable = true;
        view->gmMenu = true;
        gumpLink(view, nullptr);
        state.view = GumpHandle(view);
    }
    view->setText(html, kCallViewColour);
    state.call = std::move(call);
    const GmCallRecord& current = state.call;
    const LoginSession& login = loginSession();
    if (!current.sameServer && !platform::equalIgnoringAsciiCase(current.serverName, login.shardName)) {
        ShardSession* found = nullptr;
        for (ShardSession* session : sessionList()) {
            if (platform::equalIgnoringAsciiCase(session->name, current.serverName))
                found = session;
        }
        if (!found) {
            showGmLine("You are not connected to " + current.serverName + "!");
            return;
        }
        static std::minstd_rand spread(12345);
        speak(formatted("=tp (%u %u) f", 6000 + uint32_t(spread() % kFarSpread), 2000 + uint32_t(spread() % kFarSpread)));
        return;
    }
    state.highlighted = current.customer == 0xFFFFFFFF ? 0 : current.customer;
}

void registerGmPageQueueHandlers()
{
    registerPacketHandler(0xCB, handleGmQueueCount);
    registerPacketHandler(0xC3, handleGmCallDetails);
}

const GmCallRecord& currentGmCall() { return gmQueue().call; }

HtmlView* gmCallView() { return static_cast<HtmlView*>(gmQueue().view.get()); }

uint32_t gmHighlightedCustomer() { return gmQueue().highlighted; }

void forgetGmCallView()
{
    if (HtmlView* view = gmCallView())
        closeGump(view);
    gmQueue().view = GumpHandle();
}

std::u16string_view gmResolutionLabel(int32_t code)
{
    for (const GmResolution& resolution : kGmResolutions) {
        if (resolution.label && resolution.code == code)
            return resolution.label;
    }
    return {};
}

void openGmCallMenu()
{
    std::vector<PointerMenuItem> items = { { u"&Find Player", GmAction::kFind }, { u"Goto Scene", GmAction::kGoto },
        { u"&Transfer", GmAction::kTransfer }, { u"&Jail", GmAction::kJail }, { u"See Skills", GmAction::kSkills },
        { u"Follow", GmAction::kFollow }, { u"Stop Follow", GmAction::kStopFollow }, { u"&Done...", GmAction::kDone },
        { u"&Close", GmAction::kClose } };
    openPointerMenu(std::move(items), [](int32_t chosen) {
        if (chosen == GmAction::kDone)
            openGmResolutionMenu();
        else
            runGmAction(chosen);
    });
}

void openGmResolutionMenu()
{
    std::vector<PointerMenuItem> items;
    for (const GmResolution& resolution : kGmResolutions) {
        if (resolution.label)
            items.push_back({ resolution.label, resolution.code });
    }
    openPointerMenu(std::move(items), [](int32_t chosen) { closeGmCall(chosen); });
}

void runGmAction(int32_t action)
{
    const GmCallRecord& call = currentGmCall();
    switch (action) {
    case GmAction::kFind:
        speak(formatted("=go #%u", call.customer));
        break;
    case GmAction::kGoto: {
        const std::string_view facet = getFacetName(call.map);
        const char letter = facet.empty() ? 'f' : platform::foldAsciiCase(facet[0]);
        speak(formatted("=tp (%u %u %u) %c", call.x, call.y, uint32_t(call.z), letter));
        break;
    }
    case GmAction::kTransfer:
        speak(formatted("=tr #%u", call.customer));
        break;
    case GmAction::kJail:
        speak(formatted("=ip #%u", call.customer));
        break;
    case GmAction::kSkills:
        speak(formatted("=ss %u", call.customer));
        break;
    case GmAction::kFollow:
        speak(formatted("=fl #%u", call.customer ? call.customer : gmPageOwnSerial()));
        break;
    case GmAction::kStopFollow:
        speak(formatted("=fl #%u", gmPageOwnSerial()));
        break;
    case GmAction::kClose:
        forgetGmCallView();
        break;
    default:
        break;
    }
}

void closeGmCall(int32_t resolution)
{
    speak(formatted("=fl #%u", gmPageOwnSerial()));
    if (resolution == GmAction::kEscalate) {
        openEscalateGump(resolution);
        return;
    }
    sendGmTextCommand(kVisListCommand, "vislist 0");
    gmQueue().highlighted = 0;
    const GmCallRecord& call = currentGmCall();
    const std::string code = std::to_string(resolution);
    if (call.isEscalated()) {
        PacketStorage<1024> packet;
        if (buildGmQueueCommandPacket(packet, call.idText.c_str(), "CLOSE", bytesToWideString(code), u"No Details"))
            sendPacket(packet);
    } else {
        sendGmTextCommand(kResolveCommand, code);
    }
    forgetGmCallView();
}
