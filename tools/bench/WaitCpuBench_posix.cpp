// Processor time Marlowen uses while a survey waits on its timer for a CAD that is not ready
// yet (the stand-in CAD with a long start-up delay: its windows are there, its prompt is not,
// so both watchers read its history every 300 ms), against Marlowen sitting idle; then the same
// wait once the user has copied 1 MB of text, which every read keeps on the clipboard. The
// goal for the wait is under 0.5% of one core.
//
//   bench_wait_cpu [--span MS] [--runs R]      (span 10000, runs 1)
//
// Built natively against the end-to-end harness; run by hand. It uses a Wine prefix of its
// own (<build>/bench-wineprefix, made on the first run), so it may run beside the tests.
// Marlowen's processor time is read from its own counters by the inspector (GetThreadTimes
// over its threads) and, as a check, from /proc/<pid>/stat of the unix process running it.
// The wineserver's time over the same span is shown beside it: under Wine every message and
// window query of the polling goes through it. The history reads the CAD answered during the
// span show that the watchers were polling.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "BenchSupport_posix.h"

namespace {

using namespace e2e;
using namespace bench;
namespace fs = std::filesystem;

constexpr int kSettlePauseMs = 500;
// The first read after the copy takes it; the span measures the reads that keep it.
constexpr int kCopySettleMs = 1000;

struct Options {
    int spanMs = 10000;
    int runs = 1;
};

struct Reading {
    Clock::time_point at;
    double winMs = 0, procMs = 0, serverMs = 0;
};

struct Figures {
    double wallMs = 0, winMs = 0, procMs = 0, serverMs = 0;
};

Options ReadOptions(int argc, char** argv) {
    Options options;
    ParseOptions(argc, argv, {{"--span", &options.spanMs}, {"--runs", &options.runs}});
    if (options.spanMs < 1000 || options.runs < 1) throw HarnessError("the span is at least 1000 ms, runs at least 1");
    return options;
}

// The wineserver of the prefix: a process named wineserver whose environment names it.
pid_t WineServerPid(const std::string& prefix) {
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::string comm = ReadFileIfAny(entry.path() / "comm");
        if (comm.rfind("wineserver", 0) != 0) continue;
        std::string environ = ReadFileIfAny(entry.path() / "environ");
        if (environ.find(std::string("WINEPREFIX=") + prefix + '\0') != std::string::npos) return std::stoi(name);
    }
    throw HarnessError("no wineserver for " + prefix);
}

Reading Read(Session& s, pid_t server) {
    Reading r;
    CpuTime win = s.ProcessCpuTime();
    r.procMs = ProcCpuMs(s.MarlowenPid());
    r.serverMs = ProcCpuMs(server);
    r.at = Clock::now();
    r.winMs = static_cast<double>(win.TotalMs());
    return r;
}

Figures Between(const Reading& a, const Reading& b) {
    return {std::chrono::duration<double, std::milli>(b.at - a.at).count(), b.winMs - a.winMs, b.procMs - a.procMs,
            b.serverMs - a.serverMs};
}

Figures Measure(Session& s, pid_t server, int spanMs) {
    Reading before = Read(s, server);
    std::this_thread::sleep_for(std::chrono::milliseconds(spanMs));
    return Between(before, Read(s, server));
}

void Print(const char* label, int run, const Figures& f, int historyReads) {
    std::printf("%-26s %3d %8.0f %13.0f %14.0f %10.2f%% %14.0f %14d\n", label, run, f.wallMs, f.winMs, f.procMs,
                100.0 * f.winMs / f.wallMs, f.serverMs, historyReads);
}

void Run(const Screen& screen, const Locations& where, const Options& options, int run) {
    Session s(screen, where);
    // The stand-in shows its prompt well after the span has passed.
    s.WriteDataIni("[Program]\nFile=C:\\m\\StandInCad.exe /startdelay:" + std::to_string(2 * options.spanMs + 10000) +
                   " /log:C:\\run\\cad.log\n");
    std::string drawing = s.MakeFile("a.dwg", "Model\r\nLayout1\r\n");
    const StandInLog log(s.RunFolder() + "/cad.log");
    s.Start();
    WaitSettled(s, kSettlePauseMs);
    const pid_t server = WineServerPid(where.prefix);

    Print("idle", run, Measure(s, server, options.spanMs), 0);

    s.Drop("Button10", {drawing});
    WaitUntil([&] { return !s.GetControl("Button10").enabled; }, 10000, "the survey to start");
    WaitUntil([&] { return log.Count("copy-history bytes=") > 0; }, 10000, "the watchers to read the CAD's history");
    const int readsBefore = log.Count("copy-history ");
    Figures wait = Measure(s, server, options.spanMs);
    const int reads = log.Count("copy-history ") - readsBefore;
    if (log.Count("ready") > 0)
        throw HarnessError("the stand-in CAD became ready within the span; the wait was cut short");
    if (s.GetControl("Button10").enabled) throw HarnessError("the survey was not waiting");
    Print("timer wait (CAD starting)", run, wait, reads);

    s.Inspect({"clipboard-put", std::string(1 << 20, 'x'), "MarlowenBench", "00"});
    WaitSettled(s, kCopySettleMs);
    const int readsBeforeCopy = log.Count("copy-history ");
    Figures copied = Measure(s, server, options.spanMs);
    if (log.Count("ready") > 0) throw HarnessError("the stand-in CAD became ready within the span");
    Print("wait, 1 MB on the clipboard", run, copied, log.Count("copy-history ") - readsBeforeCopy);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const Options options = ReadOptions(argc, argv);
        const Locations where = IsolatedLocations(BENCH_WINEPREFIX);
        Screen screen;
        std::printf("Marlowen's processor time over %d ms; %% of one core from its own counters\n", options.spanMs);
        std::printf("%-26s %3s %8s %13s %14s %11s %14s %14s\n", "case", "run", "wall ms", "cpu ms (win)",
                    "cpu ms (/proc)", "cpu/wall", "wineserver ms", "history reads");
        for (int run = 1; run <= options.runs; ++run) Run(screen, where, options, run);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_wait_cpu: %s\n", e.what());
        return 1;
    }
}
