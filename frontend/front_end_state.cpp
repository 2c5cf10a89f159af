#include "frontend/front_end_state.h"

#include "gump/gump_manager.h"
#include "gump/waiting_gump.h"

FrontEndRecords& frontEnd()
{
    static FrontEndRecords records;
    return records;
}

void resetFrontEnd() { frontEnd() = FrontEndRecords {}; }

WaitingGump* currentWaiting() { return rememberedWindow<WaitingGump>(frontEnd().waiting); }

void deleteCurrentWaiting()
{
    CGump* box = frontEnd().waiting.get();
    frontEnd().waiting = GumpHandle();
    closeGump(box);
}

WaitingGump* makeCurrentWaiting(const std::string& text, CGump* covered, bool busy, bool large, bool hideButton)
{
    WaitingGump::Options options;
    options.covered = covered;
    options.busy = busy;
    options.large = large;
    auto* box = new WaitingGump(text, options);
    if (hideButton && box->firstChild())
        box->firstChild()->setVisible(false);
    gumpLink(box, nullptr);
    frontEnd().waiting = GumpHandle(box);
    return box;
}

WaitingGump* showMessage(const std::u16string& text, CGump* covered, bool returnToMenu)
{
    return gumpShowWaiting(text, covered, true, returnToMenu, false);
}

WaitingGump* showMessage(const std::string& text, CGump* covered, bool returnToMenu)
{
    return gumpShowWaiting(text, covered, true, returnToMenu, false);
}
