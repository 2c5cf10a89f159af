#include "frontend/hair_tables.h"

#include <cstddef>

namespace {

constexpr std::array<HairStyle, kHairRows> kHumanHair = { {
    { "NONE", 0, 0, 0, true, true },
    { "Short", 0x203B, 1875, 1847, true, true },
    { "Long", 0x203C, 1876, 1842, true, true },
    { "Pony Tail", 0x203D, 1879, 1845, true, true },
    { "Mohawk", 0x2044, 1877, 1843, true, true },
    { "Pageboy", 0x2045, 1871, 1844, true, true },
    { "Topknot", 0x204A, 1874, 1840, true, true },
    { "Curly", 0x2047, 1873, 1839, true, true },
    { "Receding", 0x2048, 1880, 1846, true, false },
    { "2 Tails", 0x2049, 1870, 1836, true, true },
    { "Buns", 0x2046, 0, 1841, false, true },
} };

constexpr std::array<HairStyle, kHairRows> kElfHair = { {
    { "NONE", 0, 0, 0, true, true },
    { "Mid Long", 0x2FBF, 1784, 1774, true, false },
    { "Long Feather", 0x2FC0, 1785, 1775, true, true },
    { "Short", 0x2FC1, 1786, 1776, true, true },
    { "Mullet", 0x2FC2, 1787, 1777, true, true },
    { "Flower", 0x2FCC, 1788, 1778, false, true },
    { "Long", 0x2FCD, 1789, 1779, true, false },
    { "Topknot", 0x2FCE, 1790, 1780, true, true },
    { "Long Braid", 0x2FCF, 1791, 1781, true, true },
    { "Buns", 0x2FD0, 1792, 1782, false, true },
    { "Spiked", 0x2FD1, 1793, 1783, true, true },
} };

constexpr std::array<FacialHairStyle, kFacialHairRows> kFacialHair = { {
    { "NONE", 0, 0 },
    { "Goatee", 0x2040, 1881 },
    { "Long beard", 0x203E, 1883 },
    { "Short beard", 0x203F, 1885 },
    { "Moustache", 0x2041, 1884 },
    { "Short beard/moustache", 0x204B, 1886 },
    { "Long beard/moustache", 0x204C, 1882 },
    { "Vandyke", 0x204D, 1887 },
} };

} // namespace

const std::array<HairStyle, kHairRows>& hairTable(int32_t race) { return race == kElfRace ? kElfHair : kHumanHair; }

const std::array<FacialHairStyle, kFacialHairRows>& facialHairTable() { return kFacialHair; }

bool isHairAllowed(int32_t race, int32_t gender, int32_t row)
{
    if (row < 0 || row >= kHairRows)
        return false;
    const HairStyle& style = hairTable(race)[size_t(row)];
    return gender == kMale ? style.male : style.female;
}

int32_t keptHairRow(int32_t race, int32_t gender, int32_t row)
{
    if (isHairAllowed(race, gender, row))
        return row;
    return race == kElfRace ? 3 : 1;
}

int32_t drawnHairRow(int32_t race, int32_t gender, int32_t row)
{
    if (row > 10 || row < 0)
        row = 1;
    // Row 1 or 2 is allowed for every gender, so this ends.
    while (!isHairAllowed(race, gender, row))
        row = row + 1 > 10 ? 1 : row + 1;
    return row;
}

std::vector<int32_t> allowedHairRows(int32_t race, int32_t gender)
{
    std::vector<int32_t> rows;
    for (int32_t row = 0; row < kHairRows; ++row)
        if (isHairAllowed(race, gender, row))
            rows.push_back(row);
    return rows;
}
