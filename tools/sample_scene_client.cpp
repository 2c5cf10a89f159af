// Runs the client on the sample data set with the player already in the
// world: the sample scene is put together through the world model, the
// world view is shown and the backpack and the paperdoll are open. For
// looking at the world view (and taking screenshots of it) before the server
// can bring a player in:
//   sample_scene_client -r <sample data directory>

#include "app/client_entry.h"
#include "app/client_scenario.h"
#include "app/main_window.h"
#include "fixtures/sample_scene.h"
#include "protocol/session_packets.h"

namespace {

class SampleScene final : public ClientScenario {
public:
    void started(ClientSession& session) override
    {
        enterGameWorld();
        fixture::placeSampleScene(session.mainWindow.gameWidth(), session.mainWindow.gameHeight());
        fixture::openSampleSceneWindows();
    }
};

} // namespace

int main(int argc, char** argv)
{
    SampleScene scene;
    installClientScenario(&scene);
    int code = clientMain(argc, argv);
    installClientScenario(nullptr);
    return code;
}
