#pragma once
// The constant rows behind the spell table (windows/spell_table.h), in
// ascending id order.

#include <span>

struct SpellRow {
    int id;
    const char* name;
    const char* reagents; // joined by line feeds
};

std::span<const SpellRow> spellRows();
