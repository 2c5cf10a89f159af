#pragma once
// What changing a setting does outside the settings code. Each interface is
// one provider's share: the main window and the renderer (installed by app/),
// sound and music, the game windows, the world and the translation client.
// Every one starts as its do-nothing default; app/ installs the real ones at
// start-up and service_defaults.cpp lists the defaults still in place. All
// calls come from the main thread. Colours are 5-5-5, fonts 0..2, delays in ms.

#include "core/installed_service.h"

#include <cstdint>
#include <string>
#include <string_view>

// The main window, the renderer and the network layer's switches.
class DisplaySettingsService {
public:
    virtual ~DisplaySettingsService() = default;
    virtual void setDisplayMode(bool fullScreen) = 0;
    virtual bool isFullScreen() = 0;
    virtual void setGameWindowSize(int32_t width, int32_t height) = 0;
    // The full-screen mode ("<width>x<height>") the next switch uses.
    virtual void setFullScreenRes(std::string_view text) = 0;
    virtual void setShadedFonts(bool on) = 0;
    // The 5-6-5 back buffer (text drawing and presenting follow it).
    virtual void setUse565(bool on) = 0;
    virtual void setCensoredBloodColour(uint16_t colour) = 0;
    virtual void setEditServerMode(bool on) = 0;
};

class SoundSettingsService {
public:
    virtual ~SoundSettingsService() = default;
    virtual void toggleSound(bool on) = 0;
    virtual void toggleMusic(bool on) = 0;
    virtual void setSoundVolume(uint8_t volume) = 0;
    virtual void setMusicVolume(uint8_t volume) = 0;
};

// The help pop-ups, tooltips, item properties, party speech and the layout of
// the game area's edge windows.
class WindowSettingsService {
public:
    virtual ~WindowSettingsService() = default;
    virtual void switchHelpPopupsOff() = 0;
    virtual void setHelpPopupSticky(bool on) = 0;
    virtual void setHelpPopupPersistent(bool on) = 0;
    virtual void setHelpPopupTextColour(int32_t colour) = 0;
    virtual void setHelpPopupDelay(int32_t milliseconds) = 0;
    virtual void setHelpPopupFont(int32_t font) = 0;
    virtual void setToolTipFont(int32_t font) = 0;
    // 0 at icon, 1 always up, 2 follow mouse, 3 single click.
    virtual void setItemPropsMode(int32_t mode) = 0;
    virtual void setPartySpeechHue(int32_t hue) = 0;
    // After the game area's size changed: the edge windows and the world view.
    virtual void relayoutGameArea() = 0;
};

// The circle of transparency and the multi design cache.
class WorldSettingsService {
public:
    virtual ~WorldSettingsService() = default;
    virtual void setCircleRadius(int32_t radius) = 0;
    virtual void setCircleCentre(int32_t x, int32_t y) = 0;
    virtual void setMultiCacheLimit(int32_t limit) = 0;
};

class TranslationSettingsService {
public:
    virtual ~TranslationSettingsService() = default;
    virtual void setEnabled(bool on) = 0;
    virtual void setAutomatic(bool on) = 0;
    // Which text of the translation request (the key's name) and its value.
    virtual void setRequestText(std::string_view key, const std::string& text) = 0;
    virtual void setServerAddress(uint32_t address, uint16_t port) = 0;
};

// The do-nothing defaults.
class NoDisplaySettings final : public DisplaySettingsService {
public:
    void setDisplayMode(bool) override { }
    bool isFullScreen() override { return false; }
    void setGameWindowSize(int32_t, int32_t) override { }
    void setFullScreenRes(std::string_view) override { }
    void setShadedFonts(bool) override { }
    void setUse565(bool) override { }
    void setCensoredBloodColour(uint16_t) override { }
    void setEditServerMode(bool) override { }
};

class NoSoundSettings final : public SoundSettingsService {
public:
    void toggleSound(bool) override { }
    void toggleMusic(bool) override { }
    void setSoundVolume(uint8_t) override { }
    void setMusicVolume(uint8_t) override { }
};

class NoWindowSettings final : public WindowSettingsService {
public:
    void switchHelpPopupsOff() override { }
    void setHelpPopupSticky(bool) override { }
    void setHelpPopupPersistent(bool) override { }
    void setHelpPopupTextColour(int32_t) override { }
    void setHelpPopupDelay(int32_t) override { }
    void setHelpPopupFont(int32_t) override { }
    void setToolTipFont(int32_t) override { }
    void setItemPropsMode(int32_t) override { }
    void setPartySpeechHue(int32_t) override { }
    void relayoutGameArea() override { }
};

class NoWorldSettings final : public WorldSettingsService {
public:
    void setCircleRadius(int32_t) override { }
    void setCircleCentre(int32_t, int32_t) override { }
    void setMultiCacheLimit(int32_t) override { }
};

class NoTranslationSettings final : public TranslationSettingsService {
public:
    void setEnabled(bool) override { }
    void setAutomatic(bool) override { }
    void setRequestText(std::string_view, const std::string&) override { }
    void setServerAddress(uint32_t, uint16_t) override { }
};

DisplaySettingsService& displaySettings();
DisplaySettingsService* installDisplaySettings(DisplaySettingsService* service);
SoundSettingsService& soundSettings();
SoundSettingsService* installSoundSettings(SoundSettingsService* service);
WindowSettingsService& windowSettings();
WindowSettingsService* installWindowSettings(WindowSettingsService* service);
WorldSettingsService& worldSettingsService();
WorldSettingsService* installWorldSettings(WorldSettingsService* service);
TranslationSettingsService& translationSettings();
TranslationSettingsService* installTranslationSettings(TranslationSettingsService* service);

// The do-nothing forms answer until app/ installs the real services.
template <> struct ServiceFallback<DisplaySettingsService> {
    using Type = NoDisplaySettings;
};
template <> struct ServiceFallback<SoundSettingsService> {
    using Type = NoSoundSettings;
};
template <> struct ServiceFallback<WindowSettingsService> {
    using Type = NoWindowSettings;
};
template <> struct ServiceFallback<WorldSettingsService> {
    using Type = NoWorldSettings;
};
template <> struct ServiceFallback<TranslationSettingsService> {
    using Type = NoTranslationSettings;
};
