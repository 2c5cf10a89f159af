#include "windows/help_text_popup.h"

#include "data/config_key_rules.h"
#include "gump/desktop_file.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "gump/popup_list.h"
#include "gump/text_list.h"
#include "platform/ascii_text.h"
#include "text/localization.h"

#include <algorithm>

namespace {

HelpTextPopup* g_currentPopup = nullptr;
bool g_languageChecked = false;

} // namespace

HelpPopupSettings& helpPopupSettings()
{
    static HelpPopupSettings values;
    return values;
}

HelpTextPopup::HelpTextPopup(int32_t x, int32_t y, int32_t width, int32_t height, std::u16string_view text)
{
    setTypeName("help text popup");
    setLocation(x, y);
    makePanes();
    m_scrollBar = GumpHandle(new ScrollBar(this));
    auto* lines = new TextList(this, true, false, 1, 0, 0);
    m_list = GumpHandle(lines);
    // The popup's own list measures and draws in the popup's font.
    lines->setPopupHelpFont(true);
    lines->addLine(text, helpPopupSettings().textColour, 0, -1, -1);
    resizePage(width, height);
    layout();
    gumpLink(this, nullptr);
    if (helpPopupSettings().sticky) {
        int32_t rememberedX = 0;
        int32_t rememberedY = 0;
        desktopHelpPopupPosition(rememberedX, rememberedY);
        setLocation(rememberedX, rememberedY);
    }
    g_currentPopup = this;
}

HelpTextPopup::~HelpTextPopup()
{
    if (g_currentPopup == this)
        g_currentPopup = nullptr;
}

void HelpTextPopup::onLeftDown(int32_t x, int32_t y)
{
    m_dragging = true;
    setDragAnchor(x, y);
}

void HelpTextPopup::onLeftUp(int32_t, int32_t) { m_dragging = false; }

void HelpTextPopup::onDrag(int32_t x, int32_t y)
{
    if (m_dragging)
        moveBy(x - dragAnchorX(), y - dragAnchorY(), true, nullptr, true);
    setDesktopHelpPopupPosition(this->x(), this->y());
}

HelpTextPopup* helpTextPopup() { return isValidGump(g_currentPopup) ? g_currentPopup : nullptr; }

void closeHelpTextPopup() { closeGump(helpTextPopup()); }

void checkClientLanguage()
{
    if (g_languageChecked)
        return;
    initLocalization();
    if (!configValues().popupHelpEnabledGiven)
        helpPopupSettings().enabled = !platform::equalIgnoringAsciiCase(getLanguageName(), "english");
    g_languageChecked = true;
}

void resetHelpPopups()
{
    g_languageChecked = false;
    helpPopupSettings() = HelpPopupSettings {};
}

void showHelpText(std::u16string_view text)
{
    checkClientLanguage();
    const HelpPopupSettings& values = helpPopupSettings();
    if (!values.enabled)
        return;
    if (helpTextPopup()) {
        if (values.persistent)
            return;
        closeHelpTextPopup();
    }
    int32_t x = 0;
    int32_t y = 0;
    service<GumpPointer>().pointerPosition(x, y);
    auto* popup = new HelpTextPopup(x, y, HelpTextPopup::kWidth, HelpTextPopup::kHeight, text);
    if (!values.sticky)
        popup->moveBy(-popup->width() / 2, -popup->height() / 2, true, nullptr, true);
}

void HelpPopupWindowSettings::switchHelpPopupsOff()
{
    helpPopupSettings().enabled = false;
    m_next.switchHelpPopupsOff();
}

void HelpPopupWindowSettings::setHelpPopupSticky(bool on)
{
    helpPopupSettings().sticky = on;
    m_next.setHelpPopupSticky(on);
}

void HelpPopupWindowSettings::setHelpPopupPersistent(bool on)
{
    helpPopupSettings().persistent = on;
    m_next.setHelpPopupPersistent(on);
}

void HelpPopupWindowSettings::setHelpPopupTextColour(int32_t colour)
{
    helpPopupSettings().textColour = colour;
    m_next.setHelpPopupTextColour(colour);
}

void HelpPopupWindowSettings::setHelpPopupDelay(int32_t milliseconds)
{
    helpPopupSettings().preDelayMs = uint32_t(std::max(milliseconds, 100));
    m_next.setHelpPopupDelay(milliseconds);
}
