#include "text/string_file.h"

#include "core/byte_cursor.h"
#include "core/error_report.h"
#include "data/file_manager.h"
#include "platform/ascii_text.h"
#include "text/iff_reader.h"
#include "text/localization.h"

#include <algorithm>

namespace {

std::vector<std::unique_ptr<StringFile>> g_cache; // head first

constexpr size_t kInfoTextBytes = 512;

std::string firstThree(const std::string& code)
{
    return code.substr(0, 3);
}

StringFile* findInCache(const std::string& name, const std::string& language, const std::string& tableName)
{
    std::string code = firstThree(language);
    for (const auto& file : g_cache) {
        if (platform::equalIgnoringAsciiCase(file->name(), name)
            && platform::equalIgnoringAsciiCase(file->language(), code)
            && platform::equalIgnoringAsciiCase(file->tableName(), tableName))
            return file.get();
    }
    return nullptr;
}

} // namespace

// Walks one string file image into a StringFile.
class StringFileParser {
public:
    StringFileParser(StringFile& file, const uint8_t* data, size_t size)
        : m_file(file)
        , m_reader(data, size)
    {
        m_reader.setFileName(file.m_name.c_str());
    }

    void parse()
    {
        if (!m_reader.enterForm(iffTag("DATA")) || !m_reader.enterForm(iffTag("LANG"))) {
            report("Cannot find FORM DATA/LANG.");
            return;
        }
        if (!readInfo())
            return;
        while (!m_reader.atEnd()) {
            uint32_t tag = m_reader.peekTag();
            if (tag == 0) {
                report("Unexpected End of File");
                break;
            }
            bool ok = true;
            if (tag == iffTag("TEXT"))
                ok = readTexts();
            else if (tag == iffTag("COLR"))
                ok = readColours();
            else if (tag == iffTag("FONT"))
                ok = readIntegers(tag, 1, { &m_file.m_fonts });
            else if (tag == iffTag("POSN"))
                ok = readIntegers(tag, 2, { &m_file.m_x, &m_file.m_y });
            else if (tag == iffTag("TIME"))
                ok = readIntegers(tag, 2, { &m_file.m_timeStart, &m_file.m_timeEnd });
            else if (tag == iffTag("TKEY"))
                ok = readKeys();
            else
                ok = skipElement(tag);
            if (!ok)
                break;
        }
        m_reader.exitForm(iffTag("LANG"));
        m_reader.exitForm(iffTag("DATA"));
    }

private:
    void report(const char* message)
    {
        m_reader.composeDiagnostic(message);
        m_file.m_diagnostics.push_back(m_reader.lastDiagnostic());
    }

    bool readInfo()
    {
        if (!m_reader.enterChunk(iffTag("INFO"))) {
            report("Cannot find CHUNK INFO.");
            return false;
        }
        char language[kInfoTextBytes];
        char tableName[kInfoTextBytes];
        m_reader.readString(language, sizeof language);
        m_file.m_characterSize = m_reader.readInt32(false);
        m_reader.readInt32(false); // reserved
        m_reader.readString(tableName, sizeof tableName);
        m_reader.readInt32(false); // reserved
        int32_t count = m_reader.readInt32(false);
        m_file.m_language = language;
        m_file.m_tableName = tableName;
        if (m_reader.remaining() > 0)
            report("Extra data in CHUNK INFO.");
        m_reader.exitChunk(iffTag("INFO"), false);
        if (m_file.m_characterSize != 1 && m_file.m_characterSize != 2)
            report("Illegal character size.");
        if (count <= 0) {
            report("stringCount <= 0.");
            count = 0;
        }
        // Each text takes at least its terminator in the file, so a count
        // beyond the file's size cannot be true; it must not size the arrays.
        int32_t limit = std::min(m_reader.remaining(), 1 << 24);
        if (count > limit) {
            report("stringCount larger than the file.");
            count = limit;
        }
        m_file.m_texts.assign(size_t(count), WString(static_cast<const char16_t*>(nullptr)));
        return true;
    }

