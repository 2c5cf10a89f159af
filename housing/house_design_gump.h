#pragma once
// The house design window: a 640 x 172 strip with the picker of component
// pictures in its middle, tool and category buttons on its left, floor and
// per-floor view buttons on its right, page arrows, the roof height
// adjuster, the counters, and the six design actions. At most one is open;
// the designer opens it when the server starts design mode, and destroying
// it (a right click, or the server ending design mode) leaves design mode
// and tells the server. The gump manager owns it. Main thread only.

#include "gump/gump.h"
#include "housing/component_catalogue.h"
#include "housing/house_designer.h"

#include <array>
#include <cstdint>

class Button;
class HtmlView;
class ToggleControl;

namespace housing {

class HouseDesignGump final : public CGump {
public:
    static constexpr int32_t kWidth = 640;
    static constexpr int32_t kHeight = 172;
    // The picker: 8 cells of 47 pixels a row, rows at y 36 and 97.
    static constexpr int32_t kPickerLeft = 132;
    static constexpr int32_t kPickerRight = 508;
    static constexpr int32_t kPickerTop = 36;
    static constexpr int32_t kPickerBottom = 156;
    static constexpr int32_t kCellWidth = 47;
    static constexpr int32_t kHelpTopic = 143;

    enum Panel : int32_t {
        kActionPanel = -1,
        kWallCategories = 0,
        kWallStyles = 1,
        kFloorPanel = 2,
        kDoorPanel = 3,
        kStairPanel = 4,
        kMiscCategories = 5,
        kMiscStyles = 6,
        kTeleporterPanel = 7,
        kRoofStyles = 8,
        kRoofCategories = 9,
    };

    HouseDesignGump(int32_t x, int32_t y);
    ~HouseDesignGump() override;

    // The picker cell under a point of the window, -1 outside the picker.
    static int32_t pickerCellAt(int32_t x, int32_t y, bool sixteenPerPage);

    void redraw();
    void showPanel(int32_t panel);
    // The pick tool's find: its table, category and page shown, the piece chosen.
    void selectFoundComponent(int32_t id, const ComponentLocation& location);
    // Escape while designing: nothing chosen, the erase toggle off.
    void cancelTool();
    void clickPicker(int32_t x, int32_t y);

    int32_t panel() const { return m_panel; }
    int32_t openCategory() const { return m_openCategory; }
    const std::array<int32_t, 16>& cellIds() const { return m_cellIds; }
    int32_t pageFeatureMask() const { return m_pageFeatureMask; }
    int32_t pageCount() const { return m_pageCount; }
    int32_t shownPage() const;
    bool sixteenPerPage() const;
    bool pageGranted() const;
    ToggleControl* eraseToggle() const { return m_eraseToggle; }
    ToggleControl* alternateToggle() const { return m_alternateToggle; }
    Button* actionButton(int32_t index) const { return m_actions[size_t(index)]; }
    Button* backButton() const { return m_back; }
    Button* floorButton(int32_t floor) const { return m_floorButtons[size_t(floor - 1)]; }
    Button* viewButton(int32_t floor) const { return m_viewButtons[size_t(floor - 1)]; }

    // Command handlers the buttons run.
    void showWalls() { showPanel(kWallCategories); }
    void showDoors() { showPanel(kDoorPanel); }
    void showFloors() { showPanel(kFloorPanel); }
    void showStairs() { showPanel(kStairPanel); }
    void showRoofs() { showPanel(kRoofCategories); }
    void showMisc() { showPanel(kMiscCategories); }
    void showActions();
    void pickTool();
    void back();
    void lowerRoof();
    void raiseRoof();
    void openHelp();
    void previousPage();
    void nextPage();

    void draw(GumpCanvas& canvas) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onControlChanged(CGump* control) override;
    WString getTooltipText(int32_t x, int32_t y) override;
    bool isClosableByCloseAll() override { return false; }

private:
    int32_t& pageIndex();
    void fillCells();
    void updateFaces();
    void paint();
    void drawPictures(GumpPage& face);
    void setEraseToggle(bool on);
    void choosePiece(int32_t id, int32_t tool);

    int32_t m_panel = kActionPanel;
    int32_t m_openCategory = -1;
    std::array<int32_t, 16> m_cellIds {};
    std::array<int32_t, 16> m_cellTooltips {};
    int32_t m_pageFeatureMask = 0;
    int32_t m_pageCount = 0;
    // Page indexes of the walls, floors, doors, stairs, decorative pieces,
    // teleporters and roofs.
    std::array<int32_t, 7> m_pages {};
    bool m_dragging = false;

    ToggleControl* m_eraseToggle = nullptr;
    ToggleControl* m_alternateToggle = nullptr;
    Button* m_back = nullptr;
    Button* m_lower = nullptr;
    Button* m_raise = nullptr;
    Button* m_previous = nullptr;
    Button* m_next = nullptr;
    std::array<Button*, 6> m_actions {};
    std::array<Button*, 4> m_viewButtons {};
    std::array<Button*, 4> m_floorButtons {};
    std::array<Button*, 4> m_smallFloorButtons {};
    std::array<HtmlView*, 2> m_stairTexts {};
};

// The open design window, or null.
HouseDesignGump* houseDesignGump();
// What the designer asks of the window: opening it at (50, 50), closing,
// redrawing and showing a picked piece.
DesignWindowLink& houseDesignWindowLink();

} // namespace housing
