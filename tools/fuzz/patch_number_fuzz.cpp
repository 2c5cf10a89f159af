// The main menu's reading of the "verinfo" file for the patch number it
// shows: any bytes give -1 or the number of the first known edition line,
// the same number the line alone gives, and a version line that names it.

#include "frontend/main_menu.h"
#include "fuzz_client_directory.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const fuzz::ClientDirectory& client = fuzz::ClientDirectory::get();
    client.write("verinfo", data, size);
    const int32_t patch = readPatchNumber();

    // The first line that names an edition decides, as the reader says.
    int32_t expected = -1;
    size_t at = 0;
    while (at < size) {
        size_t end = at;
        while (end < size && data[end] != '\n' && data[end] != '\r')
            ++end;
        std::string line(reinterpret_cast<const char*>(data) + at, std::min<size_t>(end - at, 127));
        bool matched = false;
        const int32_t number = patchNumberFromLine(line, matched);
        if (!matched && number != -1)
            std::abort();
        if (matched) {
            expected = number;
            break;
        }
        at = end + 1;
    }
    if (patch != expected)
        std::abort();
    const std::string shown = versionLine("1.0", patch);
    if (shown.rfind("VO Version 1.0 (Patch ", 0) != 0)
        std::abort();
    return 0;
}
