// A tip's text cut into the lines its window shows: carriage returns end
// lines, a line that fits stays whole, a longer one breaks after its last
// whole word (or where it fills, without a blank), and none is longer than
// 80 bytes.

#include "fixtures/font_writers.h"
#include "text/ascii_font.h"
#include "windows/dye_and_tip_packets.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Font 6, the tip's: 'a' and the blank 10 pixels wide, '.' one pixel, so
// that 21 letters and blanks fill the 214 pixels of a line and a 22nd does not.
class TipLines : public ::testing::Test {
protected:
    void SetUp() override
    {
        fixture::AsciiFontFileWriter writer;
        writer.setSolidGlyph(6, 'a', 10, 3, 0, 0x7FFF)
            .setSolidGlyph(6, ' ', 10, 3, 0, 0)
            .setSolidGlyph(6, '.', 1, 3, 0, 0x7FFF);
        const std::string image = writer.bytes();
        ASSERT_TRUE(parseAsciiFontFile(reinterpret_cast<const uint8_t*>(image.data()), image.size()));
    }
    void TearDown() override { freeAsciiFonts(); }
};

struct TipLinesCase {
    const char* name;
    std::string text;
    std::vector<std::string> lines;
};

TEST_F(TipLines, CutWhereTheLineFillsAfterTheLastWholeWord)
{
    const std::vector<TipLinesCase> cases = {
        { "a line that fits stays whole", "aaa aa", { "aaa aa" } },
        { "carriage returns end lines", "aa\raaa", { "aa", "aaa" } },
        { "a long line breaks after its last whole word", "aaaa aaaa aaaa aaaa aaaa",
            { "aaaa aaaa aaaa aaaa", "aaaa" } },
        { "a word longer than the line breaks where it fills", std::string(30, 'a'),
            { std::string(21, 'a'), std::string(9, 'a') } },
        { "no line is longer than 80 bytes", std::string(100, '.'), { std::string(80, '.'), std::string(20, '.') } },
    };
    for (const TipLinesCase& c : cases)
        EXPECT_EQ(tipLines(c.text), c.lines) << c.name;
}

} // namespace
