#include "text/cliloc_table.h"

#include "core/byte_cursor.h"
#include "core/error_report.h"
#include "core/wide_text.h"
#include "data/client_file_path.h"
#include "text/obscenity_filter.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <iterator>

namespace {

std::unique_ptr<ClilocTable> g_table;

// Messages whose arguments are inserted as written, '#' and all.
constexpr int32_t kLiteralIds[] = { 1041473, 1041509, 1041601, 1043305, 1046414, 1050045, 1060802, 1060804, 1060805,
    1060806, 1061112, 1061639, 1062449, 1062452, 1062453, 1062454, 1062481, 1062498, 1070722, 1072305 };
constexpr int32_t kFilteredId = 1072305;

// Decoded texts are at most this many units (texts are at most 4080 bytes).
constexpr int32_t kDecodeUnits = 8192;

void setError(WString& text, const char* what, int32_t number, int32_t id)
{
    char message[128];
    std::snprintf(message, sizeof message, "Error (TID): %s : %d : %d", what, number, id);
    text.assignNarrow(message);
}

// A number in a token or an argument, read like any other number of the
// text layer, except that long digit runs from the server saturate instead
// of wrapping round into a valid argument number.
int32_t readTokenNumber(const char16_t* text) { return wstrToIntSaturated(text); }

bool inIdRange(int32_t id)
{
    return id >= kFirstClilocId && id <= kLastClilocId;
}

} // namespace

ClilocTable* clilocTable()
{
    return g_table.get();
}

void setClilocTable(std::unique_ptr<ClilocTable> table)
{
    g_table = std::move(table);
}

bool ClilocTable::loadFile(const std::string& name)
{
    std::vector<uint8_t> image;
    if (!readOptionalStartupFile(name, image)) {
        reportError("Couldn't open file (%s)!", name.c_str());
        return false;
    }
    return loadBytes(image.data(), image.size());
}

bool ClilocTable::loadBytes(const uint8_t* data, size_t size)
{
    if (!data || size < kHeaderBytes)
        return false;
    ByteCursor cursor({ data, size });
    cursor.skip(kHeaderBytes);
    while (cursor.remaining() > 0) {
        // id (int32), flag (uint8, ignored), length (uint16), then the text.
        int32_t id = cursor.readI32();
        cursor.readU8();
        size_t length = cursor.readU16();
        size_t start = cursor.position();
        if (!cursor.skip(length))
            return false;
        m_texts[id].assign(reinterpret_cast<const char*>(data + start), std::min(length, kMaxTextBytes));
    }
    return true;
}

const std::string* ClilocTable::utf8Text(int32_t id) const
{
    auto found = m_texts.find(id);
    return found == m_texts.end() ? nullptr : &found->second;
}

void ClilocTable::lookup(WString& out, int32_t id, bool quiet) const
{
    const std::string* text = utf8Text(id);
    if (!text) {
        if (quiet) {
            out.assign(u"");
            return;
        }
        char message[80];
        std::snprintf(message, sizeof message, "Error (DudiViruza) : StringId Not Found : %d", id);
        out.assignNarrow(message);
        return;
    }
    char16_t decoded[kDecodeUnits];
    utf8ToWide(decoded, text->c_str(), kDecodeUnits);
    out.assign(decoded);
}

void getClilocString(WString& out, int32_t id, int32_t quiet)
{
    if (ClilocTable* table = clilocTable()) {
        table->lookup(out, id, quiet == 1);
        return;
    }
    // Before start-up every id is missing.
    ClilocTable empty;
    empty.lookup(out, id, quiet == 1);
}

std::vector<std::u16string> splitClilocArguments(const char16_t* arguments)
{
    std::vector<std::u16string> pieces;
    if (!arguments || !arguments[0])
        return pieces;
    std::u16string current;
    for (const char16_t* p = arguments; *p; ++p) {
        if (*p != u'\t') {
            current += *p;
            continue;
        }
        pieces.push_back(std::move(current));
        current.clear();
        if (int32_t(pieces.size()) == kMaxClilocArguments)
            return pieces;
        if (!p[1])
            return pieces; // a trailing TAB makes no empty last argument
    }
    pieces.push_back(std::move(current));
    return pieces;
}

void formatClilocString(WString& text, const char16_t* arguments, int32_t id, bool literal, bool filter)
{
    if (!arguments || !arguments[0])
        return;
    substituteClilocArgs(text, splitClilocArguments(arguments), id, literal, filter);
}

void substituteClilocArgs(WString& text, const std::vector<std::u16string>& arguments, int32_t id, bool literal,
    bool filter)
{
    if (std::find(std::begin(kLiteralIds), std::end(kLiteralIds), id) != std::end(kLiteralIds))
        literal = true;
    if (id == kFilteredId)
        filter = true;
    if (text.isNull())
        return;
    std::u16string source(text.c_str());
    std::u16string result;
    size_t i = 0;
    while (i < source.size()) {
        char16_t c = source[i];
        if (c != u'~' || (i > 0 && source[i - 1] == u'\\')) {
            result += c;
            ++i;
            continue;
        }
        WString value;
        const char16_t* token = source.c_str() + i + 1;
        int32_t number = 0;
        if (token[0] == u'#') {
            number = readTokenNumber(token + 1);
            if (!inIdRange(number)) {
                setError(text, "Token Out of Range", number, id);
                return;
            }
            getClilocString(value, number, 0);
        } else {
            number = readTokenNumber(token);
            if (number < 1 || number > int32_t(arguments.size())) {
                setError(text, "Token Out of Range", number, id);
                return;
            }
            const std::u16string& argument = arguments[size_t(number - 1)];
            if (literal || argument.empty() || argument[0] != u'#') {
                value.assign(argument.c_str());
            } else {
                int32_t named = readTokenNumber(argument.c_str() + 1);
                if (!inIdRange(named)) {
                    setError(text, "Provided Token Out of Range", named, id);
                    return;
                }
                getClilocString(value, named, 0);
            }
        }
        if (value.isNull()) {
            setError(text, "Null Token", number, id);
            return;
        }
        std::u16string inserted(value.c_str());
        if (filter)
            censorTextWide(inserted.data());
        result += inserted;
        size_t close = source.find(u'~', i + 1);
        i = close == std::u16string::npos ? source.size() : close + 1;
    }
    text.assign(result.c_str());
}
