#pragma once
// The help-text popup: a small framed, scrolling text the server sends about
// an object (packet 0xB7) when the pointer rests on it. There is at most one
// popup. By default popups show only when the client's language is not
// English; giving PopupHelpEnabled in the settings switches them off for
// good. A sticky popup opens where the last one was dragged (the desktop
// file keeps that place); a persistent one stays when another text arrives.
//
// The gump manager owns the popup; its state and the values in use are
// process-wide. Main thread only.

#include "data/settings_services.h"
#include "gump/popup_list.h"

#include <cstdint>
#include <string_view>

// The values in use of the help popups, set from the settings.
struct HelpPopupSettings {
    bool enabled = true;
    bool sticky = false;
    bool persistent = true;
    int32_t textColour = 0x7FFF;
    uint32_t preDelayMs = 1000;
};
HelpPopupSettings& helpPopupSettings();

class HelpTextPopup final : public FramedList {
public:
    static constexpr int32_t kWidth = 160;
    static constexpr int32_t kHeight = 100;

    // Made, linked on top and made the current popup; when sticky it opens
    // at the remembered place instead of (x, y).
    HelpTextPopup(int32_t x, int32_t y, int32_t width, int32_t height, std::u16string_view text);
    ~HelpTextPopup() override;

    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;

private:
    bool m_dragging = false;
};

// The current popup, or null.
HelpTextPopup* helpTextPopup();
// Closes the current popup.
void closeHelpTextPopup();

// Once per run: unless the settings gave PopupHelpEnabled, popups are
// enabled exactly when the client's language is not English.
void checkClientLanguage();
// A new run of the program: the values in use start over and the language
// test runs again.
void resetHelpPopups();

// A help text arrived: the language test runs; while popups are enabled the
// current popup is replaced (or, when persistent, kept and the text
// dropped) by a new one at the pointer, centred on it unless sticky.
void showHelpText(std::u16string_view text);

// The settings' side effects on the help popups; the rest of the window
// settings go on to the service installed before.
class HelpPopupWindowSettings final : public WindowSettingsService {
public:
    explicit HelpPopupWindowSettings(WindowSettingsService& next)
        : m_next(next)
    {
    }
    void switchHelpPopupsOff() override;
    void setHelpPopupSticky(bool on) override;
    void setHelpPopupPersistent(bool on) override;
    void setHelpPopupTextColour(int32_t colour) override;
    void setHelpPopupDelay(int32_t milliseconds) override;
    void setHelpPopupFont(int32_t font) override { m_next.setHelpPopupFont(font); }
    void setToolTipFont(int32_t font) override { m_next.setToolTipFont(font); }
    void setItemPropsMode(int32_t mode) override { m_next.setItemPropsMode(mode); }
    void setPartySpeechHue(int32_t hue) override { m_next.setPartySpeechHue(hue); }
    void relayoutGameArea() override { m_next.relayoutGameArea(); }

private:
    WindowSettingsService& m_next;
};
