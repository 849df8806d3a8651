#include "CadRun_win.h"

#include <windows.h>
// After <windows.h>, which it builds on.
#include <tlhelp32.h>

#include <vector>

namespace {

HANDLE ToHandle(Processes::Handle h) { return reinterpret_cast<HANDLE>(h); }

}  // namespace

bool Win32Processes::Start(const std::string& commandLine, Started& started, std::string& reason) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION process{};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        reason = SystemReason(GetLastError());
        return false;
    }
    // No wait for CAD to take input: a CAD loads for seconds or minutes, and the window must
    // answer meanwhile. The start-up watcher waits for CAD's prompt instead.
    CloseHandle(process.hThread);
    started.handle = reinterpret_cast<Handle>(process.hProcess);
    started.id = process.dwProcessId;
    return true;
}

Processes::Handle Win32Processes::Open(std::uint32_t id) {
    return reinterpret_cast<Handle>(OpenProcess(SYNCHRONIZE, FALSE, id));
}

bool Win32Processes::Ended(Handle process) { return WaitForSingleObject(ToHandle(process), 0) != WAIT_TIMEOUT; }

void Win32Processes::Close(Handle process) { CloseHandle(ToHandle(process)); }

std::int64_t Win32Processes::NowMs() { return static_cast<std::int64_t>(GetTickCount64()); }

bool Win32Processes::IsFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

namespace {

// Every process running now, each with the one that started it.
std::vector<PROCESSENTRY32> ProcessEntries() {
    std::vector<PROCESSENTRY32> entries;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return entries;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        entries.push_back(entry);
    CloseHandle(snapshot);
    return entries;
}

}  // namespace

std::vector<std::uint32_t> Win32Processes::RunningIds() {
    std::vector<std::uint32_t> ids;
    for (const PROCESSENTRY32& entry : ProcessEntries()) ids.push_back(entry.th32ProcessID);
    return ids;
}

std::uint32_t Win32Processes::ParentId(std::uint32_t id) {
    for (const PROCESSENTRY32& entry : ProcessEntries())
        if (entry.th32ProcessID == id) return entry.th32ParentProcessID;
    return 0;
}

std::string SystemReason(unsigned long error) {
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   error, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string reason = text ? text : "";
    LocalFree(text);
    while (!reason.empty() && static_cast<unsigned char>(reason.back()) <= ' ') reason.pop_back();
    return reason.empty() ? "エラー " + std::to_string(error) : reason;
}
