// The trade windows' services in front of those installed before them:
// every world notice about containers and objects still reaches the views
// behind (the container windows redraw when their contents arrive).

#include "windows/windows_test_support.h"

#include "fixtures/sample_window_art.h"
#include "windows/trade_window_services.h"
#include "world/container_item.h"
#include "world/world_services.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class RecordingContainerViews final : public ContainerViews {
public:
    void itemEntered(ContainerItem&, Item&) override { calls.push_back("entered"); }
    void itemLeft(Item&, Item&) override { calls.push_back("left"); }
    void containerDestroyed(ContainerItem&) override { calls.push_back("destroyed"); }
    void contentsArrived(ContainerItem&) override { calls.push_back("arrived"); }
    std::vector<std::string> calls;
};

class TradeServices : public windows_test::WindowDesktop { };

TEST_F(TradeServices, PassEveryContainerNoticeOnToTheViewsBehind)
{
    RecordingContainerViews behind;
    ContainerViews* before = installWorldService<ContainerViews>(&behind);
    {
        TradeWindowServices inFront;
        ContainerItem* pack = playerBackpack();
        Item* coin = addToContainer(0x40000777, fixture::kSampleCoinGraphic, 10, 10, pack->serial, 3);
        ASSERT_NE(coin, nullptr);
        behind.calls.clear();
        ContainerViews& views = worldService<ContainerViews>();
        ASSERT_NE(&views, &behind) << "the trade windows' views are in front";
        views.itemEntered(*pack, *coin);
        views.itemLeft(*pack, *coin);
        views.contentsArrived(*pack);
        views.containerDestroyed(*pack);
    }
    EXPECT_EQ(behind.calls, (std::vector<std::string> { "entered", "left", "arrived", "destroyed" }));
    EXPECT_EQ(&worldService<ContainerViews>(), &behind) << "put back when the services go";
    installWorldService<ContainerViews>(before);
}

} // namespace
