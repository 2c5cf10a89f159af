#include "data/settings_services.h"

DisplaySettingsService& displaySettings() { return service<DisplaySettingsService>(); }
DisplaySettingsService* installDisplaySettings(DisplaySettingsService* service)
{
    return installService<DisplaySettingsService>(service);
}

SoundSettingsService& soundSettings() { return service<SoundSettingsService>(); }
SoundSettingsService* installSoundSettings(SoundSettingsService* service)
{
    return installService<SoundSettingsService>(service);
}

WindowSettingsService& windowSettings() { return service<WindowSettingsService>(); }
WindowSettingsService* installWindowSettings(WindowSettingsService* service)
{
    return installService<WindowSettingsService>(service);
}

WorldSettingsService& worldSettingsService() { return service<WorldSettingsService>(); }
WorldSettingsService* installWorldSettings(WorldSettingsService* service)
{
    return installService<WorldSettingsService>(service);
}

TranslationSettingsService& translationSettings()
{
    return service<TranslationSettingsService>();
}
TranslationSettingsService* installTranslationSettings(TranslationSettingsService* service)
{
    return installService<TranslationSettingsService>(service);
}
