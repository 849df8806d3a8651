#include "testsupport/Harness.h"

#include <fcntl.h>
#include <iconv.h>
#include <poll.h>
#include <signal.h>
#include <strings.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <utility>

#include "testsupport/Wait.h"

extern char** environ;

namespace e2e {
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kStartTimeoutMs = 30000;
// Another test program may hold every fitting screen for a whole case.
constexpr int kScreenWaitMs = 600000;
constexpr int kDropTimeoutMs = 10000;
// A drop of thousands of files takes the receiver a while per file (Wine turns every URI into
// a DOS path); the XDND source must wait for its end.
constexpr int kDropMsPerFile = 20;

int MsLeft(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

std::string Iconv(const std::string& text, const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw HarnessError(std::string("iconv cannot convert ") + from + " to " + to);
    std::string out(text.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    size_t done = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (done == static_cast<size_t>(-1))
        throw HarnessError(std::string("text is not valid ") + from + " at byte " +
                           std::to_string(text.size() - inLeft));
    out.resize(out.size() - outLeft);
    return out;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at - start));
        if (at == std::string::npos) return parts;
        start = at + 1;
    }
}

// Undoes the inspector's escapes: \\ \t \r \n \xNN.
std::string Unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        char c = text[++i];
        if (c == 't') out += '\t';
        else if (c == 'r') out += '\r';
        else if (c == 'n') out += '\n';
        else if (c == 'x' && i + 2 < text.size()) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else out += c;
    }
    return out;
}

Rect ParseRect(const std::string& text) {
    Rect r;
    std::istringstream in(text);
    if (!(in >> r.left >> r.top >> r.right >> r.bottom)) throw HarnessError("not a rectangle: '" + text + "'");
    return r;
}

// The six TAB-separated fields of one record of the inspector.
std::vector<std::string> RecordFields(const std::string& line, const char* what) {
    auto fields = Split(line, '\t');
    if (fields.size() != 6) throw HarnessError(std::string("malformed ") + what + " record: '" + line + "'");
    return fields;
}

Control ParseControl(const std::string& line) {
    auto f = RecordFields(line, "control");
    return {.name = Unescape(f[0]),
            .cls = Unescape(f[1]),
            .id = std::stoi(f[2]),
            .rect = ParseRect(f[3]),
            .enabled = f[4].rfind("enabled", 0) == 0,
            .visible = f[4].find("visible") != std::string::npos,
            .text = Unescape(f[5])};
}

MessageBoxInfo ParseMessageBox(const std::string& line) {
    auto f = RecordFields(line, "message box");
    return {.caption = Unescape(f[0]),
            .text = Unescape(f[1]),
            .rect = ParseRect(f[2]),
            .pid = static_cast<unsigned>(std::stoul(f[3])),
            .ownerTitle = Unescape(f[4]),
            .icon = f[5] == "icon"};
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (auto& line : Split(text, '\n'))
        if (!line.empty()) lines.push_back(line);
    return lines;
}

std::vector<std::string> CurrentEnv() {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) env.push_back(*e);
    return env;
}

void RemoveTree(const std::string& path) {
    if (!fs::exists(path)) return;
    // A case may have made a file immutable to make it unwritable even for root.
    Run({"chattr", "-R", "-i", path}, CurrentEnv(), 10000);
    fs::remove_all(path);
}

std::string Describe(const std::vector<std::string>& args) {
    std::string text;
    for (const auto& a : args) text += (text.empty() ? "" : " ") + a;
    return text;
}

}  // namespace

std::string Utf8ToSjis(const std::string& utf8) { return Iconv(utf8, "CP932", "UTF-8"); }
std::string SjisToUtf8(const std::string& sjis) { return Iconv(sjis, "UTF-8", "CP932"); }

