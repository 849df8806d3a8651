// The portable side of the string grid window: its cell geometry and the text it gives to
// tools outside the process.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Tables.h"

// Which rows and columns fit, how far the grid can scroll and which cell lies under a point.
// Sizes are in screen pixels; every cell is followed by a grid line on its right and below it.
struct GridLayout {
    std::vector<int> colWidths;  // columns without an entry are defaultColWidth wide
    int defaultColWidth;
    int rowHeight;
    int fixedRows;
    static constexpr int kLineWidth = 1;

    int ColWidth(int col) const;
    int RowPitch() const { return rowHeight + kLineWidth; }

    // Whole scrolling rows that fit below the fixed rows; at least 1.
    int VisibleRows(int clientHeight) const;
    // Whole columns that fit from fromCol on; at least 1.
    int VisibleCols(int fromCol, int colCount, int clientWidth) const;
    // The highest first scrolling row and the highest first column that still fill the view.
    int MaxTopRow(int rowCount, int clientHeight) const;
    int MaxLeftCol(int colCount, int clientWidth) const;

    struct Cell {
        int col;
        int row;
    };
    // The scrolling cell under a point of the client area; none over the fixed rows or past
    // the last row or column.
    std::optional<Cell> CellAt(int x, int y, int leftCol, int topRow, int colCount, int rowCount) const;
};

// What a string grid window answers to WM_GETTEXT, so that tools outside the process can
// read the working tables, which lie outside the visible part of the window:
// "cols=<ColCount> rows=<RowCount>", then per row 0 … RowCount − 1 a CR LF and the cells of
// columns 0 … ColCount − 1 joined by TAB. Cells beyond the counts are left out.
std::string GridText(const StringGridCells& cells);
