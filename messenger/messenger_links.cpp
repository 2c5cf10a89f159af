#include "messenger/messenger_links.h"

#include "gump/desktop_records.h"
#include "gump/desktop_services.h"
#include "gump/html_view.h"
#include "gump/prompt_windows.h"
#include "messenger/chat_window.h"
#include "messenger/context_help_window.h"
#include "messenger/gm_chat_window.h"
#include "messenger/messenger_connection.h"
#include "messenger/messenger_protocol.h"
#include "messenger/messenger_services.h"
#include "messenger/messenger_windows.h"
#include "protocol/protocol_services.h"
#include "protocol/world_packet_windows.h"
#include "text/html_document.h"
#include "gump/mail_windows.h"

namespace {

class MessengerProtocolLink final : public MessengerLink {
public:
    void poll() override
    {
        if (MessengerConnection* socket = messengerSocket())
            socket->poll();
    }
    void restart() override { restartMessenger(); }
    void setAccountNumber(int32_t number) override { messengerState().accountId = number; }
};

class MessengerHtmlLinks final : public HtmlViewMessenger {
public:
    explicit MessengerHtmlLinks(HtmlViewMessenger& next)
        : m_next(next)
    {
    }
    void sendMessengerCommand(int32_t command, const std::u16string& text) override
    {
        ::sendMessengerCommand(command, text);
    }
    uint32_t gmCurrentPlayerSerial() override { return m_next.gmCurrentPlayerSerial(); }
    void showGmPlayerMenu(int32_t x, int32_t y) override { m_next.showGmPlayerMenu(x, y); }

private:
    HtmlViewMessenger& m_next;
};

class MessengerDesktopWindows final : public DesktopWindows {
public:
    explicit MessengerDesktopWindows(DesktopWindows& next)
        : m_next(next)
    {
    }
    bool restoreFightingStyle(int32_t x, int32_t y, bool minimised) override
    {
        return m_next.restoreFightingStyle(x, y, minimised);
    }
    bool restoreIcon(DesktopIcon kind, uint32_t number, int32_t x, int32_t y) override
    {
        return m_next.restoreIcon(kind, number, x, y);
    }
    bool iconNumber(CGump* icon, uint32_t& number) override { return m_next.iconNumber(icon, number); }
    // The chat keeps the record's place for its next window and asks the
    // server to open chat when the record says it was open.
    bool restoreChatLayout(const DesktopChatLayout& layout) override
    {
        chatPlacement() = { layout.x, layout.y, layout.width, layout.height, layout.layoutA, layout.layoutB,
            layout.minimised != 0, true };
        if (layout.open && !chatWindow())
            requestChatOpen(u"");
        return true;
    }
    bool chatLayout(CGump* window, DesktopChatLayout& layout) override
    {
        ChatWindow* open = chatWindow();
        if (open && window == open) {
            const bool minimised = open->isMinimised();
            layout = { minimised ? open->restoreX() : open->x(), minimised ? open->restoreY() : open->y(),
                open->width(), open->height(), open->userListWidth(), open->inputHeight(), minimised ? 1 : 0, true };
            return true;
        }
        const ChatPlacement& kept = chatPlacement();
        if (!kept.saved)
            return false;
        layout = { kept.x, kept.y, kept.width, kept.height, kept.userListWidth, kept.inputHeight,
            kept.minimised ? 1 : 0, false };
        return true;
    }
    // The web page and "Messages" windows come back only over an open
    // connection; otherwise the record is kept for a later layout.
    bool restoreMessengerWindow(uint8_t recordType, const DesktopWindowRect& rect) override
    {
        // The GM chat window opens only on a GM's request: its record keeps
        // the place for that window.
        if (recordType == DesktopRecordType::kGmChat) {
            gmChatPlacement() = { rect.x, rect.y, rect.width, rect.height, rect.minimised != 0, true };
            return true;
        }
        if (recordType != DesktopRecordType::kWebPage && recordType != DesktopRecordType::kMessageList)
            return m_next.restoreMessengerWindow(recordType, rect);
        if (!isMessengerOpen())
            return false;
        keepMessengerWindowPlace(recordType, { rect.x, rect.y, rect.width, rect.height, rect.minimised != 0 });
        if (recordType == DesktopRecordType::kWebPage)
            toggleWebPageWindow();
        else
            toggleMessageListWindow();
        return true;
    }
    bool restoreItemPropertyAnchor(int32_t x, int32_t y) override { return m_next.restoreItemPropertyAnchor(x, y); }
    void skillWindowRequested() override { m_next.skillWindowRequested(); }
    void loadWindowData() override { m_next.loadWindowData(); }
    // Writing the layout drops the mail list and the address book; the
    // windows ask for them again.
    void saveWindowData() override
    {
        m_next.saveWindowData();
        resetAddressBook();
        resetMessageList();
    }

private:
    DesktopWindows& m_next;
};

class MessengerMail final : public GeneralInfoWindows {
public:
    explicit MessengerMail(GeneralInfoWindows& next)
        : m_next(next)
    {
    }
    void composeMail(const std::u16string& address, const std::u16string& name, const std::u16string& subject,
        const std::u16string& body) override
    {
        composeOrSendMail(false, address, name, false, false, subject, false, body, u"Help Email", u"");
    }
    void partyMessage(std::span<const uint8_t> payload) override { m_next.partyMessage(payload); }
    void contextMenu(uint32_t serial, const std::vector<ContextMenuEntry>& entries) override
    {
        m_next.contextMenu(serial, entries);
    }
    void helpControl(uint8_t command, uint32_t topic, uint8_t value) override
    {
        ::helpControl(command, topic, value);
    }
    void spellbookContent(
        uint32_t serial, uint16_t graphic, uint16_t firstSpell, const std::array<uint8_t, 8>& bits) override
    {
        m_next.spellbookContent(serial, graphic, firstSpell, bits);
    }
    void spellToggle(uint16_t spell, bool highlighted) override { m_next.spellToggle(spell, highlighted); }
    void resetWeaponAbility() override { m_next.resetWeaponAbility(); }
    void showDamage(uint32_t serial, uint16_t damage, uint16_t hue) override { m_next.showDamage(serial, damage, hue); }
    void raceChange(bool open, uint8_t first, uint8_t second) override { m_next.raceChange(open, first, second); }
    void showEquipInfo(const EquipInfo& info) override { m_next.showEquipInfo(info); }

private:
    GeneralInfoWindows& m_next;
};

// Help links of any HTML view: topic links record and show the topic, the
// other "?" links are the open Context Help window's.
class MessengerHelpLinks final : public HtmlHelpLinks {
public:
    void openHelpTopic(int32_t topic, bool force) override { ::openHelpTopic(topic, force); }
    bool passToContextHelp(std::u16string_view href) override
    {
        ContextHelpGump* window = contextHelpWindow();
        if (!window)
            return false;
        window->onLink(href);
        return true;
    }
};

class MessengerGmChat final : public GmChatWindows {
public:
    CGump* window() override { return gmChatWindow(); }
    void open() override { openGmChatWindow(); }
    void addLine(std::u16string_view line) override
    {
        if (GmChatWindow* chat = gmChatWindow())
            chat->addReceivedLine(line);
    }
    void close() override
    {
        if (GmChatWindow* chat = gmChatWindow())
            closeGump(chat);
    }
};

class MessengerPrompts final : public PromptWindows {
public:
    CGump* openPrompt(CGump* parent, int32_t x, int32_t y, int32_t width, int32_t height, int32_t code,
        std::u16string_view text, bool html) override
    {
        return openMessengerPrompt(parent, x, y, width, height, code, text, html);
    }
};

class MessengerMailWindows final : public MailWindows {
public:
    void showMessageList() override { toggleMessageListWindow(); }
    CGump* messageListWindow() override { return ::messageListWindow(); }
};

} // namespace

