#pragma once
// The substitution lists behind the seasons: sorted by the id they replace.

#include <cstdint>
#include <span>

struct SeasonSubstitution {
    uint16_t from;
    uint16_t to;
};

std::span<const SeasonSubstitution> seasonLandSubstitutions(int32_t season);
std::span<const SeasonSubstitution> seasonItemSubstitutions(int32_t season);
