#include "Tables.h"

#include <stdexcept>

const std::string& StringGridCells::Cell(int col, int row) const {
    static const std::string kEmpty;
    if (row < 0 || col < 0 || static_cast<std::size_t>(row) >= rows_.size()) {
        return kEmpty;
    }
    const std::vector<std::string>& cols = rows_[row];
    return static_cast<std::size_t>(col) < cols.size() ? cols[col] : kEmpty;
}

void StringGridCells::SetCell(int col, int row, std::string text) {
    if (row < 0 || col < 0) {
        throw std::out_of_range("string grid cell before column 0 or row 0");
    }
    // An empty text reads the same stored or not, so it never makes a table grow.
    if (static_cast<std::size_t>(row) >= rows_.size()) {
        if (text.empty()) {
            return;
        }
        rows_.resize(static_cast<std::size_t>(row) + 1);
    }
    std::vector<std::string>& cols = rows_[row];
    if (static_cast<std::size_t>(col) >= cols.size()) {
        if (text.empty()) {
            return;
        }
        cols.resize(static_cast<std::size_t>(col) + 1);
    }
    cols[col] = std::move(text);
}
