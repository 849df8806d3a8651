// What the end-to-end tests of the CAD link need around it: the stand-in CAD started as a
// process of its own, a helper process that holds the clipboard, and bounded waits. The
// stand-in's windows are told apart here by its own class names, never by the CAD link's
// rules, so that a test can check what the CAD link found.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Waits for one of the handles, or only for the time when there are none, while handling
// this thread's messages: after every history read the clipboard's owner is a window of
// this thread, and under Wine another program's OpenClipboard sends the owner a message and
// waits up to 5 s for the answer. The result as MsgWaitForMultipleObjects gives it.
DWORD WaitAnswering(const std::vector<HANDLE>& handles, DWORD timeoutMs);

// Polls until condition holds or timeoutMs has passed, answering messages in between; the
// last answer counts.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 15000);

// The build hands over host paths; a Unix path is reached through Wine's Z: drive.
std::string WindowsPath(std::string path);

// Top-level windows in EnumWindows order.
std::vector<HWND> TopLevelWindows();
// Position of w in EnumWindows order; -1 when it is not a top-level window.
int WalkPosition(HWND w);

std::string WindowTitle(HWND w);
std::string WindowClass(HWND w);

// The clipboard as seen from outside the CAD link.
bool PutClipboardText(const std::string& text);
std::string ClipboardTextNow();  // "" when there is none or it cannot be opened

// StandInCad.exe started with a log and its own work folder as current folder; terminated
// and the folder removed when this goes.
class StandInProcess {
public:
    explicit StandInProcess(const std::string& options);
    ~StandInProcess();
    StandInProcess(const StandInProcess&) = delete;
    StandInProcess& operator=(const StandInProcess&) = delete;

    bool Started() const { return started_; }
    DWORD ProcessId() const { return process_.dwProcessId; }

    // This process's top-level window of the given class name; null when there is none.
    HWND WindowOfClass(const char* className) const;
    HWND MainWindow() const;
    HWND TextWindow() const;
    HWND FloatingCommandLine() const;
    // Until the main and the text window are there (bounded).
    bool WaitForWindows() const;

    void WriteFile(const std::string& name, const std::string& content) const;
    std::vector<std::string> LogLines() const;
    std::vector<std::string> LogLinesStartingWith(const std::string& prefix) const;

    const std::string folder;

private:
    const std::string logPath_;
    bool started_ = false;
    PROCESS_INFORMATION process_{};
};

// ClipboardHolder.exe, another process that keeps the clipboard open until released.
class ClipboardHeldElsewhere {
public:
    ClipboardHeldElsewhere();
    ~ClipboardHeldElsewhere();
    ClipboardHeldElsewhere(const ClipboardHeldElsewhere&) = delete;
    ClipboardHeldElsewhere& operator=(const ClipboardHeldElsewhere&) = delete;

    // True once the helper has the clipboard open (bounded wait).
    bool Held() const { return held_; }
    // Lets go of the clipboard; true when the helper ended normally.
    bool Release();

private:
    HANDLE ready_ = nullptr;
    HANDLE release_ = nullptr;
    bool held_ = false;
    bool started_ = false;
    PROCESS_INFORMATION process_{};
};
