#include "app/service_defaults.h"

#include "app/gump_desktop.h"
#include "gump/gump_services.h"

void installServiceDefaults()
{
    // One line per service still waiting for its window or service, grouped
    // by the layer that declares the interface.

    // gump/: what the gump framework asks of windows and subsystems to come.
    installServiceDefault<GameSession>(); // the in-world flag and the server's features (sessions, front end)
    installServiceDefault<SpeechLine>(); // the speech entry line
    installServiceDefault<GumpWorld>(); // the world objects gumps show
    installServiceDefault<WorldEffects>(); // the graphical effects stepped per frame
    installServiceDefault<MenubarWindow>(); // the menubar
    installServiceDefault<TooltipWindow>(); // the hover tooltip
    installServiceDefault<NamePlates>(); // the name plates of the all-names overlay
    installServiceDefault<ItemProperties>(); // the item-property window and property lists
    installServiceDefault<SkillGroups>(); // the skill window's groups
    installServiceDefault<FactoryWindows>(); // the windows opened by kind: text, status, paperdoll, shop,
                                              // amount, options, radar, ability book, container
    installServiceDefault<FrontEnd>(); // the front end's waiting box record and the logout

    // app/: what the pointer asks of the world and of popups to come.
    installServiceDefault<PointerWorld>(); // the help-text and context popups, the world under the pointer
}
