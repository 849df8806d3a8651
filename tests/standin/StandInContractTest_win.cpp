// Starts StandInCad.exe and drives it from outside, as Marlowen does: finds its windows by
// title and class, types with WM_COPYDATA, reads the history through WM_COMMAND 32781 and the
// clipboard, and the command pane with WM_GETTEXT.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "SurveyReader.h"
#include "testsupport/Clipboard_win.h"
#include "testsupport/Desktop_win.h"
#include "testsupport/StandInProcess_win.h"
#include "testsupport/Wait_win.h"
#include "text/Encoding_win.h"
#include "testsupport/StandInContract.h"

namespace {

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The stand-in in a new folder of the case's own, which is its current folder.
class StandIn : public StandInProcess {
public:
    explicit StandIn(const std::string& options) : StandInProcess(STANDIN_EXE, options) {}

    // Finds the windows the way the CAD link does, among one process's windows only: this
    // one's, or the one it launched.
    bool FindWindows() { return FindWindows(ProcessId()); }
    bool FindWindows(DWORD processId) {
        main = text = pane = historyPane = nullptr;
        for (HWND hwnd : TopLevelWindowsOf(processId)) {
            const std::string title = WindowTitle(hwnd);
            const std::string cls = WindowClass(hwnd);
            if (!main && StartsWith(title, "AutoCAD ") && StartsWith(cls, "Afx:00400000:8:")) main = hwnd;
            if (!text && StartsWith(title, "AutoCAD ") && StartsWith(cls, "Afx:00400000:b:") &&
                Contains(title, "テキスト ウィンドウ")) {
                text = hwnd;
            }
        }
        if (text) {
            pane = DescendantTitled(text, standin::kCommandPaneCaption);
            historyPane = DescendantTitled(text, standin::kHistoryPaneCaption);
        }
        return main && text && pane && historyPane;
    }

    bool Start() {
        return Started() && WaitFor([this] { return FindWindows(); });
    }

    bool StartAndWaitForPrompt(const std::string& prompt = "コマンド: COMMANDLINE") {
        return Start() && WaitFor([&] { return LastLine() == prompt; });
    }

    // As a zero-ended record: UTF-16 for a Unicode window, the ANSI bytes for another.
    void Type(const std::string& text) {
        std::string buffer = text + '\0';
        if (IsWindowUnicode(main)) {
            const std::wstring units = WideFromCodePage(text, CP_ACP);
            buffer.assign(reinterpret_cast<const char*>(units.c_str()), (units.size() + 1) * sizeof(wchar_t));
        }
        COPYDATASTRUCT record{};
        record.dwData = standin::kTypedInputRecord;
        record.cbData = static_cast<DWORD>(buffer.size());
        record.lpData = buffer.data();
        SendMessageA(main, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record));
        PostMessageA(main, WM_NULL, 0, 0);
    }

    std::string History() {
        SendMessageA(text, WM_COMMAND, standin::kCopyHistoryCommand, 0);
        return TakeClipboardText();
    }

    std::string LastLine() {
        std::string h = History();
        const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
        while (!h.empty() && blank(h.back())) h.pop_back();
        std::size_t begin = 0;
        while (begin < h.size() && blank(h[begin])) ++begin;
        h.erase(0, begin);
        const std::size_t cut = h.find_last_of("\r\n");
        return cut == std::string::npos ? h : h.substr(cut + 1);
    }