std::string ReadBytes(const std::string& unixPath) {
    std::ifstream in(unixPath, std::ios::binary);
    if (!in) throw HarnessError("cannot read " + unixPath);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteBytes(const std::string& unixPath, const std::string& bytes) {
    fs::create_directories(fs::path(unixPath).parent_path());
    std::ofstream out(unixPath, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) throw HarnessError("cannot write " + unixPath);
}

std::string Grid::Cell(int col, int row) const {
    if (row < 0 || row >= static_cast<int>(cells.size())) return {};
    const auto& line = cells[static_cast<size_t>(row)];
    if (col < 0 || col >= static_cast<int>(line.size())) return {};
    return line[static_cast<size_t>(col)];
}

Grid ParseGrid(const std::string& dump) {
    Grid grid;
    size_t headerEnd = dump.find("\r\n");
    std::string header = dump.substr(0, headerEnd);
    if (std::sscanf(header.c_str(), "cols=%d rows=%d", &grid.cols, &grid.rows) != 2)
        throw HarnessError("not a grid dump: '" + header + "'");
    if (headerEnd == std::string::npos) return grid;
    std::string body = dump.substr(headerEnd + 2);
    if (body.size() >= 2 && body.compare(body.size() - 2, 2, "\r\n") == 0) body.resize(body.size() - 2);
    if (!body.empty() || grid.rows > 0)
        for (auto& row : Split(body, '\n')) {
            if (!row.empty() && row.back() == '\r') row.pop_back();
            grid.cells.push_back(Split(row, '\t'));
        }
    return grid;
}

std::vector<std::string> ParseListBox(const std::string& text) {
    int count = 0;
    if (std::sscanf(text.c_str(), "count=%d", &count) != 1) throw HarnessError("not a list box dump: '" + text + "'");
    std::vector<std::string> items;
    size_t at = text.find("\r\n");
    for (int i = 0; i < count && at != std::string::npos; ++i) {
        size_t end = text.find("\r\n", at + 2);
        items.push_back(text.substr(at + 2, end - at - 2));
        at = end;
    }
    return items;
}

void WaitUntil(const std::function<bool()>& done, int timeoutMs, const std::string& what) {
    const auto pause = [] { std::this_thread::sleep_for(std::chrono::milliseconds(50)); };
    if (!PollUntil(done, timeoutMs, pause))
        throw HarnessError("waited " + std::to_string(timeoutMs) + " ms in vain for " + what);
}

// ---- Process

Process::Process(const std::vector<std::string>& argv, const Options& options) {
    int in[2] = {-1, -1}, out[2] = {-1, -1}, err[2] = {-1, -1};
    if (options.pipeStdin && pipe2(in, O_CLOEXEC) != 0) throw HarnessError("pipe failed");
    if (options.captureOutput && (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0))
        throw HarnessError("pipe failed");
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
        dup2(options.pipeStdin ? in[0] : devNull, 0);
        dup2(options.captureOutput ? out[1] : devNull, 1);
        dup2(options.captureOutput ? err[1] : devNull, 2);
        if (!options.cwd.empty() && chdir(options.cwd.c_str()) != 0) _exit(126);
        execvpe(args[0], args.data(), env.data());
        _exit(127);
    }
    setpgid(pid_, pid_);
    if (options.pipeStdin) {
        close(in[0]);
        stdin_ = in[1];
    }
    if (options.captureOutput) {
        close(out[1]);
        close(err[1]);
        stdout_ = out[0];
        stderr_ = err[0];
    }
}

Process::~Process() {
    Kill();
    for (int fd : {stdin_, stdout_, stderr_})
        if (fd >= 0) close(fd);
}

