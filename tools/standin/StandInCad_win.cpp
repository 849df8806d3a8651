// StandInCad: a stand-in for the CAD application, so that Marlowen can be driven end to end
// without it. It shows the CAD's windows and honours the CAD's window-message interface:
//
//   main window   title "AutoCAD 2000i - [<drawing>]", class "Afx:00400000:8:10011:0:1f0a3";
//                 WM_COPYDATA with dwData 1 is typed input ("\r" ends a line). Unless
//                 /floating, it holds the command line: children "Headlands" and "MountTam".
//   text window   title "AutoCAD テキスト ウィンドウ - <drawing>", class
//                 "Afx:00400000:b:10011:6:1f0a3"; children "Headlands" (shows the history) and
//                 "MountTam" (the command pane). WM_COMMAND 32781 puts the active drawing's
//                 history on the clipboard as CF_TEXT before it returns.
//   command pane  every "MountTam" keeps that caption for GetWindowTextA from other processes
//                 but answers WM_GETTEXT / WM_GETTEXTLENGTH with the active drawing's output
//                 (its history and the current prompt).
//   /floating     adds the top-level command line "コマンド ライン", class
//                 "Afx:00400000:8:10011:0:0", with children "Headlands" and "MountTam".
//   messages      a drawing that cannot be opened shows the top-level window "AutoCAD メッセージ"
//                 and drops the rest of a running script (typed input stays queued);
//                 with FILEDIA 1, "open" and "script" show the file dialog "ファイルを選択".
//                 Both block further input until closed (OK / キャンセル, or WM_CLOSE).
//   scripts       as CAD reads them: every blank outside double quotes in a script line is an
//                 Enter, each piece one input line (quotes kept); typed input is not split.
//
// Options: /unicode (Unicode windows: UTF-16 records; otherwise ANSI windows and Shift-JIS
// records), /floating, /halfwidth (prompt "ｺﾏﾝﾄﾞ: " instead of "コマンド: "), /log:PATH
// (without it, the log is the executable's full path followed by ".log"),
// /startdelay:MS (the windows come at once, the start-up prompt after MS),
// /cmddelay:MS (each input line is echoed when taken and carried out MS later; input keeps
// being queued meanwhile), /logtime (every log line ends in " t=MS", milliseconds with three
// decimals on the stand-in's own steady clock, for benchmarks that time its events),
// /windowdelay:MS (the windows come MS after the start, the start-up prompt /startdelay after
// them), /exitafter:MS (the process ends abruptly MS after its start, whatever it is doing:
// no quit sequence, exit code 3), /exitat:WORD (the same end, instead of carrying out the
// first input line, typed or from a script, whose trimmed text is WORD in any ASCII case),
// /launch (starts a copy of this executable with every other argument, in the same current
// folder, and ends at once with exit code 0 and no window, as a site's start-up program).
// Delays are capped at 600000.
//
// Log (/log:PATH, or beside the executable): appended, one event per line, flushed after each, Shift-JIS. A quoted text
// "..." escapes \" \\ \r \n \t and writes bytes that are no Shift-JIS character as \xHH.
//   start pid=N cwd="..." args="..."      the process began (the command line as given)
//   ready                                 the start-up prompt is shown
//   recv ansi|utf16 dwData=N cbData=N hex=HEX text="..."
//                                         a WM_COPYDATA record: all cbData bytes in hex, and
//                                         the text taken from it (up to the zero byte or unit,
//                                         UTF-16 converted to Shift-JIS); " ignored" is
//                                         appended when dwData is not 1
//   input "..."  /  script-line "..."     a typed line / a piece of a script line taken at
//                                         the command line
//   script-stopped lines=N                a failed open dropped the N script lines left
//   command NAME                          a known command starts (lower case)
//   unknown "..."                         an unknown command
//   set filedia=N  /  set cmddia=N
//   script "NAME" lines=N  /  script-failed "NAME"
//                                         N counts the file's lines, not their pieces
//   open "PATH" name="..." layouts=N  /  open-failed "PATH"
//   new "NAME"  /  close "NAME" active="NAME"
//   layout-list "NAME" count=N
//   file-dialog  /  message-window "..."  /  dialog-closed
//   copy-history bytes=N                  WM_COMMAND 32781 filled the clipboard
//   copy-history failed                   the clipboard could not be opened
//   pane-text bytes=N  /  pane-text units=N
//                                         WM_GETTEXT on a command pane answered with N bytes
//                                         (ANSI) or UTF-16 units (Unicode; Wine's conversion
//                                         of an ANSI WM_GETTEXTLENGTH asks for the text too)
//   launch pid=N  /  launch failed error=N
//                                         /launch started process N / could not start it
//   exit N                                the process ends with exit code N (3: abruptly)
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

