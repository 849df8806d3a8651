// What the Windows tests and benchmarks that drive other programs from outside share:
// bounded waits that keep answering this thread's messages, a child process that ends with
// its owner, work folders of their own, host paths under Wine, and the desktop's windows.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

// The stand-in CAD's own class names (see StandInCad_win.cpp), to tell its windows apart
// without the CAD link's rules.
inline constexpr char kStandInMainClass[] = "Afx:00400000:8:10011:0:1f0a3";
inline constexpr char kStandInTextClass[] = "Afx:00400000:b:10011:6:1f0a3";
inline constexpr char kStandInCommandLineClass[] = "Afx:00400000:8:10011:0:0";

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
// "text", for a command line.
std::string Quoted(const std::string& text);

// Differs from every other call's, in this run and in runs before.
std::string UniqueSuffix();
// A new empty folder in the temp folder, named prefix and a unique suffix.
std::string NewWorkFolder(const std::string& prefix);
// Removes the folder with the files in it.
void RemoveWorkFolder(const std::string& folder);

// A file's lines without their LF; none when it cannot be read.
std::vector<std::string> FileLines(const std::string& path);
std::vector<std::string> LinesStartingWith(const std::vector<std::string>& lines, const std::string& prefix);

// Top-level windows in EnumWindows order.
std::vector<HWND> TopLevelWindows();
// Position of w in EnumWindows order; -1 when it is not a top-level window.
int WalkPosition(HWND w);
// The process's top-level window of the given class name; null when there is none.
HWND TopLevelWindowOf(DWORD processId, const char* className);

std::string WindowTitle(HWND w);
std::string WindowClass(HWND w);

// A program started with the command line in the given current folder (empty: this
// process's own); stopped when this goes.
class ChildProcess {
public:
    explicit ChildProcess(std::string commandLine, const std::string& folder = {});
    ~ChildProcess() { Stop(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return started_; }
    DWORD Id() const { return info_.dwProcessId; }
    HANDLE Handle() const { return info_.hProcess; }
    // Its exit code once it has ended, answering messages meanwhile; nothing when it was not
    // started or still runs after timeoutMs.
    std::optional<DWORD> WaitExit(DWORD timeoutMs) const;
    // Terminates it when it still runs, waits (bounded) for its end and lets go of it.
    void Stop();

private:
    bool started_ = false;
    PROCESS_INFORMATION info_{};
};
