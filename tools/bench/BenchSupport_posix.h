// What the benchmarks built on the end-to-end harness share: their options, a unix process's
// processor time from /proc, the stand-in's log, the wait for Marlowen's start-up to end, and
// the repaint probe beside a bare window.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <string>

#include "testsupport/Harness_posix.h"
#include "testsupport/Process_posix.h"
#include "testsupport/StandInLog.h"

namespace bench {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start);

// "--name value" pairs into the whole numbers the names point at; throws e2e::HarnessError
// on an unknown name or a missing value.
void ParseOptions(int argc, char** argv, const std::map<std::string, int*>& options);

// A file's bytes; empty when it cannot be read (a log not written yet, a process gone).
std::string ReadFileIfAny(const std::string& path);

// utime + stime of a unix process's whole thread group, in ms.
double ProcCpuMs(pid_t pid);

// Marlowen's start-up is over when its processor time stops growing over pauseMs.
void WaitSettled(e2e::Session& s, int pauseMs);

// The cores and the load average, printed first: the machine is shared, and a figure taken on a
// busy one is read differently.
void PrintMachineLoad();

// The programs of the build with a Wine prefix of the benchmarks' own, made on the first run,
// so that a measurement may run beside the tests.
e2e::Locations IsolatedLocations(const std::string& prefix);

// A probe's figures: how long a window waited for each repaint asked for, in ms.
struct Waits {
    int samples = 0;
    double maxMs = 0, medianMs = 0, p99Ms = 0;
    int over100 = 0;
};

// bench_repaint_probe.exe (probeExe, a Windows path) asking the window of one class for a
// repaint every 20 ms, until Stop.
class RepaintProbe {
public:
    RepaintProbe(e2e::Session& s, const e2e::Screen& screen, const std::string& probeExe, std::string windowClass);
    void WaitProbing();
    Waits Stop();

private:
    // The line of the probe's output that begins with text.
    std::string Await(const std::string& text, int timeoutMs, const std::string& what);

    std::string windowClass_;
    e2e::Process process_;
    std::string received_;
};

// The bare window (floorExe) starts first, so that Marlowen's window, shown later at the same
// place, lies above it and takes the drop; then Marlowen, until its start-up has settled.
void StartWithFloor(e2e::Session& s, const std::string& floorExe, int settlePauseMs);

}  // namespace bench
