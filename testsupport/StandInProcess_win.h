// The stand-in CAD started as a process of its own, for the tests that drive it from outside.
// Its windows are told apart here by its own class names (StandInContract.h), never by the CAD
// link's rules, so that a test can check what the CAD link found.
#pragma once

#include <windows.h>

#include <string>

#include "ChildProcess_win.h"
#include "StandInLog.h"
#include "TempFolder.h"
#include "StandInContract.h"

// StandInCad.exe started with a log and the test's own folder as current folder; terminated
// and the folder removed when this goes.
class StandInProcess {
public:
    StandInProcess(const std::string& exePath, const std::string& options);
    StandInProcess(const StandInProcess&) = delete;
    StandInProcess& operator=(const StandInProcess&) = delete;

    bool Started() const { return process_.Started(); }
    DWORD ProcessId() const { return process_.Id(); }
    const ChildProcess& Process() const { return process_; }

    // This process's top-level window of the given class name; null when there is none.
    HWND WindowOfClass(const char* className) const;
    HWND MainWindow() const;
    HWND TextWindow() const;
    HWND FloatingCommandLine() const;
    // Until the main and the text window are there (bounded).
    bool WaitForWindows() const;

    // Its current folder, where the files it opens are written.
    std::string Folder() const { return temp_.Path(); }
    void WriteFile(const std::string& name, const std::string& content) const;
    const StandInLog& Log() const { return log_; }

private:
    TempFolder temp_;
    StandInLog log_;
    ChildProcess process_;
};
