// The send window: new mail, replies and forwards of a stored mail, and the
// compose form other code opens with given fields.
#include "messenger/messenger_windows.h"

#include "gump/gump_manager.h"
#include "gump/html_view.h"
#include "messenger/messenger_protocol.h"
#include "text/html_document.h"

namespace {

constexpr int32_t kMailEditMinWidth = 450;
constexpr int32_t kMailEditMinHeight = 300;
constexpr uint32_t kRecipientFlags = 823;
constexpr uint32_t kSubjectFlags = 309;
constexpr uint32_t kReadOnlySubjectFlags = 311;
constexpr uint32_t kQuotedBodyFlags = 0;
constexpr uint32_t kBodyFlags = 64;
constexpr uint32_t kReadOnlyBodyFlags = 2;
constexpr uint32_t kEditableComposeBodyFlags = 0;
// The body document's style bit that shows its first block alone.
constexpr uint32_t kFirstBlockOnly = HtmlFlag::kFirstRunOnly;

constexpr std::u16string_view kRecipientPlaceholder = u"[Click here to select recipient.]";
constexpr std::u16string_view kBodyPlaceholder = u"[Enter message body here.]";
constexpr std::u16string_view kBodyPlaceholderLine = u"[Enter message body here.]\n";
constexpr std::u16string_view kDiscardText = u"You have not sent this message. Are you sure you want to discard it?";

HtmlView* makeText(CGump* window, uint32_t flags, std::u16string_view text, bool placeholder)
{
    auto* view = new HtmlView(window, flags == kRecipientFlags ? PromptCode::RecipientChosen : 0, flags, true, true);
    view->placeholderPending = placeholder;
    view->setText(text, 1);
    return view;
}

} // namespace

MailEditWindow::MailEditWindow(CGump* parent, int32_t x, int32_t y, int32_t width, int32_t height,
    std::optional<AddressEntry> recipient, int32_t repliedId, int32_t forwardedId)
    : MessengerWindow(0)
    , m_mode(repliedId ? Mode::Reply : (forwardedId ? Mode::Forward : Mode::Send))
    , m_recipient(std::move(recipient))
{
    setTypeName("send message gump");
    becomeSendWindow();
    setMinimumSize(kMailEditMinWidth, kMailEditMinHeight);
    m_centreTitle = true;
    const int32_t answeredId = repliedId ? repliedId : forwardedId;
    const MessageRecord* answered = answeredId ? findMessageRecord(answeredId) : nullptr;
    if (m_mode != Mode::Send && !answered)
        m_mode = Mode::Send;
    m_title = m_mode == Mode::Reply ? u"Reply To Message" : (m_mode == Mode::Forward ? u"Forward Message" : u"Send Message");
    if (m_mode == Mode::Reply) {
        AddressEntry sender;
        sender.address = answered->fromAddress;
        sender.name = answered->fromName;
        m_recipient.reset();
        for (const AddressEntry& entry : addressBook()) {
            if (entry.address == sender.address && entry.name == sender.name)
                m_recipient = entry;
        }
    }
    m_headerShown = { true, true, false, true };
    if (m_mode == Mode::Send)
        m_recipientControl = GumpHandle(makeText(this, kRecipientFlags, kRecipientPlaceholder, false));
    showRecipient();

    std::u16string subject(kSubjectPlaceholder);
    std::u16string body(m_mode == Mode::Send ? kBodyPlaceholderLine : kBodyPlaceholder);
    bool quoted = false;
    if (answered) {
        subject = (m_mode == Mode::Reply ? u"Re: " : u"Fwd: ") + answered->subject;
        body += u"\n\n";
        if (answered->bodyLoaded && !answered->body.empty()) {
            body += u"<BQ>" + answered->body + u"\n</BQ>";
            quoted = true;
        }
    }
    m_subjectControl = GumpHandle(makeText(this, kSubjectFlags, subject, !answered));
    m_bodyControl = GumpHandle(makeText(this, quoted ? kQuotedBodyFlags : kBodyFlags, body, true));

    addMessengerButton(MessengerButton::Minimise, 0);
    addMessengerButton(MessengerButton::Close, 0);
    addMessengerButton(MessengerButton::Resize, 0);
    if (m_mode == Mode::Send) {
        addMessengerButton(MessengerButton::Send, 1);
    } else {
        m_include = true;
        m_toggleLabel = u"Include Original Message";
        addMessengerButton(MessengerButton::Include, 1);
        addMessengerButton(MessengerButton::Send, 4);
    }
    addMessengerButton(MessengerButton::Cancel, 5);
    finishWindow(parent, x, y, width, height);
    messengerWindowSlots().send = GumpHandle(this);
    if (answered) {
        markMessageRead(answeredId);
        refreshMessengerWindows();
    }
}

