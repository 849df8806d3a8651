#include "Readers_win.h"

#include <tlhelp32.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "testsupport/InspectorProtocol.h"

namespace {

// FILETIME counts 100 ns units.
unsigned long long FileTimeMs(const FILETIME& time) {
    return ((static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 10000;
}

// Opening the clipboard asks its owner first, which may be busy for a moment.
void OpenTheClipboard() {
    if (!WaitUntil(kDefaultWaitMs, [] { return OpenClipboard(nullptr) != FALSE; }))
        throw Failure("the clipboard cannot be opened");
}

}  // namespace

// Kernel and user time of the process that owns the window, summed over its live threads'
// own counters: Wine's GetProcessTimes answers with the caller's times whatever process it
// is asked about, while its GetThreadTimes reads the thread's real counters.
std::string ProcessTimesText(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) throw Failure("cannot list the threads of process " + std::to_string(pid));
    unsigned long long kernelMs = 0, userMs = 0;
    int counted = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != pid) continue;
        HANDLE thread = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ThreadID);
        if (!thread) continue;  // ended since the snapshot
        FILETIME created{}, exited{}, kernel{}, user{};
        if (GetThreadTimes(thread, &created, &exited, &kernel, &user)) {
            kernelMs += FileTimeMs(kernel);
            userMs += FileTimeMs(user);
            ++counted;
        }
        CloseHandle(thread);
    }
    CloseHandle(snapshot);
    if (counted == 0) throw Failure("cannot read the processor times of process " + std::to_string(pid));
    return inspector::Record({std::to_string(kernelMs) + " " + std::to_string(userMs)});
}

std::string ProcessList() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) throw Failure("cannot list the processes");
    std::string out;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        out += inspector::Record({std::to_string(entry.th32ProcessID), AnsiToUtf8(entry.szExeFile)});
    CloseHandle(snapshot);
    return out;
}

// The version record as Windows reads it for the file's properties: the numeric file and
// product versions, and the texts of the first language and code page it lists.
std::string VersionText(const std::string& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) throw Failure("no version record in " + path);
    std::vector<char> record(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, record.data()))
        throw Failure("cannot read the version record of " + path);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(record.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || length < sizeof *fixed)
        throw Failure("the version record of " + path + " has no fixed part");
    struct Translation {
        WORD language, codePage;
    }* translation = nullptr;
    if (!VerQueryValueA(record.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
        length < sizeof *translation)
        throw Failure("the version record of " + path + " lists no language");
    char block[16];
    std::snprintf(block, sizeof block, "%04X%04X", translation->language, translation->codePage);
    const auto text = [&](const char* name) {
        char* value = nullptr;
        UINT chars = 0;
        const std::string key = std::string("\\StringFileInfo\\") + block + "\\" + name;
        if (!VerQueryValueA(record.data(), key.c_str(), reinterpret_cast<void**>(&value), &chars) || !value)
            return std::string();
        return AnsiToUtf8(value);
    };
    const auto numbers = [](DWORD high, DWORD low) {
        return std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "." + std::to_string(HIWORD(low)) +
               "." + std::to_string(LOWORD(low));
    };
    return inspector::Record({numbers(fixed->dwFileVersionMS, fixed->dwFileVersionLS), text("FileVersion"),
                              numbers(fixed->dwProductVersionMS, fixed->dwProductVersionLS), text("ProductVersion"),
                              block});
}

void PutClipboard(const std::string& text, const std::string& format, const std::string& hex) {
    if (hex.size() % 2 != 0) throw UsageError("HEX needs two digits a byte");
    std::string bytes;
    for (size_t i = 0; i < hex.size(); i += 2) bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    const std::wstring wide = WideFromCodePage(text, CP_ACP);
    const auto put = [](UINT id, const void* data, size_t size) {
        // One zero byte more, as the text's own ending zero.
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size + 1);
        std::memcpy(GlobalLock(memory), data, size);
        GlobalUnlock(memory);
        if (!SetClipboardData(id, memory)) GlobalFree(memory);
    };
    OpenTheClipboard();
    EmptyClipboard();
    put(CF_UNICODETEXT, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    put(RegisterClipboardFormatA(format.c_str()), bytes.data(), bytes.size());
    CloseClipboard();
}

void HoldClipboard(DWORD ms) {
    // As a program that copies holds it for a moment, only longer.
    OpenTheClipboard();
    Sleep(ms);
    CloseClipboard();
}

std::string ClipboardRecord(const std::string& format) {
    OpenTheClipboard();
    std::string text, hex;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = CodePageFromWide(static_cast<const wchar_t*>(GlobalLock(data)), CP_UTF8);
        GlobalUnlock(data);
    }
    if (HANDLE data = GetClipboardData(RegisterClipboardFormatA(format.c_str()))) {
        const auto* bytes = static_cast<const unsigned char*>(GlobalLock(data));
        // The put-down bytes and the zero after them.
        for (size_t i = 0; i + 1 < GlobalSize(data); ++i) {
            char two[3];
            std::snprintf(two, sizeof two, "%02x", bytes[i]);
            hex += two;
        }
        GlobalUnlock(data);
    }
    const bool marked =
        IsClipboardFormatAvailable(RegisterClipboardFormatA("ExcludeClipboardContentFromMonitorProcessing")) != FALSE;
    CloseClipboard();
    return inspector::Record({text, hex, marked ? "marked" : "unmarked"});
}
