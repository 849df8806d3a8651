#include "app/StringGrid.h"

#include <gtest/gtest.h>

namespace {
// The dropped-file table at 96 dpi: each cell plus its grid line is 65, 73, 65, 65, 65 wide
// and 25 high.
const GridLayout kDroppedFiles{{64, 72, 64, 64, 64}, 64, 24, 1};
const GridLayout kNoFixedRow{{}, 64, 24, 0};
}  // namespace

TEST(GridLayout, VisibleRowsCountWholeRowsBelowTheFixedOnesAndAtLeastOne) {
    EXPECT_EQ(kDroppedFiles.VisibleRows(120), 3);
    EXPECT_EQ(kNoFixedRow.VisibleRows(120), 4);
    EXPECT_EQ(kDroppedFiles.VisibleRows(10), 1);
}

TEST(GridLayout, ColumnsWithoutAWidthTakeTheDefault) {
    EXPECT_EQ(kDroppedFiles.ColWidth(1), 72);
    EXPECT_EQ(kDroppedFiles.ColWidth(7), 64);
}

TEST(GridLayout, ScrollingStopsWhenTheLastRowIsInView) {
    EXPECT_EQ(kDroppedFiles.MaxTopRow(5, 120), 2);
    EXPECT_EQ(kDroppedFiles.MaxTopRow(3, 120), 1);  // everything fits: the first scrolling row
    EXPECT_EQ(kNoFixedRow.MaxTopRow(1, 120), 0);
}

TEST(GridLayout, ScrollingStopsWhenTheLastColumnsFillTheView) {
    EXPECT_EQ(kDroppedFiles.MaxLeftCol(5, 200), 2);  // 65 + 65 + 65 fit, 73 more does not
    EXPECT_EQ(kDroppedFiles.MaxLeftCol(5, 400), 0);
    EXPECT_EQ(kDroppedFiles.MaxLeftCol(0, 400), 0);
}

TEST(GridLayout, ColumnWiderThanTheViewCanStillBeScrolledTo) {
    const GridLayout wideFirst{{500}, 64, 24, 0};
    EXPECT_EQ(wideFirst.MaxLeftCol(3, 200), 1);
    EXPECT_EQ(wideFirst.MaxLeftCol(1, 200), 0);
    EXPECT_EQ(wideFirst.VisibleCols(0, 3, 200), 1);
}

TEST(GridLayout, VisibleColumnsCountFromTheFirstShownColumn) {
    EXPECT_EQ(kDroppedFiles.VisibleCols(0, 5, 200), 2);
    EXPECT_EQ(kDroppedFiles.VisibleCols(3, 5, 200), 2);
    EXPECT_EQ(kDroppedFiles.VisibleCols(0, 5, 1000), 5);
}

TEST(GridLayout, CellUnderAPointFollowsTheScrollPosition) {
    const auto cell = kDroppedFiles.CellAt(70, 30, 0, 1, 5, 5);
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->col, 1);
    EXPECT_EQ(cell->row, 1);
    const auto scrolled = kDroppedFiles.CellAt(70, 30, 2, 3, 5, 5);
    ASSERT_TRUE(scrolled);
    EXPECT_EQ(scrolled->col, 3);
    EXPECT_EQ(scrolled->row, 3);
    const auto gridLine = kDroppedFiles.CellAt(64, 25, 0, 1, 5, 5);
    ASSERT_TRUE(gridLine);
    EXPECT_EQ(gridLine->col, 0);
}

TEST(GridLayout, NoCellOverTheFixedRowOrPastTheLastRowOrColumn) {
    EXPECT_FALSE(kDroppedFiles.CellAt(10, 10, 0, 1, 5, 5));
    EXPECT_FALSE(kDroppedFiles.CellAt(10, 30 + 25 * 4, 0, 1, 5, 5));
    EXPECT_FALSE(kDroppedFiles.CellAt(340, 30, 0, 1, 5, 5));
    EXPECT_FALSE(kDroppedFiles.CellAt(-1, 30, 0, 1, 5, 5));
}

TEST(GridText, HeaderLineThenOneTabJoinedLinePerRow) {
    StringGridCells cells(3, 2);
    cells.SetCell(0, 0, "FULLFILEPATH");
    cells.SetCell(1, 0, "FILENAME");
    cells.SetCell(0, 1, "C:\\a.dwg");
    cells.SetCell(2, 1, "x");
    EXPECT_EQ(GridText(cells), "cols=3 rows=2\r\nFULLFILEPATH\tFILENAME\t\r\nC:\\a.dwg\t\tx");
}

TEST(GridText, CellsBeyondTheCountsAreLeftOut) {
    StringGridCells cells(2, 1);
    cells.SetCell(0, 0, "in");
    cells.SetCell(2, 0, "right of the columns");
    cells.SetCell(0, 3, "below the rows");
    EXPECT_EQ(GridText(cells), "cols=2 rows=1\r\nin\t");
    cells.SetRowCount(4);
    EXPECT_EQ(GridText(cells), "cols=2 rows=4\r\nin\t\r\n\t\r\n\t\r\nbelow the rows\t");
}

TEST(GridText, ShiftJisBytesPassThroughUnchanged) {
    StringGridCells cells(2, 1);
    cells.SetCell(0, 0, "取得完了");
    cells.SetCell(1, 0, "ﾚｲｱｳﾄ数");
    EXPECT_EQ(GridText(cells), "cols=2 rows=1\r\n\x8E\xE6\x93\xBE\x8A\xAE\x97\xB9\t\xDA\xB2\xB1\xB3\xC4\x90\x94");
}

TEST(GridText, NoRowsGivesTheHeaderLineAlone) { EXPECT_EQ(GridText(StringGridCells(5, 0)), "cols=5 rows=0"); }
