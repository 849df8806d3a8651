// The harness itself: failures outside the program must surface as clear errors, never as
// a pass or a hang.
#include <cstdlib>
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
    EXPECT_NE(ErrorOf([&] {
                  S().DropAt({window.right + 100, window.top + 50}, {file});
              }).find("no XdndAware window"),
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

// The screens of tools/wine-env.sh's Xvfb: two holders never share one, a freed one can be
// taken again, and a size no screen has is refused. A program of the other lane may hold a
// screen meanwhile.
TEST(HarnessScreens, HoldersNeverShareAScreenOfTheEnvironmentsXvfb) {
    const char* display = std::getenv("DISPLAY");
    if (!std::getenv("MARLOWEN_SCREENS") || !display) GTEST_SKIP() << "a display of the caller's own";
    std::string server = display;
    server.resize(server.rfind('.'));
    std::string first;
    {
        Screen a, b;
        first = a.Display();
        EXPECT_EQ(first.rfind(server + ".", 0), 0u) << first;
        EXPECT_NE(a.Display(), b.Display());
    }
    Screen again;
    EXPECT_EQ(again.Display().rfind(server + ".", 0), 0u) << again.Display();
    EXPECT_NE(ErrorOf([] { Screen huge("4000x4000"); }).find("no screen of " + std::string(display) + " is 4000x4000"),
              std::string::npos);
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
    // Test data that Shift-JIS cannot carry must fail the case, not turn into "?".
    EXPECT_NE(ErrorOf([] { Utf8ToSjis("𠮷.dwg"); }).find("Shift-JIS"), std::string::npos);
    EXPECT_NE(ErrorOf([] { SjisToUtf8("a\x81"); }).find("not Shift-JIS"), std::string::npos);
}

}  // namespace
}  // namespace e2e
