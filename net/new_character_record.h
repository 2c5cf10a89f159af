#pragma once
// The one record of a character being created, filled step by step by the
// creation screens and sent in the create request.

#include <cstdint>

struct NewCharacterSkill {
    uint8_t number { 0 };
    uint8_t value { 0 };
};

struct NewCharacterRecord {
    char name[30] {}; // also the player name of the play request; need not end in a NUL
    uint8_t female { 0 }; // 1 = female
    uint8_t race { 0 }; // 1 = elf
    uint8_t strength { 0 };
    uint8_t dexterity { 0 };
    uint8_t intelligence { 0 };
    NewCharacterSkill skills[3];
    uint16_t skinHue { 0 }; // hues are 1-based hue ids
    uint16_t hairStyle { 0 }; // styles are item ids, 0 = none
    uint16_t hairHue { 0 };
    uint16_t facialHairStyle { 0 };
    uint16_t facialHairHue { 0 };
    uint8_t shardIndex { 0 };
    uint8_t startLocation { 255 }; // the server's start-location index, 255 = none
    uint32_t characterSlot { 0 };
    uint16_t shirtHue { 0 };
    uint16_t trousersHue { 0 };
    uint32_t professionId { 0 }; // carried in the client information block
};
