#include "world/overhead_texts.h"

#include "world/item.h"

namespace {

constexpr int32_t kMaxTextsPerObject = 3;

} // namespace

void trimOverheadTexts(StaticObject& object)
{
    OverheadTextViews& views = worldService<OverheadTextViews>();
    // Kept texts count toward the limit but are never the ones deleted.
    for (int32_t count = views.textCount(object); count >= kMaxTextsPerObject; --count)
        views.deleteOldestUnkept(object);
}

void showOverheadText(StaticObject& object, std::string_view text, uint16_t hue, uint16_t font, int32_t kind,
    bool kept)
{
    trimOverheadTexts(object);
    worldService<OverheadTextViews>().create(object, text, hue, font, kind, kept);
}

void replaceOverheadText(StaticObject& object, std::string_view text, uint16_t hue, uint16_t font, int32_t kind)
{
    OverheadTextViews& views = worldService<OverheadTextViews>();
    views.deleteUnkept(object);
    views.create(object, text, hue, font, kind, false);
}

void dropOverheadTexts(StaticObject& object) { worldService<OverheadTextViews>().deleteUnkept(object); }

OverheadTextKeeper& overheadTextKeeper()
{
    static OverheadTextKeeper keeper;
    return keeper;
}

void OverheadTextKeeper::keep(const Item& object)
{
    for (OverheadTextRecord& text : worldService<OverheadTextViews>().texts(object))
        keep({ object.serial, 0, std::move(text) });
}

void OverheadTextKeeper::keep(KeptText record)
{
    record.age = 0;
    m_records.push_back(std::move(record));
}

void OverheadTextKeeper::restore(Item& object)
{
    OverheadTextViews& views = worldService<OverheadTextViews>();
    for (auto it = m_records.begin(); it != m_records.end();) {
        if (it->serial != object.serial) {
            ++it;
            continue;
        }
        views.restore(object, it->text);
        it = m_records.erase(it);
    }
}

void OverheadTextKeeper::age()
{
    for (auto it = m_records.begin(); it != m_records.end();) {
        if (++it->age > kMaxAge)
            it = m_records.erase(it);
        else
            ++it;
    }
}
