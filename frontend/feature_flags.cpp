#include "frontend/feature_flags.h"

#include "data/data_files.h"
#include "data/server_features.h"
#include "platform/ascii_text.h"
#include "world/def_table_world.h"

#include <string_view>

namespace {

constexpr int32_t kOneSlotFlag = 4;
constexpr int32_t kSixSlotsFlag = 6;
constexpr uint32_t kSixSlotsFeature = 0x20;
constexpr uint32_t kAnimSetOneFeature = 0x08;
constexpr uint32_t kAnimSetTwoFeature = 0x10;

} // namespace

int32_t maxCharacterSlots()
{
    if (characterListFlag(kOneSlotFlag))
        return 1;
    if (characterListFlag(kSixSlotsFlag) && hasServerFeature(kSixSlotsFeature))
        return 6;
    return 5;
}

bool isAnimSetEnabled(int32_t set)
{
    switch (set) {
    case 1:
        return hasServerFeature(kAnimSetOneFeature) && isAnimationSetPresent(1);
    case 2:
        return hasServerFeature(kAnimSetTwoFeature) && isAnimationSetPresent(2);
    case 3:
    case 4:
        return true;
    default:
        return false;
    }
}

void installAnimSetRule() { defTableWorld().setAnimSetRule([](int set) { return isAnimSetEnabled(set); }); }

int32_t splashPictureFor(const std::string& languageCode, uint32_t serverFeatures)
{
    if (platform::equalIgnoringAsciiCase(std::string_view(languageCode).substr(0, 3), "jpn"))
        return 274;
    int32_t picture = 271;
    if (serverFeatures & 0x40)
        picture = 272;
    if (serverFeatures & 0x80)
        picture = 273;
    if (serverFeatures & 0x100)
        picture = 277;
    return picture;
}