#include "CadSession.h"
#include "LogFormat.h"

namespace {

constexpr WORD kCopyHistoryCommand = 32781;
constexpr UINT_PTR kStartTimer = 1;
constexpr UINT_PTR kCommandTimer = 2;
constexpr UINT kPumpMessage = WM_APP + 1;
constexpr UINT kExecuteMessage = WM_APP + 2;
constexpr UINT kShiftJis = 932;
constexpr UINT kMaxDelay = 600000;
constexpr int kPromptHeight = 22;
constexpr int kDockedHistoryHeight = 66;

const char kMainClass[] = "Afx:00400000:8:10011:0:1f0a3";
const char kTextClass[] = "Afx:00400000:b:10011:6:1f0a3";
const char kCommandLineClass[] = "Afx:00400000:8:10011:0:0";
const char kPaneClass[] = "StandInPane";
const char kDialogClass[] = "StandInDialog";

// Kept in the pane's GWLP_USERDATA; 0 until WM_NCCREATE has stored it.
enum class PaneRole : LONG_PTR { History = 1, Command = 2 };

constexpr UINT kAbruptExitCode = 3;

struct Options {
    bool unicode = false;
    bool floating = false;
    bool halfWidth = false;
    std::wstring logPath;
    UINT startDelay = 0;
    UINT commandDelay = 0;
    bool logTimes = false;
    UINT windowDelay = 0;
    std::optional<UINT> exitAfter;
    std::string exitWord;
    bool launch = false;
    std::vector<std::wstring> passOn;  // every argument but /launch, for the process launched
};

std::wstring Wide(std::string_view text) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(kShiftJis, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(kShiftJis, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string ShiftJis(std::wstring_view text) {
    if (text.empty()) return {};
    const int n =
        WideCharToMultiByte(kShiftJis, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(kShiftJis, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

UINT ParseDelay(const std::wstring& digits) {
    const unsigned long value = std::wcstoul(digits.c_str(), nullptr, 10);
    return value > kMaxDelay ? kMaxDelay : static_cast<UINT>(value);
}

bool HasPrefix(const std::wstring& arg, const wchar_t* prefix, std::wstring* rest = nullptr) {
    const std::size_t n = std::wcslen(prefix);
    if (arg.size() < n || _wcsnicmp(arg.c_str(), prefix, n) != 0) return false;
    if (rest) *rest = arg.substr(n);
    return rest || arg.size() == n;
}

// The module's full path, however long.
std::wstring ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) return path.substr(0, n);
        path.resize(path.size() * 2);
    }
}

// One argument as CommandLineToArgvW reads it back: in quotes when it holds a blank or a
// quote, a quote escaped, and backslashes doubled only before a quote.
std::wstring QuoteArgument(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L'"';
}

Options ParseOptions() {
    Options options;
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) return options;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        std::wstring value;
        if (HasPrefix(arg, L"/launch")) options.launch = true;
        else options.passOn.push_back(arg);
        if (HasPrefix(arg, L"/unicode")) options.unicode = true;
        else if (HasPrefix(arg, L"/floating")) options.floating = true;
        else if (HasPrefix(arg, L"/halfwidth")) options.halfWidth = true;
        else if (HasPrefix(arg, L"/log:", &value)) options.logPath = value;
        else if (HasPrefix(arg, L"/startdelay:", &value)) options.startDelay = ParseDelay(value);
        else if (HasPrefix(arg, L"/cmddelay:", &value)) options.commandDelay = ParseDelay(value);
        else if (HasPrefix(arg, L"/logtime")) options.logTimes = true;
        else if (HasPrefix(arg, L"/windowdelay:", &value)) options.windowDelay = ParseDelay(value);
        else if (HasPrefix(arg, L"/exitafter:", &value)) options.exitAfter = ParseDelay(value);
        else if (HasPrefix(arg, L"/exitat:", &value)) options.exitWord = ShiftJis(value);
    }
    LocalFree(argv);
    // Beside the executable, so that a test tells apart copies started without arguments.
    if (options.logPath.empty()) options.logPath = ExecutablePath() + L".log";
    return options;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string content;
    char buffer[4096];
    bool ok = true;
    for (;;) {
        DWORD got = 0;
        ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr) != 0;
        if (!ok || got == 0) break;
        content.append(buffer, got);
    }
    CloseHandle(file);
    if (!ok) return std::nullopt;
    return content;
}

