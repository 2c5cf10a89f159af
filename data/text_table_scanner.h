#pragma once
// Reads the world layer's small text tables ("mobtypes.txt", "bodyconv.def",
// "Equipconv.def") line by line: each line is cut at '#' and its fields are
// taken one by one, blanks between them skipped. Every field is bounded by the
// line it is in, however long the line is.

#include <cstdint>
#include <string_view>

class TextTableScanner {
public:
    explicit TextTableScanner(std::string_view text)
        : m_text(text)
    {
    }
    // The next line without its line end and without what follows '#'.
    bool nextLine(std::string_view& line);

private:
    std::string_view m_text;
    size_t m_position = 0;
};

// The fields of one line, in order.
class LineFields {
public:
    explicit LineFields(std::string_view line)
        : m_line(line)
    {
    }
    // A decimal number with an optional sign; values beyond 32 bits are clamped.
    bool readInt(int32_t& value);
    // A hexadecimal number with an optional "0x"; the low 32 bits are kept.
    bool readHex(uint32_t& value);
    // A run of non-blank characters.
    bool readWord(std::string_view& word);
    // Exactly `c` as the next character, blanks not skipped.
    bool readChar(char c);

private:
    void skipBlanks();
    std::string_view m_line;
    size_t m_position = 0;
};
