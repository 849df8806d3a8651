// The batch run seen from outside: a drop on a captioned button writes test.scr, starts the
// stand-in CAD named in data.ini, and once its prompt shows, types the six commands that make
// it run the script; refusals and a script file that cannot be written start nothing; one run
// at a time, whatever the path box names or however CAD ends; Close CAD reads the command pane
// and quits CAD. What CAD received is read from the stand-in's log.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/E2eTest.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

constexpr int kWaitMs = 10000;
constexpr int kRunMs = 30000;
// A program that was wrongly started writes its log within this time.
constexpr int kNothingStartsMs = 2000;
constexpr char kStandIn[] = "StandInCad.exe";
// The settings of the cases whose test.scr cannot be written: one section of one line.
constexpr char kOneLineSection[] =
    "[Program]\nFile=C:\\m\\StandInCad.exe /log:C:\\run\\cad.log\n"
    "[Section1]\nLabel=印刷\nTextCount=1\n1=open\n";
// The full path and the system's text for ERROR_ACCESS_DENIED; a text ending in ")" gets no ".".
constexpr char kAccessDenied[] = "C:\\run\\test.scr を作成できません (アクセスが拒否されました。)";

// A program that was wrongly started would have written its log by now.
void ExpectNoCadStartedAWhileLater(Session& s) { EXPECT_FALSE(fs::exists(CadLog(s).Path())) << "CAD was started"; }

void WaitForLogLine(Session& s, const std::string& line, int timeoutMs) {
    WaitUntil([&] { return CadLog(s).Has(line); }, timeoutMs, "the stand-in's log line '" + line + "'");
}

// The log's last event of CAD's own: reads answered while it takes its moment to quit may follow.
std::string LastEvent(const std::vector<std::string>& log) {
    for (auto line = log.rbegin(); line != log.rend(); ++line)
        if (!line->starts_with("copy-history ") && !line->starts_with("pane-text ")) return *line;
    return {};
}

// Every line is there, each after the one before it.
void ExpectInOrder(const std::vector<std::string>& log, const std::vector<std::string>& lines) {
    int last = -1;
    for (const auto& line : lines) {
        int at = IndexOfLine(log, line);
        EXPECT_GT(at, last) << "'" << line << "' missing or out of order";
        if (at >= 0) last = at;
    }
}

// How the stand-in's log quotes a line of printable text: backslashes doubled.
std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) out += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return out + "\"";
}

// The log record of a WM_COPYDATA with an ASCII command text ending in "\r": the text and its
// ending zero as bytes (ANSI window) or UTF-16 units (Unicode window).
std::string Received(bool unicode, const std::string& command) {
    std::string hex;
    char byte[3];
    for (size_t i = 0; i <= command.size(); ++i) {
        unsigned char c = i < command.size() ? static_cast<unsigned char>(command[i]) : 0;
        std::snprintf(byte, sizeof byte, "%02x", c);
        hex += unicode ? std::string(byte) + "00" : std::string(byte);
    }
    size_t size = (command.size() + 1) * (unicode ? 2 : 1);
    std::string shown = command.substr(0, command.size() - 1) + "\\r";
    return std::string("recv ") + (unicode ? "utf16" : "ansi") + " dwData=1 cbData=" + std::to_string(size) +
           " hex=" + hex + " text=\"" + shown + "\"";
}

std::vector<std::string> ReceivedAll(bool unicode, const std::vector<std::string>& commands) {
    std::vector<std::string> records;
    for (const auto& c : commands) records.push_back(Received(unicode, c));
    return records;
}

const std::vector<std::string> kRunScriptCommands = {"filedia\r", "0\r", "cmddia\r", "0\r", "script\r", "test.scr\r"};
// CAD takes the blank after "new" as an Enter: the tail's script lines as CAD takes them.
const std::vector<std::string> kTailTaken = {"new", "", "filedia", "1", "cmddia", "1", "quit"};

std::string Crlf(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    return text;
}