// Cuts text to at most max bytes without splitting a two-byte character.
std::size_t FitShiftJis(const std::string& text, std::size_t max) {
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t step = IsShiftJisLead(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
        if (i + step > max) break;
        i += step;
    }
    return i;
}

class StandIn {
public:
    explicit StandIn(Options options);
    int Run();
    bool Launching() const { return options_.launch; }
    UINT ExitAfter() const { return options_.exitAfter.value_or(0); }
    // A site's start-up program: starts CAD and ends at once, without a window.
    int Launch();
    // Ends like a crash, whatever the process is doing: no quit sequence, exit code 3.
    [[noreturn]] void EndAbruptly();

    LRESULT MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT TextProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT CommandLineProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT PaneProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

private:
    void Log(const std::string& line);
    LRESULT Default(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) const;
    void RegisterWindowClass(const char* name, WNDPROC proc, int background) const;
    HWND Create(const char* cls, const std::string& title, DWORD style, int x, int y, int w, int h, HWND parent,
                LPVOID param = nullptr) const;
    void SetText(HWND hwnd, const std::string& text) const;
    void DrawText(HDC dc, int x, int y, const std::string& text) const;
    void ShowUp();
    void CreateWindows();
    void CreatePanes(HWND parent);
    void LayoutPanes(HWND parent, int historyHeight);
    void Refresh();

    void OnCopyData(const COPYDATASTRUCT& record);
    void OnStartTimer();
    void Pump();
    void ExecuteTaken();
    void ShowDialog(const std::string& title, const std::string& text, const std::string& button);
    void CopyHistory();
    void OnPaneCreate(HWND pane, PaneRole role);
    LRESULT AnswerPaneText(HWND pane, UINT msg, WPARAM wp, LPARAM lp);
    void FillDialog(HWND dialog);
    void PaintMain(HWND hwnd);
    void PaintPrompt(HWND hwnd);
    void Exit();

    Options options_;
    // The /exitafter thread logs too. Never deleted: that thread may wake while the process ends.
    CRITICAL_SECTION logLock_;
    std::FILE* log_ = nullptr;
    CadSession session_;
    HFONT font_ = nullptr;
    HWND main_ = nullptr;
    HWND text_ = nullptr;
    HWND commandLine_ = nullptr;
    std::vector<HWND> historyViews_;  // the read-only EDITs inside every "Headlands"
    std::vector<HWND> commandPanes_;  // every "MountTam"
    std::string dialogText_;
    std::string dialogButton_;
    std::string shownHistory_;
    bool busy_ = false;
    bool exiting_ = false;
};

StandIn* gStandIn = nullptr;

// Exceptions stop here; none goes back into the window system.
template <typename Handler>
LRESULT Guarded(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, Handler handler) {
    try {
        if (gStandIn) return (gStandIn->*handler)(hwnd, msg, wp, lp);
    } catch (...) {
    }
    return IsWindowUnicode(hwnd) ? DefWindowProcW(hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT CALLBACK MainWndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return Guarded(h, m, w, l, &StandIn::MainProc); }
LRESULT CALLBACK TextWndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return Guarded(h, m, w, l, &StandIn::TextProc); }
LRESULT CALLBACK CommandLineWndProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    return Guarded(h, m, w, l, &StandIn::CommandLineProc);
}
LRESULT CALLBACK PaneWndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return Guarded(h, m, w, l, &StandIn::PaneProc); }
LRESULT CALLBACK DialogWndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return Guarded(h, m, w, l, &StandIn::DialogProc); }

StandIn::StandIn(Options options)
    : options_(std::move(options)),
      session_(options_.halfWidth, ReadWholeFile, [this](const std::string& line) { Log(line); }) {
    InitializeCriticalSection(&logLock_);
    session_.SetExitWord(options_.exitWord);
    log_ = _wfopen(options_.logPath.c_str(), L"ab");
    wchar_t cwd[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, cwd);
    Log("start pid=" + std::to_string(GetCurrentProcessId()) + " cwd=" + QuoteForLog(ShiftJis(cwd)) +
        " args=" + QuoteForLog(ShiftJis(GetCommandLineW())));
}

