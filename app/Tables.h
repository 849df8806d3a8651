// The working tables of the main window as plain data: a line list (the list boxes, the
// script-line list) and a string grid whose cells are stored apart from its counts.
#pragma once

#include <string>
#include <vector>

using LineList = std::vector<std::string>;

class StringGridCells {
public:
    StringGridCells(int colCount, int rowCount) : colCount_(colCount), rowCount_(rowCount) {}

    // A cell never written, or written empty, reads as the empty text, at any column and row.
    const std::string& Cell(int col, int row) const;
    // A negative column or row raises std::out_of_range.
    void SetCell(int col, int row, std::string text);

    int ColCount() const { return colCount_; }
    int RowCount() const { return rowCount_; }
    void SetColCount(int n) { colCount_ = n; }
    void SetRowCount(int n) { rowCount_ = n; }

private:
    int colCount_;
    int rowCount_;
    // [row][col]; a row or column never written is missing and reads as empty. Rows and
    // columns are dense because the program fills a table row by row from column 0.
    std::vector<std::vector<std::string>> rows_;
};
