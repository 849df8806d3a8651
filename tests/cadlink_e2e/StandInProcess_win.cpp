#include "StandInProcess_win.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

// The stand-in's own class names (see StandInCad_win.cpp).
const char kStandInMainClass[] = "Afx:00400000:8:10011:0:1f0a3";
const char kStandInTextClass[] = "Afx:00400000:b:10011:6:1f0a3";
const char kStandInCommandLineClass[] = "Afx:00400000:8:10011:0:0";

constexpr DWORD kExitWaitMs = 5000;

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// Wine hands out the same process ids run after run, so a name takes the time as well.
std::string UniqueSuffix() {
    static int counter = 0;
    return std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount64()) + "-" +
           std::to_string(++counter);
}

std::string NewWorkFolder() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "cadlink-e2e-" + UniqueSuffix();
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

// Built by appending: GCC 12 warns falsely (-Wrestrict) on a literal + a temporary string.
std::string Quoted(const std::string& text) {
    std::string quoted(1, '"');
    quoted += text;
    quoted += '"';
    return quoted;
}

bool Start(const std::string& commandLine, const std::string& folder, PROCESS_INFORMATION& process) {
    std::string line = commandLine;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    return CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &si, &process) != 0;
}

void Stop(PROCESS_INFORMATION& process) {
    if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, kExitWaitMs);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

} // namespace

DWORD WaitAnswering(const std::vector<HANDLE>& handles, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now < end ? static_cast<DWORD>(end - now) : 0;
        const DWORD result = MsgWaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE,
                                                       left, QS_ALLINPUT);
        if (result != WAIT_OBJECT_0 + handles.size()) return result;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (GetTickCount64() < end) {
        if (condition()) return true;
        WaitAnswering({}, 30);
    }
    return condition();
}

std::string WindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> windows;
    EnumWindows(
        [](HWND w, LPARAM lp) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

int WalkPosition(HWND w) {
    const std::vector<HWND> windows = TopLevelWindows();
    const auto it = std::find(windows.begin(), windows.end(), w);
    return it == windows.end() ? -1 : static_cast<int>(it - windows.begin());
}

std::string WindowTitle(HWND w) {
    char buffer[256] = {};
    GetWindowTextA(w, buffer, sizeof buffer);
    return buffer;
}

std::string WindowClass(HWND w) {
    char buffer[256] = {};
    GetClassNameA(w, buffer, sizeof buffer);
    return buffer;
}

bool PutClipboardText(const std::string& text) {
    if (!WaitFor([] { return OpenClipboard(nullptr) != FALSE; }, 2000)) return false;
    EmptyClipboard();
    bool put = false;
    if (HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
        std::memcpy(GlobalLock(data), text.c_str(), text.size() + 1);
        GlobalUnlock(data);
        put = SetClipboardData(CF_TEXT, data) != nullptr;
        if (!put) GlobalFree(data);
    }
    CloseClipboard();
    return put;
}

std::string ClipboardTextNow() {
    if (!WaitFor([] { return OpenClipboard(nullptr) != FALSE; }, 2000)) return {};
    std::string text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
            text.assign(bytes, strnlen(bytes, GlobalSize(data)));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

StandInProcess::StandInProcess(const std::string& options)
    : folder(NewWorkFolder()), logPath_(folder + "\\cad.log") {
    started_ = Start(Quoted(WindowsPath(STANDIN_EXE)) + " /log:" + Quoted(logPath_) + " " + options, folder, process_);
}

StandInProcess::~StandInProcess() {
    if (started_) Stop(process_);
    RemoveWorkFolder(folder);
}

HWND StandInProcess::WindowOfClass(const char* className) const {
    for (HWND w : TopLevelWindows()) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == process_.dwProcessId && WindowClass(w) == className) return w;
    }
    return nullptr;
}

HWND StandInProcess::MainWindow() const { return WindowOfClass(kStandInMainClass); }

HWND StandInProcess::TextWindow() const { return WindowOfClass(kStandInTextClass); }

HWND StandInProcess::FloatingCommandLine() const { return WindowOfClass(kStandInCommandLineClass); }

bool StandInProcess::WaitForWindows() const {
    return started_ && WaitFor([this] { return MainWindow() && TextWindow(); });
}

void StandInProcess::WriteFile(const std::string& name, const std::string& content) const {
    std::ofstream(folder + "\\" + name, std::ios::binary) << content;
}

std::vector<std::string> StandInProcess::LogLines() const {
    std::vector<std::string> lines;
    std::istringstream in(ReadWholeFile(logPath_));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> StandInProcess::LogLinesStartingWith(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& line : LogLines()) {
        if (line.starts_with(prefix)) found.push_back(line);
    }
    return found;
}

ClipboardHeldElsewhere::ClipboardHeldElsewhere() {
    const std::string suffix = UniqueSuffix();
    const std::string readyName = "MarlowenClipboardReady-" + suffix;
    const std::string releaseName = "MarlowenClipboardRelease-" + suffix;
    ready_ = CreateEventA(nullptr, TRUE, FALSE, readyName.c_str());
    release_ = CreateEventA(nullptr, TRUE, FALSE, releaseName.c_str());
    started_ = Start(Quoted(WindowsPath(CLIPBOARD_HOLDER_EXE)) + " " + readyName + " " + releaseName, "", process_);
    if (!started_) return;
    // The helper either signals that it holds the clipboard or ends because it could not.
    held_ = WaitAnswering({ready_, process_.hProcess}, 15000) == WAIT_OBJECT_0;
}

ClipboardHeldElsewhere::~ClipboardHeldElsewhere() {
    Release();
    if (started_) Stop(process_);
    CloseHandle(ready_);
    CloseHandle(release_);
}

bool ClipboardHeldElsewhere::Release() {
    SetEvent(release_);
    DWORD code = 1;
    return started_ && WaitAnswering({process_.hProcess}, kExitWaitMs) == WAIT_OBJECT_0 &&
           GetExitCodeProcess(process_.hProcess, &code) && code == 0;
}
