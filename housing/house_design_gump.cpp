#include "housing/house_design_gump.h"

#include "data/server_features.h"
#include "gump/button.h"
#include "gump/gump_painters.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "gump/html_view.h"
#include "gump/toggle_control.h"
#include "text/cliloc_table.h"
#include "text/html_document.h"
#include "world/item.h"
#include "world/mobile.h"
#include "world/object_manager.h"

namespace housing {

namespace {

constexpr int32_t kGroundFloorTextId = 1062113;
constexpr int32_t kFrontRowTextId = 1062114;
constexpr int32_t kActionArt = 2445;
// The big floor buttons stand by the width and height of this art.
constexpr int32_t kFloorButtonArt = 22256;

GumpHandle& openDesignWindow()
{
    static GumpHandle window;
    return window;
}

struct ButtonPlace {
    int32_t x;
    int32_t y;
    int32_t up;
    int32_t down;
    int32_t tooltip;
    GumpCallback callback;
};

// The tool and category buttons on the left.
const std::array<ButtonPlace, 8> kToolButtons { {
    { 9, 41, 22100, 22102, 1061016, onParent<&HouseDesignGump::showWalls> },
    { 39, 40, 22103, 22105, 1061017, onParent<&HouseDesignGump::showDoors> },
    { 70, 40, 22106, 22108, 1061018, onParent<&HouseDesignGump::showFloors> },
    { 9, 72, 22109, 22111, 1061019, onParent<&HouseDesignGump::showStairs> },
    { 39, 72, 22408, 22410, 1063364, onParent<&HouseDesignGump::showRoofs> },
    { 69, 72, 22115, 22117, 1061021, onParent<&HouseDesignGump::showMisc> },
    { 39, 100, 22121, 22123, 1061023, onParent<&HouseDesignGump::pickTool> },
    { 69, 100, 22124, 22126, 1061024, onParent<&HouseDesignGump::showActions> },
} };

void backupDesign(CGump*) { houseDesigner().backupDesign(); }
void restoreDesign(CGump*) { houseDesigner().restoreDesign(); }
void synchDesign(CGump*) { houseDesigner().synchDesign(); }
void clearDesign(CGump*) { houseDesigner().clearDesign(); }
void commitDesign(CGump*) { houseDesigner().commitDesign(); }
void revertDesign(CGump*) { houseDesigner().revertDesign(); }

struct ActionPlace {
    int32_t x;
    int32_t y;
    const char16_t* label;
    int32_t tooltip;
    GumpCallback callback;
};

const std::array<ActionPlace, 6> kActionButtons { {
    { 150, 50, u"Backup", 1061041, backupDesign },
    { 150, 90, u"Restore", 1061043, restoreDesign },
    { 270, 50, u"Synch", 1061044, synchDesign },
    { 270, 90, u"Clear", 1061045, clearDesign },
    { 390, 50, u"Commit", 1061042, commitDesign },
    { 390, 90, u"Revert", 1061047, revertDesign },
} };

template <int32_t Floor>
void selectFloor(CGump* parent)
{
    houseDesigner().selectFloor(Floor);
    static_cast<HouseDesignGump*>(parent)->redraw();
}

template <int32_t Floor>
void cycleView(CGump* parent)
{
    houseDesigner().cycleFloorView(Floor);
    static_cast<HouseDesignGump*>(parent)->redraw();
}

constexpr std::array<GumpCallback, 4> kSelectFloor { selectFloor<1>, selectFloor<2>, selectFloor<3>, selectFloor<4> };
constexpr std::array<GumpCallback, 4> kCycleView { cycleView<1>, cycleView<2>, cycleView<3>, cycleView<4> };
// Floors 1 to 4.
constexpr std::array<int32_t, 4> kViewButtonY { 108, 86, 64, 42 };
constexpr std::array<int32_t, 4> kViewTooltips { 1061029, 1061030, 1061031, 1061032 };
constexpr std::array<int32_t, 4> kFloorTooltips { 1061033, 1061034, 1061035, 1061036 };
constexpr std::array<std::array<int32_t, 2>, 4> kSmallFloorPlaces { { { 583, 96 }, { 583, 73 }, { 582, 56 }, { 583, 42 } } };

Button* addButton(CGump& parent, int32_t x, int32_t y, int32_t up, int32_t down, int32_t tooltip, GumpCallback callback)
{
    auto* button = new Button(x, y, ButtonBehaviour::ClickOnRelease, 0, callback, up, down, false);
    button->setTooltipId(tooltip);
    gumpLink(button, &parent);
    return button;
}

ComponentKind kindOfPanel(int32_t panel)
{
    switch (panel) {
    case HouseDesignGump::kWallCategories:
    case HouseDesignGump::kWallStyles:
        return ComponentKind::Walls;
    case HouseDesignGump::kFloorPanel:
        return ComponentKind::Floors;
    case HouseDesignGump::kDoorPanel:
        return ComponentKind::Doors;
    case HouseDesignGump::kStairPanel:
        return ComponentKind::Stairs;
    case HouseDesignGump::kMiscCategories:
    case HouseDesignGump::kMiscStyles:
        return ComponentKind::Misc;
    case HouseDesignGump::kTeleporterPanel:
        return ComponentKind::Teleporters;
    default:
        return ComponentKind::Roofs;
    }
}

class GumpWindowLink final : public DesignWindowLink {
public:
    void open() override
    {
        auto* window = new HouseDesignGump(50, 50);
        gumpLink(window, nullptr);
    }
    void close() override { closeGump(houseDesignGump()); }
    bool isOpen() override { return houseDesignGump() != nullptr; }
    void redraw() override
    {
        if (HouseDesignGump* window = houseDesignGump())
            window->redraw();
    }
    void showFoundComponent(int32_t id, const ComponentLocation& location) override
    {
        if (HouseDesignGump* window = houseDesignGump())
            window->selectFoundComponent(id, location);
    }
};

} // namespace

HouseDesignGump* houseDesignGump() { return static_cast<HouseDesignGump*>(openDesignWindow().get()); }

DesignWindowLink& houseDesignWindowLink()
{
    static GumpWindowLink link;
    return link;
}

int32_t HouseDesignGump::pickerCellAt(int32_t x, int32_t y, bool sixteenPerPage)
{
    if (x < kPickerLeft || x >= kPickerRight || y < kPickerTop || y >= kPickerBottom)
        return -1;
    int32_t cell = (x - kPickerLeft) / kCellWidth;
    if (sixteenPerPage && y >= 96)
        cell += 8;
    return cell;
}

HouseDesignGump::HouseDesignGump(int32_t x, int32_t y)
    : CGump(x, y, nullptr, 1, kWidth, kHeight)
{
    setTypeName("normal gump");
    addKind(GumpKind::HouseDesign);
    HouseDesigner& designer = houseDesigner();
    gumpCloseWorldGumps();
    // A window still open leaves design mode as it goes; this one takes the
    // house on.
    uint32_t house = designer.houseSerial();
    closeGump(houseDesignGump());
    // The house the player stands in is the one designed.
    if (const PlayerMobile* self = player())
        if (Item* standing = findHouseAtPoint(self->x, self->y))
            house = standing->serial;
    designer.setHouseSerial(house);
    designer.setTool(kIdleTool);
    designer.setCurrentComponent(-1);
    designer.clearFloorViewModes();
    openDesignWindow() = GumpHandle(this);

    for (const ButtonPlace& place : kToolButtons)
        addButton(*this, place.x, place.y, place.up, place.down, place.tooltip, place.callback);
    m_eraseToggle = new ToggleControl(9, 100, 22118, 22120, 0, 0, "", false, 0, 0);
    m_eraseToggle->setTooltipId(1061022);
    gumpLink(m_eraseToggle, this);
    m_alternateToggle = new ToggleControl(229, 9, 22059, 22062, 0, 0, "", false, 0, 0);
    m_alternateToggle->setTooltipId(1061026);
    gumpLink(m_alternateToggle, this);
    m_back = addButton(*this, 175 - gumpArtSize(5538).width / 2, 5, 22050, 22052, 1061025,
        onParent<&HouseDesignGump::back>);
    m_lower = addButton(*this, 305, 0, 22411, 22413, 1063393, onParent<&HouseDesignGump::lowerRoof>);
    m_raise = addButton(*this, 349, 0, 22414, 22416, 1063392, onParent<&HouseDesignGump::raiseRoof>);
    addButton(*this, 460, 18, 22153, 22155, 1061037, onParent<&HouseDesignGump::openHelp>);
    m_previous = addButton(*this, 110, 63, 22053, 22055, 1061028, onParent<&HouseDesignGump::previousPage>);
    m_next = addButton(*this, 510, 63, 22056, 22058, 1061027, onParent<&HouseDesignGump::nextPage>);
    GumpArtSize floorArt = gumpArtSize(kFloorButtonArt);
    const std::array<int32_t, 4> floorY { 3 * floorArt.height + 52, 2 * floorArt.height + 52, floorArt.height + 52,
        50 };
    for (size_t floor = 0; floor < 4; ++floor) {
        m_viewButtons[floor]
            = addButton(*this, 533, kViewButtonY[floor], 0, 0, kViewTooltips[floor], kCycleView[floor]);
        m_floorButtons[floor] = addButton(
            *this, kWidth - floorArt.width - 6, floorY[floor], 0, 0, kFloorTooltips[floor], kSelectFloor[floor]);
        m_smallFloorButtons[floor] = addButton(*this, kSmallFloorPlaces[floor][0], kSmallFloorPlaces[floor][1], 0, 0,
            kFloorTooltips[floor], kSelectFloor[floor]);
    }
    for (size_t n = 0; n < kActionButtons.size(); ++n) {
        const ActionPlace& place = kActionButtons[n];
        auto* button = new LabelButton(
            place.x, place.y, ButtonBehaviour::ClickOnRelease, 0, place.callback, kActionArt, kActionArt, false);
        button->setText(WString(place.label));
        button->setTooltipId(place.tooltip);
        button->setVisible(false);
        gumpLink(button, this);
        m_actions[n] = button;
    }
    const std::array<int32_t, 2> textIds { kGroundFloorTextId, kFrontRowTextId };
    for (size_t n = 0; n < m_stairTexts.size(); ++n) {
        auto* view = new HtmlView(
            this, int32_t(n + 1), HtmlViewFlag::kReadOnly | HtmlViewFlag::kNoScrollBar | HtmlViewFlag::kNoFrame, false,
            true);
        view->setRect(137, n == 0 ? 51 : 111, 90, 50);
        WString text;
        getClilocString(text, textIds[n], 1);
        view->setText(text.c_str() ? text.c_str() : u"", 0);
        view->layout();
        view->setVisible(false);
        m_stairTexts[n] = view;
    }
    page(0)->allocate(kWidth, kHeight);
    m_panel = kActionPanel;
    designer.cancelPlacement();
    designer.setCurrentComponent(-1);
    redraw();
    designer.setHeightMode(false);
}

HouseDesignGump::~HouseDesignGump()
{
    HouseDesigner& designer = houseDesigner();
    // The house stays known until exitDesign has told the server.
    designer.setTool(kNoDesign);
    designer.exitDesign();
    deleteChildren();
}

int32_t& HouseDesignGump::pageIndex() { return m_pages[size_t(int32_t(kindOfPanel(m_panel)) - 1)]; }

int32_t HouseDesignGump::shownPage() const
{
    return m_panel == kActionPanel ? 0 : m_pages[size_t(int32_t(kindOfPanel(m_panel)) - 1)];
}

bool HouseDesignGump::sixteenPerPage() const
{
    return m_panel != kWallStyles && m_panel != kDoorPanel && m_panel != kMiscStyles;
}

bool HouseDesignGump::pageGranted() const
{
    return m_pageFeatureMask == 0 || hasServerFeature(uint32_t(m_pageFeatureMask));
}

void HouseDesignGump::fillCells()
{
    HouseComponentCatalogue& catalogue = houseDesigner().catalogue();
    m_cellIds.fill(0);
    m_cellTooltips.fill(0);
    m_pageFeatureMask = 0;
    if (m_panel == kActionPanel) {
        m_pageCount = 0;
        return;
    }
    bool alternate = m_alternateToggle->isChecked();
    int32_t page = pageIndex();
    ComponentKind kind = kindOfPanel(m_panel);
    switch (m_panel) {
    case kWallCategories:
    case kMiscCategories:
    case kRoofCategories:
        m_openCategory = -1;
        if (m_panel == kWallCategories)
            catalogue.fillWallCells(-1, page, alternate, m_cellIds, m_pageFeatureMask, m_cellTooltips.data());
        else if (m_panel == kMiscCategories)
            catalogue.fillMiscCells(-1, page, m_cellIds, m_pageFeatureMask, m_cellTooltips.data());
        else
            catalogue.fillRoofCells(-1, page, m_cellIds, m_pageFeatureMask, m_cellTooltips.data());
        m_pageCount = catalogue.categoryPageCount(kind, -1);
        break;
    case kWallStyles:
        catalogue.fillWallCells(m_openCategory, page, alternate, m_cellIds, m_pageFeatureMask);
        m_pageCount = catalogue.categoryPageCount(kind, m_openCategory);
        break;
    case kMiscStyles:
        catalogue.fillMiscCells(m_openCategory, page, m_cellIds, m_pageFeatureMask);
        m_pageCount = catalogue.categoryPageCount(kind, m_openCategory);
        break;
    case kRoofStyles:
        catalogue.fillRoofCells(m_openCategory, page, m_cellIds, m_pageFeatureMask, m_cellTooltips.data());
        m_pageCount = catalogue.categoryPageCount(kind, m_openCategory);
        break;
    case kStairPanel:
        catalogue.fillStairCells(page, m_cellIds, m_pageFeatureMask);
        m_pageCount = catalogue.pageCount(kind);
        break;
    default:
        catalogue.fillPlainCells(kind, page, m_cellIds, m_pageFeatureMask);
        m_pageCount = catalogue.pageCount(kind);
        break;
    }
}

void HouseDesignGump::redraw()
{
    fillCells();
    updateFaces();
    paint();
}

void HouseDesignGump::showPanel(int32_t panel)
{
    if (panel == kWallCategories || panel == kMiscCategories || panel == kRoofCategories) {
        m_panel = panel;
        pageIndex() = 0;
    }
    m_cellIds.fill(0);
    m_cellTooltips.fill(0);
    m_pageCount = 0;
    m_panel = panel;
    HouseDesigner& designer = houseDesigner();
    designer.cancelPlacement();
    designer.setCurrentComponent(-1);
    redraw();
    if (panel != kActionPanel)
        for (Button* action : m_actions)
            action->setVisible(false);
    designer.setHeightMode(panel == kRoofStyles);
    setEraseToggle(false);
}

void HouseDesignGump::showActions()
{
    showPanel(kActionPanel);
    for (Button* action : m_actions)
        action->setVisible(true);
}

void HouseDesignGump::pickTool()
{
    setEraseToggle(false);
    houseDesigner().setTool(kPickTool);
    houseDesigner().beginPickTool();
}

void HouseDesignGump::back()
{
    int32_t to = m_panel == kWallStyles ? kWallCategories : m_panel == kMiscStyles ? kMiscCategories : kRoofCategories;
    showPanel(to);
}

void HouseDesignGump::lowerRoof() { houseDesigner().adjustHeight(-3); }
void HouseDesignGump::raiseRoof() { houseDesigner().adjustHeight(3); }
void HouseDesignGump::openHelp() { service<HtmlHelpLinks>().openHelpTopic(kHelpTopic, true); }

void HouseDesignGump::previousPage()
{
    if (m_pageCount <= 1)
        return;
    int32_t& page = pageIndex();
    page = page <= 0 ? m_pageCount - 1 : page - 1;
    redraw();
}

void HouseDesignGump::nextPage()
{
    if (m_pageCount <= 1)
        return;
    int32_t& page = pageIndex();
    page = page + 1 >= m_pageCount ? 0 : page + 1;
    redraw();
}

void HouseDesignGump::setEraseToggle(bool on)
{
    if (m_eraseToggle->isChecked() == on)
        return;
    m_eraseToggle->setChecked(on);
    m_eraseToggle->redraw();
}

void HouseDesignGump::choosePiece(int32_t id, int32_t tool)
{
    HouseDesigner& designer = houseDesigner();
    designer.setCurrentComponent(id);
    designer.setTool(tool);
    if (tool == kStaircaseTool)
        designer.beginStairsPlacement();
    else
        designer.beginPlacement();
    setEraseToggle(false);
}

void HouseDesignGump::clickPicker(int32_t x, int32_t y)
{
    int32_t cell = pickerCellAt(x, y, sixteenPerPage());
    if (cell < 0 || m_cellIds[size_t(cell)] == 0)
        return;
    int32_t id = m_cellIds[size_t(cell)];
    switch (m_panel) {
    case kWallCategories:
    case kMiscCategories:
    case kRoofCategories: {
        int32_t category = cell + 16 * pageIndex();
        if (houseDesigner().catalogue().categoryPageCount(kindOfPanel(m_panel), category) <= 0)
            return;
        int32_t styles = m_panel == kWallCategories ? kWallStyles : m_panel == kMiscCategories ? kMiscStyles : kRoofStyles;
        showPanel(styles);
        m_openCategory = category;
        pageIndex() = 0;
        redraw();
        return;
    }
    case kStairPanel:
        if (cell >= 8)
            choosePiece(id, kFrontStairTool);
        else
            choosePiece(houseDesigner().catalogue().stairMultiInCell(cell, pageIndex()), kStaircaseTool);
        return;
    case kActionPanel:
        return;
    default:
        if (pageGranted())
            choosePiece(id, m_panel == kWallStyles ? kWallTool : kPlacePieceTool);
        return;
    }
}

void HouseDesignGump::selectFoundComponent(int32_t id, const ComponentLocation& location)
{
    int32_t panel = kFloorPanel;
    bool withCategory = false;
    switch (location.kind) {
    case ComponentKind::Walls:
        panel = kWallStyles;
        withCategory = true;
        m_alternateToggle->setChecked(location.alternate);
        m_alternateToggle->redraw();
        break;
    case ComponentKind::Floors:
        panel = kFloorPanel;
        break;
    case ComponentKind::Doors:
        panel = kDoorPanel;
        break;
    case ComponentKind::Stairs:
        panel = kStairPanel;
        break;
    case ComponentKind::Misc:
        panel = kMiscStyles;
        withCategory = true;
        break;
    case ComponentKind::Teleporters:
        panel = kTeleporterPanel;
        break;
    case ComponentKind::Roofs:
        panel = kRoofStyles;
        withCategory = true;
        break;
    }
    showPanel(panel);
    if (withCategory)
        m_openCategory = location.category;
    pageIndex() = location.page;
    redraw();
    if (location.kind == ComponentKind::Stairs) {
        houseDesigner().cancelPlacement();
        return;
    }
    if (pageGranted())
        choosePiece(id, location.kind == ComponentKind::Walls ? kWallTool : kPlacePieceTool);
}

void HouseDesignGump::cancelTool()
{
    HouseDesigner& designer = houseDesigner();
    designer.setCurrentComponent(-1);
    designer.setTool(kIdleTool);
    designer.cancelPlacement();
    setEraseToggle(false);
}

void HouseDesignGump::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    if (houseDesigner().countsChanged())
        redraw();
    CGump::draw(canvas);
}