// Checks the stand-in's log of a whole run: started in C:\run, ready, then the six commands
// (nothing typed before the prompt), then every script line in order (the script ends in
// kTail), then its exit.
void ExpectScriptRun(const StandInLog& cad, bool unicode, const std::vector<std::string>& script) {
    const auto log = cad.Lines();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front().rfind("start pid=", 0), 0u) << log.front();
    EXPECT_NE(log.front().find(" cwd=\"C:\\\\run\" "), std::string::npos) << log.front();
    int ready = IndexOfLine(log, "ready");
    int firstRecv = IndexOfLine(log, "recv ", true);
    ASSERT_GE(ready, 0);
    EXPECT_GT(firstRecv, ready) << "a command was typed before CAD's prompt";
    EXPECT_EQ(cad.Starting("recv "), ReceivedAll(unicode, kRunScriptCommands));
    EXPECT_TRUE(cad.Has("set filedia=0"));
    EXPECT_TRUE(cad.Has("set cmddia=0"));
    int scriptStart = IndexOfLine(log, "script \"test.scr\" lines=" + std::to_string(script.size()));
    EXPECT_GT(scriptStart, firstRecv);
    std::vector<std::string> expected;
    for (auto line = script.begin(); line != script.end() - kTail.size(); ++line)
        expected.push_back("script-line " + Quoted(*line));
    for (const auto& line : kTailTaken) expected.push_back("script-line " + Quoted(line));
    EXPECT_EQ(cad.Starting("script-line "), expected);
    EXPECT_EQ(LastEvent(log), "exit 0");
}

using BatchRun = E2eTest;
using OneRunAtATime = E2eTest;
using CloseCad = E2eTest;

TEST_F(BatchRun, AnsiCadGetsSixCommandsAfterItsPromptAndRunsTheWholeScript) {
    S().WriteDataIni(
        "[Program]\nFile=C:\\m\\StandInCad.exe /log:C:\\run\\cad.log\n"
        "[Section3]\nLabel=配置+確認\nTextCount=5\n1=open\n2=[FULLFILENAME].dwg\n3=layout\n4=?\n5=close\n");
    // 表 ends in the byte of "\": the path is cut only at the real separators.
    std::string plan = S().MakeFile("表/平面図.dwg", Utf8ToSjis("Model\r\n配置1\r\n配置2\r\n"));
    std::string section = S().MakeFile("断面図.dwg", Utf8ToSjis("Model\r\nA3横\r\n"));
    S().Start();

    S().Drop("Button3", {plan, section});
    WaitForLogLine(S(), "exit 0", kRunMs);

    std::vector<std::string> script = {"open", "C:\\d\\表\\平面図.dwg", "layout", "?", "close",
                                       "open", "C:\\d\\断面図.dwg",     "layout", "?", "close"};
    script.insert(script.end(), kTail.begin(), kTail.end());
    EXPECT_EQ(ReadBytes(S().RunFolder() + "/test.scr"), Utf8ToSjis(Crlf(script)));

    const StandInLog cad = CadLog(S());
    const auto log = cad.Lines();
    EXPECT_NE(log.front().find("args=\"C:\\\\m\\\\StandInCad.exe /log:C:\\\\run\\\\cad.log\""), std::string::npos)
        << log.front();
    EXPECT_EQ(cad.Starting("recv ").at(0), "recv ansi dwData=1 cbData=9 hex=66696c656469610d00 text=\"filedia\\r\"");
    ExpectScriptRun(cad, false, script);
    ExpectInOrder(log,
                  {"set filedia=0", "open \"C:\\\\d\\\\表\\\\平面図.dwg\" name=\"平面図.dwg\" layouts=3",
                   "layout-list \"平面図.dwg\" count=3", "open \"C:\\\\d\\\\断面図.dwg\" name=\"断面図.dwg\" layouts=2",
                   "layout-list \"断面図.dwg\" count=2", "set filedia=1", "exit 0"});

    WaitUntil([&] { return !S().ProcessRunning(kStandIn); }, kWaitMs, "the stand-in to end");
    EXPECT_TRUE(S().Running());
    EXPECT_TRUE(S().MessageBoxes().empty());
}

