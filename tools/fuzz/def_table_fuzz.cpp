// .def tables: every line of an arbitrary input through the line grammar, and
// the same bytes loaded as a file (line splitting, the first line for an id
// wins) with each id translated.
#include "data/def_tables.h"
#include "fuzz_byte_reader.h"
#include "fuzz_client_directory.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    for (size_t at = 0; at <= text.size();) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos)
            end = text.size();
        DefTable::parseLine(text.substr(at, end - at));
        at = end + 1;
    }

    const fuzz::ClientDirectory& client = fuzz::ClientDirectory::get();
    client.write("gump.def", data, size);
    DefTable table;
    table.load(client.path() + "/gump.def");
    for (size_t at = 0; at + 1 < size && at < 512; at += 2) {
        uint16_t id = fuzz::le16(data + at);
        uint16_t translated = table.translate(id, 0);
        const DefEntry* entry = table.getEntry(id);
        if (table.contains(id) != (entry != nullptr))
            __builtin_trap();
        if (entry && !entry->alternatives.empty()) {
            bool listed = false;
            for (uint16_t alternative : entry->alternatives)
                listed = listed || alternative == translated;
            if (!listed)
                __builtin_trap();
        } else if (translated != id) {
            __builtin_trap();
        }
    }
    return 0;
}
