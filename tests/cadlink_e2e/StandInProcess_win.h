// What the end-to-end tests of the CAD link need around it: the stand-in CAD started as a
// process of its own and a helper process that holds the clipboard (bounded waits and the
// desktop's windows come with the shared test support). The stand-in's windows are told
// apart here by its own class names, never by the CAD link's rules, so that a test can check
// what the CAD link found.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/support_win/WinTestSupport_win.h"

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

    bool Started() const { return process_.Started(); }
    DWORD ProcessId() const { return process_.Id(); }

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
    ChildProcess process_;
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
    std::optional<ChildProcess> process_;  // started once the events are there
    bool held_ = false;
};
