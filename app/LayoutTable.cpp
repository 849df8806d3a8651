#include "LayoutTable.h"

#include <algorithm>
#include <string>

void RecordLayoutRow(StringGridCells& table, int row, const LineList& entries) {
    const int layoutCount = std::max(0, static_cast<int>(entries.size()) - 1);
    if (table.ColCount() < layoutCount + 3) table.SetColCount(layoutCount + 3);
    table.SetCell(1, row, std::to_string(layoutCount));
    for (int k = 1; k <= layoutCount; ++k) table.SetCell(k + 1, row, entries[k]);
}

void ClearWithinCounts(StringGridCells& table) {
    for (int row = 0; row < table.RowCount(); ++row)
        for (int col = 0; col < table.ColCount(); ++col) table.SetCell(col, row, "");
}

void ForgetLayoutRows(StringGridCells& table, int n) {
    table.SetRowCount(1);
    for (int row = 1; row <= n; ++row)
        for (int col = 1; col < table.ColCount(); ++col) table.SetCell(col, row, "");
}
