// A run seen from outside while the operator keeps working: the CAD that Marlowen started is
// the only one it drives, whatever other CAD is open and wherever its windows stand; the window
// answers while CAD loads for seconds before it reads a message and while CAD is busy for
// seconds on a line; another program that holds the clipboard for a moment is waited for; and
// the status line above the path box, and the title, say what the run waits for and how it
// ended.
#include <chrono>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/E2eTest.h"

namespace e2e {
namespace {

constexpr int kWaitMs = 30000;
constexpr char kStandIn[] = "C:\\m\\StandInCad.exe";
constexpr char kOpenSection[] = "[Section1]\nLabel=開く\nTextCount=3\n1=open\n2=[FULLFILEPATH]\n3=close\n";

std::string ProgramSection(const std::string& options) {
    return std::string("[Program]\nFile=") + kStandIn + " " + options + " /log:C:\\run\\cad.log\n";
}

// What the operator's own CAD was sent or asked by anyone: typed records, history copies,
// pane reads; and whether it is still there.
void ExpectUntouched(Session& s, const std::string& logName) {
    const StandInLog log = CadLog(s, logName);
    EXPECT_EQ(log.Count("recv "), 0) << logName << " was typed into";
    EXPECT_EQ(log.Count("copy-history "), 0) << logName << "'s history was read";
    EXPECT_EQ(log.Count("pane-text "), 0) << logName << "'s pane was read";
    EXPECT_EQ(log.Count("exit "), 0) << logName << " was ended";
}

void StartOperatorsCad(Session& s, const std::string& logName) {
    s.StartProgram({kStandIn, "/log:C:\\run\\" + logName});
    WaitForEvents(CadLog(s, logName), "ready", 1, "the operator's CAD to show its prompt");
}

// The status line's texts, each as first seen, until done says the run is over.
// done is asked of the text just seen: a second read could find a newer text than the last one kept.
std::vector<std::string> WatchStatus(Session& s, const std::function<bool(const std::string&)>& done) {
    std::vector<std::string> seen;
    WaitUntil(
        [&] {
            const std::string text = s.GetControl("Label1").text;
            if (seen.empty() || seen.back() != text) seen.push_back(text);
            return done(text);
        },
        60000, "the run to end");
    return seen;
}

bool AnyStartsWith(const std::vector<std::string>& texts, const std::string& start) {
    for (const std::string& text : texts)
        if (text.starts_with(start)) return true;
    return false;
}

using OnlyTheRunsCad = E2eTest;
using NeverFrozen = E2eTest;
using HeldClipboard = E2eTest;
using StatusLine = E2eTest;

TEST_F(OnlyTheRunsCad, OperatorsCadsBehindAndOnTopGetNothingOfABatch) {
    S().WriteDataIni(ProgramSection("/startdelay:3000") + kOpenSection);
    const std::string a = S().MakeFile("a.dwg", "Model\r\n");
    const std::string b = S().MakeFile("b.dwg", "Model\r\n");
    // One open before Marlowen, so behind the run's CAD; one started once the run's windows
    // are there, on top of them, at its prompt before the run's CAD shows its own.
    StartOperatorsCad(S(), "behind.log");
    S().Start();
    S().Drop("Button1", {a, b});
    const StandInLog cad = CadLog(S());
    WaitForEvents(cad, "start ", 1, "the run's CAD to start");
    StartOperatorsCad(S(), "ontop.log");
    EXPECT_EQ(cad.Count("ready"), 0) << "the run's CAD was at its prompt before the operator's came on top";

    WaitForEvents(cad, "exit 0", 1, "the run's CAD to run the script and quit", kWaitMs);
    WaitForStatus(S(), "完了: 2 図面");
    EXPECT_EQ(cad.Starting("script-line ").size(), 6u + kTail.size() + 1) << "the whole script, new's blank an Enter";
    ExpectUntouched(S(), "behind.log");
    ExpectUntouched(S(), "ontop.log");
    EXPECT_TRUE(S().MessageBoxes().empty());
}

TEST_F(OnlyTheRunsCad, OperatorsCadOnTopGetsNothingOfASurvey) {
    S().WriteDataIni(ProgramSection("/startdelay:2000"));
    const std::string a = S().MakeFile("a.dwg", "Model\r\nLayout1\r\n");
    const std::string b = S().MakeFile("b.dwg", "Model\r\n");
    S().Start();
    S().Drop("Button10", {a, b});
    const StandInLog cad = CadLog(S());
    WaitForEvents(cad, "start ", 1, "the run's CAD to start");
    StartOperatorsCad(S(), "ontop.log");

    WaitForEvents(cad, "exit 0", 1, "the survey to quit the run's CAD", kWaitMs);
    WaitForStatus(S(), "レイアウト名を取得しました: 2 図面");
    EXPECT_EQ(TreeRoots(S().GetControl("TreeView1").text), (std::vector<std::string>{"C:\\d\\b.dwg", "C:\\d\\a.dwg"}));
    EXPECT_EQ(cad.Starting("close "), std::vector<std::string>{"close \"b.dwg\" active=\"a.dwg\""});
    ExpectUntouched(S(), "ontop.log");
}

TEST_F(NeverFrozen, CadLoadingEightSecondsLeavesTheWindowAnsweringAndCountingTheSeconds) {
    S().WriteDataIni(ProgramSection("/loaddelay:8000") + kOpenSection);
    const std::string a = S().MakeFile("a.dwg", "Model\r\n");
    S().Start();
    S().Drop("Button1", {a});
    const StandInLog cad = CadLog(S());
    WaitForEvents(cad, "load ms=8000", 1, "the stand-in to begin loading");
    // Every read goes through the window's own thread: each comes back at once, with the
    // seconds counted on.
    std::set<std::string> counts;
    const auto start = std::chrono::steady_clock::now();
    while (cad.Count("ready") == 0 && std::chrono::steady_clock::now() - start < std::chrono::seconds(20)) {
        const auto asked = std::chrono::steady_clock::now();
        const std::string text = S().GetControl("Label1").text;
        EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::milliseconds(1000)) << "the window froze";
        if (text.starts_with("CAD の起動を待っています ")) counts.insert(text);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    EXPECT_GE(counts.size(), 5u) << "the status line did not count the seconds of the load";
    WaitForEvents(cad, "exit 0", 1, "CAD to run the script and quit", kWaitMs);
    EXPECT_EQ(cad.Count("script-line \"C:\\\\d\\\\a.dwg\""), 1);
}

TEST_F(NeverFrozen, CadBusyEightSecondsOnALineOfASurveyIsNotYetAndTheSurveyGoesOn) {
    S().WriteDataIni(ProgramSection("/busy:8000:b.dwg"));
    const std::string a = S().MakeFile("a.dwg", "Model\r\nLayout1\r\n");
    const std::string b = S().MakeFile("b.dwg", "Model\r\n");
    const std::string c = S().MakeFile("c.dwg", "Model\r\nLayout2\r\n");
    S().Start();
    S().Drop("Button10", {a, b, c});
    const StandInLog cad = CadLog(S());
    WaitForEvents(cad, "busy ms=8000", 1, "the stand-in to be busy");
    std::string busy;
    WaitUntil([&] { return (busy = S().GetControl("Label1").text).ends_with("、CAD は作業中"); }, 6000,
              "the status line to say that CAD is at work");
    EXPECT_TRUE(busy.starts_with("CAD が図面を開いています")) << busy;
    EXPECT_TRUE(S().MessageBoxes().empty());

    WaitForEvents(cad, "exit 0", 1, "the survey to quit CAD", kWaitMs);
    WaitForStatus(S(), "レイアウト名を取得しました: 3 図面");
    EXPECT_EQ(TreeRoots(S().GetControl("TreeView1").text),
              (std::vector<std::string>{"C:\\d\\c.dwg", "C:\\d\\b.dwg", "C:\\d\\a.dwg"}));
    EXPECT_TRUE(S().MessageBoxes().empty());
}

// Each survey holds the clipboard once while CAD's history is read: for a moment, as every
// copy does, and longer than two seconds.
TEST_F(HeldClipboard, ForAMomentIsWaitedForAndHeldLongerIsSaidWhileTheSurveyGoesOn) {
    S().WriteDataIni(ProgramSection("/cmddelay:150"));
    const std::string a = S().MakeFile("a.dwg", "Model\r\nLayout1\r\n");
    const std::string b = S().MakeFile("b.dwg", "Model\r\n");
    const StandInLog cad = CadLog(S());
    S().Start();

    for (int survey = 1; survey <= 3; ++survey) {
        SCOPED_TRACE("survey " + std::to_string(survey));
        S().Drop("Button10", {a, b});
        WaitForEvents(cad, "copy-history bytes=", 3 * survey, "Marlowen to read CAD's history");
        S().Inspect({"clipboard-hold", survey < 3 ? "1500" : "3000"}, 20000);
        if (survey == 3) {
            const MessageBoxInfo box = S().WaitMessageBox("Marlowen", kWaitMs);
            EXPECT_EQ(box.text, "クリップボードを開くことができません.");
            S().PressOk("Marlowen");
        }
        WaitForCadToQuit(S(), cad, survey, "the survey to quit CAD");
        WaitForStatus(S(), "レイアウト名を取得しました: 2 図面");
        EXPECT_EQ(TreeRoots(S().GetControl("TreeView1").text),
                  (std::vector<std::string>{"C:\\d\\b.dwg", "C:\\d\\a.dwg"}));
        EXPECT_TRUE(S().MessageBoxes().empty()) << "a clipboard held for a moment was reported";
        S().Click("Button11");
        WaitUntil([&] { return S().GetControl("Button10").enabled; }, kWaitMs, "Button11 to enable Button10");
    }
}

TEST_F(StatusLine, SaysWhatTheSurveyWaitsForThenHowItEndedInTheTitleToo) {
    S().WriteDataIni(ProgramSection("/startdelay:2000 /cmddelay:300"));
    const std::string a = S().MakeFile("a.dwg", "Model\r\nLayout1\r\n");
    const std::string b = S().MakeFile("b.dwg", "Model\r\n");
    const StandInLog cad = CadLog(S());
    S().Start();
    EXPECT_EQ(S().GetControl("Label1").text, "AUTOCADのプログラム位置");
    EXPECT_EQ(S().Title(), "Marlowen");

    S().Drop("Button10", {a, b});
    std::string title;
    const std::vector<std::string> seen = WatchStatus(S(), [&](const std::string& status) {
        if (title.empty() && status.starts_with("CAD の起動を待っています")) title = S().Title();
        return status.starts_with("レイアウト名を取得しました");
    });
    for (const char* start :
         {"CAD の起動を待っています ", "CAD が図面を開いています ", "CAD が図面を閉じるのを待っています 1 / 2",
          "CAD の終了を待っています ", "レイアウト名を取得しました: 2 図面 ("})
        EXPECT_TRUE(AnyStartsWith(seen, start)) << "never shown: " << start;
    EXPECT_TRUE(title.starts_with("CAD の起動を待っています ") && title.ends_with(" - Marlowen")) << title;
    WaitForEvents(cad, "exit 0", 1, "CAD to quit");
    EXPECT_EQ(S().Title(), S().GetControl("Label1").text + " - Marlowen");
    // The line stands where the label was and spans the window; no control moved.
    const Control label = S().GetControl("Label1");
    EXPECT_GT(label.rect.Width(), S().GetControl("Edit1").rect.Width());
    EXPECT_LE(label.rect.right, S().ClientRect().right);
}

}  // namespace
}  // namespace e2e
