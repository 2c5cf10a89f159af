#pragma once
// Opening the windows that belong to world objects, and a few singletons, by
// a numeric gump kind, reusing an open window where one already shows the
// object; finding the window that shows an object; the container tables
// (item graphic to gump art, gump art to the area items lie in); and the grid
// of cells minimised gumps are arranged in. The windows themselves come from
// the FactoryWindows service. Main thread only.

#include "gfx/screen_rect.h"

#include <cstdint>

class CGump;
class WorldObject;

namespace gump_kind {
// For containers the kind is the gump art of the container's face.
inline constexpr int32_t kTextWindow = 7;
inline constexpr int32_t kStatusBar = 8;
inline constexpr int32_t kPaperdoll = 10;
inline constexpr int32_t kShop = 48;
inline constexpr int32_t kStackChooser = 49;
inline constexpr int32_t kOptions = 5000;
// The radar's two faces: the small one the map button opens, and the large.
inline constexpr int32_t kRadarSmall = 5010;
inline constexpr int32_t kRadarLarge = 5011;
inline constexpr int32_t kAbilityBook = 11010;
} // namespace gump_kind

// Opens (or finds, raises and restores) the window of `kind` for `owner`,
// linked under `parent` (the desktop when null). Null when the window cannot
// be made: a required owner is missing, its art is missing, its window does
// not exist yet, or the kind is unknown and not a container.
CGump* gumpOpenByKind(WorldObject* owner, int32_t kind, CGump* parent, bool containerFlag, bool extra);

// The gump of the list starting at `first` (and, depth first, its children)
// that shows `object` as asked; null when none does.
CGump* gumpFindForObject(WorldObject* object, bool wantPaperdoll, bool wantShop, CGump* first, bool wantStatus);
// The paperdoll showing the mobile that holds `item`, or the container window
// showing the container that holds it.
CGump* gumpFindPaperdollOrContainer(WorldObject* item);

// The container gump art for an item graphic (9 for an unlisted one).
int32_t containerGumpForGraphic(uint16_t graphic);
// The rectangle {left, top, right, bottom} inside a container's gump art where
// its items lie ({0, 0, 200, 200} for an unlisted art).
ScreenRect containerItemArea(int32_t gumpArt);

// Minimise grid: cells of 96 x 64 pixels from (16, 16), filled column by
// column. False (outputs unchanged) when every cell is taken.
bool minimiseGridTakeCell(int32_t& x, int32_t& y);
void minimiseGridFreeCell(int32_t x, int32_t y);
// The status bar's minimise: its third page is cleared first.
void minimizeClearingPage(CGump* gump, int32_t page);
