#pragma once
// What each key of a settings file does: most set the typed setting of the
// same name, others a program value that another part of the client reads,
// an address, the login-server lists, or act at once. Booleans are "on" or
// "yes" (any case) unless a key says otherwise; numbers are the leading
// decimal integer (0 when there is none, clamped to 32 bits). Main thread only.

#include "data/config_file.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct LoginServerEntry {
    std::string hostName; // empty for a dotted address
    uint32_t address = 0; // a << 24 | b << 16 | c << 8 | d
    uint16_t port = 0;
};

struct ServerAddress {
    uint32_t address = 0;
    uint16_t port = 0;
};

constexpr size_t kMaxLoginServers = 8;
constexpr size_t kMaxAccountText = 31;
constexpr size_t kMaxPathText = 260;
// BarkTimeModifier is a percentage: 0 to 100 times the normal time.
constexpr int32_t kMaxBarkTimeModifier = 10000;

// The program values the keys set, besides the typed settings.
struct ConfigValues {
    std::string cdRomDataPath;
    std::string accountLastName;
    std::string characterPassword;
    std::string accountPassword;
    std::string filterPassword;
    std::string loginServerFile; // empty: "login.cfg"
    std::string journalFile;
    std::vector<LoginServerEntry> loginServers;
    std::vector<LoginServerEntry> backupLoginServers;
    int32_t currentLoginServer = -1;
    ServerAddress editServer;
    ServerAddress userCentral;
    int32_t cacheSize = 0;
    int32_t lastTip = 0;
    int32_t currentVersion = 0;
    int32_t altKeyModNum = 0;
    int32_t chatSpaceWidth = 0;
    int32_t spamLimit = 0;
    int32_t defaultCharacterSlot = 0;
    uint8_t nextLoginKey = 0;
    int32_t lastServerId = 0;
    int32_t combatHueColour = 0;
    int32_t profileColour1 = 0;
    int32_t profileColour2 = 0;
    int32_t censoredBloodColour = 0;
    bool frameCounter = false;
    bool autoLogIn = false;
    bool useVerData = false;
    bool showTips = true;
    bool chatAntiAlias = false;
    bool censorFlesh = false;
    bool censorBlood = false;
    bool omitBlood = false;
    // Until a file says otherwise, this is the first start: the intro plays.
    bool clientFirstLaunch = true;
    bool filterWeather = false;
    bool hdUsageMax = true;
    bool runtimeDebugMessages = false;
    bool gdiFullScreenGiven = false;
    bool popupHelpEnabledGiven = false;
    // -1 while no file names it: the window keeps its own default.
    int32_t allowWindowResize = -1;
    // The circle of transparency's centre, once a file gives one.
    bool hasCircleCentre = false;
    int32_t circleCentreX = 0;
    int32_t circleCentreY = 0;
};

ConfigValues& configValues();
// Back to the start-up defaults (the first start-up step, and tests).
void resetConfigValues();

// Four groups of 1 to 3 digits (each at most 255) joined by ".", then ",",
// then a port of 4 or 5 digits (at most 65535) not followed by a further
// digit. Anything else is a host name.
bool isDottedAddress(std::string_view text);
// The dotted form's address and port; false when `text` is not one.
bool parseDottedAddress(std::string_view text, uint32_t& address, uint16_t& port);

// Every IPv4 address of a host name, in the resolver's order.
using HostResolver = std::function<std::vector<uint32_t>(const std::string&)>;
// The system's resolver unless another was installed (tests).
HostResolver installHostResolver(HostResolver resolver);

// "host[,port]": resolves the host and returns one of its addresses, a
// different one on each call (one index shared by every call rotates through
// the list). Not found: the address is left as it was and the result is false.
bool resolveServerAddress(std::string_view text, uint32_t& address, uint16_t& port);

// The rules as the settings reader applies them.
class SettingsKeyRules final : public ConfigKeyRules {
public:
    void applyConfigKey(ConfigKeyKind kind, const std::string& value, bool perCharacter) override;
    bool isServerStoredMode() override;
    void resetSettingsToDefaults() override;
    void switchObscenityFilterOff() override;
};

// The rules the process-wide settings reader uses (installed on first use).
SettingsKeyRules& settingsKeyRules();

// "on" or "yes", any case.
bool isOnOrYes(std::string_view text);
// The leading decimal integer, 0 when there is none, clamped to 32 bits.
int32_t leadingNumber(std::string_view text);