std::optional<int> Process::Wait(int timeoutMs) {
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!status_) {
        int status = 0;
        pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        if (done < 0) {
            status_ = -1;
            break;
        }
        if (MsLeft(deadline) == 0) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
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
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    // Output is read until the program has ended and its pipes are quiet: a daemon it
    // started (wineserver) may keep the pipes open for much longer.
    bool ended = false;
    for (;;) {
        pollfd fds[2] = {{process.StdoutFd(), POLLIN, 0}, {process.StderrFd(), POLLIN, 0}};
        int ready = poll(fds, 2, ended ? 0 : 20);
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
        if (ended && (ready <= 0 || !gotData)) break;
        if (!ended && process.Wait(0)) ended = true;
        if (!ended && MsLeft(deadline) == 0) {
            process.Kill();
            throw HarnessError("'" + Describe(argv) + "' did not end within " + std::to_string(timeoutMs) +
                               " ms; output: " + result.out + result.err);
        }
    }
    result.exitCode = *process.Wait(0);
    return result;
}

// ---- Locations and Wine

Locations Locations::FromBuild() {
    return {TESTSUPPORT_WIN_BUILD "/app/Marlowen.exe", TESTSUPPORT_WIN_BUILD "/tools/standin/StandInCad.exe",
            TESTSUPPORT_WIN_BUILD "/tools/inspector/inspector.exe", TESTSUPPORT_XDND_DROP, TESTSUPPORT_E2E_PREFIX};
}

Locations Locations::AtDensity(int dpi) const {
    Locations at = *this;
    if (dpi != 96) at.prefix += "-" + std::to_string(dpi) + "dpi";
    return at;
}

std::vector<std::string> WineEnv(const std::string& prefix, const std::string& display) {
    if (!std::getenv("MARLOWEN_WINE_ENV")) throw HarnessError("no Wine environment: run under tools/wine-env.sh");
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        std::string entry = *e;
        std::string name = entry.substr(0, entry.find('='));
        if (name == "DISPLAY" || name == "WINEPREFIX" || name == "WINESERVER") continue;
        env.push_back(entry);
    }
    env.push_back("DISPLAY=" + display);
    env.push_back("WINEPREFIX=" + prefix);
    return env;
}

void MakePrefix(const Locations& where) {
    auto made = Run({TESTSUPPORT_WINE_ENV, "make-prefix", where.prefix}, CurrentEnv(), 600000);
    if (made.exitCode != 0) throw HarnessError("no Wine prefix in " + where.prefix + ": " + made.out + made.err);
}

// ---- Screen

