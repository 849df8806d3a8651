#include "WindowSystem_win.h"

#include <climits>
#include <cstring>
#include <exception>
#include <vector>

namespace {

HWND ToHwnd(WindowHandle w) { return reinterpret_cast<HWND>(w); }
WindowHandle ToHandle(HWND w) { return reinterpret_cast<WindowHandle>(w); }

// 256 bytes with a limit of 255: at most 254 bytes of text and the zero.
constexpr int kNameBuffer = 256;
constexpr int kNameLimit = 255;

// What a walk's callback shares with the walk; an exception thrown by the visitor is kept
// here and thrown again once the Enum call has returned, never through user32.
struct Walk {
    const WindowSystem::Visitor& visit;
    std::exception_ptr error;
};

BOOL CALLBACK VisitWindow(HWND w, LPARAM lp) {
    Walk& walk = *reinterpret_cast<Walk*>(lp);
    try {
        return walk.visit(ToHandle(w)) ? TRUE : FALSE;
    } catch (...) {
        walk.error = std::current_exception();
        return FALSE;
    }
}

void RethrowIfFailed(const Walk& walk) {
    if (walk.error) std::rethrow_exception(walk.error);
}

std::string UpToZero(const char* text, std::size_t size) { return std::string(text, strnlen(text, size)); }

class LockedGlobal {
public:
    explicit LockedGlobal(HANDLE h) : h_(h), data_(static_cast<const char*>(GlobalLock(h))) {}
    ~LockedGlobal() {
        if (data_) GlobalUnlock(h_);
    }
    LockedGlobal(const LockedGlobal&) = delete;
    LockedGlobal& operator=(const LockedGlobal&) = delete;
    const char* Data() const { return data_; }
    std::size_t Size() const { return GlobalSize(h_); }

private:
    HANDLE h_;
    const char* data_;
};

}  // namespace

Win32WindowSystem::Win32WindowSystem(HWND clipboardOwner) : clipboardOwner_(clipboardOwner), ansiCodePage_(GetACP()) {}

void Win32WindowSystem::EnumTopLevel(const Visitor& visit) {
    Walk walk{visit, nullptr};
    EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&walk));
    RethrowIfFailed(walk);
}

void Win32WindowSystem::EnumDescendants(WindowHandle parent, const Visitor& visit) {
    Walk walk{visit, nullptr};
    EnumChildWindows(ToHwnd(parent), VisitWindow, reinterpret_cast<LPARAM>(&walk));
    RethrowIfFailed(walk);
}

std::string Win32WindowSystem::Title(WindowHandle w) {
    char buffer[kNameBuffer] = {};
    if (GetWindowTextA(ToHwnd(w), buffer, kNameLimit) <= 0) return {};
    return UpToZero(buffer, kNameLimit);
}

std::string Win32WindowSystem::ClassName(WindowHandle w) {
    char buffer[kNameBuffer] = {};
    if (GetClassNameA(ToHwnd(w), buffer, kNameLimit) <= 0) return {};
    return UpToZero(buffer, kNameLimit);
}

std::uint32_t Win32WindowSystem::ProcessId(WindowHandle w) {
    DWORD processId = 0;
    GetWindowThreadProcessId(ToHwnd(w), &processId);
    return processId;
}

bool Win32WindowSystem::IsWindow(WindowHandle w) { return ::IsWindow(ToHwnd(w)) != FALSE; }

bool Win32WindowSystem::IsWindowUnicode(WindowHandle w) { return ::IsWindowUnicode(ToHwnd(w)) != FALSE; }

void Win32WindowSystem::SendCopyData(WindowHandle w, std::uintptr_t dwData, const void* data, std::uint32_t cbData) {
    COPYDATASTRUCT record{};
    record.dwData = dwData;
    record.cbData = cbData;
    record.lpData = const_cast<void*>(data);
    SendMessageA(ToHwnd(w), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record));
}

void Win32WindowSystem::PostNull(WindowHandle w) { PostMessageA(ToHwnd(w), WM_NULL, 0, 0); }

void Win32WindowSystem::SendCommand(WindowHandle w, std::uint16_t id) {
    SendMessageA(ToHwnd(w), WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

std::intptr_t Win32WindowSystem::SendGetTextLength(WindowHandle w) {
    return SendMessageA(ToHwnd(w), WM_GETTEXTLENGTH, 0, 0);
}

std::string Win32WindowSystem::SendGetText(WindowHandle w, std::size_t bufferSize) {
    std::vector<char> buffer(bufferSize, '\0');
    SendMessageA(ToHwnd(w), WM_GETTEXT, bufferSize, reinterpret_cast<LPARAM>(buffer.data()));
    return UpToZero(buffer.data(), buffer.size());
}

bool Win32WindowSystem::OpenClipboard() { return ::OpenClipboard(clipboardOwner_) != FALSE; }

std::optional<std::string> Win32WindowSystem::ClipboardText() {
    HANDLE data = GetClipboardData(CF_TEXT);
    if (!data) return std::nullopt;
    LockedGlobal text(data);
    if (!text.Data()) return std::nullopt;
    return UpToZero(text.Data(), text.Size());
}

void Win32WindowSystem::EmptyClipboard() { ::EmptyClipboard(); }

void Win32WindowSystem::CloseClipboard() { ::CloseClipboard(); }

std::u16string Win32WindowSystem::WideFromAnsi(std::string_view text) {
    // The conversion fails on an empty source, and the record needs no more than its length.
    if (text.empty() || text.size() > INT_MAX) return {};
    const int room = static_cast<int>(text.size());
    std::vector<wchar_t> units(text.size());
    const int produced = MultiByteToWideChar(ansiCodePage_, 0, text.data(), room, units.data(), room);
    if (produced <= 0) return {};
    return std::u16string(units.begin(), units.begin() + produced);
}
