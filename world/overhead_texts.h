#pragma once
// Overhead texts over statics and items, and the keeper that holds the texts
// of objects the server deletes, so that an object sent again within four
// seconds gets them back with their start time and lifetime. The text windows
// themselves belong to the game windows (OverheadTextViews). Main thread only.

#include "world/world_services.h"

#include <cstdint>
#include <list>
#include <string>
#include <string_view>

class Item;
class StaticObject;

// At most three texts that are not kept stand over one object.
void showOverheadText(StaticObject& object, std::string_view text, uint16_t hue, uint16_t font, int32_t kind,
    bool kept);
// Drops every text that is not kept, then shows this one (not kept).
void replaceOverheadText(StaticObject& object, std::string_view text, uint16_t hue, uint16_t font, int32_t kind);
void trimOverheadTexts(StaticObject& object);
void dropOverheadTexts(StaticObject& object);

struct KeptText {
    uint32_t serial = 0;
    uint8_t age = 0;
    OverheadTextRecord text;
};

class OverheadTextKeeper {
public:
    // Records older than this many once-a-second steps are dropped.
    static constexpr uint8_t kMaxAge = 4;

    // Before the server deletes `object`: a record per attached text.
    void keep(const Item& object);
    void keep(KeptText record);
    // When an item is created again: its records become texts again.
    void restore(Item& object);
    // Once a second.
    void age();
    void clear() { m_records.clear(); }
    const std::list<KeptText>& records() const { return m_records; }

private:
    std::list<KeptText> m_records;
};

OverheadTextKeeper& overheadTextKeeper();

inline void keepOverheadTexts(const Item& object) { overheadTextKeeper().keep(object); }
inline void restoreOverheadTexts(Item& object) { overheadTextKeeper().restore(object); }
inline void ageKeptTexts() { overheadTextKeeper().age(); }
