// The harness itself: failures outside the program must surface as clear errors, never as
// a pass or a hang.
#include <string>

#include "tests/e2e/E2eTest.h"

namespace e2e {
namespace {

using Harness = E2eTest;

std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const HarnessError& e) {
        return e.what();
    }
    return "(no error)";
}

TEST_F(Harness, ReportsWhatWentWrongOutsideTheProgram) {
    std::string file = S().MakeFile("x.dwg");
    S().Start();
    Rect window = S().WindowRect();

    // Right of the window lies the bare root window, which takes no drops.
    EXPECT_NE(ErrorOf([&] { S().DropAt({window.right + 100, window.top + 50}, {file}); }).find("no XdndAware window"),
              std::string::npos);
    EXPECT_NE(ErrorOf([&] { S().GetControl("NoSuchControl"); }).find("no control named 'NoSuchControl'"),
              std::string::npos);
    EXPECT_NE(ErrorOf([&] { S().WaitMessageBox("情報", 300); }).find("no message box captioned '情報'"),
              std::string::npos);
    EXPECT_NE(ErrorOf([&] { S().PressOk("情報"); }).find("情報"), std::string::npos);
    EXPECT_NE(ErrorOf([] { ParseGrid("rows=1"); }).find("not a grid dump"), std::string::npos);
    EXPECT_NE(ErrorOf([&] { S().Start(); }).find("started already"), std::string::npos);
    EXPECT_TRUE(S().Running());
}

TEST(HarnessParsing, GridDumpAndListItemsKeepEmptyCells) {
    Grid grid = ParseGrid("cols=3 rows=2\r\nA\t\tC\r\n\tx\t\r\n");
    EXPECT_EQ(grid.cols, 3);
    EXPECT_EQ(grid.rows, 2);
    EXPECT_EQ(grid.Cell(0, 0), "A");
    EXPECT_EQ(grid.Cell(1, 0), "");
    EXPECT_EQ(grid.Cell(2, 0), "C");
    EXPECT_EQ(grid.Cell(1, 1), "x");
    EXPECT_EQ(grid.Cell(0, 5), "");
    EXPECT_EQ(ParseListBox("count=3\r\na\r\n\r\nc\r\n"), (std::vector<std::string>{"a", "", "c"}));
    EXPECT_TRUE(ParseListBox("count=0\r\n").empty());
    EXPECT_EQ(Utf8ToSjis("表"), "\x95\x5C");
    EXPECT_EQ(SjisToUtf8("\xB6\xC5"), "ｶﾅ");
}

}  // namespace
}  // namespace e2e
