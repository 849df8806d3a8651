#include "ChildProcess_win.h"

#include <algorithm>

#include "Wait_win.h"

namespace {

constexpr DWORD kExitWaitMs = 5000;

}  // namespace

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