Screen::Screen(const std::string& size) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) throw HarnessError("no DISPLAY: run under tools/wine-env.sh");
    const char* screens = std::getenv("MARLOWEN_SCREENS");
    if (!screens) {
        // A display of the caller's own: its one screen is the caller's to share out.
        display_ = display;
        return;
    }
    std::string server = display;
    if (size_t dot = server.find('.', server.find(':')); dot != std::string::npos) server.resize(dot);
    int width = 0, height = 0;
    if (std::sscanf(size.c_str(), "%dx%d", &width, &height) != 2) throw HarnessError("not a screen size: " + size);
    // The smallest screens that fit first, so that a large one stays free for the case that needs it.
    std::vector<std::pair<long, int>> fitting;
    int index = 0;
    for (const auto& s : Split(screens, ' ')) {
        int w = 0, h = 0;
        if (std::sscanf(s.c_str(), "%dx%d", &w, &h) == 2 && w >= width && h >= height)
            fitting.emplace_back(static_cast<long>(w) * h, index);
        ++index;
    }
    if (fitting.empty()) throw HarnessError("no screen of " + std::string(display) + " is " + size + " or larger");
    std::stable_sort(fitting.begin(), fitting.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    auto deadline = Clock::now() + std::chrono::milliseconds(kScreenWaitMs);
    for (;;) {
        for (const auto& [area, n] : fitting) {
            std::string name = server + "." + std::to_string(n);
            std::string lockPath = (fs::temp_directory_path() / ("marlowen-screen" + name + ".lock")).string();
            int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
            if (fd < 0) throw HarnessError("cannot open " + lockPath);
            if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
                lock_ = fd;
                display_ = name;
                return;
            }
            close(fd);
        }
        if (MsLeft(deadline) == 0) throw HarnessError("every screen of " + server + " of " + size + " stayed taken");
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

Screen::~Screen() {
    if (lock_ >= 0) close(lock_);
}

// ---- Session

Session::Session(const Screen& screen) : Session(screen, Locations::FromBuild()) {}

Session::Session(const Screen& screen, Locations where) : where_(std::move(where)), display_(screen.Display()) {
    // A dead inspector must show as a failed write, not end the test program.
    signal(SIGPIPE, SIG_IGN);
    // The session ends its prefix's wineserver, so it must not be one the caller works in.
    if (const char* callers = std::getenv("WINEPREFIX"); callers && fs::path(callers) == fs::path(where_.prefix))
        throw HarnessError("the prefix " + where_.prefix +
                           " is the caller's WINEPREFIX; the harness needs one of its own");
    if (!fs::exists(where_.prefix + "/system.reg"))
        throw HarnessError("no Wine prefix in " + where_.prefix + " (made by the test e2e_prefix)");
    if (!fs::exists(where_.marlowenExe)) throw HarnessError("not built: " + where_.marlowenExe);
    if (!fs::exists(where_.inspectorExe)) throw HarnessError("not built: " + where_.inspectorExe);
    for (const char* folder : {"m", "run", "d"}) {
        RemoveTree(DriveC() + "/" + folder);
        fs::create_directories(DriveC() + "/" + folder);
    }
    fs::copy_file(where_.marlowenExe, DriveC() + "/m/Marlowen.exe");
    if (fs::exists(where_.standInExe)) fs::copy_file(where_.standInExe, DriveC() + "/m/StandInCad.exe");
}

Session::~Session() {
    try {
        EndAll();
    } catch (const std::exception&) {
        // Nothing more can be done for a server that will not end; the next case kills it again.
    }
}

void Session::EndAll() {
    if (inspector_) inspector_->CloseStdin();
    Run({"wineserver", "-k"}, Env(), 10000);
    Run({"wineserver", "-w"}, Env(), 10000);
    marlowen_.reset();
    inspector_.reset();
    programs_.clear();
}

std::vector<std::string> Session::Env() const { return WineEnv(where_.prefix, display_); }

std::string Session::DriveC() const { return where_.prefix + "/drive_c"; }

std::string Session::UnixPath(const std::string& windowsPath) const {
    if (windowsPath.size() < 3 || (windowsPath[0] != 'C' && windowsPath[0] != 'c') ||
        windowsPath.compare(1, 2, ":\\") != 0)
        throw HarnessError("not a path on C:: " + windowsPath);
    std::string rest = windowsPath.substr(3);
    for (auto& c : rest)
        if (c == '\\') c = '/';
    return DriveC() + "/" + rest;
}

std::string Session::DataIniPath() const { return DriveC() + "/m/data.ini"; }

std::string Session::RunFolder() const { return DriveC() + "/run"; }

void Session::WriteDataIni(const std::string& utf8Text) {
    std::string crlf;
    for (char c : utf8Text) {
        if (c == '\n' && (crlf.empty() || crlf.back() != '\r')) crlf += '\r';
        crlf += c;
    }
    WriteBytes(DataIniPath(), Utf8ToSjis(crlf));
}

std::string Session::MakeFile(const std::string& relative, const std::string& content) {
    std::string path = DriveC() + "/d/" + relative;
    WriteBytes(path, content);
    return path;
}

std::string Session::ReadText(const std::string& unixPath) const { return SjisToUtf8(ReadBytes(unixPath)); }

bool Session::MakeImmutable(const std::string& unixPath) {
    return Run({"chattr", "+i", unixPath}, CurrentEnv(), 10000).exitCode == 0;
}

void Session::Start() { Start("C:\\m\\Marlowen.exe", RunFolder()); }

void Session::Start(const std::string& windowsExe, const std::string& unixCwd) {
    if (marlowen_) throw HarnessError("Marlowen was started already");
    Process::Options options;
    options.env = Env();
    options.cwd = unixCwd;
    marlowen_.emplace(std::vector<std::string>{"wine", windowsExe}, options);
    auto deadline = Clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
    for (;;) {
        try {
            Inspect({"wait-window", kTitle, "1000"});
            return;
        } catch (const HarnessError&) {
            if (auto status = marlowen_->Wait(0))
                throw HarnessError("Marlowen.exe ended with " + std::to_string(*status) + " before its window showed");
            if (MsLeft(deadline) == 0) throw HarnessError("Marlowen's window did not show within 30 s");
        }
    }
}

bool Session::Running() { return marlowen_ && marlowen_->Running(); }

std::optional<int> Session::WaitExit(int timeoutMs) {
    if (!marlowen_) throw HarnessError("Marlowen was not started");
    return marlowen_->Wait(timeoutMs);
}

void Session::StartProgram(const std::vector<std::string>& args) {
    Process::Options options;
    options.env = Env();
    options.cwd = RunFolder();
    std::vector<std::string> argv = {"wine"};
    argv.insert(argv.end(), args.begin(), args.end());
    programs_.push_back(std::make_unique<Process>(argv, options));
}

RunResult Session::RunProgram(const std::vector<std::string>& args, int timeoutMs) {
    std::vector<std::string> argv = {"wine"};
    argv.insert(argv.end(), args.begin(), args.end());
    return Run(argv, Env(), timeoutMs, RunFolder());
}

pid_t Session::MarlowenPid() const {
    if (!marlowen_) throw HarnessError("Marlowen was not started");
    return marlowen_->Pid();
}

void Session::StartInspector() {
    Process::Options options;
    options.env = Env();
    options.pipeStdin = true;
    options.captureOutput = true;
    inspector_.emplace(std::vector<std::string>{"wine", where_.inspectorExe, "serve"}, options);
    inspectorBuffer_.clear();
}

std::string Session::Inspect(const std::vector<std::string>& args, int timeoutMs) {
    std::string line;
    for (const auto& a : args) {
        if (a.find_first_of("\t\r\n") != std::string::npos)
            throw HarnessError("inspector argument with TAB or line break");
        line += (line.empty() ? "" : "\t") + a;
    }
    line += "\n";
    if (!inspector_ || !inspector_->Running()) StartInspector();
    if (write(inspector_->StdinFd(), line.data(), line.size()) != static_cast<ssize_t>(line.size()))
        throw HarnessError("cannot talk to the inspector");

    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        // The answer ends with a line that starts with 0x1E and holds the exit code.
        size_t end = inspectorBuffer_.find('\x1E');
        if (end != std::string::npos) {
            size_t lineEnd = inspectorBuffer_.find('\n', end);
            if (lineEnd != std::string::npos) {
                std::string out = inspectorBuffer_.substr(0, end);
                std::string status = inspectorBuffer_.substr(end + 1, lineEnd - end - 1);
                inspectorBuffer_.erase(0, lineEnd + 1);
                if (status != "0")
                    throw HarnessError("inspector " + Describe(args) + ": " +
                                       Unescape(status.substr(status.find(' ') + 1)));
                return out;
            }
        }
        pollfd fd{inspector_->StdoutFd(), POLLIN, 0};
        if (poll(&fd, 1, std::min(MsLeft(deadline), 100)) > 0) {
            char buffer[4096];
            ssize_t n = read(fd.fd, buffer, sizeof buffer);
            if (n > 0) inspectorBuffer_.append(buffer, static_cast<size_t>(n));
            else if (n == 0) {
                inspector_.reset();
                throw HarnessError("the inspector ended while answering " + Describe(args));
            }
        } else if (MsLeft(deadline) == 0) {
            inspector_.reset();
            throw HarnessError("the inspector did not answer " + Describe(args) + " within " +
                               std::to_string(timeoutMs) + " ms");
        }
    }
}

