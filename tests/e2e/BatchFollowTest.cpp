// A batch followed drawing by drawing from outside: the progress in the status line and the
// title, where a run stopped (CAD's message, CAD ended early) and the question that runs the
// rest, the survey run again without the drawing CAD could not open, the record test.csv after
// each run, and a template that gives CAD nothing to follow by.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/E2eTest.h"

namespace e2e {
namespace {

constexpr int kWaitMs = 30000;
constexpr char kOpenSection[] = "[Section1]\nLabel=開く\nTextCount=3\n1=open\n2=[FULLFILEPATH]\n3=close\n";

std::string ProgramSection(const std::string& options) {
    return "[Program]\nFile=C:\\m\\StandInCad.exe " + options + " /log:C:\\run\\cad.log\n";
}

// Drawings 01.dwg … NN.dwg in C:\d, made unless in missing; their unix paths.
std::vector<std::string> Drawings(Session& s, int count, const std::vector<int>& missing = {}) {
    std::vector<std::string> paths;
    for (int k = 1; k <= count; ++k) {
        char name[16];
        std::snprintf(name, sizeof name, "%02d.dwg", k);
        const bool made = std::find(missing.begin(), missing.end(), k) == missing.end();
        paths.push_back(made ? s.MakeFile(name, "Model\r\nLayout1\r\n") : s.DriveC() + "/d/" + name);
    }
    return paths;
}

std::string WindowsPath(int k) {
    char path[32];
    std::snprintf(path, sizeof path, "C:\\d\\%02d.dwg", k);
    return path;
}

// The batch script of drawings first … last of the open template.
std::string OpenScript(int first, int last) {
    std::vector<std::string> lines;
    for (int k = first; k <= last; ++k) lines = Join(lines, {"open", WindowsPath(k), "close"});
    return ScriptBytes(Join(lines, kTail));
}

// The record's rows (the lines after its head), fields split at commas, as written in UTF-8.
struct Record {
    std::string head;
    std::vector<std::vector<std::string>> rows;
};
Record ReadRecord(Session& s) {
    Record record;
    const std::string text = s.ReadText(s.RunFolder() + "/test.csv");
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        const std::string line = text.substr(start, end - start);
        if (record.head.empty()) {
            record.head = line;
            continue;
        }
        std::vector<std::string> fields(1);
        for (char c : line) {
            if (c == ',') fields.emplace_back();
            else fields.back() += c;
        }
        record.rows.push_back(fields);
    }
    return record;
}

// Rows first … last have this outcome (and a time reached unless never reached).
void ExpectOutcomes(const Record& record, int first, int last, const std::string& outcome) {
    for (int k = first; k <= last; ++k) {
        SCOPED_TRACE("row " + std::to_string(k));
        ASSERT_GE(record.rows.size(), static_cast<std::size_t>(k));
        const std::vector<std::string>& row = record.rows[k - 1];
        ASSERT_EQ(row.size(), 4u);
        EXPECT_EQ(row[0], std::to_string(k));
        EXPECT_EQ(row[1], WindowsPath(k));
        EXPECT_EQ(row[2], outcome);
        EXPECT_EQ(row[3].empty(), outcome == "未実行") << row[3];
    }
}

using BatchFollow = E2eTest;
using SurveyAgain = E2eTest;

TEST_F(BatchFollow, SeventhOfTwentyUnreadableIsNamedAndTheRestAfterItRunsIntoTheSameRecord) {
    S().WriteDataIni(ProgramSection("/failopen:07.dwg") + kOpenSection);
    const std::vector<std::string> drawings = Drawings(S(), 20);
    const StandInLog cad = CadLog(S());
    S().Start();

    S().Drop("Button1", drawings);
    WaitForEvents(cad, "message-window ", 1, "CAD to fail at drawing 7");
    WaitForStatus(S(), "CAD のメッセージで停止: 7 / 20 C:\\d\\07.dwg");
    EXPECT_EQ(S().Title(), "CAD のメッセージで停止: 7 / 20 C:\\d\\07.dwg - Marlowen");
    Record record = ReadRecord(S());
    EXPECT_TRUE(record.head.starts_with("開始,20")) << record.head;
    EXPECT_TRUE(record.head.ends_with(",ボタン,開く,図面数,20")) << record.head;
    ExpectOutcomes(record, 1, 6, "完了");
    ExpectOutcomes(record, 7, 7, "停止 (CAD のメッセージ)");
    ExpectOutcomes(record, 8, 20, "未実行");
    EXPECT_TRUE(S().MessageBoxes().empty()) << "CAD's message was covered by a box of Marlowen's";

    // The operator reads CAD's message and ends CAD; the rest runs with a CAD that takes time
    // per line, so that its progress shows.
    S().Inspect({"close", "AutoCAD メッセージ"});
    S().SetText("Edit1", "C:\\m\\StandInCad.exe /cmddelay:100 /log:C:\\run\\cad.log");
    S().Click("Button12");
    const MessageBoxInfo ask = S().WaitMessageBox("Marlowen", kWaitMs);
    EXPECT_EQ(ask.text,
              "CAD のメッセージで止まりました。\r\n図面 7 / 20:\r\nC:\\d\\07.dwg\r\n\r\nこの後の 図面 8 から 20 を\r\n"
              "実行しますか?");
    S().Press("Marlowen", "yes");

    WaitUntil([&] { return cad.Count("start ") == 2; }, kWaitMs, "the rest to start CAD");
    EXPECT_EQ(ReadBytes(S().RunFolder() + "/test.scr"), OpenScript(8, 20));
    std::string progress;
    WaitUntil([&] { return (progress = S().GetControl("Label1").text).starts_with("実行中 3 / 13 ("); }, kWaitMs,
              "the progress of the rest");
    EXPECT_NE(progress.find(") 10.dwg"), std::string::npos) << progress;
    EXPECT_EQ(S().Title(), progress + " - Marlowen");
    WaitForStatus(S(), "完了: 13 図面 (");
    record = ReadRecord(S());
    ExpectOutcomes(record, 1, 6, "完了");
    ExpectOutcomes(record, 7, 7, "停止 (CAD のメッセージ)");
    ExpectOutcomes(record, 8, 20, "完了");
    EXPECT_TRUE(S().MessageBoxes().empty());
}

// CAD crashes while at work on the 12th of 14 drawings, a moment after it opened it, as a CAD
// that takes its time per line does; the rest runs with a CAD that does not crash.
class CadEndedEarly : public E2eTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(CadEndedEarly, NamesTheDrawingAndTheAnswerRunsFromItAfterItOrNothing) {
    const std::string answer = GetParam();
    S().WriteDataIni(ProgramSection("/cmddelay:300 /crashon:12.dwg") + kOpenSection);
    const std::vector<std::string> drawings = Drawings(S(), 14);
    const StandInLog cad = CadLog(S());
    S().Start();

