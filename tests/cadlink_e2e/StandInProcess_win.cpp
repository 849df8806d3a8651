#include "StandInProcess_win.h"

#include <cstring>
#include <fstream>

namespace {

constexpr DWORD kExitWaitMs = 5000;

} // namespace

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
    : folder(NewWorkFolder("cadlink-e2e-")),
      logPath_(folder + "\\cad.log"),
      process_(Quoted(WindowsPath(STANDIN_EXE)) + " /log:" + Quoted(logPath_) + " " + options, folder) {}

StandInProcess::~StandInProcess() {
    process_.Stop();
    RemoveWorkFolder(folder);
}

HWND StandInProcess::WindowOfClass(const char* className) const { return TopLevelWindowOf(process_.Id(), className); }

HWND StandInProcess::MainWindow() const { return WindowOfClass(kStandInMainClass); }

HWND StandInProcess::TextWindow() const { return WindowOfClass(kStandInTextClass); }

HWND StandInProcess::FloatingCommandLine() const { return WindowOfClass(kStandInCommandLineClass); }

bool StandInProcess::WaitForWindows() const {
    return Started() && WaitFor([this] { return MainWindow() && TextWindow(); });
}

void StandInProcess::WriteFile(const std::string& name, const std::string& content) const {
    std::ofstream(folder + "\\" + name, std::ios::binary) << content;
}

std::vector<std::string> StandInProcess::LogLines() const { return FileLines(logPath_); }

std::vector<std::string> StandInProcess::LogLinesStartingWith(const std::string& prefix) const {
    return LinesStartingWith(LogLines(), prefix);
}

ClipboardHeldElsewhere::ClipboardHeldElsewhere() {
    const std::string suffix = UniqueSuffix();
    const std::string readyName = "MarlowenClipboardReady-" + suffix;
    const std::string releaseName = "MarlowenClipboardRelease-" + suffix;
    ready_ = CreateEventA(nullptr, TRUE, FALSE, readyName.c_str());
    release_ = CreateEventA(nullptr, TRUE, FALSE, releaseName.c_str());
    process_.emplace(Quoted(WindowsPath(CLIPBOARD_HOLDER_EXE)) + " " + readyName + " " + releaseName);
    if (!process_->Started()) return;
    // The helper either signals that it holds the clipboard or ends because it could not.
    held_ = WaitAnswering({ready_, process_->Handle()}, 15000) == WAIT_OBJECT_0;
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
