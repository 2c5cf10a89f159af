#pragma once
// The house designer: while the server has a house in design mode, the tool
// and piece the player chose, the floors and their view modes, the budgets,
// where a piece may go, and every edit sent to the server and applied at once
// to the client's own copy of the house (its component list and its cached
// design). It keeps the placement checker of the house up to date and the
// preview pieces that mark the empty cells of the upper floors. One designer
// for the process; main thread only.

#include "data/targeting.h"
#include "housing/component_catalogue.h"
#include "housing/house_placement_checker.h"
#include "housing/support_info_table.h"
#include "world/house_designer_view.h"
#include "world/multi_components.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class Item;
class PlayerMobile;

namespace housing {

class HousePiece;

enum DesignTool : int32_t {
    kNoDesign = -1,
    kPlacePieceTool = 0,
    kEraseTool = 1,
    kWallTool = 2,
    kStaircaseTool = 3,
    kFrontStairTool = 4,
    kPickTool = 5,
    kIdleTool = 6,
};

// Design feedback hues.
inline constexpr uint16_t kReplacedHue = 52;
inline constexpr uint16_t kRefusedHue = 38;
inline constexpr uint16_t kUnsupportedHue = 43;
// The ground floor tile put back on floor 1 where a floor piece is erased.
inline constexpr uint16_t kGroundFloorPiece = 12788;
inline constexpr uint16_t kFixedFirstPiece = 1;

struct HouseBounds {
    int32_t minX = 0;
    int32_t minY = 0;
    int32_t maxX = 0;
    int32_t maxY = 0;
};

// A piece drawn in a highlight hue (world position).
struct ComponentMark {
    uint16_t id = 0;
    uint16_t hue = 0;
    int16_t x = 0;
    int16_t y = 0;
    int16_t z = 0;
};

// What the designer asks of its window (the design window installs it).
class DesignWindowLink {
public:
    virtual ~DesignWindowLink() = default;
    virtual void open() { }
    // Destroying the window leaves design mode through exitDesign.
    virtual void close() { }
    virtual bool isOpen() { return false; }
    virtual void redraw() { }
    // The pick tool found a piece: the window shows its page and chooses it.
    virtual void showFoundComponent(int32_t /*id*/, const ComponentLocation&) { }
};

// The item tile data as the design code reads it.
class WorldPieceTiles final : public PieceTileData {
public:
    PieceTileAttributes attributes(uint16_t id) const override;
};

class HouseDesigner final : public HouseDesignerView {
public:
    static constexpr int32_t kUnknownZ = -999;
    static constexpr int32_t kMinHeightAdjust = -3;
    static constexpr int32_t kMaxHeightAdjust = 12;
    static constexpr int32_t kFloorViewModeCount = 7;

    HouseDesigner();
    ~HouseDesigner() override;

    void setWindowLink(DesignWindowLink* link) { m_window = link; }
    DesignWindowLink& window();

    // What the world asks.
    bool isDesigning() override { return m_houseSerial != 0 && m_tool != kNoDesign; }
    bool isPlayerInDesign() override;
    void playerMovedInDesign() override;
    bool isLoweredComponent(int32_t id) override;
    bool hidesObject(const StaticObject& object) override;
    int32_t currentTool() override { return m_tool; }
    int32_t currentFloor() override { return floorOfPlayer(); }
    int32_t floorLowZ(int32_t floor) override;
    bool acceptsCell(int32_t x, int32_t y) override { return canPlaceAt(x, y); }
    void pointerOverWorld(int32_t x, int32_t y) override { applyToolAtCursor(x, y, false); }
    // The mark's hue for a piece of the designed house, 43 for an unsupported
    // piece, else -1.
    int32_t componentHue(const StaticObject& object) override;

    // Floors and budgets.
    int32_t floorOfPlayer();
    void floorZRange(int32_t floor, int32_t& low, int32_t& high);
    int32_t floorCount();
    int32_t componentBudget();
    int32_t specialBudget() { return componentBudget() / 20; }
    int32_t designCostFigure() const { return m_componentCount * 500; }
    bool houseBounds(HouseBounds& out);
    bool canPlaceAt(int32_t x, int32_t y);

    // Design life.
    void beginCustomizing(uint32_t serial);
    void endCustomizing();
    void exitDesign();
    void setTool(int32_t tool);
    void selectFloor(int32_t floor);
    void adjustHeight(int32_t delta);
    int32_t heightStep() const { return (m_heightAdjust + 3) / 3 + 1; }
    void setHeightMode(bool on) { m_heightMode = on; }
    void cycleFloorView(int32_t floor);
    void refreshFloors();
    void clearFloorViewModes();
    void beginPlacement();
    void beginStairsPlacement();
    void beginEraseTool();
    void beginPickTool();
    void cancelPlacement();
    void backupDesign();
    void restoreDesign();
    void synchDesign();
    void clearDesign();
    void revertDesign();
    // Refused with the checker's message and "House not legal, not
    // committing!" while a floor is not legal.
    void commitDesign();

