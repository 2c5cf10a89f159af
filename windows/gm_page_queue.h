#pragma once
// The GM page-queue tools: the count of waiting help calls (0xCB) as a
// system message, the call given to this GM (0xC3) in an HTML call view
// whose right button opens the GM's actions (find, go to, transfer, jail,
// follow the customer; close the call with a resolution; escalate it), and
// the customer highlighted in the world. Main thread only.

#include <cstdint>
#include <string>
#include <string_view>

class CGump;
class HtmlView;

// The last call the server gave this GM.
struct GmCallRecord {
    static constexpr uint32_t kNothing = 0xFFFFFFFF;
    static constexpr uint32_t kEscalated = 0xFFFFFFF0;
    static constexpr size_t kMaxIdText = 28;
    static constexpr size_t kMaxTypeText = 100;

    uint32_t callId = kNothing;
    uint32_t valueA = 0;
    uint32_t valueB = 0;
    uint32_t customer = 0xFFFFFFFF;
    std::string idText;
    bool escalatedFlag = false;
    std::string typeText;
    std::string customerName;
    uint16_t extra = 0;
    std::string serverName;
    uint32_t age = 0;
    uint16_t map = 0;
    uint32_t x = 0;
    uint32_t y = 0;
    int32_t z = 0;
    uint32_t volume = 0;
    uint32_t rank = 0;
    uint32_t kept = 0;
    uint32_t typeCode = 0;
    bool sameServer = false;
    std::string language;
    std::u16string message;

    bool isEscalated() const { return callId == kEscalated; }
};

// Reads a whole 0xC3; false (nothing filled) when any field does not fit.
bool readGmCall(const uint8_t* packet, GmCallRecord& out);
// The call view's text for a call.
std::u16string gmCallHtml(const GmCallRecord& call);
// "1h 2m 5s": hours above 3600 seconds, minutes above 60, then seconds.
std::string gmCallAge(uint32_t seconds);
// The count sentence of 0xCB.
std::string gmQueueCountText(uint32_t count);

void handleGmQueueCount(const uint8_t* packet);
void handleGmCallDetails(const uint8_t* packet);
void registerGmPageQueueHandlers();

const GmCallRecord& currentGmCall();
HtmlView* gmCallView();
// The mobile the world shows as the call's customer; 0 for none.
uint32_t gmHighlightedCustomer();

// The GM's actions, by the ids of the call menu.
namespace GmAction {
inline constexpr int32_t kClose = 1;
inline constexpr int32_t kJail = 3;
inline constexpr int32_t kTransfer = 5;
inline constexpr int32_t kEscalate = 14;
inline constexpr int32_t kFind = 20;
inline constexpr int32_t kGoto = 21;
inline constexpr int32_t kDone = 22;
inline constexpr int32_t kSkills = 46;
inline constexpr int32_t kFollow = 47;
inline constexpr int32_t kStopFollow = 48;
} // namespace GmAction
// The call menu at (x, y) (the call view's right button), and its second
// level of resolutions.
void openGmCallMenu();
void openGmResolutionMenu();
void runGmAction(int32_t action);
// Closes the call with a resolution code (14 escalates it).
void closeGmCall(int32_t resolution);
// The resolutions of the menu in its order, with the code each sends; code
// 0 is a separator.
struct GmResolution {
    const char16_t* label;
    int32_t code;
};
std::u16string_view gmResolutionLabel(int32_t code);

// The call view closed by the escalation: forgotten.
void forgetGmCallView();

// What the call view asks of the GM tools: the customer a target cursor is
// answered with, and the call menu on its right button. Installed before the
// messenger, which takes the view's other links.
class HtmlViewMessenger;
HtmlViewMessenger& gmPageQueueLinks();
