// The layout survey against the stand-in CAD: the script it runs, what CAD is told, the layout
// table and tree it fills, the batch run's layout loop fed from them, clearing, paths with
// blanks, the user's clipboard, CAD's message window, a CAD that ends midway, closing the window
// while the survey waits, and a dropped folder on both roads.
#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/E2eTest.h"

namespace e2e {
namespace {

constexpr int kWaitMs = 20000;

// The stand-in CAD, logging into C:\run (Marlowen's current folder, where test.scr goes).
constexpr const char* kProgramSection = "[Program]\nFile=C:\\m\\StandInCad.exe /log:C:\\run\\cad.log";

// Button1 runs a template with a layout loop; its line count after the cut is 4.
constexpr const char* kLoopSection =
    "[Section1]\n"
    "Label=ﾚｲｱｳﾄ毎+印刷\n"
    "TextCount=7\n"
    "1=open\n"
    "2=[FULLFILEPATH]\n"
    "3=[LAYOUTLOOP]\n"
    "4=-plot\n"
    "5=[LAYOUTNAME]\n"
    "6=[LOOPEND]\n"
    "7=close\n";

const std::vector<std::string> kStartScript = {"filedia\r", "0\r", "cmddia\r", "0\r", "script\r", "test.scr\r"};
const std::vector<std::string> kQuit = {"filedia\r", "1\r", "cmddia\r", "1\r", "quit\r"};

// Waits until the file holds the expected bytes, and gives what it holds in the end.
std::string WaitForBytes(const std::string& path, const std::string& expected) {
    std::string bytes;
    try {
        WaitUntil([&] { return std::filesystem::exists(path) && (bytes = ReadBytes(path)) == expected; }, kWaitMs,
                  path + " to hold the expected script");
    } catch (const HarnessError&) {
    }
    return bytes;
}

std::vector<std::string> GridRow(const Grid& grid, int row) {
    std::vector<std::string> cells;
    for (int col = 0; col < grid.cols; ++col) cells.push_back(grid.Cell(col, row));
    return cells;
}

using LayoutSurvey = E2eTest;
using SurveyOfManyLayouts = E2eTest;
using SurveyWithCadMessage = E2eTest;
using ClosingDuringSurvey = E2eTest;
using FolderDrop = E2eTest;

TEST_F(LayoutSurvey, ThreeDrawingsFillTableAndTreeFeedTheLoopThenClearAndSurveyAgain) {
    S().WriteDataIni(std::string(kProgramSection) + "\n" + kLoopSection);
    // Stand-in drawings: one layout name per line, the model first. Blanks inside a name,
    // half-width or full-width, do not survive the survey's blank stripping.
    std::string a = S().MakeFile("図面/a.dwg", Utf8ToSjis("Model\r\nLayout1\r\n"));
    std::string b = S().MakeFile("図面/b.dwg", Utf8ToSjis("Model\r\n平面 図\r\n立面　図\r\nLayout3\r\n"));
    std::string c = S().MakeFile("図面/c.dwg", Utf8ToSjis("Model\r\nﾚｲｱｳﾄ1\r\nLayout2\r\n"));
    const std::string pa = "C:\\d\\図面\\a.dwg", pb = "C:\\d\\図面\\b.dwg", pc = "C:\\d\\図面\\c.dwg";
    const std::string scr = S().RunFolder() + "/test.scr";
    const StandInLog log = CadLog(S());
    S().Start();

    S().Drop("Button10", {a, b, c});
    WaitForCadToQuit(S(), log, 1, "the stand-in CAD to be quit by the survey");

    EXPECT_EQ(ReadBytes(scr), ScriptBytes({"open", InQuotes(pa), "layout", "?", "open", InQuotes(pb), "layout", "?",
                                           "open", InQuotes(pc), "layout", "?", "OWARI"}));
    EXPECT_EQ(log.ScriptLines(),
              (std::vector<std::string>{"open", InQuotes(pa), "layout", "?", "open", InQuotes(pb), "layout", "?",
                                        "open", InQuotes(pc), "layout", "?", "OWARI"}));
    EXPECT_EQ(log.Starting("layout-list "),
              (std::vector<std::string>{"layout-list \"a.dwg\" count=2", "layout-list \"b.dwg\" count=4",
                                        "layout-list \"c.dwg\" count=3"}));
    // The last drawing opened is read first; each close makes the one before it active.
    EXPECT_EQ(log.Starting("close "),
              (std::vector<std::string>{"close \"c.dwg\" active=\"b.dwg\"", "close \"b.dwg\" active=\"a.dwg\""}));
    EXPECT_EQ(log.Typed(), Join(Join(kStartScript, {"close\r", "close\r"}), kQuit));
    EXPECT_EQ(log.Count("start "), 1);

    EXPECT_EQ(S().WindowRect().Height(), 460);
    EXPECT_FALSE(S().GetControl("Button10").enabled);
    EXPECT_TRUE(S().GetControl("Button11").enabled);
    EXPECT_EQ(S().GetControl("TreeView1").text, pc + "\t0\n  Model\t1\n  ﾚｲｱｳﾄ1\t1\n  Layout2\t1\n" + pb +
                                                    "\t0\n  Model\t1\n  平面図\t1\n  立面図\t1\n  Layout3\t1\n" + pa +
                                                    "\t0\n  Model\t1\n  Layout1\t1\n");
    // c's 3 names widened the table to 6 columns, b's 4 to 7; a's 2 left it there.
    Grid layouts = ParseGrid(S().GetControl("StringGrid1").text);
    EXPECT_EQ(layouts.rows, 4);
    EXPECT_EQ(layouts.cols, 7);
    EXPECT_EQ(GridRow(layouts, 0), (std::vector<std::string>{"取得完了", "ﾚｲｱｳﾄ数", "", "", "", "", ""}));
    EXPECT_EQ(GridRow(layouts, 1), (std::vector<std::string>{pa, "2", "Model", "Layout1", "", "", ""}));
    EXPECT_EQ(GridRow(layouts, 2), (std::vector<std::string>{pb, "4", "Model", "平面図", "立面図", "Layout3", ""}));
    EXPECT_EQ(GridRow(layouts, 3), (std::vector<std::string>{pc, "3", "Model", "ﾚｲｱｳﾄ1", "Layout2", "", ""}));
    EXPECT_TRUE(ParseListBox(S().GetControl("ListBox2").text).empty());

    // The loop block repeats once per surveyed layout of each drawing.
    S().Drop("Button1", {a, b, c});
    const std::string loopScript =
        ScriptBytes(Join({"open",  pa,      "-plot", "Model",  "-plot", "Layout1", "close", "open",    pb,
                          "-plot", "Model", "-plot", "平面図", "-plot", "立面図",  "-plot", "Layout3", "close",
                          "open",  pc,      "-plot", "Model",  "-plot", "ﾚｲｱｳﾄ1",  "-plot", "Layout2", "close"},
                         kTail));
    EXPECT_EQ(WaitForBytes(scr, loopScript), loopScript);
    WaitForCadToQuit(S(), log, 2, "the stand-in CAD to run the loop script and quit");
    EXPECT_EQ(log.Starting("script \"test.scr\""),
              (std::vector<std::string>{"script \"test.scr\" lines=13", "script \"test.scr\" lines=33"}));

    S().Click("Button11");
    WaitUntil([&] { return S().WindowRect().Height() == 345; }, kWaitMs, "the window to shrink to 345");
    EXPECT_EQ(S().GetControl("TreeView1").text, "");
    layouts = ParseGrid(S().GetControl("StringGrid1").text);
    EXPECT_EQ(layouts.rows, 4) << "clearing keeps the row count";
    EXPECT_EQ(layouts.cols, 7) << "clearing keeps the column count";
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(GridRow(layouts, row), std::vector<std::string>(7, "")) << "row " << row;
    EXPECT_TRUE(S().GetControl("Button10").enabled);
    EXPECT_FALSE(S().GetControl("Button11").enabled);

    // With the table cleared but more than one row, the loop finds no drawing: no loop lines,
    // and no refusal.
    S().Drop("Button1", {a, b, c});
    const std::string plainScript =
        ScriptBytes(Join({"open", pa, "close", "open", pb, "close", "open", pc, "close"}, kTail));
    EXPECT_EQ(WaitForBytes(scr, plainScript), plainScript);
    EXPECT_TRUE(S().MessageBoxes().empty());
    WaitForCadToQuit(S(), log, 3, "the stand-in CAD to run the plain script and quit");

    // After clearing, Button10 takes a survey again; one drawing needs no close.
    S().Drop("Button10", {a});
    WaitForEvents(log, "exit 0", 4, "the second survey to quit the stand-in CAD");
    std::vector<std::string> typed = log.Typed();
    ASSERT_GE(typed.size(), kStartScript.size() + kQuit.size());
    EXPECT_EQ(
        std::vector<std::string>(typed.end() - static_cast<long>(kStartScript.size() + kQuit.size()), typed.end()),
        Join(kStartScript, kQuit));
    EXPECT_EQ(S().GetControl("TreeView1").text, pa + "\t0\n  Model\t1\n  Layout1\t1\n");
    layouts = ParseGrid(S().GetControl("StringGrid1").text);
    EXPECT_EQ(layouts.rows, 2);
    EXPECT_EQ(GridRow(layouts, 0), (std::vector<std::string>{"取得完了", "ﾚｲｱｳﾄ数", "", "", "", "", ""}));
    EXPECT_EQ(GridRow(layouts, 1), (std::vector<std::string>{pa, "2", "Model", "Layout1", "", "", ""}));
}

TEST_F(SurveyOfManyLayouts, FifteenHundredLayoutsWidenTheTableAndFillTheTreeInOrder) {
    // The listing would not fit in CAD's history of 400 lines, which the pane shows.
    S().WriteDataIni(std::string(kProgramSection) + " /historylines:2000\n");
    std::vector<std::string> names;
    std::string content;
    for (int k = 1; k <= 1500; ++k) {
        names.push_back("ﾚｲｱｳﾄ" + std::to_string(k));
        content += names.back() + "\r\n";
    }
    std::string drawing = S().MakeFile("図面/many.dwg", Utf8ToSjis(content));
    const std::string path = "C:\\d\\図面\\many.dwg";
    const StandInLog log = CadLog(S());
    S().Start();

    S().Drop("Button10", {drawing});
    WaitForEvents(log, "exit 0", 1, "the survey to quit the stand-in CAD");

    std::string tree = path + "\t0\n";
    for (const auto& name : names) tree += "  " + name + "\t1\n";
    EXPECT_EQ(S().GetControl("TreeView1").text, tree);
    Grid layouts = ParseGrid(S().GetControl("StringGrid1").text);
    EXPECT_EQ(layouts.rows, 2);
    EXPECT_EQ(layouts.cols, 1503);
    std::vector<std::string> row = {path, "1500"};
    row.insert(row.end(), names.begin(), names.end());
    row.push_back("");
    EXPECT_EQ(GridRow(layouts, 1), row);
    EXPECT_EQ(S().WindowRect().Height(), 460);

    S().Click("Button11");
    WaitUntil([&] { return S().GetControl("TreeView1").text.empty(); }, kWaitMs, "the tree to be emptied");
    layouts = ParseGrid(S().GetControl("StringGrid1").text);
    EXPECT_EQ(layouts.cols, 1503) << "clearing keeps the column count";
    for (int r = 0; r < 2; ++r) EXPECT_EQ(GridRow(layouts, r), std::vector<std::string>(1503, "")) << "row " << r;
}

TEST_F(SurveyWithCadMessage, DrawingCadCannotOpenStoresNothingAndLeavesCadForTheUser) {
    S().WriteDataIni(std::string(kProgramSection) + "\n" + kLoopSection);
    std::string a = S().MakeFile("a.dwg", "Model\r\nLayout1\r\n");
    std::string c = S().MakeFile("c.dwg", "Model\r\n");
    std::string b = S().DriveC() + "/d/b.dwg";  // never made
    const StandInLog log = CadLog(S());
    S().Start();

    S().Drop("Button10", {a, b, c});
    MessageBoxInfo box = S().WaitMessageBox("Marlowen", kWaitMs);
    EXPECT_EQ(box.text.substr(0, box.text.find("\r\n")), "処理できません");
    EXPECT_NE(box.text.find("レイアウト名は取得していません"), std::string::npos) << box.text;
    EXPECT_FALSE(box.icon);
    // The window's title names the drawing CAD stopped at, for the taskbar.
    EXPECT_EQ(box.ownerTitle, "CAD のメッセージで停止: 2 / 3 C:\\d\\b.dwg - Marlowen");
    EXPECT_EQ(log.Starting("open-failed "), std::vector<std::string>{"open-failed \"C:\\\\d\\\\b.dwg\""});
    EXPECT_EQ(log.Count("message-window "), 1);
    // CAD stops the script at the failed open: c is never opened, OWARI never comes.
    EXPECT_TRUE(log.Has("script-stopped lines=7"));

    // Nothing is read: a's listing would have gone into c's row, and the waits for closes
    // would never end with no drawing left to close.
    S().PressOk("Marlowen");
    WaitUntil([&] { return S().MessageBoxes().empty(); }, kWaitMs, "the box to go");
    EXPECT_EQ(log.Typed(), kStartScript) << "a close was sent to a CAD showing its message";
    EXPECT_EQ(S().GetControl("TreeView1").text, "");
    EXPECT_EQ(ParseGrid(S().GetControl("StringGrid1").text).rows, 1);
    EXPECT_FALSE(S().GetControl("Button10").enabled);
    EXPECT_TRUE(S().GetControl("Button11").enabled);
    EXPECT_TRUE(S().ProcessRunning("StandInCad.exe")) << "CAD was not left for the user to read";

    // CAD still has the drawings open: a drop would change its work midway.
    S().Drop("Button1", {a});
    EXPECT_EQ(S().WaitMessageBox("情報", kWaitMs).text.rfind("CAD がまだ前の実行を続けている", 0), 0u);
    S().PressOk("情報");
    WaitUntil([&] { return S().MessageBoxes().empty(); }, kWaitMs, "the box to go");

    // The user reads CAD's message, closes it and ends CAD, and declines to survey the others
    // again; then the per-layout button asks for a survey, and the buttons clear and survey as
    // usual.
    S().Inspect({"close", "AutoCAD メッセージ"});
    S().Click("Button12");
    WaitForCadToQuit(S(), log, 1, "Close CAD to quit the stand-in");
    const MessageBoxInfo again = S().WaitMessageBox("Marlowen", kWaitMs);
    EXPECT_NE(again.text.find("図面 2 / 3:\r\nC:\\d\\b.dwg"), std::string::npos) << again.text;
    EXPECT_NE(again.text.find("ほかの 2 図面"), std::string::npos) << again.text;
    S().Press("Marlowen", "no");
    WaitUntil([&] { return S().MessageBoxes().empty(); }, kWaitMs, "the question to go");
    EXPECT_EQ(log.Count("start "), 1) << "No surveyed again";
    S().Drop("Button1", {a});
    EXPECT_EQ(S().WaitMessageBox("情報", kWaitMs).text, "レイアウト名を取得してください。");
    S().PressOk("情報");
    WaitUntil([&] { return S().MessageBoxes().empty(); }, kWaitMs, "the box to go");
    S().Click("Button11");
    WaitUntil([&] { return S().GetControl("Button10").enabled; }, kWaitMs, "Button11 to enable Button10");
    S().Drop("Button10", {a, c});
    WaitForCadToQuit(S(), log, 2, "the second survey to quit the stand-in");
    EXPECT_EQ(TreeRoots(S().GetControl("TreeView1").text), (std::vector<std::string>{"C:\\d\\c.dwg", "C:\\d\\a.dwg"}));
}

TEST_F(SurveyWithCadMessage, CadEndingMidwayEndsEveryWaitWithAMessageAndStoresNothing) {
    S().WriteDataIni(std::string(kProgramSection) + " /exitat:close\n" + kLoopSection);
    std::string a = S().MakeFile("a.dwg", "Model\r\nLayout1\r\n");
    std::string b = S().MakeFile("b.dwg", "Model\r\nLayout2\r\n");
    const StandInLog log = CadLog(S());
    S().Start();

    // b's layouts are read; CAD ends at the close that would make a active.
    S().Drop("Button10", {a, b});
    MessageBoxInfo box = S().WaitMessageBox("Marlowen", kWaitMs);
    EXPECT_EQ(box.text, "CAD が実行の途中で終了しました。\r\n(レイアウト名は取得していません)");
    EXPECT_TRUE(box.icon);
    EXPECT_EQ(log.Count("exit 3"), 1);
    S().PressOk("Marlowen");
    WaitUntil([&] { return S().MessageBoxes().empty(); }, kWaitMs, "the box to go");
    EXPECT_EQ(S().GetControl("TreeView1").text, "") << "b's layouts stayed";
    Grid layouts = ParseGrid(S().GetControl("StringGrid1").text);
    EXPECT_EQ(layouts.rows, 1);
    EXPECT_EQ(layouts.Cell(1, 2), "");

    // Every wait has ended: a drop works at once, and the per-layout button asks for a survey.
    S().Drop("Button1", {a});
    EXPECT_EQ(S().WaitMessageBox("情報", kWaitMs).text, "レイアウト名を取得してください。");
    S().PressOk("情報");
    S().Click("Button11");
    WaitUntil([&] { return S().GetControl("Button10").enabled; }, kWaitMs, "Button11 to enable Button10");
    EXPECT_TRUE(S().Running());
}

TEST_F(LayoutSurvey, PathsWithBlanksAreOpenedAndKeptBare) {
    S().WriteDataIni(kProgramSection);
    std::string a = S().MakeFile("My Drawings/a.dwg", "Model\r\nLayout1\r\n");
    std::string b = S().MakeFile("新しいフォルダー (2)/b.dwg", Utf8ToSjis("Model\r\n平面\r\n"));
    const std::string pa = "C:\\d\\My Drawings\\a.dwg", pb = "C:\\d\\新しいフォルダー (2)\\b.dwg";
    const StandInLog log = CadLog(S());
    S().Start();

    S().Drop("Button10", {a, b});
    WaitForCadToQuit(S(), log, 1, "the survey to quit the stand-in CAD");
    EXPECT_EQ(log.Count("open-failed "), 0);
    EXPECT_EQ(log.Starting("layout-list "),
              (std::vector<std::string>{"layout-list \"a.dwg\" count=2", "layout-list \"b.dwg\" count=2"}));
    Grid layouts = ParseGrid(S().GetControl("StringGrid1").text);
    EXPECT_EQ(GridRow(layouts, 1), (std::vector<std::string>{pa, "2", "Model", "Layout1", ""}));
    EXPECT_EQ(GridRow(layouts, 2), (std::vector<std::string>{pb, "2", "Model", "平面", ""}));
    EXPECT_EQ(TreeRoots(S().GetControl("TreeView1").text), (std::vector<std::string>{pb, pa}));
}

TEST_F(LayoutSurvey, UsersClipboardOutlastsTheSurveyAndACopyMadeDuringItIsKept) {
    // Each line takes a moment, so that the survey reads CAD's history many times.
    S().WriteDataIni(std::string(kProgramSection) + " /cmddelay:150\n");
    std::string a = S().MakeFile("a.dwg", "Model\r\nLayout1\r\n");
    std::string b = S().MakeFile("b.dwg", "Model\r\n");
    const StandInLog log = CadLog(S());
    S().Start();
    S().Inspect({"clipboard-put", "コピーした注記", "MarlowenTestPrivate", "0102ff00"});

    S().Drop("Button10", {a, b});
    WaitForEvents(log, "copy-history bytes=", 3, "Marlowen to read CAD's history");
    EXPECT_EQ(S().Inspect({"clipboard", "MarlowenTestPrivate"}), "コピーした注記\t0102ff00\tmarked\n");
    S().Inspect({"clipboard-put", "途中のコピー", "MarlowenTestPrivate", "abcd"});
    const int reads = log.Count("copy-history bytes=");
    WaitForCadToQuit(S(), log, 1, "the survey to quit the stand-in CAD");
    EXPECT_GT(log.Count("copy-history bytes="), reads) << "no history read came after the copy";
    EXPECT_EQ(S().Inspect({"clipboard", "MarlowenTestPrivate"}), "途中のコピー\tabcd\tmarked\n");
    EXPECT_EQ(TreeRoots(S().GetControl("TreeView1").text), (std::vector<std::string>{"C:\\d\\b.dwg", "C:\\d\\a.dwg"}));
}

// Subfolder names and file names whose plain order differs from the shell's, left-out files,
// a hidden drawing and a link back to the folder itself (followed, it would never end), and a
// drawing dropped beside the folder.
TEST_F(FolderDrop, StandsForItsDrawingsInTheShellsOrderOnASectionButtonAndInTheSurvey) {
    S().WriteDataIni(std::string(kProgramSection) +
                     "\n[Section2]\nLabel=開く\nTextCount=3\n1=open\n2=[FULLFILEPATH]\n3=close\n");
    for (const char* name : {"現場/10F/x10.dwg", "現場/10F/x9.dwg", "現場/2F/b.DWG", "現場/2F/.hidden.dwg",
                             "現場/1F/a.dwg", "現場/詳細図/d.dwg", "現場/plan.dwg"})
        S().MakeFile(name, "Model\r\nLayout1\r\n");
    for (const char* name : {"現場/1F/a.bak", "現場/2F/notes.txt", "現場/plan.dxf", "現場/詳細図/d.dwl"})
        S().MakeFile(name);
    const std::string folder = S().DriveC() + "/d/現場";
    std::filesystem::create_directory_symlink(folder, folder + "/link");
    const std::string beside = S().MakeFile("beside.dwg", "Model\r\n");
    const std::vector<std::string> drawings = {
        "C:\\d\\現場\\1F\\a.dwg",     "C:\\d\\現場\\2F\\b.DWG", "C:\\d\\現場\\10F\\x9.dwg", "C:\\d\\現場\\10F\\x10.dwg",
        "C:\\d\\現場\\詳細図\\d.dwg", "C:\\d\\現場\\plan.dwg",  "C:\\d\\beside.dwg"};
    const std::string scr = S().RunFolder() + "/test.scr";
    const StandInLog log = CadLog(S());
    S().Start();

    S().Drop("Button2", {folder, beside});
    std::vector<std::string> lines;
    for (const std::string& drawing : drawings) lines = Join(lines, {"open", drawing, "close"});
    const std::string script = ScriptBytes(Join(lines, kTail));
    EXPECT_EQ(WaitForBytes(scr, script), script);
    WaitForCadToQuit(S(), log, 1, "the stand-in CAD to run the folder's script and quit");

    S().Drop("Button10", {folder, beside});
    WaitForCadToQuit(S(), log, 2, "the survey of the folder to quit the stand-in CAD");
    lines.clear();
    for (const std::string& drawing : drawings) lines = Join(lines, {"open", InQuotes(drawing), "layout", "?"});
    EXPECT_EQ(ReadBytes(scr), ScriptBytes(Join(lines, {"OWARI"})));
    const Grid layouts = ParseGrid(S().GetControl("StringGrid1").text);
    EXPECT_EQ(layouts.rows, 8);
    for (int row = 1; row <= 7; ++row) EXPECT_EQ(layouts.Cell(0, row), drawings[row - 1]) << "row " << row;
    EXPECT_EQ(TreeRoots(S().GetControl("TreeView1").text),
              std::vector<std::string>(drawings.rbegin(), drawings.rend()));
    const Grid dropped = ParseGrid(S().GetControl("StringGrid2").text);
    EXPECT_EQ(dropped.rows, 8);
    for (int row = 1; row <= 7; ++row) EXPECT_EQ(dropped.Cell(0, row), drawings[row - 1]) << "row " << row;
}

TEST_F(ClosingDuringSurvey, WhileCadStartsEndsTheProgram) {
    S().WriteDataIni(std::string(kProgramSection) + " /startdelay:60000\n");
    std::string a = S().MakeFile("a.dwg", "Model\r\n");
    const StandInLog log = CadLog(S());
    S().Start();

    S().Drop("Button10", {a});
    // CAD's windows are there and Timer1 reads its history, but no prompt comes.
    WaitForEvents(log, "copy-history ", 2, "Marlowen to read the stand-in's history");
    EXPECT_EQ(log.Count("ready"), 0);

    S().Close();
    EXPECT_EQ(S().WaitExit(kWaitMs), 0);
}

}  // namespace
}  // namespace e2e