TEST_F(BatchRun, UnicodeCadGetsUtf16Records) {
    S().WriteDataIni(
        "[Program]\nFile=C:\\m\\StandInCad.exe /unicode /log:C:\\run\\cad.log\n"
        "[Section7]\nLabel=開く\nTextCount=3\n1=open\n2=[FULLFILEPATH]\n3=close\n");
    std::string plan = S().MakeFile("ﾌﾟﾗﾝ/立面図.dwg", Utf8ToSjis("Model\r\n北\r\n"));
    S().Start();

    S().Drop("Button7", {plan});
    WaitForLogLine(S(), "exit 0", kRunMs);

    std::vector<std::string> script = {"open", "C:\\d\\ﾌﾟﾗﾝ\\立面図.dwg", "close"};
    script.insert(script.end(), kTail.begin(), kTail.end());
    EXPECT_EQ(ReadBytes(S().RunFolder() + "/test.scr"), Utf8ToSjis(Crlf(script)));
    const StandInLog cad = CadLog(S());
    const auto log = cad.Lines();
    EXPECT_EQ(cad.Starting("recv ").at(0),
              "recv utf16 dwData=1 cbData=18 hex=660069006c0065006400690061000d000000 text=\"filedia\\r\"");
    ExpectScriptRun(cad, true, script);
    EXPECT_TRUE(cad.Has("open \"C:\\\\d\\\\ﾌﾟﾗﾝ\\\\立面図.dwg\" name=\"立面図.dwg\" layouts=2"));
    WaitUntil([&] { return !S().ProcessRunning(kStandIn); }, kWaitMs, "the stand-in to end");
}

TEST_F(BatchRun, SlowStartingCadWithHalfWidthPromptIsWatchedUntilReady) {
    S().WriteDataIni(
        "[Program]\nFile=C:\\m\\StandInCad.exe /startdelay:3000 /halfwidth /log:C:\\run\\cad.log\n"
        "[Section5]\nLabel=図面\nTextCount=3\n1=open\n2=[FULLFILEPATH]\n3=close\n");
    std::string plan = S().MakeFile("a.dwg", "Model\r\nLayout1\r\n");
    S().Start();

    S().Drop("Button5", {plan});
    WaitForLogLine(S(), "exit 0", kRunMs);

    std::vector<std::string> script = {"open", "C:\\d\\a.dwg", "close"};
    script.insert(script.end(), kTail.begin(), kTail.end());
    const StandInLog cad = CadLog(S());
    const auto log = cad.Lines();
    ExpectScriptRun(cad, false, script);
    // The watcher kept reading CAD's history during the delay without typing anything.
    int firstCopy = IndexOfLine(log, "copy-history bytes=", true);
    EXPECT_GE(firstCopy, 0);
    EXPECT_LT(firstCopy, IndexOfLine(log, "ready"));
    WaitUntil([&] { return !S().ProcessRunning(kStandIn); }, kWaitMs, "the stand-in to end");
}

TEST_F(BatchRun, LoopLineWithoutSurveyIsRefusedAndKeepsOldScript) {
    S().WriteDataIni(
        "[Program]\nFile=C:\\m\\StandInCad.exe /log:C:\\run\\cad.log\n"
        "[Section2]\nLabel=ﾚｲｱｳﾄ別\nTextCount=6\n"
        "1=open\n2=[FULLFILEPATH]\n3=[LAYOUTLOOP]\n4=-plot\n5=[LAYOUTNAME]\n6=[LOOPEND]\n");
    std::string before = "old\r\nscript\r\n";
    WriteBytes(S().RunFolder() + "/test.scr", before);
    std::string plan = S().MakeFile("a.dwg", "Model\r\n");
    S().Start();

    Point drop = S().GetControl("Button2").rect.Center();
    S().DropAt(drop, {plan});
    MessageBoxInfo box = S().WaitMessageBox("情報", kWaitMs);
    EXPECT_EQ(box.text, "レイアウト名を取得してください。");
    EXPECT_TRUE(box.icon);
    EXPECT_EQ(box.rect.left, drop.x - 100);
    EXPECT_EQ(box.rect.top, drop.y - 50);
    EXPECT_EQ(ReadBytes(S().RunFolder() + "/test.scr"), before);

    S().PressOk("情報");
    ExpectNoCadStartedAWhileLater(S());
    EXPECT_EQ(ReadBytes(S().RunFolder() + "/test.scr"), before);
    EXPECT_FALSE(S().ProcessRunning(kStandIn));
    EXPECT_TRUE(S().MessageBoxes().empty());
}

