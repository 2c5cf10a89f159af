// Reads an arbitrary image as a language string file and as the language
// list, then asks the string file for every text, key and time it might hold.
#include "text/localization.h"
#include "text/string_file.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    StringFile file;
    file.loadImage("fuzz", data, size);
    uint32_t sum = 0;
    for (int32_t index = -2; index < file.count() + 2 && index < 4096; ++index) {
        if (const WString* text = file.getString(index))
            sum += text->c_str() ? text->c_str()[0] : 0;
    }
    for (const StringFile::KeyRecord& record : file.keyRecords())
        for (int32_t key : record.keys)
            if (const WString* text = file.getString(key))
                sum += text->isNull() ? 0 : 1;
    for (int32_t t : { -1, 0, 700, 1500, 1 << 30 }) {
        int32_t index = 0;
        file.findByTime(t, index);
    }
    for (size_t i = 0; i < file.timeStarts().size() && i < 64; ++i) {
        int32_t index = 0;
        file.findByTime(file.timeStarts()[i], index);
    }
    (void)sum;

    shutdownLocalization();
    parseLanguageList(data, size);
    for (const LanguageEntry& entry : languageList())
        getLanguageTag(entry.code.c_str());
    shutdownLocalization();
    return 0;
}
