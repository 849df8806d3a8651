// The stand-in's process and its session: start, log and ends, typed input, and the pump that
// takes one input line at a time and carries out what the session asks for.
#include "StandIn_win.h"

#include <cstdio>
#include <cstring>

#include "testsupport/StandInLogCodec.h"
#include "testsupport/StandInContract.h"

namespace {

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

double SteadyMs() {
    LARGE_INTEGER now{}, frequency{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// A thread of its own, so that the end comes on time whatever the window side is doing.
DWORD WINAPI EndAfterDelay(LPVOID param) {
    auto* standIn = static_cast<StandIn*>(param);
    Sleep(standIn->ExitAfter());
    standIn->EndAbruptly();
}

}  // namespace

StandIn::StandIn(Options options)
    : options_(std::move(options)),
      log_(_wfopen(options_.logPath.c_str(), L"ab"), options_.logTimes ? LogFile::Clock(SteadyMs) : nullptr),
      session_(
          options_.halfWidth, ReadWholeFile, [this](const std::string& line) { Log(line); }, options_.historyLines) {
    session_.SetExitWord(options_.exitWord);
    session_.SetCrashDrawing(options_.crashDrawing);
    session_.SetUnreadableDrawing(options_.unreadableDrawing);
    session_.SetBusyLine(options_.busyText, options_.busyDelay);
    wchar_t cwd[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, cwd);
    Log("start pid=" + std::to_string(GetCurrentProcessId()) + " cwd=" + QuoteForLog(ShiftJis(cwd)) +
        " args=" + QuoteForLog(ShiftJis(GetCommandLineW())));
}

void StandIn::EndAbruptly() { End(standin::kAbruptExitCode, std::nullopt); }

void StandIn::Fail(std::string_view what) { End(standin::kFailureExitCode, what); }

// At once, from whichever thread: no window is destroyed and no line logged after "exit".
void StandIn::End(UINT code, std::optional<std::string_view> failure) {
    log_.End(code, failure);
    TerminateProcess(GetCurrentProcess(), code);
    ExitProcess(code);
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
        Log("exit " + std::to_string(standin::kLaunchFailedExitCode));
        return standin::kLaunchFailedExitCode;
    }
    Log("launch pid=" + std::to_string(child.dwProcessId));
    Log("exit " + std::to_string(standin::kQuitExitCode));
    ResumeThread(child.hThread);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    return standin::kQuitExitCode;
}

int StandIn::Run() {
    if (options_.exitAfter) {
        if (HANDLE thread = CreateThread(nullptr, 0, EndAfterDelay, this, 0, nullptr)) CloseHandle(thread);
    }
    // Before any window or message queue: a parent that waits for the process to be idle waits
    // for the whole load.
    if (options_.loadDelay > 0) {
        Log("load ms=" + std::to_string(options_.loadDelay));
        Sleep(options_.loadDelay);
    }
    font_ = CreateFontW(-14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"MS Gothic");
    // Until the windows come, the thread's message loop runs with the splash screen alone: a
    // parent that waits for the process to be idle is not held up.
    UINT_PTR windowTimer = 0;
    if (options_.windowDelay > 0) {
        ShowSplash();
        windowTimer = SetTimer(nullptr, 0, options_.windowDelay, nullptr);
    } else {
        ShowUp();
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (windowTimer && !msg.hwnd && msg.message == WM_TIMER && msg.wParam == windowTimer) {
            KillTimer(nullptr, windowTimer);
            windowTimer = 0;
            ShowUp();
            DestroyWindow(splash_);
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    log_.Close();
    return standin::kQuitExitCode;
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
    const bool typed = record.dwData == standin::kTypedInputRecord;
    Log(std::string("recv ") + (options_.unicode ? "utf16" : "ansi") + " dwData=" + std::to_string(record.dwData) +
        " cbData=" + std::to_string(record.cbData) + " hex=" + HexForLog(bytes, size) + " text=" + QuoteForLog(text) +
        (typed ? "" : " ignored"));
    if (!typed || exiting_) return;
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
    // A plain sleep: CAD at work answers no message, not even from the windows' own loop.
    if (const unsigned ms = session_.BusyBeforeExecute()) Sleep(ms);
    const SessionRequest request = session_.Execute();
    Refresh();
    switch (request) {
    case SessionRequest::MessageWindow: ShowDialog(standin::kMessageTitle, session_.MessageText(), "OK"); break;
    case SessionRequest::FileDialog:
        ShowDialog(standin::kFileDialogTitle, "ファイル ダイアログ (FILEDIA = 1)。\r\nキャンセルしかできません。",
                   "キャンセル");
        break;
    case SessionRequest::Quit: Exit(options_.quitDelay); return;
    case SessionRequest::Abort:
    case SessionRequest::None: break;
    }
    PostMessageW(main_, kPumpMessage, 0, 0);
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

// The windows go with the process. Destroying them one by one first would cost seconds under
// Wine without a window manager, which waits for one to withdraw each captioned window. Until
// then they answer reads as before, as CAD's do while it closes.
void StandIn::Exit(UINT delay) {
    if (!exiting_) {
        exiting_ = true;
        if (delay > 0) Log("quit-delay ms=" + std::to_string(delay));
        Log("exit " + std::to_string(standin::kQuitExitCode));
    }
    if (delay > 0) SetTimer(main_, kQuitTimer, delay, nullptr);
    else PostQuitMessage(0);
}
