// Expected texts of a table's cells, for any table read by Cell(col, row): the string grids'
// own tables and the grids read from outside alike. A failing cell names its place.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

struct CellText {
    int col, row;
    std::string text;
};

template <class Table>
void ExpectCells(const Table& table, std::initializer_list<CellText> cells) {
    for (const CellText& c : cells) EXPECT_EQ(table.Cell(c.col, c.row), c.text) << "cell " << c.col << "," << c.row;
}
