#include "data/server_features.h"

#include "data/client_file_path.h"

#include <array>
#include <cstdio>

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
    FILE* stream = std::fopen(clientFilePath(kEntitledFile).c_str(), "wb");
    if (!stream)
        return false;
    const uint8_t bytes[2] = { uint8_t(word), uint8_t(word >> 8) };
    bool written = std::fwrite(bytes, 1, sizeof bytes, stream) == sizeof bytes;
    return std::fclose(stream) == 0 && written;
}

uint32_t readEntitledFile()
{
    FILE* stream = std::fopen(clientFilePath(kEntitledFile).c_str(), "rb");
    if (!stream)
        return 0;
    uint8_t bytes[4] = {};
    size_t got = std::fread(bytes, 1, sizeof bytes, stream);
    std::fclose(stream);
    uint32_t word = 0;
    for (size_t i = 0; i < got; ++i)
        word |= uint32_t(bytes[i]) << (8 * i);
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