TEST_F(BatchRun, UnwritableScriptFileShowsPathAndReasonAndStartsNothing) {
    S().WriteDataIni(kOneLineSection);
    std::string plan = S().MakeFile("a.dwg", "Model\r\n");
    std::string scriptPath = S().RunFolder() + "/test.scr";
    // A folder in the file's place cannot be opened as a file.
    fs::create_directory(scriptPath);
    S().Start();

    S().Drop("Button1", {plan});
    MessageBoxInfo box = S().WaitMessageBox("Marlowen", kWaitMs);
    EXPECT_EQ(box.text, kAccessDenied);
    EXPECT_TRUE(box.icon);
    S().PressOk("Marlowen");
    ExpectNoCadStartedAWhileLater(S());
    EXPECT_FALSE(S().ProcessRunning(kStandIn));
    EXPECT_TRUE(S().Running());
    EXPECT_TRUE(S().MessageBoxes().empty());
}

TEST_F(BatchRun, ScriptFileRootCannotChangeKeepsItsBytes) {
    S().WriteDataIni(kOneLineSection);
    std::string plan = S().MakeFile("a.dwg", "Model\r\n");
    std::string scriptPath = S().RunFolder() + "/test.scr";
    const std::string before = "old\r\n";
    WriteBytes(scriptPath, before);
    // Root writes through a read-only mode or attribute, but not into an immutable file.
    if (!S().MakeImmutable(scriptPath)) GTEST_SKIP() << "the file system cannot make a file immutable";
    S().Start();

    S().Drop("Button1", {plan});
    MessageBoxInfo box = S().WaitMessageBox("Marlowen", kWaitMs);
    EXPECT_EQ(box.text, kAccessDenied);
    EXPECT_EQ(ReadBytes(scriptPath), before);
    S().PressOk("Marlowen");
    ExpectNoCadStartedAWhileLater(S());
    EXPECT_EQ(ReadBytes(scriptPath), before);
    EXPECT_TRUE(S().Running());
}

constexpr char kOpenSection[] = "[Section1]\nLabel=開く\nTextCount=3\n1=open\n2=[FULLFILEPATH]\n3=close\n";

void WaitForCadToQuit(Session& s) {
    WaitForLogLine(s, "exit 0", kRunMs);
    WaitUntil([&] { return !s.ProcessRunning(kStandIn); }, kWaitMs, "the stand-in to end");
}

TEST_F(OneRunAtATime, DropWhileCadRunsItsScriptIsRefusedAndChangesNothingThenWorksOnceCadQuit) {
    // Each line takes a moment: CAD is still at work when the second drop comes.
    S().WriteDataIni(std::string("[Program]\nFile=C:\\m\\StandInCad.exe /cmddelay:400 /log:C:\\run\\cad.log\n") +
                     kOpenSection + "[Section2]\nLabel=保存\nTextCount=1\n1=qsave\n");
    std::string a = S().MakeFile("a.dwg", "Model\r\n");
    std::string b = S().MakeFile("b.dwg", "Model\r\n");
    const std::string scr = S().RunFolder() + "/test.scr";
    S().Start();

    S().Drop("Button1", {a});
    WaitUntil([&] { return CadLog(S()).Count("script-line ") > 0; }, kRunMs, "CAD to begin the script");
    const std::string script = ReadBytes(scr);
    const Point drop = S().GetControl("Button2").rect.Center();
    S().DropAt(drop, {b});
    MessageBoxInfo box = S().WaitMessageBox("情報", kWaitMs);
    EXPECT_EQ(box.text,
              "CAD がまだ前の実行を続けているため、\r\nこのドロップでは何もしませんでした。\r\n"
              "CAD が終了するまで待つか、\r\n「Close CAD」で CAD を終了させてから、\r\nもう一度ドロップしてください。");
    EXPECT_TRUE(box.icon);
    EXPECT_EQ(box.rect.left, drop.x - 100);
    EXPECT_EQ(box.rect.top, drop.y - 50);
    EXPECT_EQ(ReadBytes(scr), script) << "test.scr changed under the running CAD";
    S().PressOk("情報");

    WaitForCadToQuit(S());
    EXPECT_EQ(CadLog(S()).Count("start "), 1) << "a second CAD was started";
    EXPECT_EQ(CadLog(S()).Count("script-line \"qsave\""), 0);
    S().Drop("Button2", {b});
    WaitUntil([&] { return CadLog(S()).Count("start ") == 2; }, kRunMs, "the drop after CAD quit to start CAD");
    WaitForLogLine(S(), "script-line \"qsave\"", kRunMs);
}

