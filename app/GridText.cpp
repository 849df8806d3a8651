#include "GridText.h"

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
