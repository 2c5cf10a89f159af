// The start-up files the client can run without, loaded as start-up loads
// them from a client directory that lacks them or holds them empty: each is
// passed over with a line on standard error that names it, and start-up goes
// on.
#include "gfx/colour_tables.h"
#include "gfx/hue_table.h"
#include "text/cliloc_table.h"
#include "text/unicode_font.h"
#include "world/anim_data.h"
#include "world/tile_data.h"

#include "fixtures/client_directory.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

struct OptionalFileCase {
    const char* name;
    const char* file;
    std::function<void()> load;
};

// Each is read whole; the Unicode fonts are mapped instead, and an empty file,
// which cannot be mapped, has the mapping's own error box.
const OptionalFileCase kReadFiles[] = {
    { "Hues", "hues.mul", [] { loadHues(); } },
    { "TileData", "tiledata.mul", [] { loadTileData(); } },
    { "AnimationData", "animdata.mul", [] { loadAnimData(); } },
    { "Palette", "palette.mul", [] { loadPalette(); } },
    { "Cliloc", "cliloc.enu", [] { ClilocTable().loadFile("cliloc.enu"); } },
};
const OptionalFileCase kUnicodeFont { "UnicodeFont", "unifont.mul", [] {
                                         loadUnicodeFonts();
                                         unloadUnicodeFonts();
                                     } };

std::string passedOverLine(const OptionalFileCase& file, const char* why)
{
    fixture::ClientDirectory client;
    if (std::string(why) == "empty")
        client.write(file.file, "");
    testing::internal::CaptureStderr();
    file.load();
    return testing::internal::GetCapturedStderr();
}

class MissingStartupFile : public testing::TestWithParam<OptionalFileCase> { };
class EmptyStartupFile : public testing::TestWithParam<OptionalFileCase> { };

TEST_P(MissingStartupFile, IsPassedOverWithALine)
{
    const std::string said = passedOverLine(GetParam(), "missing");
    EXPECT_NE(said.find(std::string("going on without ") + GetParam().file + " (missing)"), std::string::npos) << said;
}

TEST_P(EmptyStartupFile, IsPassedOverWithALine)
{
    const std::string said = passedOverLine(GetParam(), "empty");
    EXPECT_NE(said.find(std::string("going on without ") + GetParam().file + " (empty)"), std::string::npos) << said;
}

std::string caseName(const testing::TestParamInfo<OptionalFileCase>& param) { return param.param.name; }

INSTANTIATE_TEST_SUITE_P(Files, MissingStartupFile,
    testing::Values(kReadFiles[0], kReadFiles[1], kReadFiles[2], kReadFiles[3], kReadFiles[4], kUnicodeFont), caseName);
INSTANTIATE_TEST_SUITE_P(Files, EmptyStartupFile, testing::ValuesIn(kReadFiles), caseName);

} // namespace
