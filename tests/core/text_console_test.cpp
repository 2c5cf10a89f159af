#include "core/text_console.h"

#include <gtest/gtest.h>
#include <string>

namespace {

std::string rowText(const TextConsole& console, int row)
{
    std::string text;
    for (int column = 0; column < TextConsole::kColumns; ++column)
        text += char(console.cellAt(column, row).character);
    return text;
}

std::string padded(const std::string& text, char fill = ' ')
{
    return text + std::string(TextConsole::kColumns - text.size(), fill);
}

void putLine(TextConsole& console, const std::string& line)
{
    for (char c : line)
        console.putChar(c);
    console.putChar('\n');
}

TEST(TextConsole, StartsBlankWithTheCursorAtTheTopLeft)
{
    TextConsole console;
    EXPECT_EQ(console.column(), 0);
    EXPECT_EQ(console.row(), 0);
    EXPECT_EQ(console.mode(), 0);
    EXPECT_EQ(console.whenFull(), TextConsole::WhenFull::Wrap);
    for (int row = 0; row < TextConsole::kRows; ++row)
        EXPECT_EQ(rowText(console, row), padded(""));
    EXPECT_EQ(console.cellAt(79, 24).attribute, 7);
}

TEST(TextConsole, ScrollingKeepsTheLastLinesAndClearsTheBottomRow)
{
    TextConsole console;
    console.setMode(2);
    for (int line = 1; line <= 25; ++line)
        putLine(console, "line " + std::to_string(line));
    for (int row = 0; row < 24; ++row)
        EXPECT_EQ(rowText(console, row), padded("line " + std::to_string(row + 2))) << "row " << row;
    EXPECT_EQ(rowText(console, 24), padded("", '\0'));
    EXPECT_EQ(console.cellAt(0, 24).attribute, 0);
    EXPECT_EQ(console.column(), 0);
    EXPECT_EQ(console.row(), 24);
}

TEST(TextConsole, WrappingOverwritesTheFirstLine)
{
    TextConsole console;
    console.setMode(1);
    for (int line = 1; line <= 25; ++line)
        putLine(console, "line " + std::to_string(line));
    EXPECT_EQ(console.column(), 0);
    EXPECT_EQ(console.row(), 0);
    putLine(console, "NEW");
    EXPECT_EQ(rowText(console, 0), padded("NEWe 1"));
    EXPECT_EQ(rowText(console, 1), padded("line 2"));
}

TEST(TextConsole, ALineOf80CharactersMovesToTheNextRow)
{
    TextConsole console;
    for (int i = 0; i < 80; ++i)
        console.putChar('a');
    EXPECT_EQ(console.column(), 0);
    EXPECT_EQ(console.row(), 1);
    console.putChar('b');
    EXPECT_EQ(rowText(console, 1), padded("b"));
}

TEST(TextConsole, FillingTheLastCellScrolls)
{
    TextConsole console;
    console.setMode(2);
    for (int i = 0; i < 80 * 25; ++i)
        console.putChar(char('A' + i / 80));
    EXPECT_EQ(rowText(console, 0), std::string(80, 'B'));
    EXPECT_EQ(rowText(console, 23), std::string(80, 'Y'));
    EXPECT_EQ(console.row(), 24);
    EXPECT_EQ(console.column(), 0);
}

TEST(TextConsole, ModeZeroKeepsTheEarlierChoice)
{
    TextConsole console;
    console.setMode(0);
    EXPECT_EQ(console.whenFull(), TextConsole::WhenFull::Wrap);
    console.setMode(2);
    console.setMode(0);
    EXPECT_EQ(console.mode(), 0);
    EXPECT_EQ(console.whenFull(), TextConsole::WhenFull::Scroll);
    console.setMode(7);
    EXPECT_EQ(console.mode(), 0);
    EXPECT_EQ(console.whenFull(), TextConsole::WhenFull::Scroll);
}

} // namespace
