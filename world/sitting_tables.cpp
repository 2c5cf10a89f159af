// The chairs a human sits on: the facings each allows, how far the seated
// figure moves down, and how much of the chair is drawn again over it.

#include "world/sitting_mobiles.h"

namespace {

constexpr uint8_t kFacing0 = 0x1;
constexpr uint8_t kFacing2 = 0x2;
constexpr uint8_t kFacing4 = 0x4;
constexpr uint8_t kFacing6 = 0x8;

constexpr std::array<ChairEntry, 95> kChairs { {
    { 2862, kFacing4, 6, 6, 0 },
    { 2961, kFacing4, 6, 6, 0 },
    { 2962, kFacing4, 6, 6, 0 },
    { 2863, kFacing2, 6, 6, 0 },
    { 2963, kFacing2, 6, 6, 0 },
    { 2964, kFacing2, 6, 6, 0 },
    { 2894, kFacing2, 0, 0, 0 },
    { 2898, kFacing2, 0, 0, 0 },
    { 2867, kFacing2, 0, 0, 0 },
    { 5415, kFacing2, 0, 0, 0 },
    { 10841, kFacing2, 0, 0, 0 },
    { 10879, kFacing2, 0, 0, 0 },
    { 10880, kFacing2, 0, 0, 0 },
    { 2895, kFacing4, 0, 0, 0 },
    { 2899, kFacing4, 0, 0, 0 },
    { 2866, kFacing4, 0, 0, 0 },
    { 10840, kFacing4, 0, 0, 0 },
    { 10842, kFacing4, 0, 0, 0 },
    { 2902, kFacing2, 4, 4, 0 },
    { 4633, kFacing2, 4, 4, 0 },
    { 11747, kFacing2, 4, 4, 0 },
    { 11757, kFacing2, 4, 4, 0 },
    { 11765, kFacing2, 4, 4, 0 },
    { 2903, kFacing4, 4, 4, 0 },
    { 4632, kFacing4, 4, 4, 0 },
    { 11748, kFacing4, 4, 4, 0 },
    { 11756, kFacing4, 4, 4, 0 },
    { 11766, kFacing4, 4, 4, 0 },
    { 2906, kFacing2, 8, 8, 0 },
    { 2907, kFacing4, 8, 8, 0 },
    { 11743, kFacing0 | kFacing4, 2, 2, 0 },
    { 1113, kFacing0 | kFacing4, 2, 2, 0 },
    { 1115, kFacing0 | kFacing4, 2, 2, 0 },
    { 2861, kFacing0 | kFacing4, 2, 2, 0 },
    { 15871, kFacing0 | kFacing4, 2, 2, 0 },
    { 11744, kFacing2 | kFacing6, 2, 2, 0 },
    { 1114, kFacing2 | kFacing6, 2, 2, 0 },
    { 1116, kFacing2 | kFacing6, 2, 2, 0 },
    { 2860, kFacing2 | kFacing6, 2, 2, 0 },
    { 15872, kFacing2 | kFacing6, 2, 2, 0 },
    { 11749, kFacing6, 4, 4, 0 },
    { 11758, kFacing6, 4, 4, 0 },
    { 11750, kFacing0, 4, 4, 0 },
    { 11755, kFacing0, 4, 4, 0 },
    { 12424, kFacing0 | kFacing4, 4, 4, 0 },
    { 12425, kFacing0 | kFacing4, 4, 4, 0 },
    { 12426, kFacing2 | kFacing6, 4, 4, 0 },
    { 12427, kFacing2 | kFacing6, 4, 4, 0 },
    { 2864, kFacing6, -8, 8, 1 },
    { 2865, kFacing0, 0, 4, 1 },
    { 2896, kFacing0, 0, 0, 1 },
    { 2900, kFacing0, 0, 0, 1 },
    { 2897, kFacing6, 0, 0, 1 },
    { 2901, kFacing6, 0, 0, 1 },
    { 2904, kFacing6, 0, 8, 1 },
    { 2909, kFacing6, 0, 8, 1 },
    { 2905, kFacing0, 0, 8, 1 },
    { 2908, kFacing0, 0, 8, 1 },
    { 4634, kFacing0, 0, 8, 3 },
    { 4635, kFacing6, 0, 8, 3 },
    { 10843, kFacing4, 10, 10, 0 },
    { 2911, kFacing2 | kFacing6, 3, 14, 0 },
    { 2912, kFacing2 | kFacing6, 3, 14, 0 },
    { 2913, kFacing2 | kFacing6, 3, 14, 0 },
    { 2914, kFacing2 | kFacing6, 3, 10, 0 },
    { 2915, kFacing2 | kFacing6, 3, 10, 0 },
    { 2916, kFacing2 | kFacing6, 3, 10, 0 },
    { 7623, kFacing2 | kFacing6, 3, 10, 0 },
    { 7624, kFacing2 | kFacing6, 3, 10, 0 },
    { 7625, kFacing2 | kFacing6, 3, 10, 0 },
    { 7629, kFacing2 | kFacing6, 3, 10, 0 },
    { 7630, kFacing2 | kFacing6, 3, 10, 0 },
    { 7631, kFacing2 | kFacing6, 3, 10, 0 },
    { 7634, kFacing2 | kFacing6, 3, 10, 0 },
    { 2917, kFacing0 | kFacing4, 3, 10, 0 },
    { 2918, kFacing0 | kFacing4, 3, 10, 0 },
    { 2919, kFacing0 | kFacing4, 3, 10, 0 },
    { 2920, kFacing0 | kFacing4, 3, 10, 0 },
    { 2921, kFacing0 | kFacing4, 3, 10, 0 },
    { 2922, kFacing0 | kFacing4, 3, 10, 0 },
    { 7626, kFacing0 | kFacing4, 3, 10, 0 },
    { 7627, kFacing0 | kFacing4, 3, 10, 0 },
    { 7628, kFacing0 | kFacing4, 3, 10, 0 },
    { 7632, kFacing0 | kFacing4, 3, 10, 0 },
    { 7633, kFacing0 | kFacing4, 3, 10, 0 },
    { 4604, kFacing0 | kFacing2 | kFacing4 | kFacing6, 2, 7, 0 },
    { 2602, kFacing0 | kFacing2 | kFacing4 | kFacing6, -4, -4, 0 },
    { 2603, kFacing0 | kFacing2 | kFacing4 | kFacing6, -8, -8, 0 },
    { 3315, kFacing2 | kFacing6 | kChairStillOnly, 2, 8, 0 },
    { 3316, kFacing2 | kFacing6 | kChairStillOnly, 2, 8, 0 },
    { 3318, kFacing0 | kFacing4 | kChairStillOnly, 2, 8, 0 },
    { 3319, kFacing0 | kFacing4 | kChairStillOnly, 2, 8, 0 },
    { 6001, kFacing0 | kFacing2 | kFacing4 | kFacing6 | kChairStillOnly, 0, 0, 0 },
    { 6006, kFacing0 | kFacing2 | kFacing4 | kFacing6 | kChairStillOnly, 0, 0, 0 },
    { 6009, kFacing0 | kFacing2 | kFacing4 | kFacing6 | kChairStillOnly, 0, 0, 0 },
} };

} // namespace

const ChairEntry* findChair(int32_t graphic)
{
    for (const ChairEntry& chair : kChairs) {
        if (chair.graphic == graphic)
            return &chair;
    }
    return nullptr;
}