TEST_F(OneRunAtATime, PathBoxNamingNoProgramIsReportedAtOnceAndHoldsNothingBack) {
    S().WriteDataIni(std::string("[Program]\nFile=C:\\m\\nothere.exe\n") + kOpenSection);
    std::string a = S().MakeFile("a.dwg", "Model\r\n");
    S().Start();

    for (int drop = 1; drop <= 2; ++drop) {
        SCOPED_TRACE("drop " + std::to_string(drop));
        S().Drop("Button1", {a});
        MessageBoxInfo box = S().WaitMessageBox("Marlowen", kWaitMs);
        EXPECT_EQ(box.text.rfind("CAD のプログラムを起動できません:\r\nC:\\m\\nothere.exe\r\n(", 0), 0u) << box.text;
        EXPECT_EQ(box.text.back(), ')') << box.text;
        EXPECT_TRUE(box.icon);
        EXPECT_EQ(ReadBytes(S().RunFolder() + "/test.scr"),
                  Utf8ToSjis(Crlf({"open", "C:\\d\\a.dwg", "close"}) + Crlf(kTail)));
        S().PressOk("Marlowen");
        WaitUntil([&] { return S().MessageBoxes().empty(); }, kWaitMs, "the box to go");
    }
    // Nothing was armed: the window sits idle, with no watcher reading a CAD that is not there.
    const CpuTime before = S().ProcessCpuTime();
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_LT(S().ProcessCpuTime().TotalMs() - before.TotalMs(), 100);
}

TEST_F(OneRunAtATime, CadEndingBeforeItsPromptEndsTheWaitWithAMessage) {
    S().WriteDataIni(
        std::string("[Program]\nFile=C:\\m\\StandInCad.exe /startdelay:60000 /exitafter:1500 /log:C:\\run\\cad.log\n") +
        kOpenSection);
    std::string a = S().MakeFile("a.dwg", "Model\r\n");
    S().Start();

    S().Drop("Button1", {a});
    MessageBoxInfo box = S().WaitMessageBox("Marlowen", kWaitMs);
    EXPECT_EQ(box.text, "CAD が実行の途中で終了しました。\r\n(スクリプトは実行されていません)");
    EXPECT_TRUE(box.icon);
    EXPECT_EQ(CadLog(S()).Count("ready"), 0);
    S().PressOk("Marlowen");
    WaitUntil([&] { return S().MessageBoxes().empty(); }, kWaitMs, "the box to go");
    // The run is over: the next drop starts CAD again.
    S().Drop("Button1", {a});
    WaitUntil([&] { return CadLog(S()).Count("start ") == 2; }, kRunMs, "the next drop to start CAD");
}

