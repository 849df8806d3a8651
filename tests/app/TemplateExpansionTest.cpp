#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>

#include "app/ScriptFile.h"
#include "app/TemplateExpansion.h"
#include "app/TemplateVocabulary.h"
#include "text/AppError.h"

namespace {

using Outcome = Expansion::Outcome;

LineList WithTail(LineList lines) {
    lines.insert(lines.end(), {"new ", "filedia", "1", "cmddia", "1", "quit"});
    return lines;
}

// The working tables of one drop, as the dispatcher and a survey leave them.
struct DropTables {
    LineList templateLines;
    std::optional<int> lineCount;  // unset: the template's own count
    LineList loopBody;
    StringGridCells droppedFiles{5, 1};
    LineList droppedPaths;
    StringGridCells layouts{5, 1};
    std::optional<int> fileCount;       // unset: the number of recorded files
    std::optional<int> layoutRowCount;  // unset: the file count

    // The row the drop records for the path.
    void AddFile(std::string path) {
        SetDroppedFileRow(droppedFiles, static_cast<int>(droppedPaths.size()) + 1, path);
        droppedPaths.push_back(std::move(path));
    }

    void AddPlan() { AddFile("C:\\Data\\plan.dwg"); }

    void SetSurveyRow(int row, std::string path, std::string count, const LineList& names) {
        layouts.SetCell(0, row, std::move(path));
        layouts.SetCell(1, row, std::move(count));
        for (std::size_t i = 0; i < names.size(); ++i) {
            layouts.SetCell(static_cast<int>(i) + 2, row, names[i]);
        }
        layouts.SetRowCount(std::max(layouts.RowCount(), row + 1));
    }

