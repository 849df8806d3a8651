#include "app/LayoutTable.h"

#include <gtest/gtest.h>

#include "testsupport/ExpectCells.h"

namespace {
StringGridCells SurveyTable() {
    StringGridCells table(5, 4);
    table.SetCell(0, 0, "取得完了");
    table.SetCell(1, 0, "ﾚｲｱｳﾄ数");
    table.SetCell(0, 1, "C:\\a.dwg");
    table.SetCell(0, 2, "C:\\b.dwg");
    table.SetCell(0, 3, "C:\\c.dwg");
    return table;
}
}  // namespace

TEST(LayoutRow, CountInColumnOneAndNamesFromColumnTwoLeadEntryPassedOver) {
    StringGridCells table = SurveyTable();
    RecordLayoutRow(table, 2, {"lead", "Model", "Layout1"});
    ExpectCells(
        table,
        {{0, 2, "C:\\b.dwg"}, {1, 2, "2"}, {2, 2, "Model"}, {3, 2, "Layout1"}, {4, 2, ""}, {1, 1, ""}, {1, 3, ""}});
}

TEST(LayoutRow, TableWidensToOneColumnMoreThanTheRowUsesAndNeverNarrows) {
    StringGridCells table = SurveyTable();
    RecordLayoutRow(table, 3, {"lead", "A", "B", "C", "D"});
    EXPECT_EQ(table.ColCount(), 7);
    EXPECT_EQ(table.Cell(5, 3), "D");
    RecordLayoutRow(table, 2, {"lead", "A"});
    EXPECT_EQ(table.ColCount(), 7);
    EXPECT_EQ(table.RowCount(), 4);
}

TEST(LayoutRow, LeadEntryAloneGivesZeroAndKeepsFiveColumns) {
    StringGridCells table = SurveyTable();
    RecordLayoutRow(table, 1, {"everything before the listing"});
    EXPECT_EQ(table.Cell(1, 1), "0");
    EXPECT_EQ(table.Cell(2, 1), "");
    EXPECT_EQ(table.ColCount(), 5);
}

TEST(LayoutRow, NoEntriesAtAllGivesZero) {
    StringGridCells table = SurveyTable();
    RecordLayoutRow(table, 1, {});
    EXPECT_EQ(table.Cell(1, 1), "0");
    EXPECT_EQ(table.ColCount(), 5);
}

TEST(LayoutTableClear, EmptiesEveryCellWithinTheCountsHeadersIncluded) {
    StringGridCells table = SurveyTable();
    RecordLayoutRow(table, 3, {"lead", "A", "B", "C", "D"});
    ClearWithinCounts(table);
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 7; ++col) EXPECT_EQ(table.Cell(col, row), "") << col << "," << row;
    EXPECT_EQ(table.ColCount(), 7);
    EXPECT_EQ(table.RowCount(), 4);
}

TEST(LayoutTableClear, CellsBeyondTheCountsKeepTheirText) {
    StringGridCells table = SurveyTable();
    table.SetCell(0, 6, "row of an earlier, larger survey");
    ClearWithinCounts(table);
    EXPECT_EQ(table.Cell(0, 6), "row of an earlier, larger survey");
}

TEST(LayoutTableForget, SurveyCutShortLeavesRowCountOneAndNoLayoutsButThePaths) {
    StringGridCells table = SurveyTable();
    RecordLayoutRow(table, 3, {"lead", "A", "B", "C", "D"});
    RecordLayoutRow(table, 2, {"lead", "E"});
    ForgetLayoutRows(table, 3);
    EXPECT_EQ(table.RowCount(), 1) << "a later loop would take the half survey for a whole one";
    ExpectCells(
        table,
        {{0, 0, "取得完了"}, {1, 0, "ﾚｲｱｳﾄ数"}, {0, 3, "C:\\c.dwg"}, {1, 3, ""}, {5, 3, ""}, {1, 2, ""}, {2, 2, ""}});
}