TEST_F(OneRunAtATime, CadStartedByALauncherThatExitsAtOnceIsWatchedToTheEnd) {
    S().WriteDataIni(
        std::string("[Program]\nFile=C:\\m\\StandInCad.exe /launch /windowdelay:2500 /log:C:\\run\\cad.log\n") +
        kOpenSection);
    std::string a = S().MakeFile("a.dwg", "Model\r\n");
    S().Start();

    S().Drop("Button1", {a});
    WaitForLogLine(S(), "exit 0", kRunMs);  // the launcher's
    S().Drop("Button1", {a});
    EXPECT_EQ(S().WaitMessageBox("情報", kWaitMs).text.rfind("CAD がまだ前の実行を続けている", 0), 0u);
    S().PressOk("情報");
    WaitUntil([&] { return CadLog(S()).Count("exit 0") == 2; }, kRunMs, "CAD behind the launcher to run and quit");
    const StandInLog cad = CadLog(S());
    EXPECT_EQ(cad.Count("launch pid="), 1);
    EXPECT_EQ(cad.Count("start "), 2);
    EXPECT_EQ(cad.Starting("script-line ").size(), 3 + kTail.size() + 1) << "the whole script, new's blank an Enter";
    WaitUntil([&] { return !S().ProcessRunning(kStandIn); }, kWaitMs, "the stand-in to end");
    EXPECT_TRUE(S().MessageBoxes().empty());
}

TEST_F(OneRunAtATime, PathBoxWithABlankStartsThatProgramNotTheOneBeforeTheBlank) {
    // Unquoted, "C:\d\w\My CAD\cad.exe" would start C:\d\w\My.exe, which is there too. C:\d is
    // made anew for every case.
    const std::string standIn = S().DriveC() + "/m/StandInCad.exe";
    const std::string folder = S().DriveC() + "/d/w";
    fs::create_directories(folder + "/My CAD");
    fs::copy_file(standIn, folder + "/My CAD/cad.exe");
    fs::copy_file(standIn, folder + "/My.exe");
    S().WriteDataIni(std::string("[Program]\nFile=C:\\d\\w\\My CAD\\cad.exe\n") + kOpenSection);
    std::string a = S().MakeFile("a.dwg", "Model\r\n");
    S().Start();

    S().Drop("Button1", {a});
    const StandInLog cad(folder + "/My CAD/cad.exe.log", SjisToUtf8);
    WaitUntil([&] { return cad.Has("exit 0"); }, kRunMs, "cad.exe to run the script and quit");
    EXPECT_NE(cad.Lines().front().find("args=\"\\\"C:\\\\d\\\\w\\\\My CAD\\\\cad.exe\\\"\""), std::string::npos)
        << cad.Lines().front();
    EXPECT_FALSE(fs::exists(folder + "/My.exe.log")) << "the program before the blank was started";
}

TEST_F(CloseCad, ShowsStrippedPaneAndQuitsRunningCadThenEmptiesMemoWithoutCad) {
    S().Start();
    S().StartProgram({"C:\\m\\StandInCad.exe", "/log:C:\\run\\cad.log"});
    WaitForLogLine(S(), "ready", kRunMs);

    S().Click("Button12");
    std::string memo;
    WaitUntil([&] { return !(memo = S().GetControl("Memo1").text).empty(); }, kWaitMs, "Memo1 to get the pane text");
    // The pane holds the start-up lines, the prompt's echo and the prompt, with CR LF and blanks.
    const std::string stripped =
        "AutoCAD2000i(スタンドイン)を起動しています。AutoCADメニューユーティリティをロードしました。"
        "コマンド:COMMANDLINEコマンド:";
    // Added as the memo's one line, which ends in CR LF.
    EXPECT_EQ(memo, stripped + "\r\n");

    WaitForLogLine(S(), "exit 0", kWaitMs);
    const StandInLog cad = CadLog(S());
    const auto log = cad.Lines();
    EXPECT_EQ(cad.Starting("recv "), ReceivedAll(false, {"filedia\r", "1\r", "cmddia\r", "1\r", "quit\r"}));
    ExpectInOrder(log, {"ready", "set filedia=1", "set cmddia=1", "command quit", "exit 0"});
    EXPECT_EQ(LastEvent(log), "exit 0");
    WaitUntil([&] { return !S().ProcessRunning(kStandIn); }, kWaitMs, "the stand-in to end");

    // With no CAD the pane text is empty: Memo1 holds one empty line and nothing is shown.
    S().Click("Button12");
    WaitUntil([&] { return S().GetControl("Memo1").text == "\r\n"; }, kWaitMs, "Memo1 to hold one empty line");
    EXPECT_TRUE(S().MessageBoxes().empty());
    EXPECT_TRUE(S().Running());
}

}  // namespace
}  // namespace e2e