    bool readTexts()
    {
        if (!m_reader.enterChunk(iffTag("TEXT")))
            return false;
        // The texts are parsed in place, bounded by the chunk.
        ByteCursor payload({ m_reader.dataPointer(), size_t(m_reader.dataEnd() - m_reader.dataPointer()) });
        size_t unitSize = size_t(m_file.m_characterSize);
        if (unitSize == 1 || unitSize == 2) {
            for (WString& text : m_file.m_texts) {
                std::u16string units;
                bool terminated = false;
                while (payload.remaining() >= unitSize) {
                    char16_t unit = unitSize == 1 ? char16_t(payload.readU8()) : char16_t(payload.readU16());
                    if (unit == 0) {
                        terminated = true;
                        break;
                    }
                    units += unit;
                }
                if (!terminated) {
                    report("NOT ENOUGH DATA! Check string count.");
                    break;
                }
                text.assign(units.c_str());
            }
            if (payload.remaining() >= unitSize)
                report("TOO MUCH DATA! Check string count.");
        }
        m_reader.exitChunk(iffTag("TEXT"), false);
        return true;
    }

    // Records of `fields` int32 each, one per text, into the given arrays
    // (replacing any earlier chunk of the same kind). Records the chunk does
    // not hold stay 0.
    bool readIntegers(uint32_t tag, int32_t fields, std::initializer_list<std::vector<int32_t>*> arrays)
    {
        if (!m_reader.enterChunk(tag))
            return false;
        for (std::vector<int32_t>* array : arrays)
            array->assign(m_file.m_texts.size(), 0);
        int32_t records = std::min<int32_t>(m_reader.remaining() / (4 * fields), int32_t(m_file.m_texts.size()));
        if (records < int32_t(m_file.m_texts.size()))
            report("At end of CHUNK. Not enough data ?");
        for (int32_t i = 0; i < records; ++i)
            for (std::vector<int32_t>* array : arrays)
                (*array)[size_t(i)] = m_reader.readInt32(false);
        m_reader.exitChunk(tag, true);
        noteReaderDiagnostic();
        return true;
    }

    bool readColours()
    {
        if (!m_reader.enterChunk(iffTag("COLR")))
            return false;
        m_file.m_colours.assign(m_file.m_texts.size(), 0);
        int32_t records = std::min<int32_t>(m_reader.remaining() / 12, int32_t(m_file.m_texts.size()));
        if (records < int32_t(m_file.m_texts.size()))
            report("At end of CHUNK. Not enough data ?");
        for (int32_t i = 0; i < records; ++i) {
            int32_t red = m_reader.readInt32(false);
            int32_t green = m_reader.readInt32(false);
            int32_t blue = m_reader.readInt32(false);
            m_file.m_colours[size_t(i)] = int32_t(uint32_t(red) * 65536u + uint32_t(green) * 256u + uint32_t(blue));
        }
        m_reader.exitChunk(iffTag("COLR"), true);
        noteReaderDiagnostic();
        return true;
    }

    bool readKeys()
    {
        if (!m_reader.enterChunk(iffTag("TKEY")))
            return false;
        m_file.m_keys.clear();
        m_file.m_hasKeys = true;
        for (size_t record = 0; record < m_file.m_texts.size(); ++record) {
            if (m_reader.remaining() < 8) {
                report("At end of CHUNK. Not enough data ?");
                break;
            }
            StringFile::KeyRecord keys;
            keys.textIndex = m_reader.readInt32(false);
            int32_t keyCount = m_reader.readInt32(false);
            if (keyCount < 0 || keyCount > StringFile::kMaxKeysPerRecord || keyCount > m_reader.remaining() / 4) {
                report("Bad key count in CHUNK TKEY.");
                break;
            }
            keys.keys.resize(size_t(keyCount));
            for (int32_t& key : keys.keys)
                key = m_reader.readInt32(false);
            if (keys.textIndex < 0 || keys.textIndex >= int32_t(m_file.m_texts.size())) {
                report("Bad text index in CHUNK TKEY.");
                continue;
            }
            m_file.m_keys.push_back(std::move(keys));
        }
        m_reader.exitChunk(iffTag("TKEY"), true);
        noteReaderDiagnostic();
        return true;
    }

