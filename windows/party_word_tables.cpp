#include "windows/party_words.h"

#include <array>

namespace {

struct PartyWordRow {
    int32_t id;
    std::string_view word;
};

// Read in this order; the first row whose word matches decides. Only ids 220
// to 236 are party commands: a line whose word has another id is party chat.
// The blank row never matches, since words end at blanks.
constexpr std::array<PartyWordRow, 29> kPartyWords { {
    { 216, "con" },
    { 217, "sw" },
    { 218, "next" },
    { 219, "done" },
    { 238, "dis" },
    { 11, "where" },
    { 201, "fullscreen" },
    { 199, "action" },
    { 202, "helpme" },
    { 203, "version" },
    { 220, "rem" },
    { 221, "add" },
    { 222, "quit" },
    { 223, "accept" },
    { 224, "decline" },
    { 225, " " },
    { 226, "list" },
    { 227, "t1" },
    { 228, "t2" },
    { 229, "t3" },
    { 230, "t4" },
    { 231, "t5" },
    { 232, "t6" },
    { 233, "t7" },
    { 234, "t8" },
    { 235, "t9" },
    { 236, "t10" },
    { 245, "spawn_unload" },
    { 246, "spawn_load" },
} };

} // namespace

int32_t partyWordId(std::string_view word)
{
    for (const PartyWordRow& row : kPartyWords) {
        if (row.word == word)
            return row.id;
    }
    return -1;
}
