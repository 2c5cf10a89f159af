// The key store file: an arbitrary file read for the install path and a
// DWORD, then a value written and read back.
//   byte 0: length of the value to write, taken from the front of the rest
#include "data/file_manager.h"
#include "fuzz_client_directory.h"
#include "platform/key_store.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const fuzz::ClientDirectory& client = fuzz::ClientDirectory::get();
    size_t valueLength = data[0] % 64;
    ++data;
    --size;
    if (valueLength > size)
        valueLength = size;
    std::string value(reinterpret_cast<const char*>(data), valueLength);
    data += valueLength;
    size -= valueLength;

    client.write("registry.ini", data, size);
    platform::KeyStore store(client.path() + "/registry.ini");
    std::string text;
    uint32_t number = 0;
    store.readString(kProductKeyPath, "InstCDPath", text);
    store.readDword(kProductKeyPath, "HarvestStage", number);
    bool existed = store.keyExists(kProductKeyPath);

    // A written value reads back as written, whatever the file held.
    if (store.writeString(kProductKeyPath, "InstCDPath", value)) {
        if (!existed || !store.readString(kProductKeyPath, "InstCDPath", text) || text != value)
            __builtin_trap();
    }
    if (store.writeDword(kProductKeyPath, "HarvestStage", 0x1c)) {
        if (!store.readDword(kProductKeyPath, "HarvestStage", number) || number != 0x1c)
            __builtin_trap();
    }
    return 0;
}