    std::string PaneText() {
        const LRESULT length = SendMessageA(pane, WM_GETTEXTLENGTH, 0, 0);
        if (length <= 0) return {};
        std::string buffer(static_cast<std::size_t>(length) + 1, '\0');
        SendMessageA(pane, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
        return buffer.c_str();
    }

    bool WaitForLastLine(const std::function<bool(const std::string&)>& test) {
        return WaitFor([&] { return test(LastLine()); });
    }

    std::optional<DWORD> WaitExit() const { return Process().WaitExit(15000); }

    HWND TopLevelTitled(const std::string& title) {
        for (HWND hwnd : TopLevelWindowsOf(ProcessId())) {
            if (WindowTitle(hwnd) == title) return hwnd;
        }
        return nullptr;
    }

    HWND main = nullptr;
    HWND text = nullptr;
    HWND pane = nullptr;
    HWND historyPane = nullptr;
};

TEST(StandInContract, StartUpShowsWindowsFirstAndThePromptAfterTheDelay) {
    StandIn cad("/startdelay:1500");
    const ULONGLONG start = GetTickCount64();
    ASSERT_TRUE(cad.Start());
    EXPECT_NE(cad.LastLine(), "コマンド: COMMANDLINE");
    ASSERT_TRUE(cad.WaitForLastLine([](const std::string& line) { return line == "コマンド: COMMANDLINE"; }));
    EXPECT_GE(GetTickCount64() - start, 1000u);

    EXPECT_FALSE(IsWindowUnicode(cad.main));
    EXPECT_EQ(WindowTitle(cad.main), "AutoCAD 2000i - [Drawing1.dwg]");
    EXPECT_EQ(WindowTitle(cad.text), "AutoCAD テキスト ウィンドウ - Drawing1.dwg");
    const std::string history = cad.History();
    EXPECT_EQ(history.substr(history.size() - 23), "コマンド: COMMANDLINE\r\n");
    // Another process reads the pane's caption, not its answer to WM_GETTEXT.
    EXPECT_EQ(WindowTitle(cad.pane), standin::kCommandPaneCaption);
    EXPECT_EQ(cad.PaneText(), history + "コマンド: ");
    // What shows the history inside "Headlands" has no caption of its own to be mistaken.
    for (HWND child : Descendants(cad.text)) {
        if (child != cad.pane && child != cad.historyPane) {
            EXPECT_EQ(WindowTitle(child), "");
        }
    }
    // The docked command line of the main window, as a command-line pane search finds it.
    EXPECT_NE(DescendantTitled(cad.main, standin::kHistoryPaneCaption), nullptr);
    EXPECT_NE(DescendantTitled(cad.main, standin::kCommandPaneCaption), nullptr);
    EXPECT_EQ(cad.TopLevelTitled(standin::kCommandLineTitle), nullptr);

    const std::vector<std::string> log = cad.Log().Lines();
    ASSERT_FALSE(log.empty());
    EXPECT_TRUE(StartsWith(log[0], "start pid="));
    EXPECT_EQ(cad.Log().Starting("ready"), std::vector<std::string>{"ready"});
}

TEST(StandInContract, HalfWidthPrompt) {
    StandIn cad("/halfwidth");
    ASSERT_TRUE(cad.StartAndWaitForPrompt("ｺﾏﾝﾄﾞ: COMMANDLINE"));
}

// A parent that waits until CAD is idle: the splash screen lets it go at once, a load that
// reads no message holds it for the whole load. The splash bears the main window's title, but
// not its class, so the search for the main window passes it over until the windows come.
TEST(StandInContract, InputIdleComesWithTheSplashAtOnceAndAfterTheWholeLoad) {
    const struct {
        const char* options;
        ULONGLONG idleFrom, idleBefore;  // ms after the start
        const char* second;              // the log's event after "start"
    } cases[] = {
        {"/windowdelay:2500", 0, 1500, "splash"},
        {"/loaddelay:2000", 1900, 10000, "load ms=2000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        StandIn cad(c.options);
        const ULONGLONG start = GetTickCount64();
        ASSERT_EQ(WaitForInputIdle(cad.Process().Handle(), 15000), 0u);
        const ULONGLONG idle = GetTickCount64() - start;
        EXPECT_GE(idle, c.idleFrom);
        EXPECT_LT(idle, c.idleBefore);
        const HWND splash = cad.WindowOfClass(standin::kSplashClass);
        if (c.idleFrom == 0) {
            ASSERT_NE(splash, nullptr);
            EXPECT_EQ(WindowTitle(splash), standin::kMainTitle);
            EXPECT_TRUE(IsWindowVisible(splash));
            EXPECT_EQ(GetParent(splash), nullptr);
            EXPECT_FALSE(cad.FindWindows());
        }
        ASSERT_TRUE(cad.StartAndWaitForPrompt());
        EXPECT_EQ(cad.WindowOfClass(standin::kSplashClass), nullptr) << "the splash goes when the windows come";
        EXPECT_EQ(cad.Log().Lines().at(1), c.second);
    }
}

// Only the last lines of the drawing's history are copied and shown in the pane.
TEST(StandInContract, HistoryLinesKeepOnlyTheLastLinesForTheCopyAndThePane) {
    StandIn cad("/historylines:3");
    ASSERT_TRUE(cad.StartAndWaitForPrompt());
    cad.Type("OWARI\r");
    ASSERT_TRUE(cad.WaitForLastLine([](const std::string& line) { return StartsWith(line, "不明なコマンド"); }));
    EXPECT_EQ(cad.History(),
              "コマンド: COMMANDLINE\r\nコマンド: OWARI\r\n不明なコマンド \"OWARI\"。F1 "
              "キーを押すとヘルプを表示します。\r\n");
    EXPECT_EQ(cad.PaneText(), cad.History() + "コマンド: ");
    EXPECT_EQ(cad.Log().Starting("history-full "), std::vector<std::string>{"history-full \"Drawing1.dwg\" lines=3"});
}

TEST(StandInContract, AnsiRecordsInPiecesAnswerThePromptsAndAreLogged) {
    StandIn cad("");
    ASSERT_TRUE(cad.StartAndWaitForPrompt());
    cad.Type("filedia\r");
    cad.Type("0\r");
    cad.Type("cmd");
    cad.Type("dia\r1\rOWARI\r");
    ASSERT_TRUE(cad.WaitForLastLine([](const std::string& line) { return Contains(line, "OWARI"); }));
    const std::string history = cad.History();
    EXPECT_TRUE(Contains(history,
                         "コマンド: filedia\r\n新しい FILEDIA の値を入力 <1>: 0\r\n"
                         "コマンド: cmddia\r\n新しい CMDDIA の値を入力 <1>: 1\r\nコマンド: OWARI\r\n"));

    const std::vector<std::string> received = cad.Log().Starting("recv ");
    ASSERT_EQ(received.size(), 4u);
    EXPECT_EQ(received[0], "recv ansi dwData=1 cbData=9 hex=66696c656469610d00 text=\"filedia\\r\"");
    EXPECT_EQ(received[1], "recv ansi dwData=1 cbData=3 hex=300d00 text=\"0\\r\"");
    EXPECT_EQ(received[2], "recv ansi dwData=1 cbData=4 hex=636d6400 text=\"cmd\"");
}

TEST(StandInContract, LogTimeEndsEveryLineWithItsMillisecondsInOrder) {
    StandIn cad("/logtime");
    ASSERT_TRUE(cad.StartAndWaitForPrompt());
    cad.Type("OWARI\r");
    ASSERT_TRUE(cad.WaitForLastLine([](const std::string& line) { return Contains(line, "OWARI"); }));
    const std::vector<std::string> log = cad.Log().Lines();
    ASSERT_GE(log.size(), 3u);
    double last = 0;
    for (const std::string& line : log) {
        const std::size_t at = line.rfind(" t=");
        ASSERT_NE(at, std::string::npos) << line;
        char* end = nullptr;
        const double ms = std::strtod(line.c_str() + at + 3, &end);
        EXPECT_EQ(*end, '\0') << line;
        EXPECT_EQ(line.size() - (line.find('.', at) + 1), 3u) << line;
        EXPECT_GE(ms, last) << line;
        last = ms;
    }
    EXPECT_EQ(cad.Log().Count("input \"OWARI\" t="), 1) << "the line itself is left as it was";
}

TEST(StandInContract, UnicodeWindowTakesUtf16RecordsAndAnswersAnsiReads) {
    StandIn cad("/unicode");
    cad.WriteFile("表 図.dwg", "Model\r\n平面図\r\n");
    ASSERT_TRUE(cad.StartAndWaitForPrompt());
    EXPECT_TRUE(IsWindowUnicode(cad.main));
    EXPECT_EQ(WindowTitle(cad.pane), standin::kCommandPaneCaption);

    cad.Type("filedia\r");
    cad.Type("0\r");
    cad.Type("open\r");
    cad.Type(cad.Folder() + "\\表 図.dwg\r");
    cad.Type("layout\r");
    cad.Type("?\r");
    ASSERT_TRUE(cad.WaitForLastLine([](const std::string& line) { return StartsWith(line, "レイアウト: 平面図"); }));
    EXPECT_EQ(WindowTitle(cad.text), "AutoCAD テキスト ウィンドウ - 表 図.dwg");
    EXPECT_EQ(survey_reader::LayoutNames(cad.PaneText()), (std::vector<std::string>{"Model", "平面図"}));
    EXPECT_EQ(cad.PaneText(), cad.History() + "コマンド: ");

    const std::vector<std::string> received = cad.Log().Starting("recv ");
    ASSERT_EQ(received.size(), 6u);
    EXPECT_EQ(received[0],
              "recv utf16 dwData=1 cbData=18 hex=660069006c0065006400690061000d000000 text=\"filedia\\r\"");
    EXPECT_TRUE(Contains(received[3], "\\表 図.dwg\\r\""));
}

// The survey's road: a script opens two drawings and lists their layouts; then each "close"
// makes the drawing opened before active, with "open" in the last history line.
TEST(StandInContract, SurveyScriptThenCloseAndQuit) {
    StandIn cad("/cmddelay:20");
    cad.WriteFile("a.dwg", "Model\r\nLayout1\r\nLayout2\r\n");
    cad.WriteFile("b.dwg", "Model\r\n配置 1\r\n");
    cad.WriteFile("test.scr", "open\r\n" + cad.Folder() + "\\a.dwg\r\nlayout\r\n?\r\nopen\r\n" + cad.Folder() +
                                  "\\b.dwg\r\nlayout\r\n?\r\nOWARI\r\n");
    ASSERT_TRUE(cad.StartAndWaitForPrompt());
    for (const char* command : {"filedia\r", "0\r", "cmddia\r", "0\r", "script\r", "test.scr\r"}) cad.Type(command);
    ASSERT_TRUE(cad.WaitForLastLine([](const std::string& line) { return Contains(line, "OWARI"); }));
    EXPECT_EQ(WindowTitle(cad.main), "AutoCAD 2000i - [b.dwg]");
    EXPECT_EQ(WindowTitle(cad.text), "AutoCAD テキスト ウィンドウ - b.dwg");
    EXPECT_EQ(survey_reader::LayoutNames(cad.PaneText()), (std::vector<std::string>{"Model", "配置1"}));

    cad.Type("close\r");
    ASSERT_TRUE(cad.WaitForLastLine([](const std::string& line) { return Contains(line, "open"); }));
    EXPECT_EQ(WindowTitle(cad.main), "AutoCAD 2000i - [a.dwg]");
    EXPECT_EQ(WindowTitle(cad.text), "AutoCAD テキスト ウィンドウ - a.dwg");
    EXPECT_EQ(survey_reader::LayoutNames(cad.PaneText()), (std::vector<std::string>{"Model", "Layout1", "Layout2"}));

    cad.Type("close\r");
    ASSERT_TRUE(WaitFor([&] { return WindowTitle(cad.main) == "AutoCAD 2000i - [Drawing1.dwg]"; }));
    EXPECT_EQ(WindowTitle(cad.text), "AutoCAD テキスト ウィンドウ - Drawing1.dwg");
    EXPECT_TRUE(Contains(cad.LastLine(), "open"));

    cad.Type("new\r");
    ASSERT_TRUE(WaitFor([&] { return WindowTitle(cad.main) == "AutoCAD 2000i - [Drawing2.dwg]"; }));
    EXPECT_EQ(WindowTitle(cad.text), "AutoCAD テキスト ウィンドウ - Drawing2.dwg");

    for (const char* command : {"filedia\r", "1\r", "cmddia\r", "1\r", "quit\r"}) cad.Type(command);
    ASSERT_EQ(cad.WaitExit(), 0u);

    const std::vector<std::string> log = cad.Log().Lines();
    const std::vector<std::string> scriptLines = cad.Log().Starting("script-line ");
    ASSERT_EQ(scriptLines.size(), 9u);
    EXPECT_EQ(scriptLines[0], "script-line \"open\"");
    EXPECT_EQ(scriptLines[8], "script-line \"OWARI\"");
    EXPECT_EQ(cad.Log().Count("close "), 2);
    EXPECT_EQ(log.back(), "exit 0");
}

// After "quit" the windows stay for the delay: the history and the pane still answer, typed
// input is logged but not taken. The operator's close, and a delay of 0, end at once.
TEST(StandInContract, QuitKeepsTheWindowsForItsDelayAndACloseEndsAtOnce) {
    const struct {
        const char* options;
        bool close;        // WM_CLOSE to the main window instead of "quit"
        ULONGLONG stayMs;  // at least, after "exit 0" is logged; 0: ends at once
    } cases[] = {
        {"/quitdelay:3000", false, 2500},
        {"", false, 800},
        {"/quitdelay:0", false, 0},
        {"/quitdelay:3000", true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.options) + (c.close ? " WM_CLOSE" : ""));
        StandIn cad(c.options);
        ASSERT_TRUE(cad.StartAndWaitForPrompt());
        if (c.close) PostMessageA(cad.main, WM_CLOSE, 0, 0);
        else cad.Type("quit\r");
        ASSERT_TRUE(WaitFor([&] { return cad.Log().Has("exit 0"); }));
        const ULONGLONG exited = GetTickCount64();
        if (c.stayMs > 0) {
            EXPECT_EQ(cad.LastLine(), "コマンド: quit");
            EXPECT_EQ(cad.PaneText(), cad.History());
            cad.Type("new\r");
            EXPECT_TRUE(WaitFor([&] { return cad.Log().Count("recv ") == 2; }));
        }
        ASSERT_EQ(cad.WaitExit(), 0u);
        const ULONGLONG stayed = GetTickCount64() - exited;
        if (c.stayMs > 0) EXPECT_GE(stayed, c.stayMs);
        else EXPECT_LT(stayed, 1500u);
        const std::vector<std::string> log = cad.Log().Lines();
        const int exit = IndexOfLine(log, "exit 0");
        ASSERT_GT(exit, 0);
        EXPECT_EQ(log[exit - 1] == "quit-delay ms=3000" || log[exit - 1] == "quit-delay ms=1000", c.stayMs > 0)
            << log[exit - 1];
        EXPECT_EQ(cad.Log().Count("command new"), 0) << "no input is taken while CAD closes";
    }
}

// A drawing that is missing, or there but unreadable (/failopen), alike.
TEST(StandInContract, DrawingThatCannotBeOpenedShowsTheMessageWindowAndBlocksUntilClosed) {
    for (const char* options : {"", "/failopen:A.DWG"}) {
        SCOPED_TRACE(options);
        StandIn cad(options);
        if (*options) cad.WriteFile("a.dwg", "Model\r\n");
        const std::string path = cad.Folder() + (*options ? "\\a.dwg" : "\\missing.dwg");
        ASSERT_TRUE(cad.StartAndWaitForPrompt());
        cad.Type("filedia\r0\ropen\r");
        cad.Type(path + "\r");
        cad.Type("new\r");
        ASSERT_TRUE(WaitFor([] { return FindWindowA(nullptr, standin::kMessageTitle) != nullptr; }));
        HWND message = FindWindowA(nullptr, standin::kMessageTitle);
        EXPECT_FALSE(StartsWith(WindowClass(message), "Afx:00400000:8:"));
        EXPECT_EQ(cad.LastLine(), "図面ファイル \"" + path + "\" を開けません。");
        Sleep(300);
        EXPECT_EQ(WindowTitle(cad.main), "AutoCAD 2000i - [Drawing1.dwg]");
        EXPECT_EQ(cad.Log().Count("open-failed "), 1);

        HWND ok = FindWindowExA(message, nullptr, "BUTTON", nullptr);
        ASSERT_NE(ok, nullptr);
        SendMessageA(ok, BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitFor([] { return FindWindowA(nullptr, standin::kMessageTitle) == nullptr; }));
        EXPECT_TRUE(WaitFor([&] { return WindowTitle(cad.main) == "AutoCAD 2000i - [Drawing2.dwg]"; }));
    }
}

TEST(StandInContract, FiledialogOneShowsAFileDialogInsteadOfAPrompt) {
    StandIn cad("");
    ASSERT_TRUE(cad.StartAndWaitForPrompt());
    cad.Type("open\r");
    ASSERT_TRUE(WaitFor([&] { return cad.TopLevelTitled(standin::kFileDialogTitle) != nullptr; }));
    EXPECT_EQ(cad.LastLine(), "コマンド: open");
    PostMessageA(cad.TopLevelTitled(standin::kFileDialogTitle), WM_CLOSE, 0, 0);
    EXPECT_TRUE(cad.WaitForLastLine([](const std::string& line) { return line == "*キャンセル*"; }));
}

// Told to end like a crash: before the prompt, at a typed word, at a piece of a script line.
// The line that ends it is logged, then "exit 3"; nothing of a quit sequence.
TEST(StandInContract, AbruptEndsComeAtTheirMomentWithExitCodeThree) {
    const struct {
        const char* options;
        const char* typed;      // once the prompt shows; none: the end comes before it
        const char* lastTaken;  // the event before "exit 3"
    } cases[] = {
        {"/startdelay:60000 /exitafter:1500", nullptr, "start pid="},
        {"/exitat:close", "new\rCLOSE\rnew\r", "input \"CLOSE\""},
        {"/exitat:LAYOUT", "filedia\r0\rscript\rend.scr\r", "script-line \"layout\""},
        {"/crashon:B.dwg", "new\rfiledia\r0\ropen\rb.dwg\rnew\r", "crash \"b.dwg\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        StandIn cad(c.options);
        cad.WriteFile("end.scr", "new\r\nlayout ?\r\nnew\r\n");
        cad.WriteFile("b.dwg", "Model\r\n");
        const ULONGLONG start = GetTickCount64();
        ASSERT_TRUE(cad.Start());
        if (c.typed) {
            ASSERT_TRUE(cad.WaitForLastLine([](const std::string& line) { return line == "コマンド: COMMANDLINE"; }));
            cad.Type(c.typed);
        }
        ASSERT_EQ(cad.WaitExit(), 3u);
        const std::vector<std::string> log = cad.Log().Lines();
        ASSERT_GE(log.size(), 2u);
        EXPECT_EQ(log.back(), "exit 3");
        EXPECT_TRUE(StartsWith(log.end()[-2], c.lastTaken)) << log.end()[-2];
        if (!c.typed) {
            EXPECT_EQ(cad.Log().Count("ready"), 0);
            EXPECT_GE(GetTickCount64() - start, 1400u);
        }
        EXPECT_EQ(cad.Log().Count("new "), c.typed ? 1 : 0) << "the line after the end is never taken";
    }
}

// A site's start-up program: the launcher ends at once without a window, having started a
// copy with its other arguments (quoted as given) whose windows come later.
TEST(StandInContract, LauncherStartsACopyWithTheOtherArgumentsAndEndsAtOnce) {
    // /exitafter ends the copy should the test stop before it types quit.
    StandIn launcher("/launch /windowdelay:2500 \"/exitat:two words\" /exitafter:30000");
    const ULONGLONG start = GetTickCount64();
    ASSERT_EQ(launcher.WaitExit(), 0u);
    EXPECT_LT(GetTickCount64() - start, 2000u);
    EXPECT_TRUE(TopLevelWindowsOf(launcher.ProcessId()).empty());

    const std::vector<std::string> launched = launcher.Log().Starting("launch pid=");
    ASSERT_EQ(launched.size(), 1u);
    const DWORD copy = std::stoul(launched[0].substr(11));
    EXPECT_NE(copy, launcher.ProcessId());
    ASSERT_TRUE(WaitFor([&] { return TopLevelWindowOf(copy, standin::kSplashClass) != nullptr; }));
    EXPECT_EQ(TopLevelWindowOf(copy, standin::kMainClass), nullptr) << "the windows come only after the delay";
    ASSERT_TRUE(WaitFor([&] { return launcher.FindWindows(copy); }));
    EXPECT_GE(GetTickCount64() - start, 2400u);
    ASSERT_TRUE(launcher.WaitForLastLine([](const std::string& line) { return line == "コマンド: COMMANDLINE"; }));

    const std::vector<std::string> log = launcher.Log().Lines();
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log[1], launched[0]);
    EXPECT_EQ(log[2], "exit 0");
    EXPECT_TRUE(StartsWith(log[3], "start pid=" + std::to_string(copy) + " ")) << log[3];
    const auto cwd = [](const std::string& line) {
        const std::size_t at = line.find(" cwd=");
        return line.substr(at, line.find(" args=") - at);
    };
    EXPECT_EQ(cwd(log[3]), cwd(log[0]));
    EXPECT_FALSE(Contains(log[3], "/launch"));
    EXPECT_TRUE(Contains(log[3], " /windowdelay:2500 \\\"/exitat:two words\\\" /exitafter:30000\"")) << log[3];

    launcher.Type("quit\r");
    EXPECT_TRUE(WaitFor([&] { return launcher.Log().Count("exit 0") == 2; }));
}

// Copies of CAD started without arguments each log beside their executable.
TEST(StandInContract, WithoutLogOptionTheLogIsBesideTheExecutable) {
    TempFolder folder;
    const std::string exe = folder.Path() + "\\My CAD\\cad.exe";
    ASSERT_TRUE(CreateDirectoryA((folder.Path() + "\\My CAD").c_str(), nullptr));
    ASSERT_TRUE(CopyFileA(WindowsPath(STANDIN_EXE).c_str(), exe.c_str(), FALSE));
    const StandInLog log(exe + ".log");
    ChildProcess cad(Quoted(exe), folder.Path());
    ASSERT_TRUE(WaitFor([&] { return log.Has("ready"); }));
    EXPECT_TRUE(StartsWith(log.Lines()[0], "start pid=" + std::to_string(cad.Id()) + " ")) << log.Lines()[0];
}

TEST(StandInContract, FloatingCommandLineHoldsThePanes) {
    StandIn cad("/floating");
    ASSERT_TRUE(cad.StartAndWaitForPrompt());
    HWND floating = cad.TopLevelTitled(standin::kCommandLineTitle);
    ASSERT_NE(floating, nullptr);
    EXPECT_TRUE(StartsWith(WindowClass(floating), "Afx:00400000:8:"));
    EXPECT_NE(DescendantTitled(floating, standin::kHistoryPaneCaption), nullptr);
    EXPECT_NE(DescendantTitled(floating, standin::kCommandPaneCaption), nullptr);
    EXPECT_TRUE(Descendants(cad.main).empty());
}

TEST(StandInContract, CommandDelayKeepsTheWindowsAnswering) {
    StandIn cad("/cmddelay:800");
    ASSERT_TRUE(cad.StartAndWaitForPrompt());
    const ULONGLONG sent = GetTickCount64();
    cad.Type("new\r");
    EXPECT_LT(GetTickCount64() - sent, 300u);
    // The line is echoed when taken, and carried out only after the delay.
    ASSERT_TRUE(cad.WaitForLastLine([](const std::string& line) { return line == "コマンド: new"; }));
    EXPECT_EQ(WindowTitle(cad.main), "AutoCAD 2000i - [Drawing1.dwg]");
    EXPECT_TRUE(WaitFor([&] { return WindowTitle(cad.main) == "AutoCAD 2000i - [Drawing2.dwg]"; }));
    EXPECT_GE(GetTickCount64() - sent, 700u);
}

// CAD at work on a line answers no message, not even WM_NULL, then carries the line out; only
// the first such line.
TEST(StandInContract, BusyLineAnswersNoMessageUntilItIsCarriedOutOnce) {
    StandIn cad("/busy:2000:C:\\x\\B.dwg");
    ASSERT_TRUE(cad.StartAndWaitForPrompt());
    const ULONGLONG sent = GetTickCount64();
    cad.Type("\"c:\\x\\b.dwg\"\r");
    ASSERT_TRUE(WaitFor([&] { return cad.Log().Has("busy ms=2000"); }));
    DWORD_PTR answer = 0;
    EXPECT_EQ(SendMessageTimeoutA(cad.main, WM_NULL, 0, 0, SMTO_NORMAL, 300, &answer), 0);
    ASSERT_TRUE(cad.WaitForLastLine([](const std::string& line) { return StartsWith(line, "不明なコマンド"); }));
    EXPECT_GE(GetTickCount64() - sent, 1900u);

    const ULONGLONG again = GetTickCount64();
    cad.Type("\"c:\\x\\b.dwg\"\r");
    ASSERT_TRUE(WaitFor([&] { return cad.Log().Count("unknown ") == 2; }));
    EXPECT_LT(GetTickCount64() - again, 1500u);
    EXPECT_EQ(cad.Log().Count("busy "), 1);
}

}  // namespace
