// Programs the end-to-end harness starts: Wine, the XDND source, wineserver, chattr.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "testsupport/HarnessBasics.h"

namespace e2e {

// A child process in its own process group, so that a kill reaches whatever it started.
class Process {
public:
    struct Options {
        std::vector<std::string> env;  // full environment, "NAME=value"
        std::string cwd;
        bool pipeStdin = false;
        bool captureOutput = false;  // stdout and stderr into pipes
    };
    // Throws HarnessError when it cannot start; a program that is not found ends with 127.
    Process(const std::vector<std::string>& argv, const Options& options);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    pid_t Pid() const { return pid_; }
    // The exit status (128 + signal when killed), or nothing when still running at the deadline.
    std::optional<int> Wait(int timeoutMs);
    bool Running();
    void Kill();
    int StdinFd() const { return stdin_; }
    int StdoutFd() const { return stdout_; }
    int StderrFd() const { return stderr_; }
    void CloseStdin();

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
    int stdin_ = -1, stdout_ = -1, stderr_ = -1;
};

struct RunResult {
    int exitCode = -1;
    std::string out, err;
};

// Runs a program to its end; throws when it is still running after timeoutMs (it is killed).
RunResult Run(const std::vector<std::string>& argv, const std::vector<std::string>& env, int timeoutMs,
              const std::string& cwd = {});

// This program's own environment, as "NAME=value".
std::vector<std::string> CurrentEnv();

// The arguments as one line, for messages.
std::string Describe(const std::vector<std::string>& args);

}  // namespace e2e
