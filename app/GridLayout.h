// The cell geometry of a string grid window: which rows and columns fit, how far the grid can
// scroll and which cell lies under a point. Sizes are in screen pixels; every cell is followed
// by a grid line on its right and below it.
#pragma once

#include <optional>
#include <vector>

struct GridLayout {
    std::vector<int> colWidths;   // columns without an entry are defaultColWidth wide
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
