#include "data/server_features.h"

#include "data/managed_files.h"

#include <array>
#include <string>

namespace {

const char* const kEntitledFile = "entitled.def";
constexpr int32_t kListFlagCount = 10;
constexpr int32_t kServerStoredBit = 1;

struct Features {
    uint32_t word { 0 };
    std::array<bool, kListFlagCount> listFlags {};
};

Features& features()
{
    static Features granted;
    return granted;
}

} // namespace

void setServerFeatures(uint32_t word) { features().word = word; }
uint32_t serverFeatures() { return features().word; }
bool hasServerFeature(uint32_t mask) { return (features().word & mask) != 0; }

bool writeEntitledFile(uint32_t word)
{
    const char bytes[2] = { char(word & 0xFF), char((word >> 8) & 0xFF) };
    return writeManagedFile(kEntitledFile, std::string(bytes, sizeof bytes));
}

uint32_t readEntitledFile()
{
    std::string bytes;
    if (!readManagedFile(kEntitledFile, bytes))
        return 0;
    uint32_t word = 0;
    for (size_t i = 0; i < bytes.size() && i < 4; ++i)
        word |= uint32_t(uint8_t(bytes[i])) << (8 * i);
    return word;
}

void storeCharacterListFlags(uint32_t word)
{
    for (int32_t bit = 0; bit < kListFlagCount; ++bit) {
        if (bit != kServerStoredBit)
            features().listFlags[size_t(bit)] = (word >> bit) & 1u;
    }
}

bool characterListFlag(int32_t bit) { return bit >= 0 && bit < kListFlagCount && features().listFlags[size_t(bit)]; }