Rect Session::WindowRect() { return ParseRect(Inspect({"rect", kTitle})); }

Rect Session::ClientRect() { return ParseRect(Inspect({"client", kTitle})); }

std::vector<Control> Session::Controls() {
    std::vector<Control> controls;
    for (const auto& line : Lines(Inspect({"controls", kTitle}))) controls.push_back(ParseControl(line));
    return controls;
}

Control Session::GetControl(const std::string& name) {
    auto lines = Lines(Inspect({"control", kTitle, name}));
    if (lines.size() != 1) throw HarnessError("inspector gave no single record for " + name);
    return ParseControl(lines[0]);
}

std::vector<MessageBoxInfo> Session::MessageBoxes() {
    std::vector<MessageBoxInfo> boxes;
    for (const auto& line : Lines(Inspect({"msgboxes"}))) boxes.push_back(ParseMessageBox(line));
    return boxes;
}

MessageBoxInfo Session::WaitMessageBox(const std::string& caption, int timeoutMs) {
    auto lines = Lines(Inspect({"wait-msgbox", caption, std::to_string(timeoutMs)}, timeoutMs + 10000));
    if (lines.size() != 1) throw HarnessError("inspector gave no single message box record");
    return ParseMessageBox(lines[0]);
}

CpuTime Session::ProcessCpuTime(const std::string& windowTitle) {
    std::string text = Inspect({"cputime", windowTitle});
    CpuTime time;
    if (std::sscanf(text.c_str(), "%lld %lld", &time.kernelMs, &time.userMs) != 2)
        throw HarnessError("not a processor time: '" + text + "'");
    return time;
}

