// The patcher's version list "verinfo" as text: the reader keeps to its
// maximum and to whole pairs, and what it read writes back to a list that
// reads the same.
#include "data/post_patch.h"
#include "fuzz_client_directory.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const fuzz::ClientDirectory& client = fuzz::ClientDirectory::get();
    client.write("verinfo", data, size);
    std::string path = client.path() + "/verinfo";
    std::vector<VersionEntry> entries;
    if (!readVersionInfo(path, entries, kMaxVersionPairs))
        return 0;
    if (entries.size() > kMaxVersionPairs)
        __builtin_trap();
    for (const VersionEntry& entry : entries) {
        if (entry.name.empty() || entry.name.size() > 511)
            __builtin_trap();
    }
    // A name "0" (the word after a header) would read back as a header.
    for (const VersionEntry& entry : entries) {
        if (entry.name == "0")
            return 0;
    }
    if (!writeVersionInfo(path, entries))
        __builtin_trap();
    std::vector<VersionEntry> again;
    if (!readVersionInfo(path, again, kMaxVersionPairs) || again.size() != entries.size())
        __builtin_trap();
    for (size_t i = 0; i < entries.size(); ++i) {
        if (again[i].name != entries[i].name || again[i].number != entries[i].number)
            __builtin_trap();
    }
    return 0;
}
