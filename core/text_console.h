#pragma once
// The reporter's 80 x 25 text console: character cells with an attribute byte,
// a cursor, and a choice of wrapping to the top or scrolling up when the
// cursor runs off the last row. Nothing displays it; the reporter keeps one
// from the moment it opens. Main thread only.

#include <array>
#include <cstdint>

class TextConsole {
public:
    static constexpr int kColumns = 80;
    static constexpr int kRows = 25;
    static constexpr uint8_t kAttribute = 7;

    enum class WhenFull {
        Wrap,
        Scroll,
    };

    struct Cell {
        uint8_t character;
        uint8_t attribute;
    };

    // Every cell blank with attribute 7, the cursor at the top left.
    TextConsole();

    void putChar(char c);
    // 1 wraps, 2 scrolls; 0 is recorded but keeps the earlier choice. Any
    // other mode is ignored.
    void setMode(int mode);

    int mode() const { return m_mode; }
    WhenFull whenFull() const { return m_whenFull; }
    int column() const { return m_column; }
    int row() const { return m_row; }
    // Column and row must be inside the console.
    Cell cellAt(int column, int row) const { return m_cells[column + row * kColumns]; }

private:
    void onFull();

    std::array<Cell, kColumns * kRows> m_cells;
    int m_column = 0;
    int m_row = 0;
    int m_mode = 0;
    WhenFull m_whenFull = WhenFull::Wrap;
};

// The reporter's console; null until the reporter first opens.
TextConsole* reporterConsole();
// Both do nothing before the reporter has opened.
void consolePutChar(char c);
void setConsoleMode(int mode);
