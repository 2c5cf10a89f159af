#pragma once
// What the .def remap tables ask of the world while loading and answering,
// answered from the mapped art file, the tile data and the body-conversion
// table. Whether an additional animation set is enabled for the account is
// the front end's to say: until it sets that rule, no set counts as enabled.
// Main thread only.

#include "data/def_tables.h"

#include <functional>

class DataDefTableWorld final : public DefTableWorld {
public:
    bool hasArtImage(uint16_t artId) override;
    bool itemHasPartialHue(uint16_t item) override;
    void clearItemPartialHue(uint16_t item) override;
    bool isAnimSetEnabled(int set) override;
    int32_t bodyConversion(uint16_t body, int column) override;

    void setAnimSetRule(std::function<bool(int)> rule) { m_animSetRule = std::move(rule); }

private:
    std::function<bool(int)> m_animSetRule;
};

// The one the process's tables were created with; lives until exit.
DataDefTableWorld& defTableWorld();
