// A server-stored settings file as the server sends it: byte 0 the file
// number, the rest the compressed payload. A refused file leaves the local
// file exactly as it was; an accepted one is what the payload inflates to.
#include "data/server_config_store.h"
#include "fuzz_client_directory.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const fuzz::ClientDirectory& client = fuzz::ClientDirectory::get();
    client.write("ignore.lst", "keep me");
    ServerConfigStore store;
    store.setEnabled(true);
    // Only the file of number 0 sits in the client directory itself.
    int number = data[0] % 2 == 0 ? 0 : data[0];
    std::span<const uint8_t> payload(data + 1, size - 1);
    bool accepted = store.receive(number, payload);
    std::string after = fuzz::readFile(client.path() + "/ignore.lst");
    if (number == 0) {
        std::string inflated;
        bool inflates = payload.empty() || inflatePayload(payload, ServerConfigStore::kMaxReceivedFileBytes, inflated);
        if (accepted != inflates)
            __builtin_trap();
        if (!accepted && after != "keep me")
            __builtin_trap();
        if (accepted && after != inflated)
            __builtin_trap();
    } else if (number > 11 && (accepted || after != "keep me")) {
        __builtin_trap();
    }
    return 0;
}