void StandIn::Log(const std::string& line) {
    EnterCriticalSection(&logLock_);
    if (!log_) {
        LeaveCriticalSection(&logLock_);
        return;
    }
    std::fputs(line.c_str(), log_);
    if (options_.logTimes) {
        LARGE_INTEGER now{}, frequency{};
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        std::fprintf(log_, " t=%.3f",
                     1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart));
    }
    std::fputc('\n', log_);
    std::fflush(log_);
    LeaveCriticalSection(&logLock_);
}

// The lock is held to the end, so that no line of the main thread follows "exit 3".
void StandIn::EndAbruptly() {
    EnterCriticalSection(&logLock_);
    Log("exit " + std::to_string(kAbruptExitCode));
    TerminateProcess(GetCurrentProcess(), kAbruptExitCode);
    ExitProcess(kAbruptExitCode);
}

// Created suspended: the launcher's lines are in the log before the child's first.
int StandIn::Launch() {
    const std::wstring exe = ExecutablePath();
    std::wstring commandLine = QuoteArgument(exe);
    for (const std::wstring& arg : options_.passOn) commandLine += L' ' + QuoteArgument(arg);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                        &startup, &child)) {
        Log("launch failed error=" + std::to_string(GetLastError()));
        Log("exit 1");
        return 1;
    }
    Log("launch pid=" + std::to_string(child.dwProcessId));
    Log("exit 0");
    ResumeThread(child.hThread);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    return 0;
}

