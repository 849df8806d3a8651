// Starts StandInCad.exe and drives it from outside, as Marlowen does: finds its windows by
// title and class, types with WM_COPYDATA, reads the history through WM_COMMAND 32781 and the
// clipboard, and the command pane with WM_GETTEXT.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "SurveyReader.h"

namespace {

// <chrono> holds a literal that the Shift-JIS execution character set cannot take.
constexpr ULONGLONG kTimeoutMs = 15000;

std::string Title(HWND hwnd) {
    char buffer[256] = {};
    GetWindowTextA(hwnd, buffer, 255);
    return buffer;
}

std::string ClassOf(HWND hwnd) {
    char buffer[256] = {};
    GetClassNameA(hwnd, buffer, 255);
    return buffer;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string OwnFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\'));
}

std::string StandInPath() {
    std::string relative = STANDIN_EXE_RELATIVE;
    for (char& c : relative) {
        if (c == '/') c = '\\';
    }
    return OwnFolder() + "\\" + relative;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

std::vector<std::string> LogLines(const std::string& path) {
    std::vector<std::string> lines;
    std::istringstream in(ReadFile(path));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> LinesStartingWith(const std::vector<std::string>& lines, const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& line : lines) {
        if (StartsWith(line, prefix)) found.push_back(line);
    }
    return found;
}

bool WaitFor(const std::function<bool()>& condition, ULONGLONG timeoutMs = kTimeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (GetTickCount64() < end) {
        if (condition()) return true;
        Sleep(30);
    }
    return condition();
}

struct Desktop {
    static std::vector<HWND> TopLevel(DWORD pid) {
        struct Walk {
            DWORD pid;
            std::vector<HWND> found;
        } walk{pid, {}};
        EnumWindows(
            [](HWND hwnd, LPARAM lp) -> BOOL {
                auto* w = reinterpret_cast<Walk*>(lp);
                DWORD owner = 0;
                GetWindowThreadProcessId(hwnd, &owner);
                if (owner == w->pid) w->found.push_back(hwnd);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&walk));
        return walk.found;
    }

    static std::vector<HWND> Descendants(HWND parent) {
        std::vector<HWND> found;
        EnumChildWindows(
            parent,
            [](HWND hwnd, LPARAM lp) -> BOOL {
                reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        return found;
    }

    static HWND DescendantTitled(HWND parent, const std::string& title) {
        for (HWND child : Descendants(parent)) {
            if (Title(child) == title) return child;
        }
        return nullptr;
    }
};

// Every case gets a new folder of its own, which is the stand-in's current folder. Wine hands
// out the same process ids run after run, so the name takes the time as well.
std::string NewWorkFolder() {
    static int counter = 0;
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "standin-" + std::to_string(GetCurrentProcessId()) + "-" +
                               std::to_string(GetTickCount64()) + "-" + std::to_string(++counter);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

void RemoveWorkFolder(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            DeleteFileA((folder + "\\" + entry.cFileName).c_str());
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

class StandIn {
public:
    explicit StandIn(const std::string& options) : folder(NewWorkFolder()), logPath(folder + "\\cad.log") {
        std::string commandLine = "\"" + StandInPath() + "\" /log:\"" + logPath + "\" " + options;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        started_ = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                                  &si, &process_) != 0;
    }

    ~StandIn() {
        if (started_) {
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 1);
            WaitForSingleObject(process_.hProcess, 5000);
            CloseHandle(process_.hThread);
            CloseHandle(process_.hProcess);
        }
        RemoveWorkFolder(folder);
    }

    // Finds the windows the way the CAD link does, among this process's windows only.
    bool FindWindows() {
        main = text = pane = historyPane = nullptr;
        for (HWND hwnd : Desktop::TopLevel(process_.dwProcessId)) {
            const std::string title = Title(hwnd);
            const std::string cls = ClassOf(hwnd);
            if (!main && StartsWith(title, "AutoCAD ") && StartsWith(cls, "Afx:00400000:8:")) main = hwnd;
            if (!text && StartsWith(title, "AutoCAD ") && StartsWith(cls, "Afx:00400000:b:") &&
                Contains(title, "テキスト ウィンドウ")) {
                text = hwnd;
            }
        }
        if (text) {
            pane = Desktop::DescendantTitled(text, "MountTam");
            historyPane = Desktop::DescendantTitled(text, "Headlands");
        }
        return main && text && pane && historyPane;
    }

    bool Start() { return started_ && WaitFor([this] { return FindWindows(); }); }

    bool StartAndWaitForPrompt(const std::string& prompt = "コマンド: COMMANDLINE") {
        return Start() && WaitFor([&] { return LastLine() == prompt; });
    }

    void Type(const std::string& text) {
        std::vector<unsigned char> buffer;
        COPYDATASTRUCT record{};
        record.dwData = 1;
        if (IsWindowUnicode(main)) {
            std::vector<wchar_t> units(text.size() + 1, L'\0');
            MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), units.data(),
                                static_cast<int>(text.size()));
            buffer.resize(units.size() * 2);
            std::memcpy(buffer.data(), units.data(), buffer.size());
        } else {
            buffer.assign(text.begin(), text.end());
            buffer.push_back(0);
        }
        record.cbData = static_cast<DWORD>(buffer.size());
        record.lpData = buffer.data();
        SendMessageA(main, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record));
        PostMessageA(main, WM_NULL, 0, 0);
    }

    std::string History() {
        SendMessageA(text, WM_COMMAND, 32781, 0);
        std::string history;
        if (!WaitFor([] { return OpenClipboard(nullptr) != 0; }, 2000)) return history;
        if (HANDLE data = GetClipboardData(CF_TEXT)) {
            if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
                history = bytes;
                GlobalUnlock(data);
            }
        }
        EmptyClipboard();
        CloseClipboard();
        return history;
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

    bool WaitForExit(DWORD* code) {
        if (WaitForSingleObject(process_.hProcess, 15000) != WAIT_OBJECT_0) return false;
        return GetExitCodeProcess(process_.hProcess, code) != 0;
    }

    HWND TopLevelTitled(const std::string& title) {
        for (HWND hwnd : Desktop::TopLevel(process_.dwProcessId)) {
            if (Title(hwnd) == title) return hwnd;
        }
        return nullptr;
    }

    std::vector<std::string> Log() const { return LogLines(logPath); }

    std::string folder;
    std::string logPath;
    HWND main = nullptr;
    HWND text = nullptr;
    HWND pane = nullptr;
    HWND historyPane = nullptr;

private:
    bool started_ = false;
    PROCESS_INFORMATION process_{};
};

TEST(StandInContract, StartUpShowsWindowsFirstAndThePromptAfterTheDelay) {
    StandIn cad("/startdelay:1500");
    const ULONGLONG start = GetTickCount64();
    ASSERT_TRUE(cad.Start());
    EXPECT_NE(cad.LastLine(), "コマンド: COMMANDLINE");
    ASSERT_TRUE(cad.WaitForLastLine([](const std::string& line) { return line == "コマンド: COMMANDLINE"; }));
    EXPECT_GE(GetTickCount64() - start, 1000u);

    EXPECT_FALSE(IsWindowUnicode(cad.main));
    EXPECT_EQ(Title(cad.main), "AutoCAD 2000i - [Drawing1.dwg]");
    EXPECT_EQ(Title(cad.text), "AutoCAD テキスト ウィンドウ - Drawing1.dwg");
    const std::string history = cad.History();
    EXPECT_EQ(history.substr(history.size() - 23), "コマンド: COMMANDLINE\r\n");
    // Another process reads the pane's caption, not its answer to WM_GETTEXT.
    EXPECT_EQ(Title(cad.pane), "MountTam");
    EXPECT_EQ(cad.PaneText(), history + "コマンド: ");
    // What shows the history inside "Headlands" has no caption of its own to be mistaken.
    for (HWND child : Desktop::Descendants(cad.text)) {
        if (child != cad.pane && child != cad.historyPane) {
            EXPECT_EQ(Title(child), "");
        }
    }
    // The docked command line of the main window, as a command-line pane search finds it.
    EXPECT_NE(Desktop::DescendantTitled(cad.main, "Headlands"), nullptr);
    EXPECT_NE(Desktop::DescendantTitled(cad.main, "MountTam"), nullptr);
    EXPECT_EQ(cad.TopLevelTitled("コマンド ライン"), nullptr);

    const std::vector<std::string> log = cad.Log();
    ASSERT_FALSE(log.empty());
    EXPECT_TRUE(StartsWith(log[0], "start pid="));
    EXPECT_EQ(LinesStartingWith(log, "ready"), std::vector<std::string>{"ready"});
}

TEST(StandInContract, HalfWidthPrompt) {
    StandIn cad("/halfwidth");
    ASSERT_TRUE(cad.StartAndWaitForPrompt("ｺﾏﾝﾄﾞ: COMMANDLINE"));
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
    EXPECT_TRUE(Contains(history, "コマンド: filedia\r\n新しい FILEDIA の値を入力 <1>: 0\r\n"
                                  "コマンド: cmddia\r\n新しい CMDDIA の値を入力 <1>: 1\r\nコマンド: OWARI\r\n"));

    const std::vector<std::string> received = LinesStartingWith(cad.Log(), "recv ");
    ASSERT_EQ(received.size(), 4u);
    EXPECT_EQ(received[0], "recv ansi dwData=1 cbData=9 hex=66696c656469610d00 text=\"filedia\\r\"");
    EXPECT_EQ(received[1], "recv ansi dwData=1 cbData=3 hex=300d00 text=\"0\\r\"");
    EXPECT_EQ(received[2], "recv ansi dwData=1 cbData=4 hex=636d6400 text=\"cmd\"");
}

TEST(StandInContract, UnicodeWindowTakesUtf16RecordsAndAnswersAnsiReads) {
    StandIn cad("/unicode");
    WriteFile(cad.folder + "\\表 図.dwg", "Model\r\n平面図\r\n");
    ASSERT_TRUE(cad.StartAndWaitForPrompt());
    EXPECT_TRUE(IsWindowUnicode(cad.main));
    EXPECT_EQ(Title(cad.pane), "MountTam");

    cad.Type("filedia\r");
    cad.Type("0\r");
    cad.Type("open\r");
    cad.Type(cad.folder + "\\表 図.dwg\r");
    cad.Type("layout\r");
    cad.Type("?\r");
    ASSERT_TRUE(cad.WaitForLastLine([](const std::string& line) { return StartsWith(line, "レイアウト: 平面図"); }));
    EXPECT_EQ(Title(cad.text), "AutoCAD テキスト ウィンドウ - 表 図.dwg");
    EXPECT_EQ(survey_reader::LayoutNames(cad.PaneText()), (std::vector<std::string>{"Model", "平面図"}));
    EXPECT_EQ(cad.PaneText(), cad.History() + "コマンド: ");

    const std::vector<std::string> received = LinesStartingWith(cad.Log(), "recv ");
    ASSERT_EQ(received.size(), 6u);
    EXPECT_EQ(received[0],
              "recv utf16 dwData=1 cbData=18 hex=660069006c0065006400690061000d000000 text=\"filedia\\r\"");
    EXPECT_TRUE(Contains(received[3], "\\表 図.dwg\\r\""));
}

// The survey's road: a script opens two drawings and lists their layouts; then each "close"
// makes the drawing opened before active, with "open" in the last history line.
TEST(StandInContract, SurveyScriptThenCloseAndQuit) {
    StandIn cad("/cmddelay:20");
    WriteFile(cad.folder + "\\a.dwg", "Model\r\nLayout1\r\nLayout2\r\n");
    WriteFile(cad.folder + "\\b.dwg", "Model\r\n配置 1\r\n");
    WriteFile(cad.folder + "\\test.scr", "open\r\n" + cad.folder + "\\a.dwg\r\nlayout\r\n?\r\nopen\r\n" + cad.folder +
                                             "\\b.dwg\r\nlayout\r\n?\r\nOWARI\r\n");
    ASSERT_TRUE(cad.StartAndWaitForPrompt());
    for (const char* command : {"filedia\r", "0\r", "cmddia\r", "0\r", "script\r", "test.scr\r"}) cad.Type(command);
    ASSERT_TRUE(cad.WaitForLastLine([](const std::string& line) { return Contains(line, "OWARI"); }));
    EXPECT_EQ(Title(cad.text), "AutoCAD テキスト ウィンドウ - b.dwg");
    EXPECT_EQ(survey_reader::LayoutNames(cad.PaneText()), (std::vector<std::string>{"Model", "配置1"}));

    cad.Type("close\r");
    ASSERT_TRUE(cad.WaitForLastLine([](const std::string& line) { return Contains(line, "open"); }));
    EXPECT_EQ(Title(cad.main), "AutoCAD 2000i - [a.dwg]");
    EXPECT_EQ(survey_reader::LayoutNames(cad.PaneText()),
              (std::vector<std::string>{"Model", "Layout1", "Layout2"}));

    cad.Type("close\r");
    ASSERT_TRUE(WaitFor([&] { return Title(cad.main) == "AutoCAD 2000i - [Drawing1.dwg]"; }));
    EXPECT_TRUE(Contains(cad.LastLine(), "open"));

    for (const char* command : {"filedia\r", "1\r", "cmddia\r", "1\r", "quit\r"}) cad.Type(command);
    DWORD code = 99;
    ASSERT_TRUE(cad.WaitForExit(&code));
    EXPECT_EQ(code, 0u);

    const std::vector<std::string> log = cad.Log();
    const std::vector<std::string> scriptLines = LinesStartingWith(log, "script-line ");
    ASSERT_EQ(scriptLines.size(), 9u);
    EXPECT_EQ(scriptLines[0], "script-line \"open\"");
    EXPECT_EQ(scriptLines[8], "script-line \"OWARI\"");
    EXPECT_EQ(LinesStartingWith(log, "close ").size(), 2u);
    EXPECT_EQ(log.back(), "exit 0");
}

TEST(StandInContract, MissingDrawingShowsTheMessageWindowAndBlocksUntilClosed) {
    StandIn cad("");
    ASSERT_TRUE(cad.StartAndWaitForPrompt());
    cad.Type("filedia\r0\ropen\r");
    cad.Type(cad.folder + "\\missing.dwg\r");
    cad.Type("new\r");
    ASSERT_TRUE(WaitFor([] { return FindWindowA(nullptr, "AutoCAD メッセージ") != nullptr; }));
    HWND message = FindWindowA(nullptr, "AutoCAD メッセージ");
    EXPECT_FALSE(StartsWith(ClassOf(message), "Afx:00400000:8:"));
    EXPECT_TRUE(Contains(cad.LastLine(), "を開けません。"));
    Sleep(300);
    EXPECT_EQ(Title(cad.main), "AutoCAD 2000i - [Drawing1.dwg]");

    HWND ok = FindWindowExA(message, nullptr, "BUTTON", nullptr);
    ASSERT_NE(ok, nullptr);
    SendMessageA(ok, BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([] { return FindWindowA(nullptr, "AutoCAD メッセージ") == nullptr; }));
    EXPECT_TRUE(WaitFor([&] { return Title(cad.main) == "AutoCAD 2000i - [Drawing2.dwg]"; }));
}

TEST(StandInContract, FiledialogOneShowsAFileDialogInsteadOfAPrompt) {
    StandIn cad("");
    ASSERT_TRUE(cad.StartAndWaitForPrompt());
    cad.Type("open\r");
    ASSERT_TRUE(WaitFor([&] { return cad.TopLevelTitled("ファイルを選択") != nullptr; }));
    EXPECT_EQ(cad.LastLine(), "コマンド: open");
    PostMessageA(cad.TopLevelTitled("ファイルを選択"), WM_CLOSE, 0, 0);
    EXPECT_TRUE(cad.WaitForLastLine([](const std::string& line) { return line == "*キャンセル*"; }));
}

TEST(StandInContract, FloatingCommandLineHoldsThePanes) {
    StandIn cad("/floating");
    ASSERT_TRUE(cad.StartAndWaitForPrompt());
    HWND floating = cad.TopLevelTitled("コマンド ライン");
    ASSERT_NE(floating, nullptr);
    EXPECT_TRUE(StartsWith(ClassOf(floating), "Afx:00400000:8:"));
    EXPECT_NE(Desktop::DescendantTitled(floating, "Headlands"), nullptr);
    EXPECT_NE(Desktop::DescendantTitled(floating, "MountTam"), nullptr);
    EXPECT_TRUE(Desktop::Descendants(cad.main).empty());
}

TEST(StandInContract, CommandDelayKeepsTheWindowsAnswering) {
    StandIn cad("/cmddelay:800");
    ASSERT_TRUE(cad.StartAndWaitForPrompt());
    const ULONGLONG sent = GetTickCount64();
    cad.Type("new\r");
    EXPECT_LT(GetTickCount64() - sent, 300u);
    // The line is echoed when taken, and carried out only after the delay.
    ASSERT_TRUE(cad.WaitForLastLine([](const std::string& line) { return line == "コマンド: new"; }));
    EXPECT_EQ(Title(cad.main), "AutoCAD 2000i - [Drawing1.dwg]");
    EXPECT_TRUE(WaitFor([&] { return Title(cad.main) == "AutoCAD 2000i - [Drawing2.dwg]"; }));
    EXPECT_GE(GetTickCount64() - sent, 700u);
}

}  // namespace
