#include "text/localization.h"

#include "core/error_report.h"
#include "data/config_file.h"
#include "data/file_manager.h"
#include "platform/ascii_text.h"
#include "platform/locale.h"
#include "text/cliloc_table.h"
#include "text/iff_reader.h"
#include "text/string_file.h"

#include <cstring>

namespace {

struct LocalizationState {
    std::vector<LanguageEntry> languages; // head (newest) first
    std::string code;
    int32_t current = -1; // index into languages
    bool done = false;
};

LocalizationState g_localization;

constexpr size_t kMaxCodeChunkBytes = 1024;
constexpr size_t kCodeTextBytes = 512;

// The tables every screen needs from the start.
const char* const kStartupStringFiles[] = { "intro", "gt_0000", "gt_1010", "gt_2000", "gt_2310", "gt_2400", "gt_5000",
    "gt_5400", "chat", "optnvogw" };

const LanguageEntry kDefaultEntry { "enu", 'e', "English", "United States" };

std::string lowerCode(const char* text)
{
    std::string code(text, strnlen(text, 3));
    for (char& c : code)
        c = platform::foldAsciiCase(c);
    return code;
}

const LanguageEntry* findEntry(const std::string& code)
{
    for (const LanguageEntry& entry : g_localization.languages) {
        if (platform::equalIgnoringAsciiCase(entry.code, code))
            return &entry;
    }
    return nullptr;
}

const LanguageEntry* defaultEntry()
{
    return findEntry(kDefaultEntry.code);
}

// One CODE chunk: code, tag (int32, low byte a character), name, country.
bool readCodeChunk(IffReader& reader)
{
    char code[kCodeTextBytes];
    char name[kCodeTextBytes];
    char country[kCodeTextBytes];
    reader.clearReadFailure();
    reader.readString(code, sizeof code);
    int32_t tag = reader.readInt32(false);
    reader.readString(name, sizeof name);
    reader.readString(country, sizeof country);
    if (reader.readFailed()) {
        reader.composeDiagnostic("Ignoring damaged CHUNK CODE.");
        return false;
    }
    LanguageEntry entry;
    entry.code = lowerCode(code);
    entry.tag = char(tag & 0xFF) == '?' ? 0 : char(tag & 0xFF);
    entry.name = name;
    entry.country = country;
    g_localization.languages.insert(g_localization.languages.begin(), std::move(entry));
    return true;
}

} // namespace

bool parseLanguageList(const uint8_t* data, size_t size)
{
    IffReader reader(data, size);
    reader.setFileName("langcode.iff");
    // A file without its three enclosing FORMs is not read at all.
    if (!reader.enterForm(iffTag("DATA")) || !reader.enterForm(iffTag("LANG")) || !reader.enterForm(iffTag("WIN3")))
        return false;
    bool sound = true;
    while (!reader.atEnd()) {
        uint32_t tag = reader.peekTag();
        if (tag == 0) {
            reader.composeDiagnostic("Very Strange Error. Maybe Premature EOF?");
            sound = false;
            break;
        }
        if (tag == iffTag("CODE")) {
            if (!reader.enterChunk(tag)) {
                sound = false;
                break;
            }
            if (size_t(reader.lastChunkSize()) > kMaxCodeChunkBytes)
                reader.composeDiagnostic("Ignoring Unusually large CHUNK CODE.");
            else if (!readCodeChunk(reader))
                sound = false;
            reader.exitChunk(tag, false);
            continue;
        }
        reader.composeDiagnostic("Ignoring Unexpected FORM or CHUNK.");
        if (!reader.enterChunk(tag)) {
            sound = false;
            break;
        }
        reader.exitChunk(tag, false);
    }
    return sound;
}

void setLanguageCode(const std::string& code) { g_localization.code = code.substr(0, 3); }

void chooseLanguage()
{
    if (g_localization.code.empty()) {
        g_localization.code = platform::systemLanguageCode().substr(0, 3);
        if (g_localization.code.empty())
            g_localization.code = kDefaultEntry.code;
    }
    const LanguageEntry* entry = findEntry(g_localization.code);
    if (!entry) {
        g_localization.code = kDefaultEntry.code;
        entry = defaultEntry();
    }
    g_localization.current = entry ? int32_t(entry - g_localization.languages.data()) : -1;
}

void loadStringTables()
{
    auto table = std::make_unique<ClilocTable>();
    table->loadFile("cliloc.enu");
    if (g_localization.code.compare(0, 3, "enu") != 0)
        table->loadFile("cliloc." + g_localization.code);
    setClilocTable(std::move(table));
    for (const char* name : kStartupStringFiles)
        findStringFile(name, g_localization.code, name, false, false, false);
}

void initLocalization()
{
    if (g_localization.done)
        return;
    g_localization = LocalizationState {};
    g_localization.languages.push_back(kDefaultEntry);
    std::vector<uint8_t> image;
    if (fileManager().readWhole("language\\langcode.iff", image) <= 0)
        fileManager().readWhole("langcode.iff", image);
    if (!image.empty())
        parseLanguageList(image.data(), image.size());
    chooseLanguage();
    // A configured code wins over the system language, even an unknown one
    // (which then gives English).
    std::string configured;
    if (lookupConfigValue(ConfigKeyKind::UserLanguageCodeString, configured) && !configured.empty()) {
        setLanguageCode(configured);
        chooseLanguage();
    }
    loadStringTables();
    g_localization.done = true;
}

void shutdownLocalization()
{
    // Also clears a language list read before start-up finished.
    setClilocTable(nullptr);
    freeStringFiles();
    g_localization = LocalizationState {};
}

bool isLocalizationReady() { return g_localization.done; }

const std::vector<LanguageEntry>& languageList() { return g_localization.languages; }

const std::string& getLanguageCode() { return g_localization.code; }

const LanguageEntry* getCurrentLanguageInfo()
{
    if (g_localization.current < 0 || g_localization.current >= int32_t(g_localization.languages.size()))
        return nullptr;
    return &g_localization.languages[size_t(g_localization.current)];
}

const std::string& getLanguageName()
{
    if (const LanguageEntry* entry = findEntry(g_localization.code))
        return entry->name;
    const LanguageEntry* fallback = defaultEntry();
    if (!fallback)
        reportFatal("No language entry for '%s'.", g_localization.code.c_str());
    return fallback->name;
}

char getLanguageTag(const char* code)
{
    if (!code) {
        const LanguageEntry* current = getCurrentLanguageInfo();
        return current ? current->tag : 0;
    }
    if (const LanguageEntry* entry = findEntry(code))
        return entry->tag;
    const LanguageEntry* fallback = defaultEntry();
    return fallback ? fallback->tag : 'e';
}

const std::string& getDefaultLanguageCode()
{
    // The default entry is made first at start-up and never removed; before
    // start-up its code is still the answer.
    return kDefaultEntry.code;
}