LRESULT StandIn::Default(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) const {
    return options_.unicode ? DefWindowProcW(hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
}

void StandIn::RegisterWindowClass(const char* name, WNDPROC proc, int background) const {
    if (options_.unicode) {
        const std::wstring wideName = Wide(name);
        WNDCLASSW wc{};
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.hbrBackground = GetSysColorBrush(background);
        wc.lpszClassName = wideName.c_str();
        RegisterClassW(&wc);
    } else {
        WNDCLASSA wc{};
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.hbrBackground = GetSysColorBrush(background);
        wc.lpszClassName = name;
        RegisterClassA(&wc);
    }
}

HWND StandIn::Create(const char* cls, const std::string& title, DWORD style, int x, int y, int w, int h, HWND parent,
                     LPVOID param) const {
    if (options_.unicode) {
        return CreateWindowExW(0, Wide(cls).c_str(), Wide(title).c_str(), style, x, y, w, h, parent, nullptr,
                               GetModuleHandleW(nullptr), param);
    }
    return CreateWindowExA(0, cls, title.c_str(), style, x, y, w, h, parent, nullptr, GetModuleHandleA(nullptr), param);
}

void StandIn::SetText(HWND hwnd, const std::string& text) const {
    if (options_.unicode) SetWindowTextW(hwnd, Wide(text).c_str());
    else SetWindowTextA(hwnd, text.c_str());
}

void StandIn::DrawText(HDC dc, int x, int y, const std::string& text) const {
    const std::wstring wide = Wide(text);
    TextOutW(dc, x, y, wide.c_str(), static_cast<int>(wide.size()));
}

// A thread of its own, so that the end comes on time whatever the window side is doing.
DWORD WINAPI EndAfterDelay(LPVOID param) {
    auto* standIn = static_cast<StandIn*>(param);
    Sleep(standIn->ExitAfter());
    standIn->EndAbruptly();
}

int StandIn::Run() {
    if (options_.exitAfter) {
        if (HANDLE thread = CreateThread(nullptr, 0, EndAfterDelay, this, 0, nullptr)) CloseHandle(thread);
    }
    font_ = CreateFontW(-14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"MS Gothic");
    // Until the windows come, the thread's message loop runs with none: a parent that waits
    // for the process to be idle is not held up.
    UINT_PTR windowTimer = 0;
    if (options_.windowDelay > 0) windowTimer = SetTimer(nullptr, 0, options_.windowDelay, nullptr);
    else ShowUp();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (windowTimer && !msg.hwnd && msg.message == WM_TIMER && msg.wParam == windowTimer) {
            KillTimer(nullptr, windowTimer);
            windowTimer = 0;
            ShowUp();
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    EnterCriticalSection(&logLock_);
    if (log_) std::fclose(log_);
    log_ = nullptr;
    LeaveCriticalSection(&logLock_);
    return 0;
}

// The windows, and the start-up prompt /startdelay after them.
void StandIn::ShowUp() {
    CreateWindows();
    Refresh();
    SetTimer(main_, kStartTimer, options_.startDelay, nullptr);
}

void StandIn::CreateWindows() {
    RegisterWindowClass(kMainClass, MainWndProc, COLOR_APPWORKSPACE);
    RegisterWindowClass(kTextClass, TextWndProc, COLOR_BTNFACE);
    RegisterWindowClass(kCommandLineClass, CommandLineWndProc, COLOR_BTNFACE);
    RegisterWindowClass(kPaneClass, PaneWndProc, COLOR_WINDOW);
    RegisterWindowClass(kDialogClass, DialogWndProc, COLOR_BTNFACE);

    // Placed right of and below Marlowen's window (100, 100; 325 x 460 at most) on a 1024 x 768
    // screen, so that a screenshot shows both.
    text_ =
        Create(kTextClass, "AutoCAD テキスト ウィンドウ", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 440, 0, 584, 470, nullptr);
    CreatePanes(text_);
    main_ = Create(kMainClass, "AutoCAD 2000i", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 440, 475, 584, 293, nullptr);
    if (options_.floating) {
        commandLine_ =
            Create(kCommandLineClass, "コマンド ライン", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 570, 435, 198, nullptr);
        CreatePanes(commandLine_);
    } else {
        CreatePanes(main_);
    }
    RECT rc;
    for (HWND top : {text_, main_, commandLine_}) {
        if (top && GetClientRect(top, &rc)) SendMessageW(top, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rc.right, rc.bottom));
    }
}

void StandIn::CreatePanes(HWND parent) {
    PaneRole history = PaneRole::History;
    PaneRole command = PaneRole::Command;
    Create(kPaneClass, "Headlands", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 10, 10, parent, &history);
    Create(kPaneClass, "MountTam", WS_CHILD | WS_VISIBLE | WS_BORDER, 0, 0, 10, 10, parent, &command);
}

// The two panes fill the bottom of the parent: the history above the one-line command pane.
// A historyHeight of 0 lets the history take all the room left.
void StandIn::LayoutPanes(HWND parent, int historyHeight) {
    RECT rc;
    GetClientRect(parent, &rc);
    const int height = rc.bottom - rc.top;
    const int historyTop = historyHeight == 0 ? 0 : height - kPromptHeight - historyHeight;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const auto role = static_cast<PaneRole>(GetWindowLongPtrW(child, GWLP_USERDATA));
        if (role == PaneRole::History) {
            MoveWindow(child, 0, historyTop, rc.right, height - kPromptHeight - historyTop, TRUE);
        } else if (role == PaneRole::Command) {
            MoveWindow(child, 0, height - kPromptHeight, rc.right, kPromptHeight, TRUE);
        }
    }
}

void StandIn::Refresh() {
    const Drawing& drawing = session_.Active();
    SetText(main_, drawing.name.empty() ? "AutoCAD 2000i" : "AutoCAD 2000i - [" + drawing.name + "]");
    SetText(text_,
            drawing.name.empty() ? "AutoCAD テキスト ウィンドウ" : "AutoCAD テキスト ウィンドウ - " + drawing.name);
    const std::string history = session_.History();
    if (history != shownHistory_) {
        shownHistory_ = history;
        for (HWND view : historyViews_) {
            SetText(view, history);
            SendMessageW(view, EM_LINESCROLL, 0, SendMessageW(view, EM_GETLINECOUNT, 0, 0));
        }
    }
    for (HWND pane : commandPanes_) InvalidateRect(pane, nullptr, TRUE);
    InvalidateRect(main_, nullptr, TRUE);
}

LRESULT StandIn::MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COPYDATA: OnCopyData(*reinterpret_cast<const COPYDATASTRUCT*>(lp)); return TRUE;
    case WM_TIMER:
        if (wp == kStartTimer) OnStartTimer();
        else if (wp == kCommandTimer) ExecuteTaken();
        return 0;
    case kPumpMessage: Pump(); return 0;
    case kExecuteMessage: ExecuteTaken(); return 0;
    case WM_SIZE:
        if (!options_.floating) LayoutPanes(hwnd, kDockedHistoryHeight);
        return 0;
    case WM_PAINT: PaintMain(hwnd); return 0;
    case WM_CLOSE: Exit(); return 0;
    }
    return Default(hwnd, msg, wp, lp);
}