    // The hover of the chosen tool at a game-area point: the pieces a
    // placement would replace marked in hue 52 and the preview drawn in hue
    // 0 where the piece may go, 38 where not; the piece the erase tool would
    // remove marked in hue 38. Unless forced, nothing when the cell (or
    // object) is the one of the last hover.
    void applyToolAtCursor(int32_t x, int32_t y, bool force);
    // The design click: the object or cell the player chose with the active tool.
    void onDesignTarget(const std::optional<TargetChoice>& choice);
    // A new design of a house arrived (0xD8): the designed house refreshes.
    void designReceived(uint32_t serial);
    // A new revision was announced for the designed house (0xBF 0x1D).
    void designRevised();

    // One component change to the house, relative to its position; from the
    // server and from the designer's own predictions.
    void addComponent(uint32_t serial, DesignRecord record);
    void removeComponent(uint32_t serial, const DesignRecord& record);
    void recountComponents();
    bool countsChanged();
    void rebuildPreviewPieces();
    void hidePreviewPiecesAbovePlayer();

    // Catalogue and support tables. Read once at start-up for the process;
    // a new design reads the seven tables again, a new checker the support
    // table.
    void loadTables();
    // The tables as read.
    HouseComponentCatalogue& catalogue() { return m_catalogue; }
    SupportInfoTable& supportTable() { return m_support; }

    // State the window and tests read.
    int32_t tool() const { return m_tool; }
    int32_t currentComponent() const { return m_currentComponent; }
    void setCurrentComponent(int32_t id) { m_currentComponent = id; }
    uint32_t houseSerial() const { return m_houseSerial; }
    void setHouseSerial(uint32_t serial) { m_houseSerial = serial; }
    int32_t componentCount() const { return m_componentCount; }
    int32_t specialCount() const { return m_specialCount; }
    int32_t floorViewMode(int32_t floor) const;
    int32_t heightAdjust() const { return m_heightAdjust; }
    bool heightMode() const { return m_heightMode; }
    const std::vector<ComponentMark>& marks() const { return m_marks; }
    size_t previewPieceCount() const { return m_previewPieces.size(); }
    HousePlacementChecker* checker() { return m_checker.get(); }
    const PieceTileData& tiles() const { return m_tiles; }

private:
    Item* house();
    int32_t houseBaseZ();
    bool isFlat(uint16_t id) const { return !m_tiles.attributes(id).isTall(); }
    bool hasTileFlag(uint16_t id, uint32_t flag) const { return m_tiles.attributes(id).hasFlag(flag); }
    bool isRoof(uint16_t id) const { return hasTileFlag(id, kTileRoof); }
    bool isStairPiece(int32_t id) const;
    // The current floor window for a piece, roof and lowered shifts applied.
    bool inFloorWindow(uint16_t id, int32_t z, int32_t low, int32_t high) const;
    void startDesignTargeting();
    void clearMarks();
    // Marks (or re-hues) a piece of the house and redraws it.
    void setMark(StaticObject& piece, uint16_t hue);
    void placePiece(int32_t x, int32_t y);
    void placeStaircase(int32_t x, int32_t y);
    void erasePiece(const TargetChoice& choice);
    void pickPiece(const TargetChoice& choice);
    void removeStaircase(uint16_t id, int32_t x, int32_t y, int32_t z);
    // Removes the compatible pieces a new piece replaces, then adds it.
    void predictPlacement(uint16_t id, int32_t x, int32_t y, int32_t z, int32_t window);
    // The house's pieces as relative records (the fixed first record left out).
    std::vector<DesignRecord> houseRecords();
    void addPreviewPiece(int32_t x, int32_t y, int32_t z);
    void deletePreviewPiecesAt(int32_t x, int32_t y, int32_t z);
    void deletePreviewPieces();
    void rebuildChecker();
    void applyFloorView(int32_t floor, int32_t mode, bool all);
    void clearViewFlags();
    void resetDesignState();

    WorldPieceTiles m_tiles;
    HouseComponentCatalogue m_catalogue;
    SupportInfoTable m_support;
    std::unique_ptr<HousePlacementChecker> m_checker;
    DesignWindowLink* m_window = nullptr;

    int32_t m_tool = kNoDesign;
    int32_t m_currentComponent = -1;
    int32_t m_baseZ = kUnknownZ;
    std::array<int32_t, 4> m_floorViewModes {};
    uint32_t m_houseSerial = 0;
    std::vector<ComponentMark> m_marks;
    std::vector<HousePiece*> m_previewPieces;
    int32_t m_componentCount = 0;
    int32_t m_specialCount = 0;
    int32_t m_shownComponentCount = -1;
    int32_t m_shownSpecialCount = -1;
    int32_t m_heightAdjust = 0;
    bool m_heightMode = false;
    HouseBounds m_bounds;
    bool m_boundsCached = false;
    int32_t m_lastHoverX = -1;
    int32_t m_lastHoverY = -1;
    const void* m_lastHoverObject = nullptr;
};

HouseDesigner& houseDesigner();

// The rectangle of the house multi's own records (offsets from the house);
// false when the item has no component list or its multi has no records.
bool multiRecordExtent(const Item& house, HouseBounds& out);
// The multi's own records' rectangle plus the house position, the row in
// front of the house included; false when the item has no component list or
// its multi has no records.
bool computeHouseBounds(const Item& house, HouseBounds& out);
// The first item of the world that owns a component list whose bounds (as
// computeHouseBounds gives them) contain (x, y): that list's owner, or null.
Item* findHouseAtPoint(int32_t x, int32_t y);

} // namespace housing