    bool skipElement(uint32_t tag)
    {
        report("Ignoring Unexpected FORM or CHUNK.");
        if (!m_reader.enterChunk(tag))
            return false;
        m_reader.exitChunk(tag, false);
        return true;
    }

    // Keeps a line the reader composed itself (an exit that found extra data).
    void noteReaderDiagnostic()
    {
        if (m_reader.diagnosticCount() > m_reportedCount && (m_file.m_diagnostics.empty()
                || m_file.m_diagnostics.back() != m_reader.lastDiagnostic()))
            m_file.m_diagnostics.push_back(m_reader.lastDiagnostic());
        m_reportedCount = m_reader.diagnosticCount();
    }

    StringFile& m_file;
    IffReader m_reader;
    int32_t m_reportedCount = 0;
};

bool StringFile::loadImage(const std::string& name, const uint8_t* data, size_t size)
{
    *this = StringFile {};
    m_name = name;
    StringFileParser parser(*this, data, size);
    parser.parse();
    return true;
}

bool StringFile::load(const std::string& name, const std::string& language, bool exact)
{
    std::vector<std::string> codes { language };
    if (!exact) {
        codes.push_back(getLanguageCode());
        codes.push_back(getDefaultLanguageCode());
    }
    std::vector<uint8_t> image;
    for (const std::string& code : codes) {
        for (const std::string& prefix : { std::string(), std::string("language\\") }) {
            if (fileManager().readWhole(prefix + name + "." + code, image) > 0)
                return loadImage(name, image.data(), image.size());
        }
    }
    return false;
}

const WString* StringFile::getString(int32_t index) const
{
    if (m_hasKeys) {
        const KeyRecord* match = nullptr;
        for (const KeyRecord& record : m_keys) {
            if (std::find(record.keys.begin(), record.keys.end(), index) != record.keys.end()) {
                match = &record;
                break;
            }
        }
        if (!match)
            return nullptr;
        index = match->textIndex;
    }
    if (index < 0 || index >= count() || m_texts[size_t(index)].isNull())
        return nullptr;
    return &m_texts[size_t(index)];
}

const WString* StringFile::findByTime(int32_t t, int32_t& index) const
{
    index = -1;
    for (size_t i = 0; i < m_timeStart.size() && i < m_timeEnd.size(); ++i) {
        if (m_timeStart[i] <= t && t <= m_timeEnd[i]) {
            index = int32_t(i);
            return getString(index);
        }
    }
    return nullptr;
}

StringFile* findLoadedStringFile(const std::string& name, const std::string& language,
    const std::string& tableName, bool exact)
{
    if (StringFile* file = findInCache(name, language, tableName))
        return file;
    if (exact)
        return nullptr;
    if (StringFile* file = findInCache(name, getLanguageCode(), tableName))
        return file;
    return findInCache(name, getDefaultLanguageCode(), tableName);
}

StringFile* findStringFile(const std::string& name, const std::string& language, const std::string& tableName,
    bool reload, bool reportMissing, bool exact)
{
    if (reload) {
        if (StringFile* cached = findLoadedStringFile(name, language, tableName, false)) {
            g_cache.erase(std::find_if(g_cache.begin(), g_cache.end(),
                [cached](const std::unique_ptr<StringFile>& file) { return file.get() == cached; }));
        }
    }
    if (StringFile* cached = findLoadedStringFile(name, language, tableName, exact))
        return cached;
    auto file = std::make_unique<StringFile>();
    if (file->load(name, language, exact))
        return g_cache.insert(g_cache.begin(), std::move(file))->get();
    if (reportMissing)
        reportFatal("%s", "");
    return nullptr;
}

void freeStringFiles()
{
    g_cache.clear();
}
