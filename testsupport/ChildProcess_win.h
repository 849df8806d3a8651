// Programs that the Windows tests and benchmarks start and drive from outside, and the
// command lines they are started with.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The build hands over host paths; a Unix path is reached through Wine's Z: drive.
std::string WindowsPath(std::string path);
// "text", for a command line.
std::string Quoted(const std::string& text);
// Differs from every other call's, in this run and in runs before.
std::string UniqueSuffix();

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
