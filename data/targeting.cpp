#include "data/targeting.h"

#include "data/client_services.h"
#include "data/view_range.h"
#include "platform/ascii_text.h"
#include "platform/process_info.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int32_t kTargetGumpType = 39;

UrlOpener& urlOpener()
{
    static UrlOpener opener = [](const std::string& url) { return platform::openUrl(url); };
    return opener;
}

std::string format(const char* pattern, auto... values)
{
    char text[kMaxCommandTextLength + 1];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

} // namespace

TargetingState& targetingState()
{
    static TargetingState state;
    return state;
}

void beginTargeting()
{
    targetingState().targetingActive = true;
    pointerService().setCursorKind(kTargetCursorKind);
}

void endTargeting()
{
    TargetingState& state = targetingState();
    state.targetingActive = false;
    state.targetType = kObjectTargetType;
    state.intent = TargetIntent::Neutral;
    pointerService().setCursorKind(kNormalCursorKind);
    windowNotices().clearPlacementPreview();
}

void beginTargetedCommand(std::string_view name, int32_t type, int32_t id)
{
    TargetingState& state = targetingState();
    state.command = { std::string(name.substr(0, kMaxCommandTextLength)), type, id };
    if (type == 0) {
        completeTargetedCommand(std::nullopt);
        return;
    }
    pointerService().setCursorForGumpType(kTargetGumpType);
    state.targetingActive = true;
    state.targetType = type == 1 ? kLocationTargetType : kObjectTargetType;
    pointerService().setCursorKind(kTargetCursorKind);
    state.callback = completeTargetedCommand;
}

std::string targetedCommandText(
    const TargetedCommand& command, const std::optional<TargetChoice>& target, uint8_t& commandType)
{
    bool numbered = command.id != 0;
    commandType = numbered ? kNumberedCommandType : kNamedCommandType;
    const char* name = command.name.c_str();
    switch (command.type) {
    case 0:
        return numbered ? format("%d", command.id) : command.name;
    case 1:
        if (!target)
            return {};
        return numbered ? format("%d %d %d %d", command.id, target->x, target->y, target->z)
                        : format("%s %d %d %d", name, target->x, target->y, target->z);
    case 2:
        if (!target || !target->isMobile)
            return {};
        // Serials go out as the signed numbers the server reads back.
        return numbered ? format("%d %d", command.id, int32_t(target->serial))
                        : format("%s %d", name, int32_t(target->serial));
    default:
        return {};
    }
}

void completeTargetedCommand(const std::optional<TargetChoice>& target)
{
    TargetingState& state = targetingState();
    state.callback = nullptr;
    uint8_t type = 0;
    std::string text = targetedCommandText(state.command, target, type);
    if (!text.empty())
        sendTextCommand(type, text);
    endTargeting();
}

void sendTextCommand(uint8_t type, std::string_view text)
{
    serverRequests().sendTextCommand(type, text.substr(0, kMaxCommandTextLength));
}

void resetWorldForLogin()
{
    gameState().resetWorldForConnect();
    resetUpdateRange();
}

void resetWorldSessionForConnect()
{
    resetWorldForLogin();
    gameState().requestStopAllIgrSessions();
}

// Only web pages reach the browser: a link from the server must not start
// another program or open a local file.
bool isWebLink(std::string_view url)
{
    for (std::string_view scheme : { "http://", "https://" }) {
        if (url.size() > scheme.size() && platform::equalIgnoringAsciiCase(url.substr(0, scheme.size()), scheme))
            return true;
    }
    return false;
}

bool openUrlInBrowser(std::string_view url)
{
    if (!isWebLink(url))
        return false;
    if (!urlOpener()(std::string(url))) {
        windowNotices().showWaitingBox("Web browser not found!");
        return false;
    }
    return true;
}

UrlOpener installUrlOpener(UrlOpener opener)
{
    UrlOpener previous = std::move(urlOpener());
    urlOpener() = std::move(opener);
    return previous;
}

int32_t randomBelow(int32_t n) { return n > 0 ? std::rand() % n : 0; }

const char* clientVersionString()
{
    static const std::string text = format("%d.%d.%d%s", 5, 0, 1, "c");
    return text.c_str();
}
