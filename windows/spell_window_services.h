#pragma once
// The spellbook windows as the rest of the program reaches them: the open
// request of a book (0x24 with the spellbook gump id), the content record
// (0xBF 0x1B) and the older content items, the active marks of spells
// (0xBF 0x25), the book closing with its item, the party bars' quick
// spells, the skill icons dragged out of the skill window, the desktop
// file's spell, skill and ability icons and fighting style window, the
// combat ability book opened by kind (the paperdoll's button, the desktop
// file), and the server switching the weapon ability off (0xBF 0x21). Each service passes on what is not its own to the one installed
// before it. The program installs them with the game windows and removes
// them at shutdown; tests for the life of one object. Main thread only.

#include <memory>

class SpellWindowServices {
public:
    SpellWindowServices();
    ~SpellWindowServices();
    SpellWindowServices(const SpellWindowServices&) = delete;
    SpellWindowServices& operator=(const SpellWindowServices&) = delete;

private:
    struct Objects;
    std::unique_ptr<Objects> m_objects;
};

void installSpellWindowServices();
void uninstallSpellWindowServices();
