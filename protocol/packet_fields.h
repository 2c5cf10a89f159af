#pragma once
// Small readers over the checked get-primitives for the fields the protocol
// handlers share. Each leaves the offset past the field on success and
// reports failure like the primitives do.

#include <cstdint>
#include <string>

// A NUL-padded text field of `fieldSize` bytes, kept up to its NUL and at
// most `maxLength` characters. Empty (and false) when the field is cut short.
bool readFixedText(const uint8_t* packet, int32_t& offset, int32_t fieldSize, size_t maxLength, std::string& out);

// One character entry of the character lists: a 30-byte name and a 30-byte
// password, each kept to at most 29 characters.
void readCharacterEntry(const uint8_t* packet, int32_t& offset, std::string& name, std::string& password);

// One start-location entry of the lists: the server's index byte, then the
// city and the building in 31-byte fields, each kept to at most 30 characters.
struct StartLocationEntry {
    uint8_t index { 0 };
    std::string city;
    std::string building;

    // As the start-location list shows it.
    std::string text() const { return city + ": " + building; }
};
void readStartLocationEntry(const uint8_t* packet, int32_t& offset, StartLocationEntry& entry);
