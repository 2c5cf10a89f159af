#pragma once
// What the mobile drawing asks of the parts of the program built above the
// world: the highlight sources of the session and the windows, the rules of
// the worn layers kept with the paperdoll, and the effects attached to a
// mobile. Each base class does nothing (no highlight, nothing covered, no
// effect), which is what runs until the real one is installed through
// installWorldService (world_services.h). Main thread only.

#include "gfx/blit_target.h"
#include "gfx/screen_rect.h"

#include <cstdint>

class ArtImage;
class Mobile;

// Mobiles drawn in a highlight hue.
class MobileHighlights {
public:
    virtual ~MobileHighlights() = default;
    // A target cursor is up.
    virtual bool isTargetCursorUp() { return false; }
    // The combatant the server announced; 0 for none.
    virtual uint32_t combatantSerial() { return 0; }
    // Marked by the server for this session.
    virtual bool isMarkedSerial(uint32_t) { return false; }
    // The customer of the call shown in the GM tools; 0 for none.
    virtual uint32_t gmCustomerSerial() { return 0; }
};

// The rules of worn equipment that the paperdoll shares with the world.
class EquipmentRules {
public:
    virtual ~EquipmentRules() = default;
    // The item worn in `layer` is covered by another worn item: not drawn, not hit.
    virtual bool isEquipmentLayerHidden(int32_t, const Mobile&) { return false; }
    // The character list's flag (0x20) that lets a layer-13 item of some
    // kinds be drawn right after the mount, under the other equipment.
    virtual bool allowsAlternateLayerOrder() { return false; }
};

// Graphical effects fixed on a mobile, first attached first.
class AttachedEffects {
public:
    virtual ~AttachedEffects() = default;
    // The current art of effect `index`; null past the last one.
    virtual const ArtImage* effectImage(const Mobile&, int32_t) { return nullptr; }
    // Draws effect `index` into `rect` (game-area pixels), inside `clip`.
    virtual void drawEffect(const Mobile&, int32_t, const ScreenRect&, const BlitTarget&, const ScreenRect&) { }
};
