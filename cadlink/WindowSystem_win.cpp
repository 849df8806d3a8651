#include "WindowSystem_win.h"

#include <cstring>
#include <exception>
#include <vector>

#include "text/Encoding_win.h"

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

// A message to another program's window waits this long for its answer: a busy CAD must not
// hold the window, which has to repaint within 100 ms.
constexpr UINT kAnswerWaitMs = 40;
// Typed input goes only to a CAD that has just answered, at its prompt, so it is handled at
// once; the longer wait keeps Wine, which takes back a message not yet begun, from dropping a
// command of a CAD that turned busy in between.
constexpr UINT kTypedWaitMs = 250;

// SendMessageTimeout that gives up on a busy receiver; false when no answer came in time.
bool SendAnswered(HWND w, UINT msg, WPARAM wp, LPARAM lp, DWORD_PTR* result = nullptr, UINT waitMs = kAnswerWaitMs) {
    DWORD_PTR answer = 0;
    const bool answered = SendMessageTimeoutA(w, msg, wp, lp, SMTO_NORMAL | SMTO_ABORTIFHUNG, waitMs, &answer) != 0;
    if (result) *result = answer;
    return answered;
}

}  // namespace

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

bool Win32WindowSystem::SendCopyData(WindowHandle w, std::uintptr_t dwData, const void* data, std::uint32_t cbData) {
    // The system copies the record into the receiver as it is sent, so one handled after the
    // wait gave up arrives whole.
    COPYDATASTRUCT record{};
    record.dwData = dwData;
    record.cbData = cbData;
    record.lpData = const_cast<void*>(data);
    return SendAnswered(ToHwnd(w), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record), nullptr, kTypedWaitMs);
}

void Win32WindowSystem::PostNull(WindowHandle w) { PostMessageA(ToHwnd(w), WM_NULL, 0, 0); }

bool Win32WindowSystem::Responds(WindowHandle w) { return SendAnswered(ToHwnd(w), WM_NULL, 0, 0); }

bool Win32WindowSystem::SendCommand(WindowHandle w, std::uint16_t id) {
    return SendAnswered(ToHwnd(w), WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

std::optional<std::intptr_t> Win32WindowSystem::SendGetTextLength(WindowHandle w) {
    DWORD_PTR length = 0;
    if (!SendAnswered(ToHwnd(w), WM_GETTEXTLENGTH, 0, 0, &length)) return std::nullopt;
    return static_cast<std::intptr_t>(length);
}

std::optional<std::string> Win32WindowSystem::SendGetText(WindowHandle w, std::size_t bufferSize) {
    std::vector<char> buffer(bufferSize, '\0');
    if (!SendAnswered(ToHwnd(w), WM_GETTEXT, bufferSize, reinterpret_cast<LPARAM>(buffer.data()))) return std::nullopt;
    return UpToZero(buffer.data(), buffer.size());
}

std::u16string Win32WindowSystem::WideFromAnsi(std::string_view text) {
    // A multibyte code page never gives more units than bytes: the record's room always holds them.
    const std::wstring wide = WideFromCodePage(text, ansiCodePage_);
    return std::u16string(wide.begin(), wide.end());
}
