// The "Addresses" window over the address book, and the recipient picker the
// send windows open over it.
#include "messenger/messenger_windows.h"

#include "gump/gump_manager.h"
#include "messenger/message_lists.h"
#include "messenger/messenger_connection.h"
#include "messenger/messenger_protocol.h"

#include <utility>

namespace {

constexpr int32_t kBookMinWidth = 400;
constexpr int32_t kBookMinHeight = 400;
constexpr int32_t kPickerMinWidth = 400;
constexpr int32_t kPickerMinHeight = 200;
constexpr int32_t kEditorWidth = 250;
constexpr int32_t kEditorHeight = 150;
constexpr int32_t kAddressEditOffset = 5;

} // namespace

AddressBookWindow::AddressBookWindow(int32_t x, int32_t y, int32_t width, int32_t height)
    : MessengerWindow(0)
{
    setTypeName("addresses gump");
    m_title = u"Addresses";
    setMinimumSize(kBookMinWidth, kBookMinHeight);
    m_addressList = GumpHandle(new AddressListControl(this));
    addMessengerButton(MessengerButton::Close, 0);
    addMessengerButton(MessengerButton::Resize, 0);
    addMessengerButton(MessengerButton::Send, 1);
    addMessengerButton(MessengerButton::DeleteCard, 2);
    addMessengerButton(MessengerButton::Edit, 5);
    finishWindow(nullptr, x, y, width, height);
    messengerWindowSlots().addressBook = GumpHandle(this);
}

void AddressBookWindow::updateButtons()
{
    const AddressListControl* control = list();
    const AddressEntry* entry = control ? control->selectedEntry() : nullptr;
    setButtonDisabled(MessengerButton::Send, sendWindow() != nullptr || !entry);
    setButtonDisabled(MessengerButton::DeleteCard, !entry || entry->fixed);
    setButtonDisabled(MessengerButton::Edit, !entry || entry->fixed);
}

void AddressBookWindow::onCommand(int32_t command)
{
    const AddressListControl* control = list();
    const AddressEntry* entry = control ? control->selectedEntry() : nullptr;
    if (!entry)
        return;
    switch (command) {
    case MessengerButton::Send:
        if (!sendWindow())
            openMailEditWindow(this, kAddressEditOffset, kAddressEditOffset, width(), height(), *entry, 0, 0);
        return;
    case MessengerButton::DeleteCard: {
        if (entry->fixed)
            return;
        m_asked = *entry;
        std::u16string text = u"This will permanently delete the greeting card you gave " + addressEntryLabel(*entry)
            + u". Are you sure you want to do this?";
        closeGump(m_prompt.get());
        m_prompt = GumpHandle(askCentredOn(this, PromptCode::DeleteCard, text));
        return;
    }
    case MessengerButton::Edit:
        if (entry->fixed)
            return;
        m_asked = *entry;
        closeGump(m_prompt.get());
        m_prompt = GumpHandle(new DescriptionEditWindow(this, width() / 2 - kEditorWidth / 2,
            height() / 2 - kEditorHeight / 2, kEditorWidth, kEditorHeight, PromptCode::EditDescription, entry->name,
            entry->description));
        return;
    default:
        return;
    }
}

bool AddressBookWindow::onPromptAnswer(int32_t code, const std::u16string& text, int32_t)
{
    const std::optional<AddressEntry> asked = std::exchange(m_asked, std::nullopt);
    // The entry the question named; one gone since is left alone.
    const int32_t index = asked ? findAddress(*asked) : -1;
    if (index < 0)
        return true;
    if (code == PromptCode::DeleteCard) {
        sendMessengerCommand(MessengerCommand::DeleteCard, addressEntryText(*asked));
        deleteAddress(index);
        sendMessengerCommand(MessengerCommand::RequestList, u"");
    } else if (code == PromptCode::EditDescription) {
        AddressEntry& entry = addressBook()[size_t(index)];
        entry.description = text.substr(0, size_t(kMessengerFieldLength));
        sendMessengerCommand(MessengerCommand::EditAddress,
            u"<" + messengerDecimal(messengerState().accountId) + u"@" + std::u16string(kMessengerMailDomain) + u"> "
                + addressEntryText(entry));
    } else {
        return true;
    }
    if (AddressListControl* control = list()) {
        if (code == PromptCode::EditDescription)
            control->select(addressBook()[size_t(index)]);
    }
    resizeMessengerWindow(-1, -1);
    return true;
}

RecipientPickerWindow::RecipientPickerWindow(MessengerWindow* owner, int32_t x, int32_t y, int32_t width, int32_t height)
    : MessengerWindow(0)
    , m_owner(owner)
{
    setTypeName("recipient picker");
    m_title = u"Addresses";
    setMinimumSize(kPickerMinWidth, kPickerMinHeight);
    m_addressList = GumpHandle(new AddressListControl(this));
    addMessengerButton(MessengerButton::Close, 0);
    addMessengerButton(MessengerButton::Resize, 0);
    addMessengerButton(MessengerButton::Ok, 1);
    addMessengerButton(MessengerButton::Cancel, 5);
    finishWindow(nullptr, x, y, width, height);
    messengerWindowSlots().picker = GumpHandle(this);
}

void RecipientPickerWindow::onCommand(int32_t command)
{
    if (command == MessengerButton::Cancel) {
        closeGump(this);
        return;
    }
    if (command != MessengerButton::Ok)
        return;
    const AddressListControl* control = list();
    const int32_t index = control ? control->selectedIndex() : -1;
    if (index < 0)
        return;
    GumpHandle self(this);
    if (MessengerWindow* owner = messengerWindowOf(m_owner.get()))
        owner->onPromptAnswer(PromptCode::RecipientChosen, std::u16string(), index);
    if (self)
        closeGump(this);
}