LRESULT StandIn::TextProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (LOWORD(wp) == kCopyHistoryCommand) CopyHistory();
        return 0;
    case WM_SIZE: LayoutPanes(hwnd, 0); return 0;
    case WM_CLOSE: ShowWindow(hwnd, SW_HIDE); return 0;  // CAD only hides its text window
    }
    return Default(hwnd, msg, wp, lp);
}

LRESULT StandIn::CommandLineProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE: LayoutPanes(hwnd, 0); return 0;
    case WM_CLOSE: ShowWindow(hwnd, SW_HIDE); return 0;
    }
    return Default(hwnd, msg, wp, lp);
}

// A pane's caption stays "Headlands" or "MountTam" in the window system, which is what
// another process's GetWindowTextA reads; a command pane answers WM_GETTEXT with the output.
LRESULT StandIn::PaneProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    const auto role = static_cast<PaneRole>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (msg) {
    case WM_NCCREATE: {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, static_cast<LONG_PTR>(*static_cast<PaneRole*>(create->lpCreateParams)));
        return Default(hwnd, msg, wp, lp);
    }
    case WM_CREATE: OnPaneCreate(hwnd, role); return 0;
    case WM_SIZE:
        if (HWND view = GetWindow(hwnd, GW_CHILD)) MoveWindow(view, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
        return 0;
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
        if (role == PaneRole::Command) return AnswerPaneText(hwnd, msg, wp, lp);
        break;
    case WM_PAINT:
        if (role == PaneRole::Command) {
            PaintPrompt(hwnd);
            return 0;
        }
        break;
    }
    return Default(hwnd, msg, wp, lp);
}

// A history pane shows the history in a read-only EDIT, created without a caption so that
// nothing but the panes carries one.
void StandIn::OnPaneCreate(HWND pane, PaneRole role) {
    if (role == PaneRole::Command) {
        commandPanes_.push_back(pane);
        return;
    }
    HWND view = Create("EDIT", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0,
                       0, 10, 10, pane);
    SendMessageW(view, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SendMessageW(view, EM_SETLIMITTEXT, 0, 0);
    historyViews_.push_back(view);
}

LRESULT StandIn::AnswerPaneText(HWND, UINT msg, WPARAM wp, LPARAM lp) {
    const std::string text = session_.PaneText();
    if (options_.unicode) {
        const std::wstring wide = Wide(text);
        if (msg == WM_GETTEXTLENGTH) return static_cast<LRESULT>(wide.size());
        if (wp == 0 || lp == 0) return 0;
        const std::size_t n = wide.size() < wp - 1 ? wide.size() : wp - 1;
        auto* out = reinterpret_cast<wchar_t*>(lp);
        std::memcpy(out, wide.data(), n * sizeof(wchar_t));
        out[n] = L'\0';
        Log("pane-text units=" + std::to_string(n));
        return static_cast<LRESULT>(n);
    }
    if (msg == WM_GETTEXTLENGTH) return static_cast<LRESULT>(text.size());
    if (wp == 0 || lp == 0) return 0;
    const std::size_t n = FitShiftJis(text, wp - 1);
    auto* out = reinterpret_cast<char*>(lp);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
    Log("pane-text bytes=" + std::to_string(n));
    return static_cast<LRESULT>(n);
}

LRESULT StandIn::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE: FillDialog(hwnd); return 0;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK) DestroyWindow(hwnd);
        return 0;
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_DESTROY:
        if (!exiting_) {
            session_.DialogClosed();
            Refresh();
            PostMessageW(main_, kPumpMessage, 0, 0);
        }
        return 0;
    }
    return Default(hwnd, msg, wp, lp);
}

void StandIn::FillDialog(HWND dialog) {
    HWND label = Create("STATIC", dialogText_, WS_CHILD | WS_VISIBLE, 16, 14, 340, 56, dialog);
    HWND button = Create("BUTTON", dialogButton_, WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 136, 78, 100, 28, dialog);
    SetWindowLongPtrW(button, GWLP_ID, IDOK);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
}

