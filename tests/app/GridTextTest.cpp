#include "app/GridText.h"

#include <gtest/gtest.h>

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

TEST(GridText, NoRowsGivesTheHeaderLineAlone) {
    EXPECT_EQ(GridText(StringGridCells(5, 0)), "cols=5 rows=0");
}
