#pragma once
// The hair and facial-hair styles a new character can take: 11 rows per
// race (row 0 = no hair), each with its item id (what the create request
// sends), its paperdoll art for a male and a female body and whether each
// gender may wear it; 8 facial-hair rows for a human male. Constant data.

#include <array>
#include <cstdint>
#include <vector>

struct HairStyle {
    const char* name;
    uint16_t itemId;
    int32_t maleArt;
    int32_t femaleArt;
    bool male;
    bool female;
};

struct FacialHairStyle {
    const char* name;
    uint16_t itemId;
    int32_t art; // 0 = none
};

inline constexpr int32_t kHairRows = 11;
inline constexpr int32_t kFacialHairRows = 8;
inline constexpr int32_t kHumanRace = 0;
inline constexpr int32_t kElfRace = 1;
inline constexpr int32_t kMale = 0;
inline constexpr int32_t kFemale = 1;

// The race's table (elf for race 1, else human).
const std::array<HairStyle, kHairRows>& hairTable(int32_t race);
const std::array<FacialHairStyle, kFacialHairRows>& facialHairTable();

// Whether the gender (0 male, else female) may wear the row; false outside.
bool isHairAllowed(int32_t race, int32_t gender, int32_t row);
// The row kept after a change of gender or race: the row itself when
// allowed, else row 1 (human) or row 3 (elf).
int32_t keptHairRow(int32_t race, int32_t gender, int32_t row);
// The row the preview draws: above 10 it is 1, and a row not allowed
// advances to the next allowed one (past 10 back to 1).
int32_t drawnHairRow(int32_t race, int32_t gender, int32_t row);
// The rows the gender may choose, in table order.
std::vector<int32_t> allowedHairRows(int32_t race, int32_t gender);