struct MessengerServices::Objects {
    MessengerProtocolLink link;
    MessengerHtmlLinks htmlLinks { service<HtmlViewMessenger>() };
    MessengerDesktopWindows desktop { service<DesktopWindows>() };
    MessengerMail mail { service<GeneralInfoWindows>() };
    MessengerPrompts prompts;
    MessengerMailWindows mailWindows;
    MessengerHelpLinks helpLinks;
    MessengerGmChat gmChat;
    MessengerLink* previousLink = nullptr;
    GmChatWindows* previousGmChat = nullptr;
    HtmlViewMessenger* previousHtmlLinks = nullptr;
    DesktopWindows* previousDesktop = nullptr;
    GeneralInfoWindows* previousMail = nullptr;
    PromptWindows* previousPrompts = nullptr;
    MailWindows* previousMailWindows = nullptr;
    HtmlHelpLinks* previousHelpLinks = nullptr;
};

MessengerServices::MessengerServices()
    : m_objects(std::make_unique<Objects>())
{
    m_objects->previousLink = installMessengerLink(&m_objects->link);
    m_objects->previousHtmlLinks = installService<HtmlViewMessenger>(&m_objects->htmlLinks);
    m_objects->previousDesktop = installService<DesktopWindows>(&m_objects->desktop);
    m_objects->previousMail = installService<GeneralInfoWindows>(&m_objects->mail);
    m_objects->previousPrompts = installService<PromptWindows>(&m_objects->prompts);
    m_objects->previousMailWindows = installService<MailWindows>(&m_objects->mailWindows);
    m_objects->previousHelpLinks = installService<HtmlHelpLinks>(&m_objects->helpLinks);
    m_objects->previousGmChat = installService<GmChatWindows>(&m_objects->gmChat);
    registerChatHandlers();
}

MessengerServices::~MessengerServices()
{
    installService<GmChatWindows>(m_objects->previousGmChat);
    installService<HtmlHelpLinks>(m_objects->previousHelpLinks);
    installService<MailWindows>(m_objects->previousMailWindows);
    installService<PromptWindows>(m_objects->previousPrompts);
    installService<GeneralInfoWindows>(m_objects->previousMail);
    installService<DesktopWindows>(m_objects->previousDesktop);
    installService<HtmlViewMessenger>(m_objects->previousHtmlLinks);
    installMessengerLink(m_objects->previousLink);
}

void restartMessenger()
{
    MessengerState& state = messengerState();
    state.socket.reset();
    clearMessageStore();
    clearAddressBook();
    state.socket = std::make_unique<MessengerConnection>();
    state.accountId = -1;
    forgetMessengerWindowPlaces();
}
