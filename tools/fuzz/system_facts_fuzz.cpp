// The machine's fact files as the hardware survey reads them: the kernel's
// version, the processor and memory tables, the drive table and the number
// files of the device tree, each given the same arbitrary text.
#include "platform/system_facts.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    size_t lines = 1;
    for (char c : text)
        lines += c == '\n';

    platform::VersionNumbers version;
    if (platform::parseVersionNumbers(text, version) && (text.empty() || text[0] < '0' || text[0] > '9'))
        __builtin_trap();
    // Every processor is a line of its own.
    if (platform::parseProcessorTable(text).count > lines)
        __builtin_trap();
    if (platform::parseMemoryTotal(text) % 1024 != 0)
        __builtin_trap();
    platform::parseDriveTableHasDvd(text);
    uint64_t number = 0;
    platform::parseNumberFile(text, number);
    return 0;
}
