#include "platform/key_store.h"
#include "platform/ascii_text.h"

#include "platform/file_system.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <vector>

// The file looks like this:
//   [SOFTWARE\Halcyr Worlds Online]
//   HarvestStage=dword:0000001c
//   InstCDPath=string:/games/vardun/
// Key paths and value names match without regard to case, as the system
// registry does. In names and strings '%' introduces two hex digits, which
// carry '%', '=' (in names), line breaks and NUL. Lines the store does not
// understand are kept as they are when it rewrites the file.

namespace platform {

namespace {

// Far above anything the client stores; a bigger file is not ours.
constexpr size_t kMaxFileSize = 4 * 1024 * 1024;

struct Section {
    std::string keyPath;
    std::vector<std::string> lines;
};

struct Document {
    std::vector<std::string> preamble;
    std::vector<Section> sections;
};

enum class ValueType { Dword, String };

struct Value {
    std::string name;
    ValueType type = ValueType::String;
    std::string text; // a string value
    uint32_t number = 0; // a DWORD value
};

// "KEY\" and "KEY" name the same key. Empty paths and paths that would break
// the line structure are refused.
bool normalizeKeyPath(const std::string& keyPath, std::string& normalized)
{
    normalized = keyPath;
    while (!normalized.empty() && normalized.back() == '\\')
        normalized.pop_back();
    if (normalized.empty())
        return false;
    for (char c : normalized) {
        if (c == '\n' || c == '\r' || c == '\0')
            return false;
    }
    return true;
}

std::string escape(const std::string& text, bool isName)
{
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        auto byte = uint8_t(c);
        if (c == '%' || c == '\n' || c == '\r' || c == '\0' || (isName && c == '=')) {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        } else {
            out += c;
        }
    }
    return out;
}

bool unescape(const std::string& text, size_t begin, size_t end, std::string& out)
{
    out.clear();
    for (size_t i = begin; i < end; ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (end - i < 3)
            return false;
        int high = hexDigitValue(text[i + 1]);
        int low = hexDigitValue(text[i + 2]);
        if (high < 0 || low < 0)
            return false;
        out += char(high * 16 + low);
        i += 2;
    }
    return true;
}

bool parseDword(const std::string& text, uint32_t& value)
{
    if (text.empty() || text.size() > 8)
        return false;
    uint32_t result = 0;
    for (char c : text) {
        int digit = hexDigitValue(c);
        if (digit < 0)
            return false;
        result = result * 16 + uint32_t(digit);
    }
    value = result;
    return true;
}

bool parseValueLine(const std::string& line, Value& value)
{
    size_t equals = line.find('=');
    if (equals == std::string::npos || !unescape(line, 0, equals, value.name))
        return false;
    std::string rest = line.substr(equals + 1);
    if (rest.rfind("dword:", 0) == 0) {
        value.type = ValueType::Dword;
        return parseDword(rest.substr(6), value.number);
    }
    if (rest.rfind("string:", 0) == 0) {
        value.type = ValueType::String;
        return unescape(rest, 7, rest.size(), value.text);
    }
    return false;
}

bool isValueLine(const std::string& line, const std::string& name)
{
    Value value;
    return parseValueLine(line, value) && equalIgnoringAsciiCase(value.name, name);
}

// Missing file: an empty document. Unreadable or oversized: false, so that a
// write never replaces a file it could not understand.
bool loadDocument(const std::string& path, Document& document)
{
    document = {};
    std::unique_ptr<FILE, int (*)(FILE*)> file(openRegularFile(path, "rb"), &std::fclose);
    if (!file)
        return errno == ENOENT;
    std::string content;
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
        content.append(chunk, got);
        if (content.size() > kMaxFileSize)
            return false;
    }
    if (std::ferror(file.get()))
        return false;

    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        std::string line = content.substr(start, end - start);
        start = end + 1;
        // Every carriage return before the line feed goes: the file is
        // written back with "\n" alone, and a line that kept one of several
        // would read differently next time ("[x]\r" would become a section).
        while (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            std::string keyPath;
            if (normalizeKeyPath(line.substr(1, line.size() - 2), keyPath)) {
                document.sections.push_back({ keyPath, {} });
                continue;
            }
        }
        if (document.sections.empty())
            document.preamble.push_back(std::move(line));
        else
            document.sections.back().lines.push_back(std::move(line));
    }
    return true;
}

