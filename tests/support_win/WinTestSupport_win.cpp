#include "WinTestSupport_win.h"

#include <algorithm>
#include <fstream>

namespace {

constexpr DWORD kExitWaitMs = 5000;

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

// Built by appending: GCC 12 warns falsely (-Wrestrict) on a literal + a temporary string.
std::string Quoted(const std::string& text) {
    std::string quoted(1, '"');
    quoted += text;
    quoted += '"';
    return quoted;
}

// Wine hands out the same process ids run after run, so the suffix takes the time as well.
std::string UniqueSuffix() {
    static int counter = 0;
    return std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount64()) + "-" +
           std::to_string(++counter);
}

std::string NewWorkFolder(const std::string& prefix) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = temp + prefix + UniqueSuffix();
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

std::vector<std::string> FileLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> LinesStartingWith(const std::vector<std::string>& lines, const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& line : lines) {
        if (line.starts_with(prefix)) found.push_back(line);
    }
    return found;
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

HWND TopLevelWindowOf(DWORD processId, const char* className) {
    for (HWND w : TopLevelWindows()) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == processId && WindowClass(w) == className) return w;
    }
    return nullptr;
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

ChildProcess::ChildProcess(std::string commandLine, const std::string& folder) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    started_ = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              folder.empty() ? nullptr : folder.c_str(), &si, &info_) != 0;
}

std::optional<DWORD> ChildProcess::WaitExit(DWORD timeoutMs) const {
    DWORD code = 0;
    if (!started_ || WaitAnswering({info_.hProcess}, timeoutMs) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(info_.hProcess, &code)) {
        return std::nullopt;
    }
    return code;
}

void ChildProcess::Stop() {
    if (!started_) return;
    started_ = false;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, kExitWaitMs);
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
    info_ = {};
}
