#include "data/character_name_tables.h"

namespace {

// Titles and trades a name may not claim as a whole word, and four names of
// persons of the game world.
const char* const kTitleWordsList[] = { "Adept", "Alchemist", "Apprentice", "Archer", "Assassin", "Bard", "Beggar",
    "Bowyer", "Carpenter", "Chef", "Expert", "Fisherman", "Grandmaster", "Healer", "Journeyman", "Mage", "Master",
    "Medium", "Merchant", "Neophyte", "Novice", "Ranger", "Rogue", "Scholar", "Smith", "Tailor", "Tinker", "Warrior",
    "Aldric", "Maelis", "Corvane", "Ysolde" };

// Names of the maker and of staff states.
const char* const kStaffWordsList[] = { "Halcyr", "HCY", "invulnerable", "squelched", "frozen", "gamemaster" };

// Obscene words.
const char* const kObsceneWordsList[] = { "fuck", "fucker", "fucking", "shit", "shithead", "cunt", "cock", "cocksucker",
    "dick", "dickhead", "prick", "pussy", "twat", "wanker", "whore", "slut", "bitch", "bastard", "asshole", "arsehole",
    "motherfucker", "bollocks", "tits" };

// More obscene words, and the name of a person the game must not be used
// against.
const char* const kRudeWordsList[] = { "penis", "vagina", "anus", "rectum", "scrotum", "testicle", "dildo", "orgasm",
    "masturbate", "ejaculate", "semen", "sperm", "boner", "blowjob", "handjob", "rimjob", "felch", "buttplug",
    "clitoris", "pubes", "nipple", "Tavenor" };

} // namespace

const std::span<const char* const> kReservedTitleWords(kTitleWordsList);
const std::span<const char* const> kReservedStaffWords(kStaffWordsList);
const std::span<const char* const> kReservedObsceneWords(kObsceneWordsList);
const std::span<const char* const> kReservedRudeWords(kRudeWordsList);
