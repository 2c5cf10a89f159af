#include "app/service_defaults.h"

#include "data/client_services.h"
#include "data/settings_services.h"

void installServiceDefaults()
{
    // One line per service still waiting for its window or service, grouped
    // by the layer that declares the interface.

    // data/settings_services.h
    static NoSoundSettings soundSettingsDefault; // sound and music (effect channels, MIDI, streams)
    installSoundSettings(&soundSettingsDefault);
    static NoWindowSettings windowSettingsDefault; // help pop-ups, tooltips, item properties, party, edge windows
    installWindowSettings(&windowSettingsDefault);
    static NoWorldSettings worldSettingsDefault; // circle of transparency, multi design cache
    installWorldSettings(&worldSettingsDefault);
    static NoTranslationSettings translationSettingsDefault; // the translation-server client
    installTranslationSettings(&translationSettingsDefault);

    // data/client_services.h
    static NoGameState gameStateDefault; // player object, session (in the game) and world model
    installGameState(&gameStateDefault);
    static NoWindowNotices windowNoticesDefault; // system text, waiting box, ability icons, status and
                                                 // paperdoll, placement preview, skill groups and macros
    installWindowNotices(&windowNoticesDefault);
}
