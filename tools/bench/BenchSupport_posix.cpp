#include "BenchSupport_posix.h"

#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>
#include <utility>

#include "testsupport/Wait.h"

namespace bench {

using e2e::HarnessError;

// A start-up that never settles is measured anyway after this many pauses.
constexpr int kMostSettlePauses = 20;
constexpr int kProbeStartMs = 40000;
constexpr int kProbeEndMs = 10000;
constexpr int kReadPauseMs = 100;
constexpr const char* kFloorTitle = "DropFloor";

void ParseOptions(int argc, char** argv, const std::map<std::string, int*>& options) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (i + 1 >= argc) throw HarnessError("missing value after " + arg);
        int value = std::atoi(argv[++i]);
        auto option = options.find(arg);
        if (option == options.end()) throw HarnessError("unknown option " + arg);
        *option->second = value;
    }
}

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string ReadFileIfAny(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Fields 14 and 15 of the stat line; the command name before them may hold blanks, so the
// count starts after its closing parenthesis.
double ProcCpuMs(pid_t pid) {
    std::string stat = ReadFileIfAny("/proc/" + std::to_string(pid) + "/stat");
    size_t close = stat.rfind(')');
    if (close == std::string::npos) throw HarnessError("cannot read /proc/" + std::to_string(pid) + "/stat");
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    long long utime = 0, stime = 0;
    for (int n = 3; fields >> field && n <= 15; ++n) {
        if (n == 14) utime = std::stoll(field);
        if (n == 15) stime = std::stoll(field);
    }
    return static_cast<double>(utime + stime) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

void WaitSettled(e2e::Session& s, int pauseMs) {
    double last = -1;
    const auto settled = [&] {
        const double now = ProcCpuMs(s.MarlowenPid());
        return std::exchange(last, now) == now;
    };
    PollUntil(settled, static_cast<long long>(kMostSettlePauses) * pauseMs,
              [&] { std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs)); });
}

void PrintMachineLoad() {
    double load[3] = {};
    std::ifstream("/proc/loadavg") >> load[0] >> load[1] >> load[2];
    std::printf("machine: %ld cores online, load average %.2f %.2f %.2f at the start\n", sysconf(_SC_NPROCESSORS_ONLN),
                load[0], load[1], load[2]);
}

e2e::Locations IsolatedLocations(const std::string& prefix) {
    e2e::Locations where = e2e::Locations::FromBuild();
    where.prefix = prefix;
    if (!std::filesystem::exists(where.prefix + "/system.reg"))
        std::printf("making the Wine prefix %s\n", where.prefix.c_str());
    e2e::MakePrefix(where);
    return where;
}

namespace {

e2e::Process::Options ProbeOptions(e2e::Session& s, const e2e::Screen& screen) {
    e2e::Process::Options options;
    options.env = e2e::WineEnv(s.Where().prefix, screen.Display());
    options.cwd = s.RunFolder();
    options.pipeStdin = true;
    options.captureOutput = true;
    return options;
}

}  // namespace

RepaintProbe::RepaintProbe(e2e::Session& s, const e2e::Screen& screen, const std::string& probeExe,
                           std::string windowClass)
    : windowClass_(std::move(windowClass)), process_({"wine", probeExe, windowClass_}, ProbeOptions(s, screen)) {}

void RepaintProbe::WaitProbing() { Await("probing", kProbeStartMs, "finding its window"); }

Waits RepaintProbe::Stop() {
    process_.CloseStdin();
    const std::string line = Await("samples=", kProbeEndMs, "its figures");
    Waits waits;
    if (std::sscanf(line.c_str(), "samples=%d max=%lf median=%lf p99=%lf over100=%d", &waits.samples, &waits.maxMs,
                    &waits.medianMs, &waits.p99Ms, &waits.over100) != 5)
        throw HarnessError("the probe of " + windowClass_ + " printed '" + line + "'");
    return waits;
}

std::string RepaintProbe::Await(const std::string& text, int timeoutMs, const std::string& what) {
    size_t at = std::string::npos, end = std::string::npos;
    const auto found = [&] {
        at = received_.rfind(text);
        return at != std::string::npos && (end = received_.find('\n', at)) != std::string::npos;
    };
    const auto readMore = [&] {
        pollfd fd{process_.StdoutFd(), POLLIN, 0};
        if (poll(&fd, 1, kReadPauseMs) <= 0) return;
        char buffer[512];
        const ssize_t n = read(fd.fd, buffer, sizeof buffer);
        if (n <= 0) throw HarnessError("the probe of " + windowClass_ + " ended before " + what);
        received_.append(buffer, static_cast<size_t>(n));
    };
    if (!PollUntil(found, timeoutMs, readMore))
        throw HarnessError("the probe of " + windowClass_ + " gave no " + what + " within " +
                           std::to_string(timeoutMs) + " ms");
    std::string line = received_.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

void StartWithFloor(e2e::Session& s, const std::string& floorExe, int settlePauseMs) {
    s.StartProgram({floorExe});
    s.Inspect({"wait-window", kFloorTitle, "30000"}, 40000);
    s.Start();
    WaitSettled(s, settlePauseMs);
}

}  // namespace bench
