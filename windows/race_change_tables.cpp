#include "windows/race_change_gump.h"

namespace {

constexpr std::array<RaceHairStyle, kRaceHairRows> kRaceHumanHair { {
    { "NONE", 0, 0, 0, true, true },
    { "Short", 8251, 1875, 1847, true, true },
    { "Long", 8252, 1876, 1842, true, true },
    { "Pony Tail", 8253, 1879, 1845, true, true },
    { "Mohawk", 8260, 1877, 1843, true, true },
    { "Pageboy", 8261, 1871, 1844, true, true },
    { "Topknot", 8266, 1874, 1840, true, true },
    { "Curly", 8263, 1873, 1839, true, true },
    { "Receding", 8264, 1880, 1846, true, true },
    { "2 Tails", 8265, 1870, 1836, true, true },
    { "Buns", 8262, 0, 1841, false, true },
} };

constexpr std::array<RaceHairStyle, kRaceHairRows> kRaceElfHair { {
    { "NONE", 0, 0, 0, true, true },
    { "Mid Long", 12223, 1784, 1774, true, false },
    { "Long Feather", 12224, 1785, 1775, true, true },
    { "Short", 12225, 1786, 1776, true, true },
    { "Mullet", 12226, 1787, 1777, true, true },
    { "Flower", 12236, 1788, 1778, false, true },
    { "Long", 12237, 1789, 1779, true, false },
    { "Topknot", 12238, 1790, 1780, true, true },
    { "Long Braid", 12239, 1791, 1781, true, true },
    { "Buns", 12240, 1792, 1782, false, true },
    { "Spiked", 12241, 1793, 1783, true, true },
} };

constexpr std::array<RaceFacialHairStyle, kRaceFacialHairRows> kRaceFacialHair { {
    { "NONE", 0, 0 },
    { "Goatee", 8256, 1881 },
    { "Long beard", 8254, 1883 },
    { "Short beard", 8255, 1885 },
    { "Moustache", 8257, 1884 },
    { "Short beard/moustache", 8267, 1886 },
    { "Long beard/moustache", 8268, 1882 },
    { "Vandyke", 8269, 1887 },
} };

} // namespace

const std::array<RaceHairStyle, kRaceHairRows>& raceChangeHairTable(bool elf) { return elf ? kRaceElfHair : kRaceHumanHair; }

const std::array<RaceFacialHairStyle, kRaceFacialHairRows>& raceChangeFacialHairTable() { return kRaceFacialHair; }

std::vector<int32_t> raceChangeHairRows(bool elf, bool female)
{
    std::vector<int32_t> rows;
    const auto& table = raceChangeHairTable(elf);
    for (int32_t row = 0; row < kRaceHairRows; ++row) {
        if (female ? table[size_t(row)].female : table[size_t(row)].male)
            rows.push_back(row);
    }
    return rows;
}
