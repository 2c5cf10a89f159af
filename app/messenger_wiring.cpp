#include "app/messenger_wiring.h"

#include "app/lifecycle_services.h"
#include "messenger/chat_window.h"
#include "messenger/context_help_window.h"
#include "messenger/messenger_connection.h"
#include "messenger/messenger_links.h"
#include "messenger/messenger_services.h"
#include "gump/html_view.h"
#include "windows/gm_page_queue.h"
#include "windows/resize_gump.h"
#include "windows/system_text.h"
#include "windows/window_services.h"

#include <memory>

namespace {

class AppMessengerSocket final : public MessengerSocket {
public:
    void replaceMessengerSocket() override { ::replaceMessengerSocket(); }
    void deleteMessengerSocket() override { ::deleteMessengerSocket(); }
};

class AppMessengerNotices final : public MessengerNotices {
public:
    void addSystemText(uint16_t hue, uint16_t font, std::u16string_view text) override
    {
        ::addSystemText(hue, font, text, currentTextLanguage());
    }
};

// The menubar's "< ? >" button.
class AppContextHelpWindow final : public ContextHelpWindow {
public:
    void openOrRaiseContextHelp() override { ::openOrRaiseContextHelp(); }
};

// The menubar's chat button and the macro that opens chat.
class AppConferenceChat final : public ConferenceChat {
public:
    void openOrRaiseChat() override { ::openOrRaiseChat(); }
};

// The messenger and chat windows' grips: the game windows' resize outline.
class AppResizeHandles final : public ResizeHandles {
public:
    void beginResize(CGump* window, const ResizeLimits& limits) override
    {
        resizeOutlineFrames().openResizeFrame(
            window, limits.minWidth, limits.minHeight, limits.maxWidth, limits.maxHeight);
    }
    void beginSplitResize(CGump* window, int32_t width, int32_t height, const ResizeLimits& limits) override
    {
        if (window)
            startSplitResize(*window, width, height, limits);
    }
};

struct MessengerWiring {
    MessengerServices services;
    AppMessengerSocket socket;
    AppMessengerNotices notices;
    AppContextHelpWindow contextHelp;
    AppConferenceChat chat;
    AppResizeHandles resize;
    MessengerSocket* previousSocket = nullptr;
    MessengerNotices* previousNotices = nullptr;
    ContextHelpWindow* previousContextHelp = nullptr;
    ConferenceChat* previousChat = nullptr;
    ResizeHandles* previousResize = nullptr;
};

std::unique_ptr<MessengerWiring>& wiring()
{
    static std::unique_ptr<MessengerWiring> installed;
    return installed;
}

} // namespace

void startMessenger()
{
    stopMessenger();
    // The GM tools' part of the HTML views, which the messenger's links pass on.
    installService<HtmlViewMessenger>(&gmPageQueueLinks());
    registerGmPageQueueHandlers();
    auto made = std::make_unique<MessengerWiring>();
    made->previousSocket = installService<MessengerSocket>(&made->socket);
    made->previousNotices = installService<MessengerNotices>(&made->notices);
    made->previousContextHelp = installService<ContextHelpWindow>(&made->contextHelp);
    made->previousChat = installService<ConferenceChat>(&made->chat);
    made->previousResize = installService<ResizeHandles>(&made->resize);
    wiring() = std::move(made);
}

void stopMessenger()
{
    std::unique_ptr<MessengerWiring> installed = std::move(wiring());
    if (!installed)
        return;
    installService<ResizeHandles>(installed->previousResize);
    installService<ConferenceChat>(installed->previousChat);
    installService<ContextHelpWindow>(installed->previousContextHelp);
    installService<MessengerNotices>(installed->previousNotices);
    installService<MessengerSocket>(installed->previousSocket);
}