Section* findSection(Document& document, const std::string& keyPath)
{
    for (Section& section : document.sections) {
        if (equalIgnoringAsciiCase(section.keyPath, keyPath))
            return &section;
    }
    return nullptr;
}

// The whole file is replaced at once and flushed to the disk, so that a crash
// leaves either the old or the new file, and a value written before a crash is
// still there after it.
bool save(const std::string& path, const Document& document)
{
    std::string content;
    for (const std::string& line : document.preamble)
        content += line + "\n";
    for (const Section& section : document.sections) {
        content += "[" + section.keyPath + "]\n";
        for (const std::string& line : section.lines)
            content += line + "\n";
    }

    return makeDirectories(parentDirectory(path)) && replaceFileContents(path, content);
}

// Reads the file into `document` and finds the key's section there; null when
// the key path is refused, the file cannot be read or the key does not exist.
Section* loadSection(const std::string& path, const std::string& keyPath, Document& document)
{
    std::string key;
    if (!normalizeKeyPath(keyPath, key) || !loadDocument(path, document))
        return nullptr;
    return findSection(document, key);
}

bool readValue(const std::string& path, const std::string& keyPath, const std::string& valueName, Value& value)
{
    Document document;
    Section* section = loadSection(path, keyPath, document);
    if (!section)
        return false;
    for (const std::string& line : section->lines) {
        if (parseValueLine(line, value) && equalIgnoringAsciiCase(value.name, valueName))
            return true;
    }
    return false;
}

bool writeValue(
    const std::string& path, const std::string& keyPath, const std::string& valueName, const std::string& line)
{
    Document document;
    Section* section = loadSection(path, keyPath, document);
    if (!section)
        return false;
    bool replaced = false;
    for (std::string& existing : section->lines) {
        if (isValueLine(existing, valueName)) {
            existing = line;
            replaced = true;
            break;
        }
    }
    if (!replaced) {
        // Keep blank lines that separate sections after the new value.
        auto position = section->lines.end();
        while (position != section->lines.begin() && (position - 1)->empty())
            --position;
        section->lines.insert(position, line);
    }
    return save(path, document);
}

KeyStore*& installedKeyStore()
{
    static KeyStore* installed = nullptr;
    return installed;
}

} // namespace

std::string defaultKeyStorePath()
{
    std::string directory = configDirectory();
    if (directory.empty())
        return {};
    return directory + "/registry.ini";
}

KeyStore::KeyStore(std::string filePath)
    : m_filePath(std::move(filePath))
{
}

bool KeyStore::keyExists(const std::string& keyPath) const
{
    Document document;
    return loadSection(m_filePath, keyPath, document) != nullptr;
}

bool KeyStore::createKey(const std::string& keyPath)
{
    std::string key;
    Document document;
    if (m_filePath.empty() || !normalizeKeyPath(keyPath, key) || !loadDocument(m_filePath, document))
        return false;
    if (findSection(document, key))
        return true;
    document.sections.push_back({ key, {} });
    return save(m_filePath, document);
}

bool KeyStore::readDword(const std::string& keyPath, const std::string& valueName, uint32_t& value) const
{
    Value found;
    if (!readValue(m_filePath, keyPath, valueName, found) || found.type != ValueType::Dword)
        return false;
    value = found.number;
    return true;
}

bool KeyStore::readString(const std::string& keyPath, const std::string& valueName, std::string& value) const
{
    Value found;
    if (!readValue(m_filePath, keyPath, valueName, found) || found.type != ValueType::String)
        return false;
    value = std::move(found.text);
    return true;
}

bool KeyStore::writeDword(const std::string& keyPath, const std::string& valueName, uint32_t value)
{
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08x", unsigned(value));
    return writeValue(m_filePath, keyPath, valueName, escape(valueName, true) + "=dword:" + digits);
}

bool KeyStore::writeString(const std::string& keyPath, const std::string& valueName, const std::string& value)
{
    return writeValue(m_filePath, keyPath, valueName, escape(valueName, true) + "=string:" + escape(value, false));
}

KeyStore& keyStore()
{
    if (KeyStore* installed = installedKeyStore())
        return *installed;
    static KeyStore defaultStore(defaultKeyStorePath());
    return defaultStore;
}

KeyStore* installKeyStore(KeyStore* replacement)
{
    KeyStore* previous = installedKeyStore();
    installedKeyStore() = replacement;
    return previous;
}

} // namespace platform