    S().Drop("Button1", drawings);
    S().SetText("Edit1", "C:\\m\\StandInCad.exe /log:C:\\run\\cad.log");
    const MessageBoxInfo ask = S().WaitMessageBox("Marlowen", kWaitMs);
    EXPECT_EQ(
        ask.text,
        "CAD が実行の途中で終了しました。\r\n図面 12 / 14:\r\nC:\\d\\12.dwg\r\n\r\nはい: この図面から実行します\r\n"
        "いいえ: 次の図面から実行します\r\nキャンセル: 実行しません");
    EXPECT_EQ(cad.Count("exit 3"), 1);
    Record record = ReadRecord(S());
    ExpectOutcomes(record, 1, 11, "完了");
    ExpectOutcomes(record, 12, 12, "CAD 終了");
    ExpectOutcomes(record, 13, 14, "未実行");
    S().Press("Marlowen", answer);

    if (answer == "cancel") {
        WaitUntil([&] { return S().MessageBoxes().empty(); }, kWaitMs, "the question to go");
        EXPECT_EQ(S().GetControl("Label1").text, "CAD が途中で終了: 12 / 14 C:\\d\\12.dwg");
        EXPECT_EQ(cad.Count("start "), 1) << "Cancel ran the rest";
        return;
    }
    const int first = answer == "yes" ? 12 : 13;
    WaitUntil([&] { return cad.Count("exit 0") == 1; }, kWaitMs, "the rest to run and quit");
    EXPECT_EQ(ReadBytes(S().RunFolder() + "/test.scr"), OpenScript(first, 14));
    WaitForStatus(S(), "完了: " + std::to_string(15 - first) + " 図面 (");
    record = ReadRecord(S());
    ExpectOutcomes(record, 1, 11, "完了");
    ExpectOutcomes(record, 12, 12, answer == "yes" ? "完了" : "CAD 終了");
    ExpectOutcomes(record, 13, 14, "完了");
}

INSTANTIATE_TEST_SUITE_P(EachAnswer, CadEndedEarly, ::testing::Values("yes", "no", "cancel"));

TEST_F(BatchFollow, TemplateWithoutPlaceholdersRunsAsBeforeAndSaysItCannotTellTheProgress) {
    S().WriteDataIni(ProgramSection("/cmddelay:200") + "[Section2]\nLabel=保存\nTextCount=1\n1=qsave\n");
    const std::vector<std::string> drawings = Drawings(S(), 3);
    const StandInLog cad = CadLog(S());
    S().Start();

    S().Drop("Button2", drawings);
    WaitForStatus(S(), "CAD がスクリプトを実行しています (");
    EXPECT_TRUE(S().GetControl("Label1").text.ends_with("、進み具合はわかりません"));
    WaitForEvents(cad, "exit 0", 1, "CAD to run the script and quit", kWaitMs);
    WaitForStatus(S(), "CAD が終了しました (");
    EXPECT_EQ(ReadBytes(S().RunFolder() + "/test.scr"), ScriptBytes(Join({"qsave", "qsave", "qsave"}, kTail)));
    EXPECT_EQ(cad.Count("unknown \"qsave\""), 3);
    const Record record = ReadRecord(S());
    ASSERT_EQ(record.rows.size(), 3u);
    for (const auto& row : record.rows) EXPECT_EQ(row.at(2), "不明");
    EXPECT_TRUE(S().MessageBoxes().empty());
}

TEST_F(SurveyAgain, FiveDrawingsTheThirdUnreadableAreSurveyedAgainWithoutIt) {
    S().WriteDataIni(ProgramSection(""));
    const std::vector<std::string> drawings = Drawings(S(), 5, {3});
    const StandInLog cad = CadLog(S());
    S().Start();

    S().Drop("Button10", drawings);
    const MessageBoxInfo cannot = S().WaitMessageBox("Marlowen", kWaitMs);
    EXPECT_EQ(cannot.text.substr(0, cannot.text.find("\r\n")), "処理できません");
    S().PressOk("Marlowen");
    WaitForStatus(S(), "CAD のメッセージで停止: 3 / 5 C:\\d\\03.dwg");
    S().Inspect({"close", "AutoCAD メッセージ"});
    S().Click("Button12");
    const MessageBoxInfo ask = S().WaitMessageBox("Marlowen", kWaitMs);
    EXPECT_EQ(
        ask.text,
        "CAD が図面を開けませんでした。\r\n図面 3 / 5:\r\nC:\\d\\03.dwg\r\n\r\nこの図面を除いて、ほかの 4 図面の\r\n"
        "レイアウト名をもう一度取得しますか?");
    S().Press("Marlowen", "yes");

    WaitForStatus(S(), "レイアウト名を取得しました: 4 図面 (");
    std::vector<std::string> script;
    for (int k : {1, 2, 4, 5}) script = Join(script, {"open", InQuotes(WindowsPath(k)), "layout", "?"});
    EXPECT_EQ(ReadBytes(S().RunFolder() + "/test.scr"), ScriptBytes(Join(script, {"OWARI"})));
    EXPECT_EQ(TreeRoots(S().GetControl("TreeView1").text),
              (std::vector<std::string>{WindowsPath(5), WindowsPath(4), WindowsPath(2), WindowsPath(1)}));
    const Grid table = ParseGrid(S().GetControl("StringGrid1").text);
    EXPECT_EQ(table.rows, 5);
    EXPECT_EQ(table.Cell(0, 3), WindowsPath(4));
    EXPECT_EQ(table.Cell(1, 3), "2");
    EXPECT_EQ(cad.Count("start "), 2);
}

}  // namespace
}  // namespace e2e
