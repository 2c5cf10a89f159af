#include "core/text_console.h"

#include <algorithm>

TextConsole::TextConsole() { m_cells.fill(Cell { ' ', kAttribute }); }

void TextConsole::putChar(char c)
{
    if (c == '\n') {
        m_column = 0;
        ++m_row;
        if (m_row == kRows)
            onFull();
        return;
    }
    // A cursor left past the last cell (never by this class, but the check is
    // cheap) starts over at the top rather than writing outside the buffer.
    if (m_column + m_row * kColumns >= kColumns * kRows)
        m_column = m_row = 0;
    m_cells[m_column + m_row * kColumns] = Cell { static_cast<uint8_t>(c), kAttribute };
    ++m_column;
    if (m_column == kColumns) {
        m_column = 0;
        ++m_row;
        if (m_row == kRows)
            onFull();
    }
}

void TextConsole::onFull()
{
    if (m_whenFull == WhenFull::Scroll) {
        std::copy(m_cells.begin() + kColumns, m_cells.end(), m_cells.begin());
        std::fill(m_cells.end() - kColumns, m_cells.end(), Cell { 0, 0 });
        m_column = 0;
        m_row = kRows - 1;
        return;
    }
    m_column = 0;
    m_row = 0;
}

void TextConsole::setMode(int mode)
{
    switch (mode) {
    case 0:
        break;
    case 1:
        m_whenFull = WhenFull::Wrap;
        break;
    case 2:
        m_whenFull = WhenFull::Scroll;
        break;
    default:
        return;
    }
    m_mode = mode;
}

void consolePutChar(char c)
{
    if (TextConsole* console = reporterConsole())
        console->putChar(c);
}

void setConsoleMode(int mode)
{
    if (TextConsole* console = reporterConsole())
        console->setMode(mode);
}