void HouseDesignGump::onLeftDown(int32_t x, int32_t y)
{
    GumpHandle self(this);
    bringToFront(false);
    if (!self)
        return;
    m_dragging = true;
    setDragAnchor(x, y);
    clickPicker(x, y);
}

void HouseDesignGump::onLeftUp(int32_t, int32_t)
{
    m_dragging = false;
    service<GumpPointer>().clearPointerCaptureIf(this);
}

void HouseDesignGump::onRightUp(int32_t, int32_t)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    closeGump(this);
}

void HouseDesignGump::onDrag(int32_t x, int32_t y)
{
    if (m_dragging)
        moveBy(x - dragAnchorX(), y - dragAnchorY(), true, nullptr, true);
}

void HouseDesignGump::onControlChanged(CGump* control)
{
    HouseDesigner& designer = houseDesigner();
    if (control == m_eraseToggle) {
        if (m_eraseToggle->isChecked()) {
            designer.setTool(kEraseTool);
            designer.beginEraseTool();
        } else {
            designer.setTool(kIdleTool);
            designer.cancelPlacement();
        }
    }
    redraw();
}

WString HouseDesignGump::getTooltipText(int32_t x, int32_t y)
{
    auto cliloc = [](int32_t id) {
        WString text;
        getClilocString(text, id, 1);
        return text;
    };
    if (x >= 38 && x <= 122 && y >= 115 && y <= 152) {
        HouseDesigner& designer = houseDesigner();
        WString text = cliloc(1061039);
        std::u16string arguments = WString(std::to_string(designer.componentBudget()).c_str()).c_str();
        arguments += u'\t';
        arguments += WString(std::to_string(designer.specialBudget()).c_str()).c_str();
        formatClilocString(text, arguments.c_str(), 1061039, false, false);
        return text;
    }
    if (x >= 522 && x <= 606 && y >= 115 && y <= 152)
        return cliloc(1061038);
    if (x >= 400 && x <= 424 && y >= 12 && y <= 36)
        return cliloc(1070759);
    if (x > 131 && x < kPickerRight && y > 35 && y < kPickerBottom) {
        int32_t cell = pickerCellAt(std::max(x, kPickerLeft), std::max(y, kPickerTop), sixteenPerPage());
        if (cell < 0 || m_cellIds[size_t(cell)] == 0)
            return WString();
        if (!pageGranted())
            return cliloc(1062930);
        if (m_cellTooltips[size_t(cell)] != 0)
            return cliloc(m_cellTooltips[size_t(cell)]);
    }
    return WString();
}

} // namespace housing
