#include "data/settings_services.h"

DisplaySettingsService& displaySettings() { return serviceSlot<DisplaySettingsService, NoDisplaySettings>().get(); }
DisplaySettingsService* installDisplaySettings(DisplaySettingsService* service)
{
    return serviceSlot<DisplaySettingsService, NoDisplaySettings>().install(service);
}

SoundSettingsService& soundSettings() { return serviceSlot<SoundSettingsService, NoSoundSettings>().get(); }
SoundSettingsService* installSoundSettings(SoundSettingsService* service)
{
    return serviceSlot<SoundSettingsService, NoSoundSettings>().install(service);
}

WindowSettingsService& windowSettings() { return serviceSlot<WindowSettingsService, NoWindowSettings>().get(); }
WindowSettingsService* installWindowSettings(WindowSettingsService* service)
{
    return serviceSlot<WindowSettingsService, NoWindowSettings>().install(service);
}

WorldSettingsService& worldSettings() { return serviceSlot<WorldSettingsService, NoWorldSettings>().get(); }
WorldSettingsService* installWorldSettings(WorldSettingsService* service)
{
    return serviceSlot<WorldSettingsService, NoWorldSettings>().install(service);
}

TranslationSettingsService& translationSettings()
{
    return serviceSlot<TranslationSettingsService, NoTranslationSettings>().get();
}
TranslationSettingsService* installTranslationSettings(TranslationSettingsService* service)
{
    return serviceSlot<TranslationSettingsService, NoTranslationSettings>().install(service);
}
