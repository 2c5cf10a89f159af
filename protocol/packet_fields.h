#pragma once
// Small readers over the checked get-primitives for the fields the protocol
// handlers share. Each leaves the offset past the field on success and
// reports failure like the primitives do.

#include <cstdint>
#include <string>

// A NUL-padded text field of `fieldSize` bytes, kept up to its NUL and at
// most `maxLength` characters. Empty (and false) when the field is cut short.
bool readFixedText(const uint8_t* packet, int32_t& offset, int32_t fieldSize, size_t maxLength, std::string& out);

// Queues a built packet on the current session's connection (the one whose
// packet is being handled), or on the current game connection outside one.
class PacketBuffer;
bool queueOnSessionConnection(const PacketBuffer& packet);