std::vector<std::string> Session::ProcessNames() {
    std::vector<std::string> names;
    for (const auto& line : Lines(Inspect({"processes"}))) {
        size_t tab = line.find('\t');
        if (tab == std::string::npos) throw HarnessError("malformed process record: '" + line + "'");
        names.push_back(Unescape(line.substr(tab + 1)));
    }
    return names;
}

bool Session::ProcessRunning(const std::string& exeName) {
    for (const auto& name : ProcessNames())
        if (strcasecmp(name.c_str(), exeName.c_str()) == 0) return true;
    return false;
}

void Session::Drop(const std::string& controlName, const std::vector<std::string>& unixPaths) {
    DropAt(GetControl(controlName).rect.Center(), unixPaths);
}

void Session::DropAt(Point screen, const std::vector<std::string>& unixPaths) {
    const int timeoutMs = kDropTimeoutMs + kDropMsPerFile * static_cast<int>(unixPaths.size());
    std::vector<std::string> argv = {where_.xdndDrop,
                                     "--display",
                                     display_,
                                     "--timeout",
                                     std::to_string(timeoutMs),
                                     std::to_string(screen.x),
                                     std::to_string(screen.y)};
    argv.insert(argv.end(), unixPaths.begin(), unixPaths.end());
    auto result = Run(argv, Env(), timeoutMs + 10000);
    if (result.exitCode != 0)
        throw HarnessError("drop at " + std::to_string(screen.x) + "," + std::to_string(screen.y) +
                           " failed: " + result.err);
}

void Session::Click(const std::string& controlName) { Inspect({"click", kTitle, controlName}); }

void Session::SetText(const std::string& controlName, const std::string& text) {
    Inspect({"set-text", kTitle, controlName, text});
}

void Session::PressOk(const std::string& caption) { Inspect({"press-ok", caption}); }

void Session::ChooseFile(const std::string& windowsPath) { Inspect({"filedialog-choose", windowsPath}); }

void Session::CancelFileDialog() { Inspect({"filedialog-cancel"}); }

void Session::Close() { Inspect({"close", kTitle}); }

}  // namespace e2e
