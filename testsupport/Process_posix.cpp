#include "Process_posix.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <utility>

#include "testsupport/Wait.h"

extern char** environ;

namespace e2e {
namespace {

constexpr int kWaitPauseMs = 20;
// How long Run waits for output before it looks whether the program has ended.
constexpr int kOutputPauseMs = 20;

// Both ends of a pipe, closed unless handed on: a failed start leaks none.
class Pipe {
public:
    Pipe() = default;
    ~Pipe() {
        for (int fd : ends_)
            if (fd >= 0) close(fd);
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;

    void Open() {
        if (pipe2(ends_, O_CLOEXEC) != 0) throw HarnessError("pipe failed");
    }
    int Read() const { return ends_[0]; }
    int Write() const { return ends_[1]; }
    // Hands one end on; the other stays to be closed.
    int TakeRead() { return std::exchange(ends_[0], -1); }
    int TakeWrite() { return std::exchange(ends_[1], -1); }

private:
    int ends_[2] = {-1, -1};
};

}  // namespace

Process::Process(const std::vector<std::string>& argv, const Options& options) {
    Pipe in, out, err;
    if (options.pipeStdin) in.Open();
    if (options.captureOutput) {
        out.Open();
        err.Open();
    }
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<char*> env;
    for (const auto& e : options.env) env.push_back(const_cast<char*>(e.c_str()));
    env.push_back(nullptr);

    pid_ = fork();
    if (pid_ < 0) throw HarnessError("fork failed");
    if (pid_ == 0) {
        setpgid(0, 0);
        int devNull = open("/dev/null", O_RDWR);
        dup2(options.pipeStdin ? in.Read() : devNull, 0);
        dup2(options.captureOutput ? out.Write() : devNull, 1);
        dup2(options.captureOutput ? err.Write() : devNull, 2);
        if (!options.cwd.empty() && chdir(options.cwd.c_str()) != 0) _exit(126);
        execvpe(args[0], args.data(), env.data());
        _exit(127);
    }
    setpgid(pid_, pid_);
    stdin_ = in.TakeWrite();
    stdout_ = out.TakeRead();
    stderr_ = err.TakeRead();
}

Process::~Process() {
    Kill();
    for (int fd : {stdin_, stdout_, stderr_})
        if (fd >= 0) close(fd);
}

std::optional<int> Process::Wait(int timeoutMs) {
    const auto ended = [&] {
        if (status_) return true;
        int status = 0;
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_) status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        else if (done < 0) status_ = -1;
        return status_.has_value();
    };
    PollUntil(ended, timeoutMs, [] { std::this_thread::sleep_for(std::chrono::milliseconds(kWaitPauseMs)); });
    return status_;
}

bool Process::Running() { return !Wait(0); }

void Process::Kill() {
    if (pid_ <= 0 || status_) return;
    kill(-pid_, SIGKILL);
    kill(pid_, SIGKILL);
    Wait(5000);
}

void Process::CloseStdin() {
    if (stdin_ >= 0) close(stdin_);
    stdin_ = -1;
}

RunResult Run(const std::vector<std::string>& argv, const std::vector<std::string>& env, int timeoutMs,
              const std::string& cwd) {
    Process::Options options;
    options.env = env;
    options.cwd = cwd;
    options.captureOutput = true;
    Process process(argv, options);
    RunResult result;
    // Reads what the pipes hold, waiting up to waitMs for the first of it; true when some came.
    const auto readOutput = [&](int waitMs) {
        pollfd fds[2] = {{process.StdoutFd(), POLLIN, 0}, {process.StderrFd(), POLLIN, 0}};
        if (poll(fds, 2, waitMs) <= 0) return false;
        bool gotData = false;
        for (int i = 0; i < 2; ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP))) continue;
            char buffer[4096];
            ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                (i == 0 ? result.out : result.err).append(buffer, static_cast<size_t>(n));
                gotData = true;
            }
        }
        return gotData;
    };
    if (!PollUntil([&] { return process.Wait(0).has_value(); }, timeoutMs, [&] { readOutput(kOutputPauseMs); })) {
        process.Kill();
        throw HarnessError("'" + Describe(argv) + "' did not end within " + std::to_string(timeoutMs) +
                           " ms; output: " + result.out + result.err);
    }
    // Output is read until the pipes are quiet, not until they close: a daemon the program
    // started (wineserver) may keep them open for much longer.
    while (readOutput(0)) {
    }
    result.exitCode = *process.Wait(0);
    return result;
}

std::vector<std::string> CurrentEnv() {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) env.push_back(*e);
    return env;
}

std::string Describe(const std::vector<std::string>& args) {
    std::string text;
    for (const auto& a : args) text += (text.empty() ? "" : " ") + a;
    return text;
}

}  // namespace e2e
