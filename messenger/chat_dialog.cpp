#include "messenger/chat_window.h"

#include "gfx/gump_art.h"
#include "gump/button.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/text_list.h"
#include "messenger/chat_text.h"

#include <algorithm>

namespace {

constexpr int32_t kDialogEdgeArt = 2700;
constexpr int32_t kDialogSideArt = 2701;
constexpr int32_t kDialogCancelArt = 2708;
constexpr int32_t kDialogOkArt = 2714;
constexpr int32_t kDialogRow = 18;
constexpr int32_t kDialogMessageColour = 0x7C1F;
constexpr int32_t kDialogLabelColour = 0x7FE0;
constexpr int32_t kDialogInputColour = 0x7FFF;
constexpr int32_t kDialogCancel = 0;
constexpr int32_t kDialogOk = 1;

} // namespace

ChatDialog::ChatDialog(ChatWindow* parent, int32_t request, std::u16string_view message, std::u16string_view label1,
    const std::u16string* label2)
    : ControlGump(ControlSet::Chat)
    , m_request(request)
{
    setTypeName("normal gump");
    const int32_t e = gumpArtSize(kDialogEdgeArt).height;
    const int32_t v = gumpArtSize(kDialogSideArt).width;
    const int32_t background = chatSettingColour(u"ChatColorDialogBackground");
    for (GumpHandle& piece : m_frame)
        piece = GumpHandle(new TextPane2(this));
    const int32_t inner = kWidth - 2 * v;
    auto* text = new TextList2(this, true, false, 4, 0, background);
    m_message = GumpHandle(text);
    text->setGeometry(v, e, inner, kDialogRow * 4);
    text->addLine(message, kDialogMessageColour, 0, -1, -1);
    const int32_t messageHeight = text->lines().empty() ? kDialogRow : text->lines().back().height;
    text->setGeometry(v, e, inner, messageHeight);
    int32_t y = e + messageHeight + e;
    const int32_t rows = label2 ? 2 : 1;
    for (int32_t row = 0; row < rows; ++row) {
        auto* label = new TextList2(this, false, false, 1, 0, background);
        label->setGeometry(v, y, inner, kDialogRow);
        label->addLine(row == 0 ? label1 : std::u16string_view(*label2), kDialogLabelColour, 0, -1, -1);
        m_labels[size_t(row)] = GumpHandle(label);
        auto* input = new TextList2(this, false, false, 1, 0, background);
        input->setGeometry(v, y + kDialogRow, inner, kDialogRow);
        input->addLine(u"", kDialogInputColour, 0, -1, -1);
        m_inputs[size_t(row)] = GumpHandle(input);
        y += 2 * kDialogRow + e;
    }
    auto* cancel = new Button(0, 0, ButtonBehaviour::ClickOnRelease, 0, forwardButtonToOwner, kDialogCancelArt,
        kDialogCancelArt + 1, false);
    cancel->setId(kDialogCancel);
    cancel->setPassId(true);
    gumpLink(cancel, this);
    auto* ok = new Button(
        0, 0, ButtonBehaviour::ClickOnRelease, 0, forwardButtonToOwner, kDialogOkArt, kDialogOkArt + 1, false);
    ok->setId(kDialogOk);
    ok->setPassId(true);
    gumpLink(ok, this);
    const int32_t buttonHeight = std::max(cancel->height(), ok->height());
    const int32_t height = y + buttonHeight + e;
    ok->setLocation(kWidth - v - ok->width(), y);
    cancel->setLocation(ok->x() - cancel->width(), y);
    auto piece = [this](size_t index) { return static_cast<TextPane*>(m_frame[index].get()); };
    piece(0)->setGeometry(false, kDialogEdgeArt, 0, 0, kWidth);
    piece(1)->setGeometry(false, kDialogEdgeArt, 0, height - e, kWidth);
    piece(2)->setGeometry(true, kDialogSideArt, 0, e, height - 2 * e);
    piece(3)->setGeometry(true, kDialogSideArt, kWidth - v, e, height - 2 * e);
    setSize(kWidth, height);
    if (parent) {
        int32_t x = parent->width() / 2;
        int32_t centreY = parent->height() / 2;
        parent->localToScreen(x, centreY);
        setLocation(x - kWidth / 2, centreY - height / 2);
    } else {
        setLocation((kChatDefaultWidth - kWidth) / 2, (kChatDefaultHeight - height) / 2);
    }
    m_owner = GumpHandle(parent);
    m_hasOwner = parent != nullptr;
    gumpLink(this, nullptr);
    gumpSetFocus(input(0));
    input(0)->syncEditCursor();
}

ChatDialog::~ChatDialog()
{
    const std::u16string first = input(0) ? input(0)->editText() : std::u16string();
    const bool hasSecond = input(1) != nullptr;
    const std::u16string second = hasSecond ? input(1)->editText() : std::u16string();
    auto* parent = static_cast<ChatWindow*>(m_owner.get());
    deleteChildren();
    if (!m_accepted)
        return;
    if (m_hasOwner) {
        if (parent)
            parent->childClosedWithText(this, &first, hasSecond ? &second : nullptr);
    } else if (!gumpManager().bulkClosing) {
        requestChatOpen(first);
    }
}

TextList* ChatDialog::input(int32_t which) const { return static_cast<TextList*>(m_inputs[size_t(which)].get()); }

void ChatDialog::accept()
{
    m_accepted = true;
    closeGump(this);
}

void ChatDialog::onCommand(int32_t id)
{
    if (id == kDialogOk)
        accept();
    else if (id == kDialogCancel)
        closeGump(this);
}

bool ChatDialog::submitText(const std::u16string&, CGump*)
{
    accept();
    return false;
}

void ChatDialog::onLeftUp(int32_t, int32_t y)
{
    const int32_t which = input(1) && y > input(0)->y() + input(0)->height() ? 1 : 0;
    m_focused = which;
    gumpSetFocus(input(which));
    input(which)->syncEditCursor();
}

void ChatDialog::onKey(uint32_t code)
{
    if (TextList* focused = input(m_focused))
        focused->onKey(code);
}

void ChatDialog::onFocusLost()
{
    if (TextList* focused = input(m_focused))
        focused->onFocusLost();
}