void StandIn::OnCopyData(const COPYDATASTRUCT& record) {
    const auto* bytes = static_cast<const unsigned char*>(record.lpData);
    const std::size_t size = bytes ? record.cbData : 0;
    std::string text;
    if (options_.unicode) {
        std::wstring wide;
        for (std::size_t i = 0; i + 1 < size; i += 2) {
            const auto unit = static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8));
            if (unit == L'\0') break;
            wide += unit;
        }
        text = ShiftJis(wide);
    } else if (size > 0) {
        const void* zero = std::memchr(bytes, 0, size);
        text.assign(reinterpret_cast<const char*>(bytes),
                    zero ? static_cast<const unsigned char*>(zero) - bytes : static_cast<std::ptrdiff_t>(size));
    }
    Log(std::string("recv ") + (options_.unicode ? "utf16" : "ansi") + " dwData=" + std::to_string(record.dwData) +
        " cbData=" + std::to_string(record.cbData) + " hex=" + HexForLog(bytes, size) + " text=" + QuoteForLog(text) +
        (record.dwData == 1 ? "" : " ignored"));
    if (record.dwData != 1 || exiting_) return;
    session_.Type(text);
    PostMessageW(main_, kPumpMessage, 0, 0);
}

void StandIn::OnStartTimer() {
    KillTimer(main_, kStartTimer);
    session_.FinishStartup();
    Log("ready");
    Refresh();
    Pump();
}

void StandIn::Pump() {
    if (busy_ || exiting_ || !session_.CanTakeLine()) return;
    if (session_.TakeLine() == SessionRequest::Abort) EndAbruptly();
    busy_ = true;
    Refresh();
    if (options_.commandDelay > 0) SetTimer(main_, kCommandTimer, options_.commandDelay, nullptr);
    else PostMessageW(main_, kExecuteMessage, 0, 0);
}

void StandIn::ExecuteTaken() {
    KillTimer(main_, kCommandTimer);
    if (!busy_ || exiting_) return;
    busy_ = false;
    const SessionRequest request = session_.Execute();
    Refresh();
    switch (request) {
    case SessionRequest::MessageWindow: ShowDialog("AutoCAD メッセージ", session_.MessageText(), "OK"); break;
    case SessionRequest::FileDialog:
        ShowDialog("ファイルを選択", "ファイル ダイアログ (FILEDIA = 1)。\r\nキャンセルしかできません。", "キャンセル");
        break;
    case SessionRequest::Quit: Exit(); return;
    case SessionRequest::Abort:
    case SessionRequest::None: break;
    }
    PostMessageW(main_, kPumpMessage, 0, 0);
}

// A small top-level window of a class of its own: CAD's dialogs are never taken for its
// main window, whose class the dialogs must not share.
void StandIn::ShowDialog(const std::string& title, const std::string& text, const std::string& button) {
    dialogText_ = text;
    dialogButton_ = button;
    Create(kDialogClass, title, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 480, 160, 380, 150, nullptr);
}

void StandIn::CopyHistory() {
    const std::string history = session_.History();
    if (!OpenClipboard(text_)) {
        Log("copy-history failed");
        return;
    }
    EmptyClipboard();
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, history.size() + 1)) {
        auto* out = static_cast<char*>(GlobalLock(memory));
        std::memcpy(out, history.c_str(), history.size() + 1);
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
    }
    CloseClipboard();
    Log("copy-history bytes=" + std::to_string(history.size()));
}

void StandIn::PaintMain(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    const Drawing& drawing = session_.Active();
    HGDIOBJ old = SelectObject(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    DrawText(dc, 12, 10, drawing.name.empty() ? "(図面なし)" : "図面 " + drawing.name);
    std::string layouts;
    for (const std::string& name : drawing.layouts) layouts += (layouts.empty() ? "" : " | ") + name;
    DrawText(dc, 12, 30, layouts);
    SelectObject(dc, old);
    EndPaint(hwnd, &ps);
}

void StandIn::PaintPrompt(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    HGDIOBJ old = SelectObject(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    DrawText(dc, 4, 3, session_.Active().prompt);
    SelectObject(dc, old);
    EndPaint(hwnd, &ps);
}

// The windows go with the process. Destroying them one by one first would cost seconds under
// Wine without a window manager, which waits for one to withdraw each captioned window.
void StandIn::Exit() {
    if (exiting_) return;
    exiting_ = true;
    Log("exit 0");
    PostQuitMessage(0);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    StandIn standIn(ParseOptions());
    gStandIn = &standIn;
    const int code = standIn.Launching() ? standIn.Launch() : standIn.Run();
    gStandIn = nullptr;
    return code;
}
