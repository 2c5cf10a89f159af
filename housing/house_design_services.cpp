#include "housing/house_design_services.h"

#include "housing/house_design_gump.h"
#include "housing/house_design_packets.h"
#include "housing/house_designer.h"
#include "protocol/world_packet_windows.h"
#include "world/world_services.h"

namespace housing {

namespace {

// The house packets of 0xBF (revisions, edits, design mode) as the designer
// takes them.
class DesignerPacketWindows final : public HouseDesignWindows {
public:
    uint32_t designedHouse() override { return houseDesigner().houseSerial(); }
    void designRevised() override { houseDesigner().designRevised(); }
    // The offsets travel as 16-bit words; they are signed.
    void addComponent(uint32_t house, uint16_t graphic, int32_t x, int32_t y, int32_t z) override
    {
        houseDesigner().addComponent(house, { graphic, 0, int16_t(x), int16_t(y), int16_t(z) });
    }
    void removeComponent(uint32_t house, uint16_t graphic, int32_t x, int32_t y, int32_t z) override
    {
        houseDesigner().removeComponent(house, { graphic, 0, int16_t(x), int16_t(y), int16_t(z) });
    }
    void beginCustomizing(uint32_t house) override { houseDesigner().beginCustomizing(house); }
    void endCustomizing(uint32_t) override { houseDesigner().endCustomizing(); }
};

struct Installed {
    DesignerPacketWindows windows;
    HouseDesignWindows* previousWindows = nullptr;
    HouseDesignerView* previousView = nullptr;
    bool installed = false;
};

Installed& installed()
{
    static Installed state;
    return state;
}

} // namespace

void installHouseDesignServices()
{
    Installed& state = installed();
    if (state.installed)
        return;
    state.previousWindows = installService<HouseDesignWindows>(&state.windows);
    state.previousView = installWorldService<HouseDesignerView>(&houseDesigner());
    houseDesigner().setWindowLink(&houseDesignWindowLink());
    houseDesigner().loadTables();
    registerHouseDesignHandler();
    state.installed = true;
}

void uninstallHouseDesignServices()
{
    Installed& state = installed();
    if (!state.installed)
        return;
    houseDesigner().setWindowLink(nullptr);
    installService<HouseDesignWindows>(state.previousWindows);
    installWorldService<HouseDesignerView>(state.previousView);
    state.installed = false;
}

void cancelHouseDesignTool()
{
    if (HouseDesignGump* window = houseDesignGump())
        window->cancelTool();
}

} // namespace housing
