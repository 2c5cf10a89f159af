// Fuzzes the music list reader: any text gives a map whose every id has at
// least one name and whose names are never empty.

#include "audio/digital_music_manager.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const DigitalMusicMap map = parseDigitalMusicConfig(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const auto& [id, names] : map) {
        if (names.empty())
            std::abort();
        for (const std::string& name : names) {
            if (name.empty() || name.find(' ') != std::string::npos)
                std::abort();
        }
    }
    return 0;
}
