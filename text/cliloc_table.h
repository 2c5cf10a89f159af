#pragma once
// Localized messages by 32-bit id. The table holds the UTF-8 texts of
// "cliloc.enu" with the chosen language's file loaded over it; look-ups give
// wide text, and formatting fills a message's numbered tokens (~1_NAME~) from
// a TAB-separated argument list as the server sends it. One process-wide
// table, made by the localization start-up. Main thread only.

#include "core/wide_string.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class ClilocTable {
public:
    // Texts longer than this many UTF-8 bytes keep their first part.
    static constexpr size_t kMaxTextBytes = 4080;
    static constexpr size_t kHeaderBytes = 6;

    // Reads a cliloc file through the file manager; a missing file is
    // reported and leaves the table as it was.
    bool loadFile(const std::string& name);
    // Reads the records of a cliloc image over the table. A record cut short
    // by the end of the image ends the read: false, with every record before
    // it kept.
    bool loadBytes(const uint8_t* data, size_t size);

    // The text of id; when missing, the empty text when quiet, else
    // "Error (DudiViruza) : StringId Not Found : " and the id.
    void lookup(WString& out, int32_t id, bool quiet) const;
    bool contains(int32_t id) const { return m_texts.count(id) != 0; }
    size_t size() const { return m_texts.size(); }
    const std::string* utf8Text(int32_t id) const;

private:
    std::map<int32_t, std::string> m_texts;
};

// The process-wide table; null before start-up made it and after shutdown.
ClilocTable* clilocTable();
void setClilocTable(std::unique_ptr<ClilocTable> table);

// Arguments beyond this many are dropped.
constexpr int32_t kMaxClilocArguments = 32;
// The id range of messages an argument or a token may name.
constexpr int32_t kFirstClilocId = 500000;
constexpr int32_t kLastClilocId = 1999999;

// quiet is exactly 1 for the empty text on a missing id.
void getClilocString(WString& out, int32_t id, int32_t quiet);
// Splits arguments at TAB (no empty last argument after a trailing TAB; at
// most kMaxClilocArguments) and substitutes them into text. Null or empty
// arguments leave text unchanged.
void formatClilocString(WString& text, const char16_t* arguments, int32_t id, bool literal, bool filter);
std::vector<std::u16string> splitClilocArguments(const char16_t* arguments);
// The substitution step: ~n~ tokens take argument n (an argument "#id" is
// replaced by that message unless literal), ~#id~ tokens insert message id,
// "\~" is no token. An error replaces the whole text by a text naming the
// number and the message id. The ids that take their arguments literally set
// literal themselves, and 1072305 also sets filter (arguments pass through
// the obscene-word filter).
void substituteClilocArgs(WString& text, const std::vector<std::u16string>& arguments, int32_t id, bool literal,
    bool filter);
