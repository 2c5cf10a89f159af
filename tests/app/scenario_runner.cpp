#include "app/scenario_runner.h"

#include "app/client_entry.h"
#include "platform/clock.h"
#include "platform/headless/headless_display.h"

#include <cstdio>
#include <unistd.h>

void runScenarioAndExit(const std::string& directory, ClientScenario& scenario)
{
    platform::FakeClock clock(5000);
    platform::ScopedClock scopedClock(clock);
    installClientScenario(&scenario);
    std::string program = "vardun";
    std::string option = "-r";
    std::string path = directory;
    char* argv[] = { program.data(), option.data(), path.data(), nullptr };
    int code = clientMain(3, argv);
    installClientScenario(nullptr);
    std::fflush(nullptr);
    _exit(code);
}

std::vector<uint16_t> shownPicture(ClientSession& session, int32_t& width, int32_t& height)
{
    auto& display = static_cast<platform::HeadlessDisplay&>(session.display);
    width = display.frameWidth();
    height = display.frameHeight();
    std::vector<uint16_t> picture(size_t(width) * size_t(height));
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            picture[size_t(y) * size_t(width) + size_t(x)] = uint16_t(display.pixel(x, y));
    return picture;
}
