// The web page window: pages of the messenger service in an HTML view, with
// a Back button over the page history that followed links fill.
#include "messenger/messenger_windows.h"

#include "data/client_services.h"
#include "gump/html_view.h"
#include "messenger/messenger_protocol.h"
#include "text/html_document.h"

namespace {

constexpr std::u16string_view kLoadingPage = u"<TITLE>LOADING</TITLE><BODY>Loading page, please wait...</BODY>";
constexpr uint32_t kPageFlags = 0;

} // namespace

WebPageWindow::WebPageWindow(int32_t x, int32_t y, int32_t width, int32_t height)
    : MessengerWindow(0)
{
    setTypeName("web page gump");
    addKind(GumpKind::MessengerWebPage);
    m_centreTitle = true;
    auto* view = new HtmlView(this, 0, kPageFlags, false, true);
    // The page is no placeholder: a click must follow its links, not empty it.
    view->placeholderPending = false;
    m_bodyControl = GumpHandle(view);
    view->setText(kLoadingPage, 1);
    if (HtmlDocument* document = view->document())
        m_title = document->title.substr(0, size_t(kMessengerFieldLength));
    if (pageHistory().count == 0) {
        const std::string page(kMessengerDefaultPage);
        pageHistoryAdd(std::u16string(page.begin(), page.end()));
    }
    addMessengerButton(MessengerButton::Close, 0);
    addMessengerButton(MessengerButton::Resize, 0);
    addMessengerButton(MessengerButton::Back, 5);
    finishWindow(nullptr, x, y, width, height);
    messengerWindowSlots().webPage = GumpHandle(this);
}

WebPageWindow::~WebPageWindow()
{
    if (gameState().isInGame())
        sendMessengerCommandAscii(MessengerCommand::Echo, "leaving");
}

void WebPageWindow::showPage(std::u16string_view html)
{
    HtmlView* view = pageView();
    if (!view)
        return;
    view->setText(html, 1);
    if (HtmlDocument* document = view->document())
        m_title = document->title.substr(0, size_t(kMessengerFieldLength));
    resizeMessengerWindow(-1, -1);
}

void WebPageWindow::updateButtons() { setButtonDisabled(MessengerButton::Back, pageHistory().back < 0); }

void WebPageWindow::onCommand(int32_t command)
{
    if (command != MessengerButton::Back)
        return;
    HtmlPageHistory& history = pageHistory();
    if (history.back < 0)
        return;
    sendMessengerCommand(MessengerCommand::GetPage, history.entries[size_t(history.back % kHtmlPageHistorySize)]);
    if (history.back == history.count - 1)
        --history.back;
    else
        ++history.back;
}