    Expansion Expand() const {
        const int files = fileCount.value_or(static_cast<int>(droppedPaths.size()));
        const ExpansionInput in{files,
                                templateLines,
                                lineCount.value_or(static_cast<int>(templateLines.size())),
                                loopBody,
                                droppedFiles,
                                droppedPaths,
                                layouts,
                                layoutRowCount.value_or(files)};
        return ExpandTemplate(in);
    }
};

// One drawing, plan.dwg, and a template that is only the layout loop naming each layout.
DropTables NameLoopForPlan() {
    DropTables t;
    t.AddPlan();
    t.templateLines = {"[LAYOUTLOOP]"};
    t.loopBody = {"[LAYOUTNAME]"};
    return t;
}

TEST(TemplateExpansion, EachFileGetsTheTemplateThenTheTailFollows) {
    DropTables t;
    t.templateLines = {"open", "[FULLFILEPATH]", "close"};
    t.AddFile("C:\\d\\a.dwg");
    t.AddFile("C:\\d\\b.dwg");
    const Expansion e = t.Expand();
    ASSERT_EQ(e.outcome, Outcome::Lines);
    EXPECT_EQ(e.lines, WithTail({"open", "C:\\d\\a.dwg", "close", "open", "C:\\d\\b.dwg", "close"}));
    EXPECT_EQ(ScriptFileBytes(e.lines),
              "open\r\nC:\\d\\a.dwg\r\nclose\r\nopen\r\nC:\\d\\b.dwg\r\nclose\r\n"
              "new \r\nfiledia\r\n1\r\ncmddia\r\n1\r\nquit\r\n");
}

TEST(TemplateExpansion, NoTemplateLinesGiveTheTailAlone) {
    DropTables t;
    t.AddPlan();
    t.AddPlan();
    t.lineCount = 0;
    EXPECT_EQ(t.Expand().lines, WithTail({}));

    t.templateLines = {"open"};
    t.lineCount = -5;
    EXPECT_EQ(t.Expand().lines, WithTail({}));
}

TEST(TemplateExpansion, CountBeyondTheTemplateReadsOnlyItsLines) {
    DropTables t;
    t.AddPlan();
    t.templateLines = {"open", "[FILENAME]"};
    t.lineCount = 4;
    EXPECT_EQ(t.Expand().lines, WithTail({"open", "plan.dwg"}));
}

TEST(TemplateExpansion, NoFilesGiveTheTailAlone) {
    DropTables t;
    t.templateLines = {"open", "[LAYOUTLOOP]"};
    EXPECT_EQ(t.Expand().lines, WithTail({}));
}

TEST(PlaceholderOrder, TextAroundAPlaceholderComesThroughWhole) {
    DropTables t;
    t.AddPlan();
    t.templateLines = {"[FOLDER]\\out.pdf", "[FILENAME].bak", "[FULLFILENAME].pdf", "-a [FULLFILEPATH] -b", "plain"};
    EXPECT_EQ(t.Expand().lines, WithTail({"C:\\Data\\out.pdf", "plan.dwg.bak", "C:\\Data\\plan.pdf",
                                          "-a C:\\Data\\plan.dwg -b", "plain"}));
}

TEST(PlaceholderOrder, OnlyTheFirstPlaceholderInTheOrderIsReplacedOnce) {
    DropTables t;
    t.AddPlan();
    t.templateLines = {"[FOLDER] [FULLFILEPATH]", "[FOLDER]\\[FOLDER]", "[FULLFILENAME] [FILENAME]",
                       "[FILENAME][FILENAME]"};
    EXPECT_EQ(t.Expand().lines, WithTail({"[FOLDER] C:\\Data\\plan.dwg", "C:\\Data\\[FOLDER]",
                                          "[FULLFILENAME] plan.dwg", "plan.dwg[FILENAME]"}));
}

TEST(FollowMarks, AreTheInputLinesThatHoldAPlaceholdersTextInScriptOrder) {
    DropTables t;
    t.templateLines = {"open", "[FULLFILEPATH]", "-export \"[FOLDER]\\出力 1.pdf\" A4", "[FILENAME].bak", "close"};
    t.AddFile("C:\\d\\a.dwg");
    t.AddFile("C:\\d\\表\\b.dwg");
    const Expansion e = t.Expand();
    ASSERT_EQ(e.marks.size(), 6u);
    const std::vector<std::pair<int, std::string>> expected = {
        {1, "C:\\d\\a.dwg"},     {1, "\"C:\\d\\出力 1.pdf\""},     {1, "a.dwg.bak"},
        {2, "C:\\d\\表\\b.dwg"}, {2, "\"C:\\d\\表\\出力 1.pdf\""}, {2, "b.dwg.bak"}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(e.marks[i].drawing, expected[i].first) << i;
        EXPECT_EQ(e.marks[i].piece, expected[i].second) << i;
    }
    // A placeholder that gives the empty text leaves nothing to echo; plain lines give none.
    DropTables plain;
    plain.templateLines = {"open", "x[FOLDER]", "qsave"};
    plain.AddFile("a.dwg");
    EXPECT_TRUE(plain.Expand().marks.empty()) << "the folder of a.dwg is empty: x is a fixed text";
}

TEST(PlaceholderOrder, SmallLettersAreNoPlaceholders) {
    DropTables t;
    t.AddPlan();
    t.templateLines = {"[fullfilepath]", "[Folder]", "[layoutloop]"};
    const Expansion e = t.Expand();  // no survey made, yet no refusal: no loop line
    ASSERT_EQ(e.outcome, Outcome::Lines);
    EXPECT_EQ(e.lines, WithTail({"[fullfilepath]", "[Folder]", "[layoutloop]"}));
}

TEST(PlaceholderOrder, PathsWithBlanksAndDoubleByteNamesAreCopiedAsTheyAre) {
    DropTables t;
    t.AddFile("C:\\My Drawings\\表\\図 1.dwg");
    t.templateLines = {"open [FULLFILEPATH]", "[FOLDER]\\x"};
    const Expansion e = t.Expand();
    EXPECT_EQ(e.lines, WithTail({"open C:\\My Drawings\\表\\図 1.dwg", "C:\\My Drawings\\表\\x"}));
    EXPECT_EQ(ScriptFileBytes({e.lines[0]}), "open C:\\My Drawings\\\x95\x5C\\\x90\x7D 1.dwg\r\n");
}

TEST(LayoutLoop, IsRefusedBeforeAnySurveyEvenAfterPlaceholderLines) {
    DropTables t;
    t.AddPlan();
    t.templateLines = {"open [FULLFILEPATH]", "x [LAYOUTLOOP] y"};
    t.loopBody = {"[LAYOUTNAME]"};
    const Expansion e = t.Expand();
    EXPECT_EQ(e.outcome, Outcome::NeedSurvey);
    EXPECT_TRUE(e.lines.empty());
}

TEST(LayoutLoop, BodyIsRepeatedPerLayoutAtTheLoopLine) {
    DropTables t;
    t.AddFile("D:\\w\\p.dwg");
    t.templateLines = {"A [FULLFILEPATH]", "[LAYOUTLOOP]", "[FOLDER]\\out", "B [FILENAME]", "C"};
    t.loopBody = {"X", "[LAYOUTNAME]"};
    t.SetSurveyRow(1, "D:\\w\\p.dwg", "2", {"L1", "L2"});
    const Expansion e = t.Expand();
    ASSERT_EQ(e.outcome, Outcome::Lines);
    EXPECT_EQ(e.lines, WithTail({"A D:\\w\\p.dwg", "X", "L1", "X", "L2", "D:\\w\\out", "B p.dwg", "C"}));
}

TEST(LayoutLoop, NameLineIsReplacedWholeAndOtherPlaceholdersStay) {
    DropTables t;
    t.AddPlan();
    t.templateLines = {"[LAYOUTLOOP]"};
    t.loopBody = {"Z [LAYOUTNAME] ;", "[FULLFILEPATH] [FOLDER]"};
    t.SetSurveyRow(1, "C:\\Data\\plan.dwg", "1", {"平面図"});
    EXPECT_EQ(t.Expand().lines, WithTail({"平面図", "[FULLFILEPATH] [FOLDER]"}));
}

TEST(LayoutLoop, NameColumnRunsOnAcrossRepetitions) {
    DropTables t;
    t.AddPlan();
    t.templateLines = {"[LAYOUTLOOP]"};
    t.loopBody = {"[LAYOUTNAME]", "-", "[LAYOUTNAME]"};
    t.SetSurveyRow(1, "C:\\Data\\plan.dwg", "3", {"N1", "N2", "N3"});
    // Three repetitions take six columns; the three past the names read empty.
    EXPECT_EQ(t.Expand().lines, WithTail({"N1", "-", "N2", "N3", "-", "", "", "-", ""}));
}

TEST(LayoutLoop, DrawingsWithoutUsableRowGiveNoLoopLines) {
    DropTables t;
    t.AddFile("C:\\a.dwg");
    t.AddFile("C:\\b.dwg");
    t.AddFile("C:\\c.dwg");
    t.AddFile("C:\\d.dwg");
    t.templateLines = {"[FILENAME]", "[LAYOUTLOOP]"};
    t.loopBody = {"[LAYOUTNAME]"};
    t.SetSurveyRow(1, "C:\\a.dwg", "0", {"unused"});
    t.SetSurveyRow(2, "C:\\B.DWG", "1", {"upper"});
    t.SetSurveyRow(3, "C:\\other.dwg", "1", {"other"});
    t.SetSurveyRow(4, "C:\\d.dwg", "-3", {"negative"});
    EXPECT_EQ(t.Expand().lines, WithTail({"a.dwg", "b.dwg", "c.dwg", "d.dwg"}));
}

TEST(LayoutLoop, DrawingSurveyedTwiceUsesTheHigherRow) {
    DropTables t = NameLoopForPlan();
    t.AddFile("C:\\x.dwg");
    t.AddPlan();
    t.SetSurveyRow(1, "C:\\Data\\plan.dwg", "1", {"old"});
    t.SetSurveyRow(2, "C:\\x.dwg", "1", {"x"});
    t.SetSurveyRow(3, "C:\\Data\\plan.dwg", "2", {"new1", "new2"});
    EXPECT_EQ(t.Expand().lines, WithTail({"new1", "new2", "x", "new1", "new2"}));
}

TEST(LayoutLoop, RowsBelowTheCurrentDropAreNotSearched) {
    DropTables t = NameLoopForPlan();
    t.SetSurveyRow(1, "C:\\Data\\plan.dwg", "1", {"near"});
    t.SetSurveyRow(2, "C:\\Data\\plan.dwg", "1", {"below"});
    EXPECT_EQ(t.Expand().lines, WithTail({"near"}));

    // A larger drop reaches row 2; its files without a path match no row, not even one
    // whose path is empty.
    t.fileCount = 3;
    t.SetSurveyRow(3, "", "1", {"empty"});
    EXPECT_EQ(t.Expand().lines, WithTail({"below"}));
}

TEST(LayoutLoop, RestOfAStoppedRunLooksInTheRowsOfItsOwnDrop) {
    // A run of three drawings stopped at the second; the rest is the third alone, surveyed in
    // row 3, which a drop of one would not reach.
    DropTables t;
    t.templateLines = {"[LAYOUTLOOP]"};
    t.loopBody = {"[LAYOUTNAME]"};
    t.AddFile("C:\c.dwg");
    t.SetSurveyRow(1, "C:\a.dwg", "1", {"a"});
    t.SetSurveyRow(3, "C:\c.dwg", "1", {"c"});
    EXPECT_EQ(t.Expand().lines, WithTail({})) << "a drop of one reads row 1 alone";
    t.layoutRowCount = 3;
    EXPECT_EQ(t.Expand().lines, WithTail({"c"}));
}

TEST(LayoutLoop, RowsWrittenBeyondTheTableRowCountAreFound) {
    DropTables t = NameLoopForPlan();
    t.AddFile("C:\\x.dwg");
    t.SetSurveyRow(2, "C:\\x.dwg", "1", {"x1"});
    t.layouts.SetRowCount(2);
    EXPECT_EQ(t.Expand().lines, WithTail({"x1"}));
}

TEST(LayoutLoop, CountThatIsNoNumberEndsTheRunWithItsText) {
    DropTables t;
    t.AddPlan();
    t.templateLines = {"open", "[LAYOUTLOOP]"};
    t.loopBody = {"[LAYOUTNAME]"};
    for (const std::string bad : {"abc", "2 ", "", "2147483648", "0x"}) {
        t.SetSurveyRow(1, "C:\\Data\\plan.dwg", bad, {"a", "b"});
        const Expansion e = t.Expand();
        EXPECT_EQ(e.outcome, Outcome::NotInteger) << bad;
        EXPECT_EQ(e.badNumber, bad);
        EXPECT_TRUE(e.lines.empty());
    }
}

TEST(LayoutLoop, CountFollowsTheNumberRules) {
    DropTables t = NameLoopForPlan();
    for (const std::string count : {" 2", "+2", "$2", "0x2", "x2"}) {
        t.SetSurveyRow(1, "C:\\Data\\plan.dwg", count, {"a", "b", "c"});
        EXPECT_EQ(t.Expand().lines, WithTail({"a", "b"})) << count;
    }
}

// The error that ends a run before its script is built.
void ExpectRefusal(const DropTables& t, const std::string& message) {
    try {
        t.Expand();
        FAIL() << "no error";
    } catch (const AppError& error) {
        EXPECT_EQ(std::string(error.what()), message);
    }
}

// The error that ends a run whose script would pass ten million lines.
void ExpectLineLimitError(const DropTables& t) {
    ExpectRefusal(t, "スクリプトが 10000000 行を超えるため作成できません");
}

TEST(ScriptLineLimit, HugeLayoutCountIsRefusedInsteadOfFillingMemory) {
    DropTables t = NameLoopForPlan();
    t.SetSurveyRow(1, "C:\\Data\\plan.dwg", "2147483647", {"a"});
    ExpectLineLimitError(t);

    // An empty body repeats to nothing, at once.
    t.loopBody.clear();
    EXPECT_EQ(t.Expand().lines, WithTail({}));
}

TEST(ScriptLineLimit, ManyFilesTimesALongTemplateAreRefusedWithoutLoop) {
    // 1,001 files of a 10,000-line template: 10,010,000 plain lines.
    DropTables t;
    for (int i = 0; i < 1'001; ++i) t.AddPlan();
    t.templateLines = LineList(10'000, "x");
    ExpectLineLimitError(t);
}

TEST(ScriptLineLimit, PlainLinesLoopLinesAndTheTailCountTogether) {
    // Per file one plain line and 4,999,997 loop lines; with the tail 10,000,002 lines.
    DropTables t;
    t.AddPlan();
    t.AddFile("C:\\Data\\b.dwg");
    t.templateLines = {"open", "[LAYOUTLOOP]"};
    t.loopBody = {"-"};
    t.SetSurveyRow(1, "C:\\Data\\plan.dwg", "4999997", {});
    t.SetSurveyRow(2, "C:\\Data\\b.dwg", "4999997", {});
    ExpectLineLimitError(t);
}

TEST(LayoutLoop, ScriptOfHugeSizeIsRefusedBeforeItIsBuilt) {
    // Few lines, but long ones for many files: the size, not the line count, gives out.
    DropTables t;
    for (int i = 0; i < 300; ++i) t.AddPlan();
    t.templateLines = LineList(10'000, std::string(2'000, 'x'));
    ExpectRefusal(t, "スクリプトが 536870912 バイトを超えるため作成できません");
}

TEST(LayoutLoop, ManyLayoutsWithinTheLimitAreWritten) {
    DropTables t;
    t.AddPlan();
    t.templateLines = {"[LAYOUTLOOP]"};
    t.loopBody = {"-"};
    t.SetSurveyRow(1, "C:\\Data\\plan.dwg", "100000", {});
    const Expansion e = t.Expand();
    ASSERT_EQ(e.lines.size(), 100006u);
    EXPECT_EQ(e.lines[99999], "-");
    EXPECT_EQ(e.lines[100000], "new ");
}

TEST(ScriptFile, EveryLineEndsInCrLfWithoutByteOrderMark) {
    EXPECT_EQ(ScriptFileBytes({}), "");
    EXPECT_EQ(ScriptFileBytes({"", "new ", "表"}), std::string("\r\nnew \r\n\x95\x5C\r\n"));
}

TEST(StringGridCells, UnwrittenCellsReadEmptyAndCellsOutliveTheCounts) {
    StringGridCells grid(2, 1);
    EXPECT_EQ(grid.Cell(0, 0), "");
    EXPECT_EQ(grid.Cell(-1, 70000), "");
    grid.SetCell(9, 12, "far");
    EXPECT_EQ(grid.Cell(9, 12), "far");
    EXPECT_EQ(grid.Cell(12, 9), "");
    grid.SetRowCount(1);
    EXPECT_EQ(grid.Cell(9, 12), "far");
    grid.SetCell(9, 12, "");
    EXPECT_EQ(grid.Cell(9, 12), "");
    EXPECT_THROW(grid.SetCell(0, -1, "x"), std::out_of_range);
    EXPECT_EQ(grid.ColCount(), 2);
    EXPECT_EQ(grid.RowCount(), 1);
}

}  // namespace