MailEditWindow::MailEditWindow(
    CGump* parent, int32_t x, int32_t y, int32_t width, int32_t height, const ComposeRequest& request)
    : MessengerWindow(0)
    , m_mode(Mode::Compose)
    , m_givenAddress(request.address)
    , m_givenName(request.name)
    , m_signWithAccount(request.signWithAccount)
{
    setTypeName("send message gump");
    becomeSendWindow();
    setMinimumSize(kMailEditMinWidth, kMailEditMinHeight);
    m_centreTitle = true;
    m_title = request.title.empty() ? u"Send Message" : request.title;
    m_headerShown = { true, true, false, true };
    if (request.chooseRecipient)
        m_recipientControl = GumpHandle(makeText(this, kRecipientFlags, kRecipientPlaceholder, false));
    showRecipient();
    const bool subjectGiven = !request.subject.empty();
    m_subjectControl = GumpHandle(makeText(this, request.editableSubject ? kSubjectFlags : kReadOnlySubjectFlags,
        subjectGiven ? std::u16string_view(request.subject) : kSubjectPlaceholder, !subjectGiven));
    const bool bodyGiven = !request.body.empty();
    m_bodyControl = GumpHandle(makeText(this, request.editableBody ? kEditableComposeBodyFlags : kReadOnlyBodyFlags,
        bodyGiven ? std::u16string_view(request.body) : kBodyPlaceholder, !bodyGiven));
    addMessengerButton(MessengerButton::Minimise, 0);
    addMessengerButton(MessengerButton::Close, 0);
    addMessengerButton(MessengerButton::Resize, 0);
    addMessengerButton(MessengerButton::Send, 1);
    addMessengerButton(MessengerButton::Cancel, 5);
    finishWindow(parent, x, y, width, height);
    messengerWindowSlots().send = GumpHandle(this);
}

MailEditWindow::~MailEditWindow() { closeGump(recipientPickerWindow()); }

void MailEditWindow::becomeSendWindow()
{
    closeGump(sendWindow());
    messengerWindowSlots().send = GumpHandle(this);
    // Their buttons follow: no other mail may be started now.
    for (MessengerWindow* window : { static_cast<MessengerWindow*>(messageListWindow()),
             static_cast<MessengerWindow*>(readMessageWindow()), static_cast<MessengerWindow*>(addressBookWindow()),
             static_cast<MessengerWindow*>(recipientPickerWindow()) }) {
        if (window)
            window->resizeMessengerWindow(-1, -1);
    }
}

void MailEditWindow::showRecipient()
{
    const bool signWithAccount = m_signWithAccount || (m_recipient && m_recipient->fixed);
    m_headerValue[From] = messengerSenderName(signWithAccount);
    std::u16string text;
    if (m_recipient)
        text = addressEntryLabel(*m_recipient);
    else if (m_mode == Mode::Compose && !recipientControl())
        text = m_givenName;
    else
        text = kRecipientPlaceholder;
    if (HtmlView* control = recipientControl()) {
        control->setText(text, 1);
        m_headerValue[To].clear();
    } else {
        m_headerValue[To] = text;
    }
}

bool MailEditWindow::canSend() const
{
    const bool known = m_recipient || (m_mode == Mode::Compose && !recipientControl() && !m_givenAddress.empty());
    const HtmlView* view = body();
    return known && view && view->text() != kBodyPlaceholderLine;
}

std::u16string MailEditWindow::outgoingBody() const
{
    const HtmlView* view = body();
    if (!view || !view->document())
        return {};
    const std::vector<HtmlRun>& runs = view->document()->runs();
    std::u16string text = view->text();
    for (size_t i = 1; m_include && i < runs.size(); ++i)
        text += u"<BQ>" + runs[i].text + u"\n</BQ>";
    return text;
}

void MailEditWindow::updateButtons() { setButtonDisabled(MessengerButton::Send, !canSend()); }

void MailEditWindow::send()
{
    if (!canSend())
        return;
    MailAddressing to;
    if (m_recipient) {
        to.address = m_recipient->address;
        to.name = m_recipient->name;
        to.comment = m_recipient->description;
        to.signWithAccount = m_signWithAccount || m_recipient->fixed;
    } else {
        to.address = m_givenAddress;
        to.name = m_givenName;
        to.comment = u"dummy";
        to.signWithAccount = m_signWithAccount;
    }
    const std::u16string subjectText = subject() ? subject()->text() : std::u16string();
    sendMail(to, subjectText, outgoingBody());
    closeGump(this);
}

void MailEditWindow::onCommand(int32_t command)
{
    switch (command) {
    case MessengerButton::Cancel:
        askCentredOn(this, PromptCode::Discard, kDiscardText);
        return;
    case MessengerButton::Send:
        send();
        return;
    case MessengerButton::Include:
        m_include = !m_include;
        if (HtmlView* view = body(); view && view->document()) {
            HtmlDocument& document = *view->document();
            document.flags = m_include ? document.flags & ~kFirstBlockOnly : document.flags | kFirstBlockOnly;
            view->layout();
        }
        return;
    case PromptCode::RecipientChosen:
        if (!recipientControl())
            return;
        closeGump(recipientPickerWindow());
        messengerWindowSlots().picker = GumpHandle(
            new RecipientPickerWindow(this, width() / 4, height() / 4, width() / 2, height() / 2));
        return;
    default:
        return;
    }
}

void MailEditWindow::onTab()
{
    if (HtmlView* view = body())
        view->beginEditing();
}

bool MailEditWindow::onPromptAnswer(int32_t code, const std::u16string&, int32_t index)
{
    if (code == PromptCode::Discard) {
        closeGump(this);
        return true;
    }
    if (code == PromptCode::RecipientChosen) {
        const std::vector<AddressEntry>& book = addressBook();
        if (index >= 0 && index < int32_t(book.size())) {
            m_recipient = book[size_t(index)];
            showRecipient();
            resizeMessengerWindow(-1, -1);
        }
    }
    return true;
}

void MailEditWindow::raiseCompanionWindows()
{
    if (RecipientPickerWindow* picker = recipientPickerWindow())
        picker->bringToFront(false);
}
