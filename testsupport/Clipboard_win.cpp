#include "Clipboard_win.h"

#include <cstring>

#include "Wait_win.h"

namespace {

constexpr DWORD kOpenWaitMs = 2000;
constexpr DWORD kHoldWaitMs = 15000;
constexpr DWORD kExitWaitMs = 5000;

bool Open(HWND owner) {
    return WaitFor([owner] { return OpenClipboard(owner) != FALSE; }, kOpenWaitMs);
}

std::string ReadText(bool empty) {
    if (!Open(nullptr)) return {};
    std::string text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
            text.assign(bytes, strnlen(bytes, GlobalSize(data)));
            GlobalUnlock(data);
        }
    }
    if (empty) EmptyClipboard();
    CloseClipboard();
    return text;
}

}  // namespace

bool PutClipboardText(const std::string& text, HWND owner) {
    if (!Open(owner)) return false;
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

std::string ClipboardTextNow() { return ReadText(false); }

std::string TakeClipboardText() { return ReadText(true); }

ClipboardHeldElsewhere::ClipboardHeldElsewhere() {
    const std::string suffix = UniqueSuffix();
    const std::string readyName = "MarlowenClipboardReady-" + suffix;
    const std::string releaseName = "MarlowenClipboardRelease-" + suffix;
    ready_ = CreateEventA(nullptr, TRUE, FALSE, readyName.c_str());
    release_ = CreateEventA(nullptr, TRUE, FALSE, releaseName.c_str());
    process_.emplace(Quoted(WindowsPath(CLIPBOARD_HOLDER_EXE)) + " " + readyName + " " + releaseName);
    if (!process_->Started()) return;
    // The helper either signals that it holds the clipboard or ends because it could not.
    held_ = WaitAnswering({ready_, process_->Handle()}, kHoldWaitMs) == WAIT_OBJECT_0;
}

ClipboardHeldElsewhere::~ClipboardHeldElsewhere() {
    Release();
    process_.reset();
    CloseHandle(ready_);
    CloseHandle(release_);
}

bool ClipboardHeldElsewhere::Release() {
    SetEvent(release_);
    return process_->WaitExit(kExitWaitMs) == 0u;
}
