#include "StringGrid.h"

#include <algorithm>

int GridLayout::ColWidth(int col) const {
    return col >= 0 && col < static_cast<int>(colWidths.size()) ? colWidths[col] : defaultColWidth;
}

int GridLayout::VisibleRows(int clientHeight) const {
    return std::max(1, (clientHeight - fixedRows * RowPitch()) / RowPitch());
}

int GridLayout::VisibleCols(int fromCol, int colCount, int clientWidth) const {
    int right = 0;
    int n = 0;
    for (int col = fromCol; col < colCount; ++col) {
        right += ColWidth(col) + kLineWidth;
        if (right > clientWidth) break;
        ++n;
    }
    return std::max(1, n);
}

int GridLayout::MaxTopRow(int rowCount, int clientHeight) const {
    return std::max(fixedRows, rowCount - VisibleRows(clientHeight));
}

int GridLayout::MaxLeftCol(int colCount, int clientWidth) const {
    // Walk back from the last column while the columns still fit side by side.
    int width = 0;
    int col = colCount;
    while (col > 0 && width + ColWidth(col - 1) + kLineWidth <= clientWidth) width += ColWidth(--col) + kLineWidth;
    return std::min(col, std::max(0, colCount - 1));
}

std::optional<GridLayout::Cell> GridLayout::CellAt(int x, int y, int leftCol, int topRow, int colCount,
                                                   int rowCount) const {
    const int fixedHeight = fixedRows * RowPitch();
    if (x < 0 || y < fixedHeight) return std::nullopt;
    const int row = topRow + (y - fixedHeight) / RowPitch();
    if (row >= rowCount) return std::nullopt;
    for (int col = leftCol, right = 0; col < colCount; ++col) {
        right += ColWidth(col) + kLineWidth;
        if (x < right) return Cell{col, row};
    }
    return std::nullopt;
}

std::string GridText(const StringGridCells& cells) {
    std::string text = "cols=" + std::to_string(cells.ColCount()) + " rows=" + std::to_string(cells.RowCount());
    for (int row = 0; row < cells.RowCount(); ++row) {
        text += "\r\n";
        for (int col = 0; col < cells.ColCount(); ++col) {
            if (col > 0) text += '\t';
            text += cells.Cell(col, row);
        }
    }
    return text;
}
