#pragma once
// The targeting state with its cursor, commands sent as text with a target,
// the world reset before a new connection, web links opened in the desktop's
// browser, and two small utilities. Main thread only.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

constexpr int32_t kTargetCursorKind = 19;
constexpr int32_t kNormalCursorKind = 17;
constexpr uint8_t kNamedCommandType = 0x27;
constexpr uint8_t kNumberedCommandType = 0x2F;
// A command text keeps at most this many characters.
constexpr size_t kMaxCommandTextLength = 511;

// What the player picked: an object the server names by serial (an item or
// a mobile, the player too), a land tile, or a static of the map.
enum class TargetKind : uint8_t {
    Object,
    Land,
    Static,
};
struct TargetChoice {
    TargetKind kind = TargetKind::Object;
    bool isMobile = false;
    bool isPlayer = false;
    uint32_t serial = 0;
    int32_t x = 0;
    int32_t y = 0;
    int32_t z = 0;
    // The picture of an item or static picked (the house designer's erase
    // and pick tools read it); 0 for mobiles and land.
    uint16_t graphic = 0;
};

// What may be picked while targeting: an object, or also a location (land
// included).
inline constexpr uint8_t kObjectTargetType = 0;
inline constexpr uint8_t kLocationTargetType = 1;

// A command waiting for its target: type 0 none, 1 a location, 2 an object;
// an id of 0 sends the name instead.
struct TargetedCommand {
    std::string name;
    int32_t type = 0;
    int32_t id = 0;
};

// What the server's cursor is for: the world view asks before a harmful or a
// beneficial target on a mobile that would flag the player.
enum class TargetIntent : uint8_t { Neutral, Harmful, Beneficial };

struct TargetingState {
    bool targetingActive = false;
    // What a click may pick (kLocationTargetType lets it hit land) and with
    // what intent; both go back to their first values when targeting ends.
    uint8_t targetType = kObjectTargetType;
    TargetIntent intent = TargetIntent::Neutral;
    TargetedCommand command;
    // Set while a targeted command waits; the network's target handling
    // calls it with the player's choice.
    std::function<void(const std::optional<TargetChoice>&)> callback;
};
TargetingState& targetingState();

// Sets the targeting flag and the target cursor; the caller has stored the
// callback, the target type and the intent. endTargeting clears the flag,
// the type and the intent, restores the pointer and drops a placement
// preview the server asked for.
void beginTargeting();
void endTargeting();
void beginTargetedCommand(std::string_view name, int32_t type, int32_t id);
void completeTargetedCommand(const std::optional<TargetChoice>& target);
// The text of the command a completion sends; empty when it sends none.
std::string targetedCommandText(
    const TargetedCommand& command, const std::optional<TargetChoice>& target, uint8_t& commandType);
// Sends a text command (at most 511 characters of it).
void sendTextCommand(uint8_t type, std::string_view text);

// When the server confirms the player, and when the client logs out or
// connects again.
void resetWorldForLogin();
void resetWorldSessionForConnect();

// Whether a link is one the browser is given: http or https, nothing else.
bool isWebLink(std::string_view url);
// Opens an http or https link in the desktop's browser; anything else is
// refused. False (with the waiting box "Web browser not found!") when no
// browser could be started.
bool openUrlInBrowser(std::string_view url);
// Starts a browser on a link; the desktop's opener unless tests put another.
using UrlOpener = std::function<bool(const std::string&)>;
UrlOpener installUrlOpener(UrlOpener opener);

// The standard generator's next value modulo n (n > 0; 0 otherwise).
int32_t randomBelow(int32_t n);
// "5.0.1c".
const char* clientVersionString();
